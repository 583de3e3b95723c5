#include "platform/sound_sdl.h"

#include "platform/file.h"

#include <SDL.h>
#include <dlfcn.h>
#include <ios>
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

// sound_sdl.h spells these SDL types as the fixed-width types they are.
static_assert(std::is_same_v<SDL_AudioDeviceID, std::uint32_t>);
static_assert(std::is_same_v<Uint8, std::uint8_t>);

} // namespace

void SuonoSdl::richiama(void* dati, std::uint8_t* flusso, int byte) {
    Mixer& mixer = *static_cast<SuonoSdl*>(dati)->mixer_;
    const int frame = byte / int(sizeof(float)) / mixer.formato().canali;
    mixer.mescola(reinterpret_cast<float*>(flusso), frame);
}

std::optional<std::vector<char>> leggi_file(const std::string& percorso) {
    // A folder opens like a file and then fails its first read with an
    // exception from the stream buffer (libstdc++), as a disk error would.
    try {
        const auto byte = contenuto_file(percorso);
        if (!byte)
            return std::nullopt;
        return std::vector<char>(byte->begin(), byte->end());
    } catch (const std::ios_base::failure&) {
        return std::nullopt;
    }
}

SuonoSdl::SuonoSdl() {
    silenzia_alsa();
    // SDL would otherwise swallow SIGINT and SIGTERM, and the program could not be
    // stopped from a terminal or by the session ending.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl_pronto_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    apri();
}

SuonoSdl::~SuonoSdl() {
    chiudi();
    if (sdl_pronto_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SuonoSdl::apri() {
    if (dispositivo_ != 0)
        return true;
    if (!sdl_pronto_)
        return false;
    SDL_AudioSpec voluto{};
    voluto.freq = 44100;
    voluto.format = AUDIO_F32SYS;
    voluto.channels = 2;
    voluto.samples = frame_per_buffer;
    voluto.callback = richiama;
    voluto.userdata = this;
    SDL_AudioSpec ottenuto{};
    dispositivo_ =
        SDL_OpenAudioDevice(nullptr, 0, &voluto, &ottenuto,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (dispositivo_ == 0)
        return false;
    // A device opens paused: the mixer takes the granted format before the first callback.
    mixer_ = std::make_unique<Mixer>(FormatoAudio{ottenuto.freq, ottenuto.channels});
    avviso_ = std::make_shared<const Clip>(suono_di_avviso(mixer_->formato()));
    if (musica_)
        mixer_->imposta_musica(musica_);
    SDL_PauseAudioDevice(dispositivo_, 0);
    return true;
}

void SuonoSdl::chiudi() {
    if (dispositivo_ != 0)
        SDL_CloseAudioDevice(dispositivo_);
    dispositivo_ = 0;
    mixer_.reset();
}

int SuonoSdl::dispositivi() {
    return apri() ? 1 : 0;
}

std::optional<std::pair<int, int>> SuonoSdl::formato_musica() {
    if (!apri())
        return std::nullopt;
    return std::pair{mixer_->formato().frequenza, mixer_->formato().canali};
}

void SuonoSdl::imposta_musica(Musica musica) {
    musica_ = std::move(musica);
    if (mixer_)
        mixer_->imposta_musica(musica_);
}

std::uint64_t SuonoSdl::avvia(std::span<const char> wav) {
    auto clip = decodifica_wav(wav, mixer_->formato());
    if (!clip)
        return mixer_->avvia(avviso_);
    return mixer_->avvia(std::make_shared<const Clip>(std::move(*clip)));
}

void SuonoSdl::attendi(std::uint64_t biglietto) {
    // Longest effect is under 4 s and a speech clip under 2 s; a device that
    // stops pulling must not freeze the window for good.
    mixer_->attendi(biglietto, std::chrono::seconds(30));
}

void SuonoSdl::suona_file(const std::string& percorso) {
    if (!mixer_)
        return;
    const auto dati = leggi_file(percorso);
    attendi(dati ? avvia(*dati) : mixer_->avvia(avviso_));
}

void SuonoSdl::suona_memoria(std::span<const char> wav) {
    if (!mixer_)
        return;
    attendi(avvia(wav));
}

void SuonoSdl::suona_file_subito(const std::string& percorso) {
    if (!mixer_)
        return;
    const auto dati = leggi_file(percorso);
    if (dati)
        avvia(*dati);
    else
        mixer_->avvia(avviso_);
}

} // namespace contavoce::platform
