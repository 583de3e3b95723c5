// SPDX-License-Identifier: GPL-3.0-or-later
// laser.wav: a toy laser "pew", a bright tone sweeping quickly downwards.
#include "tools/effects/effetti.h"

#include <algorithm>
#include <cmath>

namespace effetti {

Segnale laser(double fs, std::size_t n) {
    constexpr double durata = 0.36;
    constexpr double f_inizio = 2600.0;
    constexpr double f_fine = 180.0;
    Segnale s(n);
    const Curva coda{{durata - 0.06, 1}, {durata, 0}};
    double fase = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / fs;
        // An exponential glide sounds like an even fall in pitch.
        const double f = f_inizio * std::pow(f_fine / f_inizio, std::min(t / durata, 1.0));
        fase += 2 * pi * f / fs;
        const double forma = armoniche(fase, f, fs, 1.5);
        const double inviluppo = std::exp(-t / 0.15) * coda(t);
        s[i] = forma * inviluppo;
    }
    std::vector<Segnale> c = {std::move(s)};
    rifinisci(c, fs, 0.004, 0.03);
    return std::move(c.front());
}

} // namespace effetti
