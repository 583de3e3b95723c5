// SPDX-License-Identifier: GPL-3.0-or-later
// GALLO: a rooster's cock-a-doodle-doo. Three short rising syllables and a long
// last one that holds, wavers and sinks, on a bright, slightly rough voice.
#include "tools/effects/effetti.h"

#include <cmath>

namespace effetti {

Segnale gallo(double fs, std::size_t n) {
    const Vocale chi = {{{750, 200, 1.0}, {1900, 260, 0.9}, {3100, 400, 0.45}}};
    const Vocale cho = {{{650, 200, 1.0}, {1300, 240, 0.8}, {2800, 400, 0.4}}};
    const Curva altezza{{0.04, 470}, {0.16, 560}, {0.21, 560}, {0.34, 680}, {0.40, 700},
                        {0.62, 790}, {0.68, 760}, {0.85, 850}, {1.40, 800}, {1.92, 610}};
    const Curva forza{{0.04, 0},    {0.06, 0.6},  {0.14, 0.6}, {0.16, 0},   {0.21, 0},
                      {0.23, 0.75}, {0.32, 0.75}, {0.34, 0},   {0.40, 0},   {0.42, 0.85},
                      {0.60, 0.85}, {0.62, 0},    {0.68, 0},   {0.72, 1.0}, {1.50, 0.85},
                      {1.85, 0.5},  {1.92, 0}};
    // Vibrato grows in once the last syllable has settled.
    const Curva vibrato{{0.85, 0}, {1.05, 0.025}};
    const Curva vocale{{0.68, 0}, {1.2, 0}, {1.9, 1}};

    Voce v;
    v.f0 = [=](double t) { return altezza(t) * (1.0 + vibrato(t) * std::sin(2 * pi * 6.5 * t)); };
    v.ampiezza = forza;
    v.rumore = [](double) { return 0.12; };
    v.ruvidita = [](double) { return 0.35; };
    v.formanti = [=](double t) { return miscela(chi, cho, vocale(t)); };
    v.inclinazione = 0.9;
    v.tremolio = 0.01;
    v.seme = 3303;
    std::vector<Segnale> c = {canta(v, fs, n)};
    rifinisci(c, fs);
    return std::move(c.front());
}

} // namespace effetti
