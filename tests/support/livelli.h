// SPDX-License-Identifier: GPL-3.0-or-later
// Level measures shared by the content tests: the speech clips are levelled by
// the spoken-part RMS (tools/speech/make-speech.sh), and the effects are held
// to the voice by the same measure.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace test_support {

inline double decibel(double rapporto_potenza) {
    return 10.0 * std::log10(rapporto_potenza);
}

// Mean power of each frame of the given length (a short last frame counts too).
std::vector<double> potenze(const std::vector<double>& s, std::size_t lunghezza);

// RMS in dBFS of the 10 ms frames within 20 dB of the loudest one: the spoken
// part, leaving out pauses such as the closure of a double t.
double rms_parlato(const std::vector<double>& s, int frequenza);

} // namespace test_support
