// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of contavoce-cli that make sound: say, music, and the
// worksheet's dictation. They load the sound module when they run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace contavoce::cli {

// say NUMBER... [--wav FILE | --wav-dir DIR]; the exit status.
int parla(const std::vector<std::string_view>& args);
// music FILE [--wav OUT --seconds N]; the exit status.
int suona_musica(const std::vector<std::string_view>& args);

// One WAV per number (digits without leading zeros, none all zeros) in
// `cartella`, created when missing, named by `nomi` in the same order. The
// exit status: 0, or 1 with the reason already on standard error.
int scrivi_wav_separati(const std::vector<std::string>& numeri, const std::string& cartella,
                        const std::vector<std::string>& nomi);

} // namespace contavoce::cli
