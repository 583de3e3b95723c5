// SPDX-License-Identifier: GPL-3.0-or-later
// VETRO: a pane of glass shattering. A bright crash of noise, then a shower of
// shards: hundreds of short, high, ringing tinkles, denser at first and
// thinning out, each placed somewhere between the two speakers.
#include "tools/effects/effetti.h"

#include <algorithm>
#include <cmath>

namespace effetti {
namespace {

// One shard: two damped resonances struck together at `inizio`.
struct Scheggia {
    double inizio;
    double frequenza;
    double seconda; // a second mode of the same piece, less loud
    double smorzamento;
    double forza;
    double posizione; // 0 left .. 1 right
};

std::vector<Scheggia> pioggia(Rumore& r) {
    std::vector<Scheggia> s;
    for (int i = 0; i < 380; ++i) {
        // Exponential waiting: most shards land in the first second.
        const double t = 0.015 - 0.6 * std::log(1.0 - r.uniforme(0.0, 0.999));
        const double frequenza = std::exp(r.uniforme(std::log(2200.0), std::log(8800.0)));
        const double seconda = frequenza * r.uniforme(1.35, 2.2);
        const double smorzamento = r.uniforme(0.012, 0.07);
        const double forza = r.uniforme(0.25, 1.0) * std::exp(-t / 1.1);
        const double posizione = r.uniforme(0.0, 1.0);
        if (t < 3.1)
            s.push_back({t, frequenza, seconda, smorzamento, forza, posizione});
    }
    // A few big pieces ring lower and longer just after the crash.
    for (int i = 0; i < 12; ++i) {
        const double t = r.uniforme(0.02, 0.45);
        s.push_back({t, r.uniforme(1500.0, 2600.0), r.uniforme(3000.0, 4500.0),
                     r.uniforme(0.08, 0.16), r.uniforme(0.5, 0.9), r.uniforme(0.2, 0.8)});
    }
    return s;
}

} // namespace

std::vector<Segnale> vetro(double fs, std::size_t n) {
    Rumore r(4404);
    std::vector<Segnale> lr(2, Segnale(n, 0.0));

    // The crash: bright noise, partly shared and partly separate per side so it
    // sounds wide, over a dull knock.
    std::array<Biquad, 2> brillante = {Biquad(Biquad::Tipo::passa_alto, fs, 1500, 0.7),
                                       Biquad(Biquad::Tipo::passa_alto, fs, 1500, 0.7)};
    std::array<Biquad, 2> fruscio = {Biquad(Biquad::Tipo::passa_alto, fs, 4000, 0.7),
                                     Biquad(Biquad::Tipo::passa_alto, fs, 4000, 0.7)};
    double fase_colpo = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / fs;
        const double comune = r.bianco();
        fase_colpo += 2 * pi * (60 + 60 * std::exp(-t / 0.02)) / fs;
        const double colpo = 0.6 * std::sin(fase_colpo) * std::exp(-t / 0.05);
        for (std::size_t c = 0; c < 2; ++c) {
            const double proprio = r.bianco();
            const double impatto = brillante[c](0.5 * comune + 0.5 * proprio) * std::exp(-t / 0.03);
            const double scroscio = fruscio[c](proprio) * 0.35 * std::exp(-t / 0.3);
            lr[c][i] += 1.6 * impatto + scroscio + colpo;
        }
    }

    for (const Scheggia& s : pioggia(r)) {
        const std::size_t da = campioni_in(s.inizio, fs);
        const std::size_t lunghezza = campioni_in(6 * s.smorzamento, fs);
        const std::array<double, 2> guadagno = {std::cos(0.5 * pi * s.posizione),
                                                std::sin(0.5 * pi * s.posizione)};
        const bool seconda_udibile = s.seconda < 0.45 * fs;
        for (std::size_t i = 0; i < lunghezza && da + i < n; ++i) {
            const double t = double(i) / fs;
            double v = std::sin(2 * pi * s.frequenza * t);
            if (seconda_udibile)
                v += 0.4 * std::sin(2 * pi * s.seconda * t) * std::exp(-t / s.smorzamento);
            v *= s.forza * std::exp(-t / s.smorzamento);
            lr[0][da + i] += guadagno[0] * v;
            lr[1][da + i] += guadagno[1] * v;
        }
    }
    rifinisci(lr, fs, 0.003, 0.3);
    return lr;
}

} // namespace effetti
