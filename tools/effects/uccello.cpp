// SPDX-License-Identifier: GPL-3.0-or-later
// UCCELLO: a little bird, a few quick whistled chirps sweeping up then down,
// ending in a short trill.
#include "tools/effects/effetti.h"

#include <cmath>

namespace effetti {
namespace {

struct Cinguettio {
    double inizio;
    double durata;
    double f_bassa; // where the sweep starts
    double f_alta;  // its top, reached early
    double f_fine;  // where it falls to
    double forza;
};

} // namespace

Segnale uccello(double fs, std::size_t n) {
    const std::array<Cinguettio, 8> canto = {{{0.02, 0.075, 2900, 4700, 2500, 1.0},
                                              {0.13, 0.075, 3000, 4900, 2600, 0.9},
                                              {0.25, 0.06, 3200, 4500, 2800, 0.85},
                                              {0.35, 0.028, 3600, 4700, 3000, 0.7},
                                              {0.395, 0.028, 3600, 4800, 3000, 0.75},
                                              {0.44, 0.028, 3600, 4800, 3000, 0.8},
                                              {0.485, 0.028, 3600, 4700, 2900, 0.7},
                                              {0.53, 0.05, 3000, 4200, 2400, 0.6}}};
    Segnale s(n, 0.0);
    for (const Cinguettio& c : canto) {
        const Curva f{{0.0, c.f_bassa}, {0.2, c.f_alta}, {1.0, c.f_fine}};
        double fase = 0.0;
        const std::size_t da = campioni_in(c.inizio, fs);
        const std::size_t lunghezza = campioni_in(c.durata, fs);
        for (std::size_t i = 0; i < lunghezza && da + i < n; ++i) {
            const double x = double(i) / double(lunghezza);
            fase += 2 * pi * f(x) / fs;
            // A pure whistle: its own harmonics would fold back above 5.5 kHz.
            s[da + i] += c.forza * campana(std::pow(x, 0.7)) * std::sin(fase);
        }
    }
    std::vector<Segnale> c = {std::move(s)};
    rifinisci(c, fs);
    return std::move(c.front());
}

} // namespace effetti
