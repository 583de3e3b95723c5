// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of contavoce-cli that make sound: say, music, and the
// worksheet's dictation. They load the sound module when they run.
#pragma once

#include "spelling/forme.h"

#include <string>
#include <string_view>
#include <vector>

namespace contavoce::cli {

// say NUMBER... [--wav FILE | --wav-dir DIR]; the exit status.
int parla(const std::vector<std::string_view>& args);
// music FILE [--wav OUT --seconds N]; the exit status.
int suona_musica(const std::vector<std::string_view>& args);

// Whether the name given to an option that names a file or a folder is not
// empty; a usage error on standard error when it is.
bool nome_dato(std::string_view opzione, std::string_view nome);

// Whether `cartella` may take the files `nomi`: it is missing, empty, or holds
// only plain files of those names, which an earlier run of the same command
// left and this one rewrites. Anything else there would end up mixed with the
// new files; the reason is then on standard error.
bool cartella_per(const std::string& cartella, const std::vector<std::string>& nomi);

// One WAV per number in `cartella`, created when missing, named by `nomi` in
// the same order: a whole number (digits without leading zeros, none all
// zeros) as the window says it, a decimal in `lettura`. The exit status: 0;
// 1 when a file cannot be written or a speech clip is missing or damaged; 2
// when the folder holds other files (cartella_per). The reason is on
// standard error.
int scrivi_wav_separati(const std::vector<Decimale>& numeri, Lettura lettura,
                        const std::string& cartella, const std::vector<std::string>& nomi);

// The dictation's pauses, in seconds: after "Numero dodici", before the
// number; after the number, to write it; after it is said again, to check
// it and get ready for the next.
inline constexpr double dettato_dopo_titolo = 0.8;
inline constexpr double dettato_per_scrivere = 3.0;
inline constexpr double dettato_per_rileggere = 6.0;

// The whole track of a dictation, beside the files of its items.
inline constexpr const char* traccia_dettato = "dettato.wav";

// Whether `cartella` may take a dictation: it is missing or empty. Files
// left there by an earlier sheet, even one of the same numbers, would mix
// with the new ones if the new sheet stopped half way; the reason is then on
// standard error.
bool cartella_per_dettato(const std::string& cartella);

// The dictation of `numeri` in `cartella`, created when missing: item k says
// "Numero" and k, then the number, a pause, the number again and a longer
// pause (the pauses above). Each item in its own WAV, 01.wav, 02.wav … (as
// many digits as the last item takes, at least two), and all of them one
// after the other in traccia_dettato, so that playing the items in order
// sounds the same as the track. A whole number is said as the window says
// it, a decimal in `lettura`. Nothing is written unless the folder passes
// cartella_per_dettato, and what a failed run wrote is removed again. The
// exit status: 0; 1 when a file cannot be written or a speech clip is
// missing or damaged; 2 when the folder is refused. The reason is on
// standard error.
int scrivi_dettato(const std::vector<Decimale>& numeri, Lettura lettura,
                   const std::string& cartella);

} // namespace contavoce::cli
