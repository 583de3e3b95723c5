// SPDX-License-Identifier: GPL-3.0-or-later
// The mix that reaches the output: one effects voice (one clip at a time, a
// new one replaces the old) and one music voice fed by a renderer. The same
// mixer is pulled by the sound device's callback or, for recordings, by a
// loop in the caller's thread, so both produce the same samples.
#pragma once

#include "platform/audio/clip.h"
#include "platform/audio/suono.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace contavoce::platform {

// Frames per device buffer: small, so that a key's sound starts quickly and the
// gap between two speech clips (at most one buffer's padding) stays short.
inline constexpr int frame_per_buffer = 256;

// Where the music voice sits against the effects voice, in dB of gain on the
// music as rendered (the tune comes out at about -28 dBFS RMS, its loudest 50 ms
// at -22; the voice's spoken parts and every effect at -17).
// Alone, the music is a bed: 3 dB down it averages some 14 dB under the voice
// and its loudest passages stay 8 dB under, clearly heard at any volume the
// voice is comfortable at, never competing with it.
// While a clip plays on the effects voice the music goes 21 dB further down:
// a word's softer stretches lie some 13 dB under its spoken level, and the
// voice must still stand 14 dB clear of the tune's loudest passage there. It
// stays down for a hold after a clip, so that speech clips chained with at most
// a few buffers between them do not let it swell between words, then comes
// back up. The gain moves sample by sample at an even rate in dB: no click,
// no zipper noise.
struct LivelliMusica {
    double sottofondo_db = -3.0;
    double sotto_effetti_db = -24.0;
    double discesa_ms = 30.0;   // the whole way down
    double tenuta_ms = 120.0;   // after the effects voice falls silent
    double risalita_ms = 300.0; // the whole way back up
};

class Mixer {
public:
    // Renders `frame` frames of music, interleaved in the mixer's format, into `out`
    // (which it overwrites). Runs on the thread that pulls the mix.
    using Musica = VoceMusicale::Musica;

    explicit Mixer(FormatoAudio formato, LivelliMusica livelli = {});

    const FormatoAudio& formato() const { return formato_; }

    // Starts the clip on the effects voice, replacing what it was playing.
    // Returns a ticket for `finito` / `attendi`.
    std::uint64_t avvia(std::shared_ptr<const Clip> clip);
    // The ticket of the newest clip (0 before the first).
    std::uint64_t ultimo() const;
    // Whether the clip of this ticket has handed over its last sample (or was replaced).
    bool finito(std::uint64_t biglietto) const;
    // Blocks until `finito(biglietto)` or until `massimo` has passed (a device
    // that stopped pulling must not hang the program); only for a mixer pulled
    // by another thread. Returns whether the clip finished.
    bool attendi(std::uint64_t biglietto, std::chrono::milliseconds massimo) const;
    // Duration of a clip in this mixer's format.
    std::chrono::milliseconds durata(const Clip& clip) const;
    // When the newest clip's first sample entered the mix: the frame index
    // (counted from the first pull) and the moment of that pull. For measurements.
    struct Inizio {
        std::uint64_t frame;
        std::chrono::steady_clock::time_point istante;
    };
    std::optional<Inizio> inizio_ultimo() const;

    // Frames pulled so far.
    std::uint64_t frame_mescolati() const;

    void imposta_musica(Musica musica);

    // Fills `out` with `frame` frames of the mix; returns whether anything sounded
    // in them (a clip, or the music saying it plays).
    bool mescola(float* out, int frame);

private:
    const FormatoAudio formato_;
    mutable std::mutex mutex_;
    mutable std::condition_variable fine_;
    std::shared_ptr<const Clip> clip_;
    std::size_t posizione_ = 0;
    std::uint64_t biglietto_ = 0;     // ticket of the newest clip
    std::uint64_t finito_fino_a_ = 0; // every ticket up to this one is done
    std::uint64_t frame_mescolati_ = 0;
    std::optional<Inizio> inizio_;
    bool appena_avviato_ = false;
    Musica musica_;
    std::vector<float> buffer_musica_;

    // The music's gain for the next frame, given whether the effects voice sounds in it.
    double guadagno_musica(bool effetto);
    const double guadagno_sottofondo_;
    const double guadagno_sotto_effetti_;
    const double passo_discesa_;  // factor per frame on the way down
    const double passo_risalita_; // and on the way up
    const std::uint64_t frame_tenuta_;
    double guadagno_;
    std::uint64_t frame_senza_effetto_;
};

} // namespace contavoce::platform
