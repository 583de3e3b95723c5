// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/suono_differito.h"

#include <cstdio>

namespace contavoce::platform {

SuonoDifferito::SuonoDifferito(const std::string& cartella)
    : in_arrivo_(std::async(std::launch::async, [cartella] {
          Motore m{std::make_unique<ModuloSuono>(cartella), nullptr};
          if (m.modulo->motore())
              m.uscita = m.modulo->motore()->dispositivo();
          return m;
      })) {}

SuonoDifferito::~SuonoDifferito() = default;

Uscita* SuonoDifferito::uscita() {
    if (in_arrivo_.valid()) {
        motore_ = in_arrivo_.get();
        if (!motore_.uscita)
            std::fprintf(stderr, "contavoce: no sound: %s\n", motore_.modulo->errore().c_str());
    }
    return motore_.uscita.get();
}

int SuonoDifferito::dispositivi() {
    Uscita* u = uscita();
    return u ? u->suono().dispositivi() : 0;
}

void SuonoDifferito::suona_file(const std::string& percorso) {
    if (Uscita* u = uscita())
        u->suono().suona_file(percorso);
}

void SuonoDifferito::suona_memoria(std::span<const char> wav) {
    if (Uscita* u = uscita())
        u->suono().suona_memoria(wav);
}

void SuonoDifferito::suona_file_subito(const std::string& percorso) {
    if (Uscita* u = uscita())
        u->suono().suona_file_subito(percorso);
}

bool SuonoDifferito::attendi_fine(std::chrono::milliseconds massimo) {
    Uscita* u = uscita();
    return u ? u->suono().attendi_fine(massimo) : true;
}

int SuonoDifferito::invia(std::string_view comando, char* risposta, std::size_t lunghezza) {
    Uscita* u = uscita();
    return u ? u->media().invia(comando, risposta, lunghezza) : int(media_senza_dispositivo);
}

} // namespace contavoce::platform
