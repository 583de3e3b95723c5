// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/registri.h"

#include "platform/qt/resources.h"

#include <cstring>

namespace test_support {

QString nome_effetto(const QByteArray& b) {
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

void Registro::suona_file(const std::string& percorso) {
    in_corso_ = 0; // a new sound replaces one still playing
    log_ << "play " + QString::fromStdString(percorso).section('/', -1);
}

void Registro::suona_memoria(std::span<const char> wav) {
    in_corso_ = 0;
    log_ << "effect " + nome_effetto(QByteArray(wav.data(), qsizetype(wav.size())));
}

void Registro::suona_file_subito(const std::string& percorso) {
    in_corso_ = 2;
    log_ << "async " + QString::fromStdString(percorso);
}

bool Registro::attendi_fine(std::chrono::milliseconds) {
    if (in_corso_ > 0 && --in_corso_ == 0)
        log_ << "async ended";
    return in_corso_ == 0;
}

void Registro::avviso(const std::string& testo, const std::string& titolo) {
    log_ << "warn " + QString::fromStdString(titolo) + ": " + QString::fromStdString(testo);
}

void Registro::messaggio(const std::string& testo) {
    log_ << "message " + QString::fromStdString(testo);
}

int MediaRegistrata::invia(std::string_view comando, char* buffer, std::size_t lunghezza) {
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

} // namespace test_support
