// SPDX-License-Identifier: GPL-3.0-or-later
// G0..G9: the telephone keypad tone of each digit.
#include "tools/effects/effetti.h"

#include <cmath>

namespace effetti {

std::pair<double, double> frequenze_dtmf(char cifra) {
    constexpr std::array<double, 4> righe = {697, 770, 852, 941};
    constexpr std::array<double, 3> colonne = {1209, 1336, 1477};
    // Keypad 1 2 3 / 4 5 6 / 7 8 9 / * 0 #: zero sits in the middle of the last row.
    const int d = cifra - '0';
    if (d == 0)
        return {righe[3], colonne[1]};
    return {righe[std::size_t((d - 1) / 3)], colonne[std::size_t((d - 1) % 3)]};
}

Segnale tasto(char cifra, double fs, std::size_t n) {
    const auto [riga, colonna] = frequenze_dtmf(cifra);
    Segnale s(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / fs;
        s[i] = std::sin(2 * pi * riga * t) + std::sin(2 * pi * colonna * t);
    }
    std::vector<Segnale> c = {std::move(s)};
    rifinisci(c, fs, 0.005, 0.01);
    return std::move(c.front());
}

} // namespace effetti
