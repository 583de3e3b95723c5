// SPDX-License-Identifier: GPL-3.0-or-later
// Finding known sounds in a recording: each sound is slid along the recording
// and compared by normalised cross-correlation, computed through FFTW. The
// end-to-end session first brings both to one analysis format (mono, 11025 Hz);
// the benchmarks that subtract a found sound from the mix work at the full rate.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace contavoce::audio_match {

inline constexpr std::size_t frequenza_analisi = 11025;
// A clip under quiet music still correlates near 1; a different clip stays well below.
inline constexpr double soglia_ncc = 0.6;

// Interleaved stereo at 44100 Hz to mono at 11025 Hz, low-passed before the decimation.
std::vector<float> a_mono_11025(std::span<const float> stereo_44100);

// Root mean square of v[da, a).
double rms(std::span<const float> v, std::size_t da, std::size_t a);

class Correlatore {
public:
    explicit Correlatore(std::vector<float> segnale);
    ~Correlatore();
    Correlatore(const Correlatore&) = delete;
    Correlatore& operator=(const Correlatore&) = delete;

    // For every offset k where the model fits whole, the correlation between the
    // model and the signal's stretch starting at k, normalised by both energies
    // (1 = the same shape, whatever the level). Near-silent stretches give 0.
    // Not thread-safe: the FFT buffers are reused from call to call.
    std::vector<float> ncc(std::span<const float> modello);

private:
    struct Fft;
    std::vector<float> segnale_;
    std::vector<double> energia_cumulata_; // sum of squares of segnale_[0, k)
    std::size_t n_;
    std::unique_ptr<Fft> fft_;
};

struct Picco {
    std::size_t posizione;
    float valore;
};

// The first offset from `da` on where the curve reaches `soglia`, moved to the
// highest value within `ampiezza` after it; nothing if the curve never gets there.
// A steady tone already passes the threshold while only partly overlapping, so
// `ampiezza` should be the model's length.
std::optional<Picco> primo_picco(std::span<const float> curva, std::size_t da, double soglia,
                                 std::size_t ampiezza);

} // namespace contavoce::audio_match
