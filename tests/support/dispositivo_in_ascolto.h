// SPDX-License-Identifier: GPL-3.0-or-later
// SDL's real output with an ear on it: every buffer the device is handed is
// counted and its RMS noted (the loudest since the last `azzera`), on the
// device's own thread, after the program's callback has filled it.
#pragma once

#include "platform/audio/dispositivo_audio.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace contavoce::prova {

class DispositivoInAscolto : public platform::DispositivoAudio {
public:
    struct Orecchio {
        std::atomic<double> massimo = 0;
        std::atomic<std::uint64_t> richiami = 0;
        void azzera() { massimo = 0; }
        // The samples handed to the device, in order, while the room made
        // beforehand by `registra` (before the device opens) lasts.
        std::vector<float> campioni;
        std::atomic<std::size_t> registrati = 0;
        void registra(std::size_t quanti) { campioni.assign(quanti, 0.0f); }
    };
    explicit DispositivoInAscolto(std::shared_ptr<Orecchio> orecchio = std::make_shared<Orecchio>())
        : orecchio_(std::move(orecchio)) {}

    Orecchio& orecchio() { return *orecchio_; }

    std::optional<platform::FormatoAudio> apri(platform::FormatoAudio voluto, int frame,
                                               bool esatto, Richiamo richiamo, void* dati) override;
    void avvia() override { vero_->avvia(); }
    bool perso() override { return vero_->perso(); }
    bool puo_dormire() override { return vero_->puo_dormire(); }
    void chiudi() override { vero_->chiudi(); }

protected:
    // Runs on the device's thread before each buffer is filled.
    virtual void prima_del_richiamo() {}

private:
    static void ascolta(void* dati, std::uint8_t* flusso, int byte);

    std::unique_ptr<platform::DispositivoAudio> vero_ = platform::dispositivo_sdl();
    std::shared_ptr<Orecchio> orecchio_;
    Richiamo richiamo_ = nullptr;
    void* dati_ = nullptr;
};

} // namespace contavoce::prova
