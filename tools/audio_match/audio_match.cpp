// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/audio_match/audio_match.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <fftw3.h>
#include <numbers>

namespace contavoce::audio_match {
namespace {

// Windowed-sinc low-pass (Blackman) for the 4:1 decimation: the recording and
// every model pass through the same filter, so their shapes stay comparable.
// A few lines here spare a resampling library for one fixed ratio.
std::vector<float> filtro_passa_basso() {
    constexpr int meta = 63;
    constexpr double taglio = 0.45 / 4; // of 44100 Hz: just under the new Nyquist frequency
    std::vector<float> h(2 * meta + 1);
    double somma = 0;
    for (int i = -meta; i <= meta; ++i) {
        const double x = 2 * taglio * i;
        const double sinc = i == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
        const double w = 0.42 + 0.5 * std::cos(std::numbers::pi * i / meta) +
                         0.08 * std::cos(2 * std::numbers::pi * i / meta);
        h[std::size_t(i + meta)] = float(sinc * w);
        somma += sinc * w;
    }
    for (float& v : h)
        v = float(v / somma);
    return h;
}

struct LiberaFftw {
    void operator()(void* p) const { fftwf_free(p); }
};
template <typename T> using BufferFftw = std::unique_ptr<T[], LiberaFftw>;

template <typename T> BufferFftw<T> nuovo_buffer(std::size_t n) {
    return BufferFftw<T>(static_cast<T*>(fftwf_malloc(n * sizeof(T))));
}

struct LiberaPiano {
    void operator()(fftwf_plan p) const { fftwf_destroy_plan(p); }
};
using Piano = std::unique_ptr<std::remove_pointer_t<fftwf_plan>, LiberaPiano>;

} // namespace

std::vector<float> a_mono_11025(std::span<const float> stereo) {
    static const std::vector<float> h = filtro_passa_basso();
    const std::size_t frame = stereo.size() / 2;
    std::vector<float> mono(frame);
    for (std::size_t i = 0; i < frame; ++i)
        mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    const auto meta = std::ptrdiff_t(h.size() / 2);
    std::vector<float> out((frame + 3) / 4);
    for (std::size_t n = 0; n < out.size(); ++n) {
        double s = 0;
        for (std::ptrdiff_t j = -meta; j <= meta; ++j) {
            const std::ptrdiff_t i = std::ptrdiff_t(4 * n) + j;
            if (i >= 0 && i < std::ptrdiff_t(frame))
                s += double(h[std::size_t(j + meta)]) * mono[std::size_t(i)];
        }
        out[n] = float(s);
    }
    return out;
}

double rms(std::span<const float> v, std::size_t da, std::size_t a) {
    a = std::min(a, v.size());
    if (da >= a)
        return 0;
    double s = 0;
    for (std::size_t i = da; i < a; ++i)
        s += double(v[i]) * v[i];
    return std::sqrt(s / double(a - da));
}

// The signal's spectrum, computed once, and the buffers and plans reused for each model.
struct Correlatore::Fft {
    BufferFftw<float> reale;
    BufferFftw<fftwf_complex> spettro_segnale, spettro;
    Piano avanti, indietro;
};

Correlatore::Correlatore(std::vector<float> segnale)
    : segnale_(std::move(segnale)), fft_(std::make_unique<Fft>()) {
    energia_cumulata_.resize(segnale_.size() + 1);
    for (std::size_t i = 0; i < segnale_.size(); ++i)
        energia_cumulata_[i + 1] = energia_cumulata_[i] + double(segnale_[i]) * segnale_[i];
    // Offsets are only read where the model fits whole, so a circular
    // correlation over a power of two at least as long as the signal is exact there.
    n_ = 1;
    while (n_ < segnale_.size())
        n_ *= 2;
    const std::size_t bins = n_ / 2 + 1;
    fft_->reale = nuovo_buffer<float>(n_);
    fft_->spettro_segnale = nuovo_buffer<fftwf_complex>(bins);
    fft_->spettro = nuovo_buffer<fftwf_complex>(bins);
    fft_->avanti.reset(
        fftwf_plan_dft_r2c_1d(int(n_), fft_->reale.get(), fft_->spettro.get(), FFTW_ESTIMATE));
    fft_->indietro.reset(
        fftwf_plan_dft_c2r_1d(int(n_), fft_->spettro.get(), fft_->reale.get(), FFTW_ESTIMATE));
    std::fill_n(fft_->reale.get(), n_, 0.0f);
    std::copy(segnale_.begin(), segnale_.end(), fft_->reale.get());
    fftwf_execute(fft_->avanti.get());
    std::copy_n(&fft_->spettro[0][0], 2 * bins, &fft_->spettro_segnale[0][0]);
}

Correlatore::~Correlatore() = default;

std::vector<float> Correlatore::ncc(std::span<const float> modello) {
    const std::size_t m = modello.size();
    if (m == 0 || m > segnale_.size())
        return {};
    double energia_modello = 0;
    for (float v : modello)
        energia_modello += double(v) * v;
    if (energia_modello <= 0)
        return std::vector<float>(segnale_.size() - m + 1, 0.0f);

    std::fill_n(fft_->reale.get(), n_, 0.0f);
    std::copy(modello.begin(), modello.end(), fft_->reale.get());
    fftwf_execute(fft_->avanti.get());
    // Correlation is the product of the signal's spectrum with the model's conjugate.
    const std::size_t bins = n_ / 2 + 1;
    for (std::size_t k = 0; k < bins; ++k) {
        const std::complex<float> s(fft_->spettro_segnale[k][0], fft_->spettro_segnale[k][1]);
        const std::complex<float> t(fft_->spettro[k][0], fft_->spettro[k][1]);
        const std::complex<float> p = s * std::conj(t);
        fft_->spettro[k][0] = p.real();
        fft_->spettro[k][1] = p.imag();
    }
    fftwf_execute(fft_->indietro.get());

    // A stretch far quieter than the model (silence) is no match, whatever its shape.
    const double energia_minima = energia_modello * 1e-4;
    std::vector<float> curva(segnale_.size() - m + 1);
    for (std::size_t k = 0; k < curva.size(); ++k) {
        const double e = energia_cumulata_[k + m] - energia_cumulata_[k];
        curva[k] =
            e < energia_minima
                ? 0.0f
                : float(double(fft_->reale[k]) / double(n_) / std::sqrt(energia_modello * e));
    }
    return curva;
}

std::optional<Picco> primo_picco(std::span<const float> curva, std::size_t da, double soglia,
                                 std::size_t ampiezza) {
    for (std::size_t k = da; k < curva.size(); ++k) {
        if (curva[k] < soglia)
            continue;
        Picco p{k, curva[k]};
        for (std::size_t j = k; j < std::min(curva.size(), k + ampiezza + 1); ++j)
            if (curva[j] > p.valore)
                p = {j, curva[j]};
        return p;
    }
    return std::nullopt;
}

} // namespace contavoce::audio_match
