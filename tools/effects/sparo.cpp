// SPDX-License-Identifier: GPL-3.0-or-later
// SPARO: a toy-gun shot, a cracking noise burst dying fast over a low thump,
// with a short falling "pew" behind it.
#include "tools/effects/effetti.h"

#include <algorithm>
#include <cmath>

namespace effetti {

Segnale sparo(double fs, std::size_t n) {
    Rumore rumore(7001);
    Biquad schiocco(Biquad::Tipo::passa_alto, fs, 1800, 0.7);
    Biquad corpo(Biquad::Tipo::passa_basso, fs, 2000, 0.8);
    Segnale s(n);
    double fase_tonfo = 0.0;
    double fase_coda = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / fs;
        const double bianco = rumore.bianco();
        const double crack = schiocco(bianco) * 5.0 * std::exp(-t / 0.015);
        const double botto = corpo(bianco) * 1.5 * std::exp(-t / 0.04);
        fase_tonfo += 2 * pi * (55 + 90 * std::exp(-t / 0.03)) / fs;
        const double tonfo = std::sin(fase_tonfo) * 0.5 * std::exp(-t / 0.07);
        const double f_coda = 1900 * std::pow(320.0 / 1900.0, std::min(t / 0.3, 1.0));
        fase_coda += 2 * pi * f_coda / fs;
        const double coda = armoniche(fase_coda, f_coda, fs, 2.0) * 0.22 *
                            Curva{{0.01, 0}, {0.05, 1}, {0.34, 0}}(t);
        s[i] = crack + botto + tonfo + coda;
    }
    // Driving the burst into a soft clipper, as a small loudspeaker would, keeps
    // its first crack from dwarfing the rest and makes the shot sound fuller.
    double picco = 0.0;
    for (double x : s)
        picco = std::max(picco, std::abs(x));
    for (double& x : s)
        x = std::tanh(2.5 * x / picco);
    std::vector<Segnale> c = {std::move(s)};
    rifinisci(c, fs, 0.005, 0.03);
    return std::move(c.front());
}

} // namespace effetti
