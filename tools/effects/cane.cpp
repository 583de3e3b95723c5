// SPDX-License-Identifier: GPL-3.0-or-later
// CANE: a dog barking, two quick woofs and one more: short noisy bursts whose
// pitch jumps up and falls while the mouth opens and closes.
#include "tools/effects/effetti.h"

namespace effetti {
namespace {

constexpr std::array<double, 3> latrati = {0.05, 0.36, 0.98};
constexpr double durata = 0.17;

// Time since the start of the woof that t falls in (or far past it, between woofs).
double nel_latrato(double t) {
    double dentro = 10.0;
    for (double inizio : latrati)
        if (t >= inizio)
            dentro = t - inizio;
    return dentro;
}

} // namespace

Segnale cane(double fs, std::size_t n) {
    const Vocale chiusa = {{{380, 200, 1.0}, {900, 250, 0.5}, {2400, 400, 0.2}}};
    const Vocale aperta = {{{820, 220, 1.0}, {1450, 260, 0.8}, {2800, 400, 0.4}}};
    const Curva apertura{{0, 0}, {0.025, 1}, {0.07, 0.8}, {durata, 0}};
    const Curva altezza{{0, 360}, {0.02, 540}, {0.08, 430}, {durata, 290}};
    const Curva forza{{0, 0}, {0.01, 1}, {0.05, 0.7}, {0.11, 0.2}, {durata, 0}};

    Voce v;
    v.f0 = [=](double t) { return altezza(nel_latrato(t)); };
    v.ampiezza = [=](double t) {
        const double dentro = nel_latrato(t);
        return dentro < durata ? forza(dentro) : 0.0;
    };
    v.rumore = [](double) { return 0.45; };
    v.ruvidita = [](double) { return 0.6; };
    v.formanti = [=](double t) { return miscela(chiusa, aperta, apertura(nel_latrato(t))); };
    v.inclinazione = 0.9;
    v.tremolio = 0.03;
    v.seme = 2202;
    std::vector<Segnale> c = {canta(v, fs, n)};
    rifinisci(c, fs);
    return std::move(c.front());
}

} // namespace effetti
