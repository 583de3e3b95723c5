// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/suono_sdl.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <pthread.h>
#include <type_traits>

namespace contavoce::platform {
namespace {

// With no sound card ALSA prints a page of configuration errors on stderr
// while SDL probes it. The program already tells the user, once and in
// Italian, so ALSA's own handler is replaced by a silent one. SDL loads
// libasound itself at run time; loading it here first sets the handler on the
// same instance. Without libasound there is nothing to silence.
void alsa_muto(const char*, int, const char*, int, const char*, ...) {}

void silenzia_alsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa)
        return;
    using Gestore = void (*)(const char*, int, const char*, int, const char*, ...);
    using Imposta = int (*)(Gestore);
    if (auto imposta = reinterpret_cast<Imposta>(dlsym(alsa, "snd_lib_error_set_handler")))
        imposta(alsa_muto);
    // The library stays loaded for SDL; it is never unloaded while the process runs.
}

// dispositivo_audio.h spells SDL's byte type as the fixed-width type it is.
static_assert(std::is_same_v<Uint8, std::uint8_t>);

class DispositivoSdl final : public DispositivoAudio {
public:
    DispositivoSdl() = default;
    ~DispositivoSdl() override { chiudi(); }
    DispositivoSdl(const DispositivoSdl&) = delete;
    DispositivoSdl& operator=(const DispositivoSdl&) = delete;

    std::optional<FormatoAudio> apri(FormatoAudio voluto, int frame, bool esatto, Richiamo richiamo,
                                     void* dati) override {
        chiudi();
        SDL_AudioSpec chiesto{};
        chiesto.freq = voluto.frequenza;
        chiesto.format = AUDIO_F32SYS;
        chiesto.channels = Uint8(voluto.canali);
        chiesto.samples = Uint16(frame);
        chiesto.callback = richiamo;
        chiesto.userdata = dati;
        SDL_AudioSpec ottenuto{};
        id_ = SDL_OpenAudioDevice(
            nullptr, 0, &chiesto, &ottenuto,
            esatto ? 0 : SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (id_ == 0)
            return std::nullopt;
        return FormatoAudio{ottenuto.freq, ottenuto.channels};
    }

    void avvia() override {
        if (id_ != 0)
            SDL_PauseAudioDevice(id_, 0);
    }

    // SDL marks an unplugged device stopped; an open one is otherwise playing or paused.
    bool perso() override { return id_ != 0 && SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED; }

    void chiudi() override {
        if (id_ != 0)
            SDL_CloseAudioDevice(id_);
        id_ = 0;
    }

    bool puo_dormire() override {
        const char* driver = SDL_GetCurrentAudioDriver();
        return !driver || std::strcmp(driver, "disk") != 0;
    }

private:
    SDL_AudioDeviceID id_ = 0;
};

} // namespace

std::unique_ptr<DispositivoAudio> dispositivo_sdl() {
    return std::make_unique<DispositivoSdl>();
}

void SuonoSdl::richiama(void* dati, std::uint8_t* flusso, int byte) {
    auto& suono = *static_cast<SuonoSdl*>(dati);
    Mixer& mixer = *suono.mixer_;
    const int frame = byte / int(sizeof(float)) / mixer.formato().canali;
    if (mixer.mescola(reinterpret_cast<float*>(flusso), frame))
        suono.muti_.store(0, std::memory_order_relaxed);
    else
        suono.muti_.fetch_add(1, std::memory_order_relaxed);
}

SuonoSdl::SuonoSdl(std::unique_ptr<DispositivoAudio> dispositivo, std::chrono::milliseconds tenuta)
    : tenuta_(tenuta), dispositivo_(std::move(dispositivo)) {
    silenzia_alsa();
    // SDL would otherwise swallow SIGINT and SIGTERM, and the program could not be
    // stopped from a terminal or by the session ending.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // PulseAudio and PipeWire show these in the system's volume mixer; without
    // them the stream is listed as "SDL Application".
    SDL_SetHint(SDL_HINT_APP_NAME, "Contavoce");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Contavoce");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Voce e musica");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, "game");
    sdl_pronto_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    {
        std::lock_guard lock(stato_);
        apri();
    }
    custode_ = std::jthread([this](std::stop_token fine) { custodisci(fine); });
}

