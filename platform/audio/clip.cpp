// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/clip.h"

#include "platform/base/file.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numbers>

namespace contavoce::platform {

std::optional<std::vector<char>> leggi_file(const std::string& percorso) {
    const auto byte = contenuto_file_limitato(percorso, clip_massima);
    if (!byte)
        return std::nullopt;
    return std::vector<char>(byte->begin(), byte->end());
}

namespace {

// SDL allocates as many bytes as a chunk claims before finding that the file
// ends sooner, so a damaged four-byte length costs gigabytes. The image is
// handed over with each overlong length cut to the bytes it really has, which
// is also how SDL goes on to treat a truncated file. SDL also reads a file
// that starts at "WAVE", without the RIFF header; its chunks are cut the same.
std::optional<std::vector<char>> lunghezze_tagliate(std::span<const char> wav) {
    const auto le32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | std::uint8_t(wav[at + std::size_t(i)]);
        return v;
    };
    std::optional<std::vector<char>> copia;
    std::size_t primo = 0; // where the first chunk after "WAVE" starts
    if (wav.size() >= 12 && std::memcmp(wav.data(), "RIFF", 4) == 0)
        primo = 12;
    else if (wav.size() >= 4 && std::memcmp(wav.data(), "WAVE", 4) == 0)
        primo = 4;
    else
        return copia; // SDL refuses anything else before reading a chunk
    for (std::size_t at = primo; at + 8 <= wav.size();) {
        const std::size_t resto = wav.size() - at - 8;
        const std::uint32_t lunghezza = le32(at + 4);
        if (lunghezza > resto) {
            copia.emplace(wav.begin(), wav.end());
            for (int i = 0; i < 4; ++i)
                (*copia)[at + 4 + std::size_t(i)] = char((resto >> (8 * i)) & 0xff);
            break;
        }
        at += 8 + std::size_t(lunghezza) + (lunghezza & 1);
    }
    return copia;
}

} // namespace

std::optional<Clip> decodifica_wav(std::span<const char> wav, FormatoAudio formato) {
    const auto tagliata = lunghezze_tagliate(wav);
    if (tagliata)
        wav = *tagliata;
    SDL_RWops* rw = SDL_RWFromConstMem(wav.data(), int(wav.size()));
    if (!rw)
        return std::nullopt;
    SDL_AudioSpec spec{};
    Uint8* dati = nullptr;
    Uint32 lunghezza = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &dati, &lunghezza))
        return std::nullopt;
    const std::unique_ptr<Uint8, decltype(&SDL_FreeWAV)> decodificato(dati, SDL_FreeWAV);
    // A file with no samples (SDL hands back a null buffer) is as good as a
    // broken one: the alert is played in its place rather than nothing.
    if (lunghezza == 0 || !dati)
        return std::nullopt;

    // SDL_AudioStream loses the tail of a resampled clip; a whole-buffer
    // conversion keeps its exact length.
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_F32SYS,
                          Uint8(formato.canali), formato.frequenza) < 0)
        return std::nullopt;
    std::vector<Uint8> lavoro(std::size_t(lunghezza) * std::size_t(std::max(cvt.len_mult, 1)));
    std::memcpy(lavoro.data(), dati, lunghezza);
    cvt.buf = lavoro.data();
    cvt.len = int(lunghezza);
    if (cvt.needed && SDL_ConvertAudio(&cvt) < 0)
        return std::nullopt;
    const std::size_t byte = cvt.needed ? std::size_t(cvt.len_cvt) : lunghezza;

    Clip clip;
    clip.canali = formato.canali;
    clip.campioni.resize(byte / sizeof(float) / std::size_t(formato.canali) *
                         std::size_t(formato.canali));
    if (!clip.campioni.empty())
        std::memcpy(clip.campioni.data(), lavoro.data(), clip.campioni.size() * sizeof(float));
    return clip;
}

Clip suono_di_avviso(FormatoAudio formato) {
    // Two soft sine tones with short fades: recognisably "something is missing".
    Clip c;
    c.canali = formato.canali;
    const double f = formato.frequenza;
    const std::size_t n = std::size_t(0.24 * f);
    c.campioni.resize(n * std::size_t(formato.canali));
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / f;
        const double tono = t < 0.12 ? 880.0 : 660.0;
        const double dentro = std::fmod(t, 0.12);
        const double inviluppo = std::min({1.0, dentro / 0.005, (0.12 - dentro) / 0.02});
        const float v = float(0.3 * inviluppo * std::sin(2 * std::numbers::pi * tono * t));
        for (int k = 0; k < formato.canali; ++k)
            c.campioni[i * std::size_t(formato.canali) + std::size_t(k)] = v;
    }
    return c;
}

} // namespace contavoce::platform
