// SPDX-License-Identifier: GPL-3.0-or-later
// Recording stand-ins for the sound device, the message boxes and the media
// service: every call lands in one shared log, so tests see the order of
// plays, passes of the event loop, warnings and music commands.
#pragma once

#include "platform/audio/media_midi.h"
#include "platform/audio/suono.h"
#include "platform/base/avvisi.h"
#include "platform/qt/resources.h"

#include <QStringList>

namespace test_support {

// Which embedded effect these bytes are ("?" for none).
QString nome_effetto(const QByteArray& b);

class Registro : public contavoce::platform::Suono, public contavoce::platform::Avvisi {
public:
    explicit Registro(QStringList& log) : log_(log) {}
    int dispositivi_presenti = 1;

    int dispositivi() override { return dispositivi_presenti; }
    void suona_file(const std::string& percorso) override;
    void suona_memoria(std::span<const char> wav) override;
    void suona_file_subito(const std::string& percorso) override;
    // A sound started without waiting ends at the second look, so a caller's
    // waiting loop turns once; its end is logged.
    bool attendi_fine(std::chrono::milliseconds) override;
    void avviso(const std::string& testo, const std::string& titolo) override;
    void messaggio(const std::string& testo) override;

private:
    QStringList& log_;
    int in_corso_ = 0;
};

// Records the commands; answers the mode query with `risposta`, or fails it.
class MediaRegistrata : public contavoce::platform::ServizioMedia {
public:
    explicit MediaRegistrata(QStringList& log) : log_(log) {}
    QByteArray risposta = "stopped";
    int esito_open = 0;
    bool stato_fallisce = false;

    int invia(std::string_view comando, char* buffer, std::size_t lunghezza) override;

private:
    QStringList& log_;
};

} // namespace test_support
