// SPDX-License-Identifier: GPL-3.0-or-later
// SDL's real output with an ear on it: every buffer the device is handed is
// counted and its RMS noted (the loudest since the last `azzera`), on the
// device's own thread, after the program's callback has filled it.
#pragma once

#include "platform/audio/dispositivo_audio.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>

namespace contavoce::prova {

class DispositivoInAscolto : public platform::DispositivoAudio {
public:
    struct Orecchio {
        std::atomic<double> massimo = 0;
        std::atomic<std::uint64_t> richiami = 0;
        void azzera() { massimo = 0; }
    };
    explicit DispositivoInAscolto(std::shared_ptr<Orecchio> orecchio = std::make_shared<Orecchio>())
        : orecchio_(std::move(orecchio)) {}

    Orecchio& orecchio() { return *orecchio_; }

    std::optional<platform::FormatoAudio> apri(platform::FormatoAudio voluto, int frame,
                                               bool esatto, Richiamo richiamo,
                                               void* dati) override {
        richiamo_ = richiamo;
        dati_ = dati;
        return vero_->apri(voluto, frame, esatto, &DispositivoInAscolto::ascolta, this);
    }
    void avvia() override { vero_->avvia(); }
    bool perso() override { return vero_->perso(); }
    void chiudi() override { vero_->chiudi(); }

protected:
    // Runs on the device's thread before each buffer is filled.
    virtual void prima_del_richiamo() {}

private:
    static void ascolta(void* dati, std::uint8_t* flusso, int byte) {
        auto& d = *static_cast<DispositivoInAscolto*>(dati);
        d.prima_del_richiamo();
        d.richiamo_(d.dati_, flusso, byte);
        d.orecchio_->richiami.fetch_add(1, std::memory_order_relaxed);
        const auto* s = reinterpret_cast<const float*>(flusso);
        const int n = byte / int(sizeof(float));
        double e = 0;
        for (int i = 0; i < n; ++i)
            e += double(s[i]) * s[i];
        const double rms = n > 0 ? std::sqrt(e / n) : 0.0;
        for (double m = d.orecchio_->massimo; rms > m;)
            d.orecchio_->massimo.compare_exchange_weak(m, rms);
    }

    std::unique_ptr<platform::DispositivoAudio> vero_ = platform::dispositivo_sdl();
    std::shared_ptr<Orecchio> orecchio_;
    Richiamo richiamo_ = nullptr;
    void* dati_ = nullptr;
};

} // namespace contavoce::prova
