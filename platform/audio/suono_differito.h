// SPDX-License-Identifier: GPL-3.0-or-later
// The program's sound while it is still arriving: the sound module is loaded
// and the device opened on a thread of their own, started first thing in
// main, while Qt and the window are being built. The window talks to this
// stand-in, which waits for that thread only at the first call that needs
// the sound (the device check before the window is shown) and then passes
// every call on.
#pragma once

#include "platform/audio/modulo_suono.h"
#include "platform/audio/servizio_media.h"
#include "platform/audio/suono.h"

#include <future>
#include <memory>
#include <string>

namespace contavoce::platform {

class SuonoDifferito final : public Suono, public ServizioMedia {
public:
    // Starts loading the module from `cartella` at once.
    explicit SuonoDifferito(const std::string& cartella);
    ~SuonoDifferito() override;
    SuonoDifferito(const SuonoDifferito&) = delete;
    SuonoDifferito& operator=(const SuonoDifferito&) = delete;

    // Without the module there is no device: 0, nothing plays, and every media
    // command answers media_senza_dispositivo; why is written once on stderr.
    int dispositivi() override;
    void suona_file(const std::string& percorso) override;
    void suona_memoria(std::span<const char> wav) override;
    void suona_file_subito(const std::string& percorso) override;
    bool attendi_fine(std::chrono::milliseconds massimo) override;
    int invia(std::string_view comando, char* risposta, std::size_t lunghezza) override;

private:
    struct Motore {
        std::unique_ptr<ModuloSuono> modulo;
        std::unique_ptr<Uscita> uscita; // made by the module: released before it
    };
    // The output once the loading thread has made it (waiting for it the first
    // time), or nullptr. Called from one thread only, the window's.
    Uscita* uscita();

    std::future<Motore> in_arrivo_;
    Motore motore_;
};

} // namespace contavoce::platform
