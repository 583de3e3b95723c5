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
#include <cstring>

namespace test_support {

// Which embedded effect these bytes are ("?" for none).
inline QString nome_effetto(const QByteArray& b) {
    static const char* const nomi[] = {"ASINO", "CANE",   "G0",    "G1",      "G2",   "G3",
                                       "G4",    "G5",     "G6",    "G7",      "G8",   "G9",
                                       "GALLO", "INIZIO", "SPARO", "UCCELLO", "VETRO"};
    for (const char* n : nomi) {
        const auto r = contavoce::platform::risorsa(n, "wav");
        if (r && *r == b)
            return n;
    }
    return "?";
}

class Registro : public contavoce::platform::Suono, public contavoce::platform::Avvisi {
public:
    explicit Registro(QStringList& log) : log_(log) {}
    int dispositivi_presenti = 1;

    int dispositivi() override { return dispositivi_presenti; }
    void suona_file(const std::string& percorso) override {
        in_corso_ = 0; // a new sound replaces one still playing
        log_ << "play " + QString::fromStdString(percorso).section('/', -1);
    }
    void suona_memoria(std::span<const char> wav) override {
        in_corso_ = 0;
        log_ << "effect " + nome_effetto(QByteArray(wav.data(), qsizetype(wav.size())));
    }
    void suona_file_subito(const std::string& percorso) override {
        in_corso_ = 2;
        log_ << "async " + QString::fromStdString(percorso);
    }
    // A sound started without waiting ends at the second look, so a caller's
    // waiting loop turns once; its end is logged.
    bool attendi_fine(std::chrono::milliseconds) override {
        if (in_corso_ > 0 && --in_corso_ == 0)
            log_ << "async ended";
        return in_corso_ == 0;
    }
    void avviso(const std::string& testo, const std::string& titolo) override {
        log_ << "warn " + QString::fromStdString(titolo) + ": " + QString::fromStdString(testo);
    }
    void messaggio(const std::string& testo) override {
        log_ << "message " + QString::fromStdString(testo);
    }

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

    int invia(std::string_view comando, char* buffer, std::size_t lunghezza) override {
        const QString c = QString::fromUtf8(comando.data(), qsizetype(comando.size()));
        log_ << c + (buffer ? QString(" [%1]").arg(lunghezza) : QString());
        if (c.startsWith("open"))
            return esito_open;
        if (c.startsWith("status")) {
            if (stato_fallisce)
                return 1;
            std::strncpy(buffer, risposta.constData(), lunghezza);
        }
        return 0;
    }

private:
    QStringList& log_;
};

} // namespace test_support
