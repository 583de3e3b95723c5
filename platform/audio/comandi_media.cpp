// SPDX-License-Identifier: GPL-3.0-or-later
// The command strings of the media service, read into the commands its render
// thread applies.
#include "platform/audio/media_midi.h"
#include "platform/audio/verifica_midi.h"
#include "platform/base/file.h"
#include "platform/base/testo.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace contavoce::platform {
namespace {

std::vector<std::string> parole_di(std::string_view comando) {
    std::vector<std::string> parole;
    std::size_t i = 0;
    while (i < comando.size()) {
        while (i < comando.size() && std::isspace(static_cast<unsigned char>(comando[i])))
            ++i;
        const std::size_t inizio = i;
        while (i < comando.size() && !std::isspace(static_cast<unsigned char>(comando[i])))
            ++i;
        if (i > inizio)
            parole.emplace_back(comando.substr(inizio, i - inizio));
    }
    return parole;
}

// The path form without blanks: '%' and white space as %XX.
std::string decodifica_percorso(std::string_view s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() &&
            std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            r += char(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            r += s[i];
        }
    }
    return r;
}

} // namespace

int MediaMidi::apri(const std::vector<std::string>& parole) {
    if (parole.size() != 6 || minuscolo(parole[2]) != "type" ||
        minuscolo(parole[3]) != "sequencer" || minuscolo(parole[4]) != "alias")
        return media_comando_sconosciuto;
    const std::string nome = minuscolo(parole[5]);
    {
        std::lock_guard lock(mutex_);
        if (alias_.count(nome))
            return media_alias_gia_aperto;
    }
    const std::string percorso = decodifica_percorso(parole[1]);
    std::error_code e;
    if (!std::filesystem::is_regular_file(percorso, e))
        return media_file_mancante;
    auto dati = contenuto_file(percorso);
    if (!dati)
        return media_file_non_valido;
    if (!sembra_midi(*dati))
        return media_file_non_valido;
    if (const int errore = avvia_motore())
        return errore;

    std::unique_lock lock(mutex_);
    // A recording has nobody to keep waiting: there the SoundFont's load is
    // awaited, and a damaged one refuses the open as a missing one does.
    if (!tempo_reale_)
        attendi_motore(lock);
    if (soundfont_guasta_)
        return media_senza_soundfont;
    Alias a;
    a.id = ++ultimo_id_;
    al_motore(Comando{Comando::Tipo::apri, a.id, std::move(*dati)});
    alias_.emplace(nome, a);
    return media_ok;
}

int MediaMidi::invia(std::string_view comando, char* risposta, std::size_t lunghezza) {
    const auto parole = parole_di(comando);
    if (parole.empty())
        return media_comando_sconosciuto;
    const std::string verbo = minuscolo(parole[0]);
    if (verbo == "open")
        return apri(parole);

    const bool stato = verbo == "status";
    if (parole.size() != (stato ? 3u : 2u) || (stato && minuscolo(parole[2]) != "mode"))
        return media_comando_sconosciuto;
    if (verbo != "play" && verbo != "pause" && verbo != "stop" && verbo != "close" && !stato)
        return media_comando_sconosciuto;

    std::unique_lock lock(mutex_);
    // A recording answers as of the samples pulled so far, whatever the timing.
    if (stato && !tempo_reale_)
        attendi_motore(lock);
    const auto trovato = alias_.find(minuscolo(parole[1]));
    if (trovato == alias_.end())
        return media_alias_sconosciuto;
    Alias& a = trovato->second;
    using Modo = Alias::Modo;
    using Tipo = Comando::Tipo;
    if (verbo == "play") {
        // After a pause (or a stop) this resumes where it stopped; a tune played
        // to its end stays ended.
        if (a.modo != Modo::suona && !a.finita) {
            a.modo = Modo::suona;
            al_motore(Comando{Tipo::suona, a.id, {}});
            // An output asleep wakes now, and stays awake while the tune's
            // samples are on their way.
            attiva_.store(true, std::memory_order_relaxed);
            lock.unlock();
            uscita_.sveglia();
        }
    } else if (verbo == "pause" || verbo == "stop") {
        al_motore(Comando{Tipo::ferma, a.id, {}});
        if (a.modo == Modo::suona || verbo == "stop")
            a.modo = verbo == "pause" ? Modo::pausa : Modo::fermo;
    } else if (verbo == "close") {
        al_motore(Comando{Tipo::chiudi, a.id, {}});
        alias_.erase(trovato);
    } else {
        if (a.modo == Modo::suona && a.finita)
            a.modo = Modo::fermo;
        const char* modo = a.modo == Modo::suona   ? "playing"
                           : a.modo == Modo::pausa ? "paused"
                                                   : "stopped";
        if (risposta && lunghezza > 0) {
            const std::size_t n = std::min(std::strlen(modo), lunghezza - 1);
            std::memcpy(risposta, modo, n);
            risposta[n] = '\0';
        }
    }
    return media_ok;
}

} // namespace contavoce::platform
