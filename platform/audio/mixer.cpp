// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/mixer.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace contavoce::platform {

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

namespace {

double da_db(double db) {
    return std::pow(10.0, db / 20.0);
}

// The factor per frame that covers `db` in `ms` at an even rate in dB.
double passo(double db, double ms, int frequenza) {
    return std::pow(10.0, db / 20.0 / std::max(1.0, ms / 1000.0 * frequenza));
}

} // namespace

// The music's buffer is sized here, once: the thread that pulls the mix must
// not allocate (a device's callback that waits on the allocator can be heard).
Mixer::Mixer(FormatoAudio formato, LivelliMusica livelli)
    : formato_(formato),
      buffer_musica_(std::size_t(frame_per_buffer) * std::size_t(formato.canali)),
      guadagno_sottofondo_(da_db(livelli.sottofondo_db)),
      guadagno_sotto_effetti_(da_db(livelli.sotto_effetti_db)),
      passo_discesa_(passo(-std::abs(livelli.sottofondo_db - livelli.sotto_effetti_db),
                           livelli.discesa_ms, formato.frequenza)),
      passo_risalita_(passo(std::abs(livelli.sottofondo_db - livelli.sotto_effetti_db),
                            livelli.risalita_ms, formato.frequenza)),
      frame_tenuta_(std::uint64_t(std::max(0.0, livelli.tenuta_ms) / 1000.0 * formato.frequenza)),
      guadagno_(guadagno_sottofondo_), frame_senza_effetto_(frame_tenuta_) {}

std::uint64_t Mixer::avvia(std::shared_ptr<const Clip> clip) {
    if (clip && clip->campioni.empty())
        clip.reset();
    std::uint64_t biglietto = 0;
    {
        std::lock_guard lock(mutex_);
        // The clip being replaced counts as done for anyone waiting on it.
        finito_fino_a_ = biglietto_;
        // The old clip leaves in `clip`, to be freed on this thread after the
        // lock: the pulling thread never frees, it only stops reading a clip.
        clip_.swap(clip);
        posizione_ = 0;
        appena_avviato_ = true;
        inizio_.reset();
        biglietto = ++biglietto_;
        if (!clip_)
            finito_fino_a_ = biglietto_;
    }
    fine_.notify_all();
    return biglietto;
}

std::uint64_t Mixer::ultimo() const {
    std::lock_guard lock(mutex_);
    return biglietto_;
}

bool Mixer::finito(std::uint64_t biglietto) const {
    std::lock_guard lock(mutex_);
    return biglietto <= finito_fino_a_;
}

bool Mixer::attendi(std::uint64_t biglietto, std::chrono::milliseconds massimo) const {
    std::unique_lock lock(mutex_);
    return fine_.wait_for(lock, massimo, [&] { return biglietto <= finito_fino_a_; });
}

std::chrono::milliseconds Mixer::durata(const Clip& clip) const {
    return std::chrono::milliseconds(std::int64_t(clip.frame()) * 1000 / formato_.frequenza);
}

std::optional<Mixer::Inizio> Mixer::inizio_ultimo() const {
    std::lock_guard lock(mutex_);
    return inizio_;
}

std::uint64_t Mixer::frame_mescolati() const {
    std::lock_guard lock(mutex_);
    return frame_mescolati_;
}

void Mixer::imposta_musica(Musica musica) {
    // The old renderer, too, goes on this thread, outside the lock.
    std::lock_guard lock(mutex_);
    musica_.swap(musica);
}

double Mixer::guadagno_musica(bool effetto) {
    if (effetto)
        frame_senza_effetto_ = 0;
    else if (frame_senza_effetto_ < frame_tenuta_)
        ++frame_senza_effetto_;
    const double bersaglio = effetto || frame_senza_effetto_ < frame_tenuta_
                                 ? guadagno_sotto_effetti_
                                 : guadagno_sottofondo_;
    // Clamped at the level it heads for, so the steps' rounding never drifts past it.
    if (guadagno_ > bersaglio)
        guadagno_ = std::max(guadagno_ * passo_discesa_, bersaglio);
    else
        guadagno_ = std::min(guadagno_ * passo_risalita_, bersaglio);
    return guadagno_;
}

void Mixer::mescola(float* out, int frame) {
    const std::size_t canali = std::size_t(formato_.canali);
    const std::size_t n = std::size_t(frame) * canali;
    std::lock_guard lock(mutex_);
    // Frames of this buffer in which the effects voice sounds: the music's gain follows them.
    const std::size_t con_effetto =
        clip_ && posizione_ < clip_->campioni.size()
            ? std::min(std::size_t(frame),
                       (clip_->campioni.size() - posizione_ + canali - 1) / canali)
            : 0;
    if (musica_) {
        // In pieces of the buffer made beforehand, whatever the device asks for.
        for (int fatti = 0; fatti < frame;) {
            const int pezzo = std::min(frame - fatti, int(buffer_musica_.size() / canali));
            musica_(buffer_musica_.data(), pezzo);
            for (std::size_t i = 0; i < std::size_t(pezzo); ++i) {
                const std::size_t f = std::size_t(fatti) + i;
                const auto g = float(guadagno_musica(f < con_effetto));
                for (std::size_t k = 0; k < canali; ++k)
                    out[f * canali + k] = buffer_musica_[i * canali + k] * g;
            }
            fatti += pezzo;
        }
    } else {
        std::fill(out, out + n, 0.0f);
        // The gain moves on in silence too, so music set meanwhile starts at the right level.
        for (std::size_t f = 0; f < std::size_t(frame); ++f)
            guadagno_musica(f < con_effetto);
    }

    if (con_effetto > 0) {
        if (appena_avviato_) {
            inizio_ = Inizio{frame_mescolati_, std::chrono::steady_clock::now()};
            appena_avviato_ = false;
        }
        const std::size_t da_copiare =
            std::min(con_effetto * canali, clip_->campioni.size() - posizione_);
        const float* sorgente = clip_->campioni.data() + posizione_;
        for (std::size_t i = 0; i < da_copiare; ++i)
            out[i] += sorgente[i];
        posizione_ += da_copiare;
        if (posizione_ >= clip_->campioni.size()) {
            // Kept until the next clip replaces it: freeing here could block.
            finito_fino_a_ = biglietto_;
            fine_.notify_all();
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    frame_mescolati_ += std::uint64_t(frame);
}

} // namespace contavoce::platform
