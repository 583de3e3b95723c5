// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace contavoce::platform {

// A tune synthesised once, ahead of playing, kept as 16-bit stereo at the
// synthesiser's rate, which is half the output's when that is 32 kHz or more:
// 145 s of the background tune take 12.8 MB where the output's float samples
// would take 51. Only the render thread writes and reads it; `leggi` gives the
// output's frames, doubled in rate by a half-band FIR (windowed sinc, 32 taps):
// the even output frames are the synthesiser's, the odd ones lie halfway
// between, 16 synthesiser frames late, exactly as a stream doubled from the
// tune's start. The filter is ours because the libraries at hand cost more
// than it does (SDL's audio stream took 0.25% of a core for this, measured;
// libsamplerate's sinc converters are slower still and its linear one dulls
// the highs).
class BranoPronto {
public:
    BranoPronto(std::string midi, bool raddoppia) : midi_(std::move(midi)), raddoppia_(raddoppia) {
        double somma = 0;
        for (std::size_t k = 0; k < mezzi; ++k) {
            const double x = double(k) + 0.5; // from the point halfway, in input frames
            const double t = x / double(mezzi);
            const double finestra = 0.42 + 0.5 * std::cos(std::numbers::pi * t) +
                                    0.08 * std::cos(2 * std::numbers::pi * t);
            pesi_[k] = std::sin(std::numbers::pi * x) / (std::numbers::pi * x) * finestra;
            somma += 2 * pesi_[k];
        }
        for (auto& p : pesi_)
            p = float(p / somma);
    }

    const std::string& midi() const { return midi_; }

    // Appends `frame` stereo frames at the synthesiser's rate; returns the
    // largest of their 16-bit samples' magnitudes.
    int aggiungi(const float* stereo, std::size_t frame) {
        int picco = 0;
        for (std::size_t i = 0; i < frame; ++i) {
            if (fatti_ % per_pezzo == 0)
                pezzi_.push_back(std::make_unique_for_overwrite<std::int16_t[]>(2 * per_pezzo));
            std::int16_t* a = pezzi_.back().get() + 2 * (fatti_ % per_pezzo);
            for (std::size_t c = 0; c < 2; ++c) {
                const long v = std::lround(std::clamp(stereo[2 * i + c], -1.0f, 1.0f) * 32767.0f);
                a[c] = std::int16_t(v);
                picco = std::max(picco, int(std::abs(v)));
            }
            ++fatti_;
        }
        return picco;
    }
    // Frames made, at the synthesiser's rate.
    std::uint64_t fatti() const { return fatti_; }
    // Output frames that can be read so far (all of them once complete).
    std::uint64_t pronti() const {
        if (!raddoppia_)
            return fatti_;
        return 2 * fatti_ + (completo ? 2 * ritardo : 0);
    }
    // Output frames per synthesiser frame.
    int passo() const { return raddoppia_ ? 2 : 1; }

    bool completo = false; // made to its end (or cut at the longest kept)
    bool guasto = false;   // cannot be made: no SoundFont, or a file FluidSynth refuses
    // The output frame from which the tune counts as ended (its last notes may
    // still ring after it); 0 until the synthesiser has reached it.
    std::uint64_t fine = 0;

    // Output frames [da, da + n), interleaved stereo, into `out`; silence past
    // what has been made.
    void leggi(std::uint64_t da, std::size_t n, float* out) {
        if (n == 0)
            return;
        if (!raddoppia_) {
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t c = 0; c < 2; ++c)
                    out[2 * i + c] = campione(std::int64_t(da + i), c);
            return;
        }
        // Output frame m comes from input frame g = m / 2: the even one is
        // x[g - 16], the odd one sum_k w[k] (x[g - 16 - k] + x[g - 15 + k]).
        const auto g0 = std::int64_t(da / 2);
        const auto g1 = std::int64_t((da + n - 1) / 2);
        const std::size_t quanti = std::size_t(g1 - g0 + 1);
        const std::size_t arrotondati = (quanti + otto - 1) / otto * otto;
        const std::size_t prima = 2 * mezzi - 1; // input frames before g the taps reach
        for (std::size_t c = 0; c < 2; ++c) {
            std::vector<float>& x = ingresso_[c];
            x.resize(prima + arrotondati + 1);
            for (std::size_t j = 0; j < x.size(); ++j)
                x[j] = campione(g0 - std::int64_t(prima) + std::int64_t(j), c);
            std::vector<float>& d = dispari_[c];
            d.assign(arrotondati, 0.0f);
            // Eight outputs at a time over each tap: loops the compiler vectorises.
            for (std::size_t t = 0; t < arrotondati; t += otto)
                for (std::size_t k = 0; k < mezzi; ++k) {
                    const float* sinistra = x.data() + t + prima - ritardo - k;
                    const float* destra = x.data() + t + prima - ritardo + 1 + k;
                    for (std::size_t l = 0; l < otto; ++l)
                        d[t + l] += pesi_[k] * (sinistra[l] + destra[l]);
                }
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t m = da + i;
            const std::size_t t = std::size_t(std::int64_t(m / 2) - g0);
            for (std::size_t c = 0; c < 2; ++c)
                out[2 * i + c] = m % 2 == 0 ? ingresso_[c][t + prima - ritardo] : dispari_[c][t];
        }
    }

private:
    static constexpr std::size_t mezzi = 16;   // taps on each side of the point
    static constexpr std::size_t ritardo = 16; // input frames the doubled stream is late
    static constexpr std::size_t otto = 8;
    // 65536 frames (256 KiB) a piece: the pieces are allocated as the tune is
    // made, never moved, and left unwritten until then (the last piece's unused
    // pages never become resident).
    static constexpr std::size_t per_pezzo = 65536;

    float campione(std::int64_t i, std::size_t c) const {
        if (i < 0 || std::uint64_t(i) >= fatti_)
            return 0.0f;
        const auto u = std::size_t(i);
        return float(pezzi_[u / per_pezzo][2 * (u % per_pezzo) + c]) / 32767.0f;
    }

    std::string midi_; // the file's bytes: a tune opened again is not made again
    bool raddoppia_;
    std::array<float, mezzi> pesi_{};
    std::vector<std::unique_ptr<std::int16_t[]>> pezzi_;
    std::uint64_t fatti_ = 0;
    std::array<std::vector<float>, 2> ingresso_;
    std::array<std::vector<float>, 2> dispari_;
};

} // namespace contavoce::platform
