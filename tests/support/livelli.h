// SPDX-License-Identifier: GPL-3.0-or-later
// Level measures shared by the content tests: the speech clips are levelled by
// the spoken-part RMS (tools/speech/make-speech.sh), and the effects are held
// to the voice by the same measure.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace test_support {

inline double decibel(double rapporto_potenza) {
    return 10.0 * std::log10(rapporto_potenza);
}

// Mean power of each frame of the given length (a short last frame counts too).
inline std::vector<double> potenze(const std::vector<double>& s, std::size_t lunghezza) {
    std::vector<double> p;
    for (std::size_t i = 0; i < s.size(); i += lunghezza) {
        const std::size_t fine = std::min(s.size(), i + lunghezza);
        double somma = 0;
        for (std::size_t j = i; j < fine; ++j)
            somma += s[j] * s[j];
        p.push_back(somma / double(fine - i));
    }
    return p;
}

// RMS in dBFS of the 10 ms frames within 20 dB of the loudest one: the spoken
// part, leaving out pauses such as the closure of a double t.
inline double rms_parlato(const std::vector<double>& s, int frequenza) {
    const auto p = potenze(s, std::size_t(frequenza / 100));
    if (p.empty())
        return -200;
    const double soglia = *std::max_element(p.begin(), p.end()) / 100.0;
    double somma = 0;
    int n = 0;
    for (double e : p) {
        if (e >= soglia) {
            somma += e;
            ++n;
        }
    }
    return decibel(somma / n);
}

} // namespace test_support
