// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device: SDL2's audio subsystem, one output pulling the mixer from
// SDL's callback thread, opened again when it goes away.
#pragma once

#include "platform/audio/dispositivo_audio.h"
#include "platform/audio/mixer.h"
#include "platform/audio/suono.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace contavoce::platform {

class SuonoSdl final : public Suono, public VoceMusicale {
public:
    explicit SuonoSdl(std::unique_ptr<DispositivoAudio> dispositivo = dispositivo_sdl());
    ~SuonoSdl() override;
    SuonoSdl(const SuonoSdl&) = delete;
    SuonoSdl& operator=(const SuonoSdl&) = delete;

    int dispositivi() override;
    void suona_file(const std::string& percorso) override;
    void suona_memoria(std::span<const char> wav) override;
    void suona_file_subito(const std::string& percorso) override;
    bool attendi_fine(std::chrono::milliseconds massimo) override;

    // If the open device has gone (a headset unplugged), opens the default one in
    // its place, music included; also retries when there is none. Every play and
    // every music query does this first; an owner with a timer may call it too.
    // Returns whether a device is open.
    bool verifica_dispositivo();

    // The mixer behind the open device, or nullptr when there is no device. A new
    // device comes with a new mixer.
    Mixer* mixer() { return mixer_.get(); }
    std::optional<std::pair<int, int>> formato_musica() override;
    // The music voice; kept across a re-opening of the device.
    void imposta_musica(Musica musica) override;
    bool in_tempo_reale() const override { return true; }

private:
    // SDL's audio callback; SDL's types stay out of this header.
    static void richiama(void* dati, std::uint8_t* flusso, int byte);
    bool apri();
    void chiudi();
    std::uint64_t avvia(std::span<const char> wav);
    void attendi(std::uint64_t biglietto);

    bool sdl_pronto_ = false;
    std::unique_ptr<DispositivoAudio> dispositivo_;
    bool aperto_ = false;
    // The format of the first device; later ones are asked for the same, so the
    // music renderer, built for it, keeps its pitch and tempo.
    std::optional<FormatoAudio> formato_;
    std::unique_ptr<Mixer> mixer_;
    std::shared_ptr<const Clip> avviso_;
    Mixer::Musica musica_;
};

} // namespace contavoce::platform
