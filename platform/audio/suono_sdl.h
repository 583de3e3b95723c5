// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device: SDL2's audio subsystem, one output pulling the mixer from
// SDL's callback thread, opened again when it goes away. While nothing sounds
// it sleeps: SDL's thread keeps waking every buffer even with the device
// paused (it hands silence to the driver), so after a while of silence the
// device is closed, the mixer kept, and the next sound opens it again.
#pragma once

#include "platform/audio/dispositivo_audio.h"
#include "platform/audio/mixer.h"
#include "platform/audio/suono.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace contavoce::platform {

class SuonoSdl final : public Suono, public VoceMusicale {
public:
    // The device sleeps once the mix has been silent for `tenuta`.
    explicit SuonoSdl(std::unique_ptr<DispositivoAudio> dispositivo = dispositivo_sdl(),
                      std::chrono::milliseconds tenuta = std::chrono::milliseconds(2000));
    ~SuonoSdl() override;
    SuonoSdl(const SuonoSdl&) = delete;
    SuonoSdl& operator=(const SuonoSdl&) = delete;

    int dispositivi() override;
    void suona_file(const std::string& percorso) override;
    void suona_memoria(std::span<const char> wav) override;
    void suona_file_subito(const std::string& percorso) override;
    bool attendi_fine(std::chrono::milliseconds massimo) override;

    // If the open device has gone (a headset unplugged), opens the default one in
    // its place, music included; also retries when there is none, and wakes a
    // device asleep. Every play and every music query does this first; an owner
    // with a timer may call it too. Returns whether a device is open.
    bool verifica_dispositivo();

    // The mixer behind the device, or nullptr when there is no device. A new
    // device comes with a new mixer; one woken from sleep keeps its own.
    Mixer* mixer() { return mixer_.get(); }
    std::optional<std::pair<int, int>> formato_musica() override;
    // The music voice; kept across a re-opening of the device.
    void imposta_musica(Musica musica) override;
    bool in_tempo_reale() const override { return true; }
    void sveglia() override;

    // Whether the device is closed for want of anything to play.
    bool addormentato();

private:
    // SDL's audio callback; SDL's types stay out of this header.
    static void richiama(void* dati, std::uint8_t* flusso, int byte);
    // Under stato_.
    bool apri();
    void chiudi();
    bool verifica(); // verifica_dispositivo's work
    std::uint64_t avvia(std::span<const char> wav);
    // Starts the clip on a device kept awake for it.
    std::uint64_t avvia(std::shared_ptr<const Clip> clip);
    void attendi(std::uint64_t biglietto);
    bool perso();
    // The thread that closes the device once the mix has stayed silent for
    // tenuta_: it looks every tenuta_ while the device is open, and
    // waits with no timeout while it is closed.
    void custodisci(std::stop_token fine);

    bool sdl_pronto_ = false;
    // Long enough that the keys of a number typed, and a number said clip by
    // clip, find the device awake; short enough that a pause in the lesson costs nothing.
    const std::chrono::milliseconds tenuta_;
    // The device's state, against the sleeping thread; never taken by the device's own.
    std::mutex stato_;
    std::condition_variable_any cambiato_;
    std::unique_ptr<DispositivoAudio> dispositivo_;
    bool aperto_ = false;
    bool addormentato_ = false; // closed while silent, the mixer kept for the next sound
    bool puo_dormire_ = true;
    // Buffers in a row the device's thread has mixed with nothing sounding; a
    // play sets it back to 0.
    std::atomic<std::uint32_t> muti_{0};
    // The format of the first device; later ones are asked for the same, so the
    // music renderer, built for it, keeps its pitch and tempo.
    std::optional<FormatoAudio> formato_;
    std::unique_ptr<Mixer> mixer_;
    std::shared_ptr<const Clip> avviso_;
    Mixer::Musica musica_;
    std::jthread custode_; // last: stopped before anything it uses goes
};

} // namespace contavoce::platform
