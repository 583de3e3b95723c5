// SPDX-License-Identifier: GPL-3.0-or-later
// Sound output: the three ways the program plays a WAV (a file to its end, an
// image from memory to its end, a file without waiting) and the device count.
// `Suono` is the seam: the window and the speaker talk only to it, so tests
// can record what would be played without a device.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace contavoce::platform {

class Suono {
public:
    virtual ~Suono() = default;

    // Number of usable output devices; 0 when the default one cannot be opened.
    virtual int dispositivi() = 0;
    // Plays the WAV file and returns when it has finished. A file that cannot be
    // played is replaced by a short alert sound. A new sound replaces one still playing.
    virtual void suona_file(const std::string& percorso) = 0;
    // Plays a complete WAV image from memory and returns when it has finished.
    virtual void suona_memoria(std::span<const char> wav) = 0;
    // Starts the WAV file and returns at once.
    virtual void suona_file_subito(const std::string& percorso) = 0;
    // Waits at most `massimo` for the sound still playing (one started without
    // waiting) to end; true once nothing plays. The caller can let its event
    // loop run between calls.
    virtual bool attendi_fine(std::chrono::milliseconds massimo) = 0;
};

// The output's second voice, which the music player fills.
class VoceMusicale {
public:
    // Renders `frame` interleaved frames into `out`, overwriting it; runs on the
    // thread that pulls the mix. Returns whether the music sounds (a tune is
    // playing, or waiting for its samples): while it does not, and no effect
    // plays, the output may fall asleep.
    using Musica = std::function<bool(float* out, int frame)>;

    virtual ~VoceMusicale() = default;
    // Sample rate and channels of the mix, or nothing when there is no output.
    virtual std::optional<std::pair<int, int>> formato_musica() = 0;
    virtual void imposta_musica(Musica musica) = 0;
    // The music is about to sound: an output asleep wakes and pulls it again.
    virtual void sveglia() {}
    // Whether a device pulls the mix in real time, from a thread that must never
    // wait (nor allocate, nor read a file). Otherwise (a recording) the caller's
    // own thread pulls it, and the music may keep it waiting to come out the
    // same every time.
    virtual bool in_tempo_reale() const { return false; }
};

} // namespace contavoce::platform
