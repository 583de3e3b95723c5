// SPDX-License-Identifier: GPL-3.0-or-later
// ASINO: a donkey's hee-haw. Two breaths: a wheezy inhaled "hee" gliding up,
// then a loud, rough exhaled "haw" falling, and again.
#include "tools/effects/effetti.h"

namespace effetti {

Segnale asino(double fs, std::size_t n) {
    const Vocale hee = {{{420, 120, 1.0}, {2000, 250, 0.8}, {2900, 350, 0.4}}};
    const Vocale haw = {{{720, 160, 1.0}, {1150, 180, 0.8}, {2500, 300, 0.35}}};
    // 0 while breathing in (hee), 1 while breathing out (haw).
    const Curva respiro{{0.29, 0}, {0.31, 1}, {0.65, 1}, {0.67, 0}, {0.95, 0}, {0.97, 1}};

    Voce v;
    v.f0 = Curva{{0.02, 470}, {0.28, 660}, {0.30, 400}, {0.64, 200},
                 {0.67, 490}, {0.94, 680}, {0.96, 410}, {1.30, 190}};
    v.ampiezza = Curva{{0.02, 0},   {0.06, 0.5}, {0.25, 0.6}, {0.29, 0},    {0.30, 0},   {0.34, 1},
                       {0.58, 0.9}, {0.64, 0},   {0.67, 0},   {0.71, 0.55}, {0.91, 0.6}, {0.95, 0},
                       {0.96, 0},   {1.00, 1},   {1.22, 0.9}, {1.30, 0}};
    v.rumore = [respiro](double t) { return 0.45 - 0.25 * respiro(t); };
    v.ruvidita = [respiro](double t) { return 0.3 + 0.6 * respiro(t); };
    v.formanti = [=](double t) { return miscela(hee, haw, respiro(t)); };
    v.inclinazione = 0.8;
    v.tremolio = 0.02;
    v.seme = 1101;
    std::vector<Segnale> c = {canta(v, fs, n)};
    rifinisci(c, fs);
    return std::move(c.front());
}

} // namespace effetti
