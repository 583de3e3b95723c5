// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace contavoce::platform {

// Doubles the rate of a stereo stream: the even output frames are the input's,
// the odd ones lie halfway between, from a half-band FIR (windowed sinc, 32
// taps). Written here because the libraries at hand cost what the halved
// synthesis saves: SDL's audio stream took 0.25% of a core for this
// (measured), libsamplerate's sinc converters are slower still and its linear
// one dulls the highs.
class Raddoppio {
public:
    Raddoppio() {
        double somma = 0;
        for (std::size_t k = 0; k < mezzi; ++k) {
            const double x = double(k) + 0.5; // from the point halfway, in input frames
            const double t = x / double(mezzi);
            const double finestra = 0.42 + 0.5 * std::cos(std::numbers::pi * t) +
                                    0.08 * std::cos(2 * std::numbers::pi * t);
            pesi_[k] = std::sin(std::numbers::pi * x) / (std::numbers::pi * x) * finestra;
            somma += 2 * pesi_[k];
        }
        for (double& p : pesi_)
            p /= somma;
    }
    // Forgets the frames before (a command's cut).
    void azzera() { std::fill(storia_.begin(), storia_.end(), 0.0f); }
    // `frame` stereo frames in, twice as many out, `mezzi` - 1 input frames late.
    void raddoppia(const float* in, int frame, float* out) {
        const std::size_t n = std::size_t(frame);
        lavoro_.resize(storia_.size() + 2 * n);
        std::copy(storia_.begin(), storia_.end(), lavoro_.begin());
        std::copy_n(in, 2 * n, lavoro_.begin() + std::ptrdiff_t(storia_.size()));
        for (std::size_t j = 0; j < n; ++j) {
            const std::size_t c = j + mezzi - 1; // the frame this output pair starts at
            for (std::size_t canale = 0; canale < 2; ++canale) {
                double v = 0;
                for (std::size_t k = 0; k < mezzi; ++k)
                    v += pesi_[k] * (double(lavoro_[2 * (c - k) + canale]) +
                                     double(lavoro_[2 * (c + 1 + k) + canale]));
                out[4 * j + canale] = lavoro_[2 * c + canale];
                out[4 * j + 2 + canale] = float(v);
            }
        }
        std::copy(lavoro_.end() - std::ptrdiff_t(storia_.size()), lavoro_.end(), storia_.begin());
    }

private:
    static constexpr std::size_t mezzi = 16; // taps on each side of the point
    std::array<double, mezzi> pesi_{};
    std::array<float, 2 * (2 * mezzi - 1)> storia_{}; // the frames still to pass the taps
    std::vector<float> lavoro_;
};

} // namespace contavoce::platform
