// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace contavoce::platform {

// The music rendered ahead of the output, stereo, from the render thread (the
// one writer) to the thread that pulls the mix (the one reader), which only
// copies: no lock, no allocation, no wait. Positions are counted in frames
// from the start and never wrap. A command that must be heard at once moves
// the reader's start to what has been written so far, so the music rendered
// before it is dropped rather than heard late. Written here, not taken from a
// library: jack_ringbuffer (the single-writer ring on this system) counts
// wrapped byte offsets, so dropping "everything written before this command"
// would need our own counters beside it, and it would tie the program to the
// JACK client library for a few lines.
class AnelloMusica {
public:
    explicit AnelloMusica(std::size_t frame) : campioni_(2 * frame), capienza_(frame) {}

    // Writer's side.
    std::uint64_t scritto() const { return scritto_.load(std::memory_order_relaxed); }
    std::size_t libero() const {
        return capienza_ - std::size_t(scritto() - letto_.load(std::memory_order_acquire));
    }
    // Frames still to be heard, the dropped ones left out.
    std::size_t da_sentire() const {
        const std::uint64_t inizio = std::max(letto_.load(std::memory_order_acquire),
                                              salta_a_.load(std::memory_order_relaxed));
        return std::size_t(scritto() - inizio);
    }
    // `frame` must fit in `libero()`.
    void scrivi(const float* stereo, std::size_t frame) {
        const std::uint64_t da = scritto();
        for (std::size_t fatti = 0; fatti < frame;) {
            const std::size_t at = std::size_t((da + fatti) % capienza_);
            const std::size_t pezzo = std::min(frame - fatti, capienza_ - at);
            std::copy_n(stereo + 2 * fatti, 2 * pezzo, campioni_.data() + 2 * at);
            fatti += pezzo;
        }
        scritto_.store(da + frame, std::memory_order_release);
    }
    void salta() { salta_a_.store(scritto(), std::memory_order_release); }

    // Reader's side: where the next frame heard comes from.
    std::uint64_t prossimo() const {
        return std::max(letto_.load(std::memory_order_relaxed),
                        salta_a_.load(std::memory_order_acquire));
    }
    // Copies up to `frame` frames into `out` (interleaved, `canali` channels: a
    // mono or surround output gets the stereo mix's average in every channel) and
    // returns how many it had.
    std::size_t leggi(float* out, std::size_t frame, int canali) {
        // The mark first: it never passes what was written before it was set.
        const std::uint64_t salta = salta_a_.load(std::memory_order_acquire);
        const std::uint64_t scritto = scritto_.load(std::memory_order_acquire);
        const std::uint64_t letto = std::max(letto_.load(std::memory_order_relaxed), salta);
        const std::size_t n = std::min(frame, std::size_t(scritto - letto));
        const std::size_t c = std::size_t(canali);
        for (std::size_t fatti = 0; fatti < n;) {
            const std::size_t at = std::size_t((letto + fatti) % capienza_);
            const std::size_t pezzo = std::min(n - fatti, capienza_ - at);
            const float* da = campioni_.data() + 2 * at;
            float* a = out + fatti * c;
            if (canali == 2) {
                std::copy_n(da, 2 * pezzo, a);
            } else {
                for (std::size_t i = 0; i < pezzo; ++i) {
                    const float m = 0.5f * (da[2 * i] + da[2 * i + 1]);
                    std::fill_n(a + i * c, c, m);
                }
            }
            fatti += pezzo;
        }
        letto_.store(letto + n, std::memory_order_release);
        return n;
    }

private:
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
    std::vector<float> campioni_;
    const std::size_t capienza_;
    std::atomic<std::uint64_t> scritto_{0};
    std::atomic<std::uint64_t> letto_{0};
    std::atomic<std::uint64_t> salta_a_{0};
};

} // namespace contavoce::platform
