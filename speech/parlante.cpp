// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/parlante.h"

#include "platform/base/tasti.h"
#include "platform/qt/resources.h"
#include "speech/clip_list.h"
#include "speech/decimale_detto.h"

namespace contavoce {

Parlante::Parlante(platform::Suono& suono, platform::Avvisi& avvisi,
                   std::function<void()> giro_eventi, std::string cartella)
    : suono_(suono), avvisi_(avvisi), giro_eventi_(std::move(giro_eventi)),
      cartella_(std::move(cartella)), frase_(suono) {}

void Parlante::num_parlante(const std::string& cifre) {
    scheda_audio();
    // A local list: a nested request started during a pass has its own.
    parla(lista_clip(cifre, cartella_));
}

void Parlante::parla(const ListaClip& lista) {
    for (std::int16_t i = 1; i <= lista.n_file; ++i) {
        suono_.suona_file(lista.Wave_name[std::size_t(i)]);
        if (giro_eventi_)
            giro_eventi_();
    }
}

void Parlante::num_parlante(const Decimale& numero, Lettura lettura) {
    scheda_audio();
    parla(lista_decimale(numero, lettura, cartella_));
}

void Parlante::parla(const std::vector<std::string>& clip) {
    for (const std::string& percorso : clip) {
        suono_.suona_file(percorso);
        if (giro_eventi_)
            giro_eventi_();
    }
}

void Parlante::inizia_frase(const ListaClip& lista) {
    frase_.inizia({lista.Wave_name.begin() + 1, lista.Wave_name.begin() + 1 + lista.n_file},
                  Frase::Fine::ultima_avviata);
}

bool Parlante::avanza_frase() {
    return frase_.avanza();
}

void Parlante::ferma_frase() {
    frase_.ferma();
}

void Parlante::suona_risorsa(std::string_view nome, std::string_view tipo) {
    // Only the effects the program names exist; an unknown name plays nothing.
    if (const auto dati = platform::risorsa(nome, tipo))
        suono_.suona_memoria(std::span<const char>(dati->constData(), std::size_t(dati->size())));
}

void Parlante::num_suoni(std::int16_t codice) {
    if (codice == platform::tasto::invio)
        suona_risorsa("uccello", "wav");
    else if (codice == platform::tasto::backspace)
        suona_risorsa("sparo", "wav");
    else if (codice >= '0' && codice <= '9')
        suona_risorsa(std::string{'g', char(codice)}, "wav");
    else
        suona_risorsa("asino", "wav");
}

void Parlante::scheda_audio() {
    if (suono_.dispositivi() <= 0)
        avvisi_.avviso(std::string(testo_scheda_audio), std::string(titolo_scheda_audio));
}

void Parlante::laser() {
    suono_.suona_file_subito(cartella_ + "/laser.wav");
}

} // namespace contavoce
