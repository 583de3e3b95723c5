// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/effects/dsp.h"

#include <algorithm>
#include <cmath>

namespace effetti {

std::size_t campioni_in(double secondi, double fs) {
    return std::size_t(std::lround(secondi * fs));
}

double Curva::operator()(double t) const {
    if (punti_.empty())
        return 0.0;
    if (t <= punti_.front().first)
        return punti_.front().second;
    for (std::size_t i = 1; i < punti_.size(); ++i) {
        const auto [t1, v1] = punti_[i];
        if (t <= t1) {
            const auto [t0, v0] = punti_[i - 1];
            return t1 > t0 ? v0 + (v1 - v0) * (t - t0) / (t1 - t0) : v1;
        }
    }
    return punti_.back().second;
}

void Biquad::imposta(double f, double q) {
    const double w = 2.0 * pi * std::clamp(f, 10.0, 0.49 * fs_) / fs_;
    const double c = std::cos(w);
    const double alfa = std::sin(w) / (2.0 * q);
    double b0 = 0, b1 = 0, b2 = 0;
    switch (tipo_) {
    case Tipo::passa_basso:
        b0 = b2 = (1 - c) / 2;
        b1 = 1 - c;
        break;
    case Tipo::passa_alto:
        b0 = b2 = (1 + c) / 2;
        b1 = -(1 + c);
        break;
    case Tipo::passa_banda: // 0 dB at the centre frequency
        b0 = alfa;
        b2 = -alfa;
        break;
    }
    const double a0 = 1 + alfa;
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = -2 * c / a0;
    a2_ = (1 - alfa) / a0;
}

double Biquad::operator()(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

Vocale miscela(const Vocale& a, const Vocale& b, double quanto) {
    Vocale v;
    for (std::size_t i = 0; i < v.size(); ++i) {
        v[i].frequenza = a[i].frequenza + (b[i].frequenza - a[i].frequenza) * quanto;
        v[i].banda = a[i].banda + (b[i].banda - a[i].banda) * quanto;
        v[i].guadagno = a[i].guadagno + (b[i].guadagno - a[i].guadagno) * quanto;
    }
    return v;
}

double armoniche(double fase, double f0, double fs, double inclinazione) {
    const double limite = 0.45 * fs;
    double s = 0.0;
    for (int k = 1; k * f0 < limite; ++k) {
        const double fk = k * f0;
        const double bordo = std::clamp((limite - fk) / (0.05 * fs), 0.0, 1.0);
        s += bordo * std::sin(k * fase) / std::pow(double(k), inclinazione);
    }
    return s;
}

Segnale canta(const Voce& v, double fs, std::size_t n) {
    Segnale out(n);
    Rumore rumore(v.seme);
    // Jitter is white noise smoothed to a few tens of Hz, so pitch wobbles rather than hisses.
    Biquad liscia(Biquad::Tipo::passa_basso, fs, 30.0, 0.7);
    std::array<Biquad, 3> filtri = {Biquad(Biquad::Tipo::passa_banda, fs, 500, 5),
                                    Biquad(Biquad::Tipo::passa_banda, fs, 1500, 5),
                                    Biquad(Biquad::Tipo::passa_banda, fs, 2500, 5)};
    double fase = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / fs;
        const double a = v.ampiezza(t);
        const double oscilla = liscia(rumore.bianco()) * 8.0;
        const double f0 = v.f0(t) * (1.0 + v.tremolio * oscilla);
        fase += 2.0 * pi * f0 / fs;
        if (fase > 4.0 * pi) // keep the half-rate phase below intact
            fase -= 4.0 * pi;
        const double r = v.ruvidita(t);
        // Alternate periods louder and softer: subharmonics make the call rough.
        const double armonico = armoniche(fase, f0, fs, v.inclinazione) *
                                (1.0 - r * 0.5 + r * 0.5 * std::sin(0.5 * fase));
        const double sorgente =
            a * ((1.0 - v.rumore(t)) * armonico * 0.5 + v.rumore(t) * rumore.bianco());
        const Vocale vocale = v.formanti(t);
        double s = 0.0;
        for (std::size_t k = 0; k < filtri.size(); ++k) {
            filtri[k].imposta(vocale[k].frequenza, vocale[k].frequenza / vocale[k].banda);
            s += vocale[k].guadagno * filtri[k](sorgente);
        }
        out[i] = s;
    }
    return out;
}

double campana(double x) {
    if (x <= 0.0 || x >= 1.0)
        return 0.0;
    const double s = std::sin(pi * x);
    return s * s;
}

double rms_parlato(const std::vector<Segnale>& canali, double fs) {
    const std::size_t trama = std::max<std::size_t>(1, campioni_in(0.01, fs));
    std::vector<double> energie;
    for (std::size_t da = 0; da < canali.front().size(); da += trama) {
        double e = 0.0;
        std::size_t n = 0;
        for (const Segnale& c : canali)
            for (std::size_t i = da; i < std::min(c.size(), da + trama); ++i, ++n)
                e += c[i] * c[i];
        energie.push_back(e / double(n));
    }
    if (energie.empty())
        return 0.0;
    const double soglia = *std::max_element(energie.begin(), energie.end()) / 100.0;
    double somma = 0.0;
    int n = 0;
    for (double e : energie)
        if (e >= soglia && e > 0.0) {
            somma += e;
            ++n;
        }
    return n > 0 ? std::sqrt(somma / n) : 0.0;
}

void rifinisci(std::vector<Segnale>& canali, double fs, double dissolvenza_inizio,
               double dissolvenza_fine) {
    constexpr double livello = 0.25; // about -12 dBFS RMS over the loudest 50 ms
    constexpr double picco_massimo = 0.87;
    for (Segnale& c : canali) {
        const std::size_t n = c.size();
        const std::size_t ni = std::min(n, campioni_in(dissolvenza_inizio, fs));
        const std::size_t nf = std::min(n, campioni_in(dissolvenza_fine, fs));
        for (std::size_t i = 0; i < ni; ++i)
            c[i] *= std::pow(std::sin(0.5 * pi * double(i) / double(ni)), 2);
        for (std::size_t i = 0; i < nf; ++i)
            c[n - 1 - i] *= std::pow(std::sin(0.5 * pi * double(i) / double(nf)), 2);
    }
    const std::size_t finestra = campioni_in(0.05, fs);
    double rms = 0.0;
    double picco = 0.0;
    for (const Segnale& c : canali) {
        double somma = 0.0;
        for (std::size_t i = 0; i < c.size(); ++i) {
            somma += c[i] * c[i];
            if (i >= finestra)
                somma -= c[i - finestra] * c[i - finestra];
            rms = std::max(rms, std::sqrt(std::max(somma, 0.0) / double(finestra)));
            picco = std::max(picco, std::abs(c[i]));
        }
    }
    if (picco <= 0.0)
        return;
    const double guadagno =
        std::min({livello / rms, picco_massimo / picco, livello_voce / rms_parlato(canali, fs)});
    for (Segnale& c : canali)
        for (double& x : c)
            x *= guadagno;
}

} // namespace effetti
