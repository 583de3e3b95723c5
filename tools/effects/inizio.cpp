// SPDX-License-Identifier: GPL-3.0-or-later
// INIZIO: a happy jingle, a rising major arpeggio on little bells ending on a
// ringing chord.
#include "tools/effects/effetti.h"

#include <algorithm>
#include <cmath>

namespace effetti {
namespace {

struct Nota {
    double inizio;
    double frequenza;
    double forza;
    double risonanza; // decay time of the fundamental, seconds
};

// A struck bar: a few partials, the upper ones slightly stretched and dying
// sooner, which is what makes it sound like a bell rather than an organ.
void suona(Segnale& s, double fs, const Nota& nota) {
    constexpr std::array<double, 4> rapporti = {1.0, 2.0, 3.01, 4.2};
    constexpr std::array<double, 4> ampiezze = {1.0, 0.5, 0.22, 0.12};
    constexpr std::array<double, 4> smorzamenti = {1.0, 0.5, 0.3, 0.15};
    const std::size_t da = campioni_in(nota.inizio, fs);
    for (std::size_t i = da; i < s.size(); ++i) {
        const double t = double(i - da) / fs;
        const double attacco = std::min(t / 0.002, 1.0);
        double v = 0.0;
        for (std::size_t k = 0; k < rapporti.size(); ++k) {
            const double f = nota.frequenza * rapporti[k];
            if (f > 0.45 * fs)
                break;
            v += ampiezze[k] * std::exp(-t / (nota.risonanza * smorzamenti[k])) *
                 std::sin(2 * pi * f * t);
        }
        s[i] += nota.forza * attacco * v;
    }
}

} // namespace

Segnale inizio(double fs, std::size_t n) {
    // C major: C5 E5 G5 C6, then C6 E6 G6 together.
    const std::array<Nota, 7> note = {{{0.00, 523.25, 0.8, 0.25},
                                       {0.12, 659.26, 0.8, 0.25},
                                       {0.24, 783.99, 0.8, 0.25},
                                       {0.36, 1046.50, 0.9, 0.3},
                                       {0.52, 1046.50, 0.6, 0.55},
                                       {0.52, 1318.51, 0.6, 0.55},
                                       {0.52, 1567.98, 0.6, 0.55}}};
    Segnale s(n, 0.0);
    for (const Nota& nota : note)
        suona(s, fs, nota);
    std::vector<Segnale> c = {std::move(s)};
    rifinisci(c, fs, 0.003, 0.15);
    return std::move(c.front());
}

} // namespace effetti
