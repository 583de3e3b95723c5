// SPDX-License-Identifier: GPL-3.0-or-later
// A sound as the mixer plays it, converted whole to the output's format, and
// the ways one is made: read from a clip file, decoded from a WAV image by
// SDL, or the alert played in place of one that cannot be played.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace contavoce::platform {

struct FormatoAudio {
    int frequenza = 44100;
    int canali = 2;
};

// A sound converted whole to the output format: interleaved float samples.
struct Clip {
    std::vector<float> campioni;
    int canali = 2;
    std::size_t frame() const { return campioni.size() / std::size_t(canali); }
};

// Decodes a WAV image (PCM 8/16-bit, Microsoft ADPCM, …) and converts it in one
// go to the given format; nothing if it is not a WAV the decoder understands.
std::optional<Clip> decodifica_wav(std::span<const char> wav, FormatoAudio formato);

// The platform's alert: a short two-tone chime, played in place of a file that
// cannot be played.
Clip suono_di_avviso(FormatoAudio formato);

// The largest clip made is 62 KB (1.4 s of 22050 Hz mono speech) and laser.wav
// 18 KB; 1 MiB still holds a word re-recorded as 5 s of 48 kHz 16-bit stereo.
// Anything larger is no clip of ours, and is not worth holding in memory.
inline constexpr std::size_t clip_massima = 1024 * 1024;

// The whole content of a plain file of at most clip_massima bytes, or nothing
// (for a missing file as for a FIFO, a device or a larger file: it is opened
// without blocking and never read past the bound).
std::optional<std::vector<char>> leggi_file(const std::string& percorso);

} // namespace contavoce::platform