SuonoSdl::~SuonoSdl() {
    custode_.request_stop();
    if (custode_.joinable())
        custode_.join();
    std::lock_guard lock(stato_);
    chiudi();
    if (sdl_pronto_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SuonoSdl::apri() {
    if (aperto_)
        return true;
    if (!sdl_pronto_)
        return false;
    const auto ottenuto =
        dispositivo_->apri(formato_.value_or(FormatoAudio{44100, 2}), frame_per_buffer,
                           formato_.has_value(), richiama, this);
    // A device that cannot be opened on waking keeps the mixer: nothing pulls it,
    // so nothing is started on it (avvia) until a device opens again.
    if (!ottenuto)
        return false;
    const bool stesso = addormentato_ && mixer_ && formato_ &&
                        ottenuto->frequenza == formato_->frequenza &&
                        ottenuto->canali == formato_->canali;
    aperto_ = true;
    addormentato_ = false;
    formato_ = *ottenuto;
    puo_dormire_ = dispositivo_->puo_dormire();
    muti_.store(0, std::memory_order_relaxed);
    // A device opens paused: the mixer takes the granted format before the first
    // callback. One woken from sleep goes on with the mixer it had, tickets,
    // music and levels included.
    if (!stesso) {
        mixer_ = std::make_unique<Mixer>(*ottenuto);
        avviso_ = std::make_shared<const Clip>(suono_di_avviso(mixer_->formato()));
        if (musica_)
            mixer_->imposta_musica(musica_);
    }
    dispositivo_->avvia();
    cambiato_.notify_all();
    return true;
}

void SuonoSdl::chiudi() {
    if (aperto_)
        dispositivo_->chiudi();
    aperto_ = false;
    addormentato_ = false;
    mixer_.reset();
    cambiato_.notify_all();
}

bool SuonoSdl::verifica() {
    if (aperto_ && dispositivo_->perso())
        chiudi();
    return apri();
}

bool SuonoSdl::verifica_dispositivo() {
    std::lock_guard lock(stato_);
    return verifica();
}

void SuonoSdl::sveglia() {
    std::lock_guard lock(stato_);
    if (verifica())
        muti_.store(0, std::memory_order_relaxed);
}

bool SuonoSdl::addormentato() {
    std::lock_guard lock(stato_);
    return addormentato_;
}

bool SuonoSdl::perso() {
    std::lock_guard lock(stato_);
    return aperto_ && dispositivo_->perso();
}

void SuonoSdl::custodisci(std::stop_token fine) {
    pthread_setname_np(pthread_self(), "contavoce-sonno");
    std::unique_lock lock(stato_);
    while (!fine.stop_requested()) {
        if (!aperto_ || !puo_dormire_) {
            cambiato_.wait(lock, fine, [this] { return aperto_ && puo_dormire_; });
            continue;
        }
        const auto frequenza = std::int64_t(mixer_->formato().frequenza);
        const auto servono = std::uint32_t(
            std::max<std::int64_t>(1, tenuta_.count() * frequenza / 1000 / frame_per_buffer));
        const std::uint32_t muti = muti_.load(std::memory_order_relaxed);
        // A clip started counts as sounding until its end, even before the device's
        // thread has mixed its first buffer.
        if (muti >= servono && mixer_->finito(mixer_->ultimo())) {
            dispositivo_->chiudi();
            aperto_ = false;
            addormentato_ = true;
            continue;
        }
        const auto buffer_us = std::int64_t(frame_per_buffer) * 1'000'000 / frequenza;
        const std::uint32_t mancano = std::max(servono - std::min(muti, servono), servono / 4);
        cambiato_.wait_for(lock, fine, std::chrono::microseconds(buffer_us * mancano),
                           [this] { return !aperto_; });
    }
}

int SuonoSdl::dispositivi() {
    return verifica_dispositivo() ? 1 : 0;
}

std::optional<std::pair<int, int>> SuonoSdl::formato_musica() {
    if (!verifica_dispositivo())
        return std::nullopt;
    return std::pair{mixer_->formato().frequenza, mixer_->formato().canali};
}

void SuonoSdl::imposta_musica(Musica musica) {
    musica_ = std::move(musica);
    if (mixer_)
        mixer_->imposta_musica(musica_);
}

std::uint64_t SuonoSdl::avvia(std::shared_ptr<const Clip> clip) {
    std::lock_guard lock(stato_);
    // The device may have fallen asleep since the caller's check: it wakes for
    // the clip, or nothing plays if it cannot.
    if (!apri())
        clip.reset();
    muti_.store(0, std::memory_order_relaxed);
    return mixer_->avvia(std::move(clip));
}

std::uint64_t SuonoSdl::avvia(std::span<const char> wav) {
    auto clip = decodifica_wav(wav, mixer_->formato());
    if (!clip)
        return avvia(avviso_);
    return avvia(std::make_shared<const Clip>(std::move(*clip)));
}

void SuonoSdl::attendi(std::uint64_t biglietto) {
    // Longest effect is under 4 s and a speech clip under 2 s; a device that
    // stops pulling must not freeze the window for good. One that is unplugged
    // ends the clip at once: the wait looks at the device every tenth of a
    // second, which costs nothing while nothing plays.
    using namespace std::chrono_literals;
    for (auto atteso = 0ms; atteso < 30s; atteso += 100ms) {
        if (mixer_->attendi(biglietto, 100ms))
            return;
        if (perso()) {
            // The new device (and the music with it) starts now, not at the next sound.
            verifica_dispositivo();
            return;
        }
    }
}

void SuonoSdl::suona_file(const std::string& percorso) {
    if (!verifica_dispositivo())
        return;
    const auto dati = leggi_file(percorso);
    attendi(dati ? avvia(*dati) : avvia(avviso_));
}

void SuonoSdl::suona_memoria(std::span<const char> wav) {
    if (!verifica_dispositivo())
        return;
    attendi(avvia(wav));
}

void SuonoSdl::suona_file_subito(const std::string& percorso) {
    if (!verifica_dispositivo())
        return;
    const auto dati = leggi_file(percorso);
    if (dati)
        avvia(*dati);
    else
        avvia(avviso_);
}

bool SuonoSdl::attendi_fine(std::chrono::milliseconds massimo) {
    // Asleep, nothing plays; without a device nothing can; one unplugged
    // meanwhile ends the sound.
    if (addormentato() || !verifica_dispositivo())
        return true;
    if (mixer_->attendi(mixer_->ultimo(), massimo))
        return true;
    if (perso()) {
        verifica_dispositivo();
        return true;
    }
    return false;
}

} // namespace contavoce::platform
