// SPDX-License-Identifier: GPL-3.0-or-later
// Writes PCM WAV files from samples in -1..1.
#pragma once

#include "tools/effects/dsp.h"

#include <filesystem>
#include <vector>

namespace effetti {

// One vector per channel, all of the same length; bit is 8 or 16. False when
// the file cannot be written.
bool scrivi_wav(const std::filesystem::path& percorso, const std::vector<Segnale>& canali,
                int frequenza, int bit);

} // namespace effetti
