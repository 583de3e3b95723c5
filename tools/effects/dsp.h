// SPDX-License-Identifier: GPL-3.0-or-later
// Building blocks shared by the effects: noise, envelopes, filters, a voiced
// source for the animal calls, and the finishing pass that levels every effect.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

namespace effetti {

using Segnale = std::vector<double>;

inline constexpr double pi = 3.14159265358979323846;

// Number of samples in `secondi` seconds at frequency fs.
std::size_t campioni_in(double secondi, double fs);

// Deterministic noise. The raw output of std::mt19937 is fixed by the standard
// (its distributions are not), so a seed gives the same sound with any compiler.
class Rumore {
public:
    explicit Rumore(std::uint32_t seme) : gen_(seme) {}
    double bianco() { return gen_() / 2147483648.0 - 1.0; }
    double uniforme(double da, double a) { return da + (a - da) * (gen_() / 4294967296.0); }

private:
    std::mt19937 gen_;
};

// Piecewise-linear curve through (time, value) points, flat outside them.
class Curva {
public:
    Curva(std::initializer_list<std::pair<double, double>> punti) : punti_(punti) {}
    double operator()(double t) const;

private:
    std::vector<std::pair<double, double>> punti_;
};

// Second-order filter with the coefficients of the Audio EQ Cookbook; the
// coefficients may be changed between samples for sweeping formants.
class Biquad {
public:
    enum class Tipo { passa_basso, passa_alto, passa_banda };
    Biquad(Tipo tipo, double fs, double f, double q) : tipo_(tipo), fs_(fs) { imposta(f, q); }
    void imposta(double f, double q);
    double operator()(double x);

private:
    Tipo tipo_;
    double fs_;
    double b0_ = 0, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

struct Formante {
    double frequenza;
    double banda;
    double guadagno;
};
using Vocale = std::array<Formante, 3>;

// Formants of two vowels mixed: 0 gives a, 1 gives b.
Vocale miscela(const Vocale& a, const Vocale& b, double quanto);

// A voiced call: a band-limited harmonic source plus breath noise through three
// formant filters. Every parameter is a function of time in seconds.
struct Voce {
    std::function<double(double)> f0;       // Hz
    std::function<double(double)> ampiezza; // 0..1
    std::function<double(double)> rumore;   // share of breath noise, 0..1
    std::function<double(double)> ruvidita; // period doubling that makes it harsh, 0..1
    std::function<Vocale(double)> formanti; // filter bank at time t
    double inclinazione = 1.0;              // harmonic k has amplitude 1/k^inclinazione
    double tremolio = 0.0;                  // random f0 wobble (jitter), as a fraction
    std::uint32_t seme = 1;
};
Segnale canta(const Voce& v, double fs, std::size_t n);

// Sum of the harmonics of f0 below 0.45 fs, amplitude 1/k^inclinazione, at the
// given phase; harmonics near the limit fade so none pops in or out when f0 moves.
double armoniche(double fase, double f0, double fs, double inclinazione);

// Raised-cosine window value for x in 0..1 (0 at both ends, 1 in the middle).
double campana(double x);

// The level tools/speech/make-speech.sh gives the speech clips' spoken parts
// (VOICED_RMS_DB, -17 dBFS), as measured by rms_parlato.
inline constexpr double livello_voce = 0.14125375; // 10^(-17/20)

// RMS of the 10 ms frames within 20 dB of the loudest, all channels together:
// the measure the speech clips are levelled by, leaving out pauses and tails.
double rms_parlato(const std::vector<Segnale>& canali, double fs);

// The finishing pass for every effect: short raised-cosine fades at both ends so
// nothing clicks, then one gain for all channels bringing the loudest 50 ms to a
// common level, lowered if needed so that no sample exceeds about -1.2 dBFS and
// so that no effect is louder than the voice by the voice's own measure. A steady
// tone, such as a key's, ends up exactly at the voice's level.
void rifinisci(std::vector<Segnale>& canali, double fs, double dissolvenza_inizio = 0.005,
               double dissolvenza_fine = 0.02);

} // namespace effetti
