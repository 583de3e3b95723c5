// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/esercizi/diario.h"

#include "spelling/decimale.h"

namespace contavoce {

Diario::Diario(const std::filesystem::path& cartella)
    : registro_(registro::Registro::apri(cartella)) {}

std::vector<registro::Bambino> Diario::bambini() {
    return registro_.bambini().value_or(std::vector<registro::Bambino>{});
}

std::optional<std::string> Diario::aggiungi(const std::string& nome) {
    if (!registro_.salva()) {
        // Nothing can be kept: the child still plays, under the name typed.
        const auto controllato = registro::controlla_nome(nome);
        if (!controllato.errore.empty())
            return controllato.errore;
        scegli({0, controllato.nome});
        return std::nullopt;
    }
    const auto nuovo = registro_.aggiungi_bambino(nome);
    if (!nuovo)
        return registro_.errore();
    scegli(*nuovo);
    return std::nullopt;
}

void Diario::scegli(const registro::Bambino& bambino) {
    bambino_ = bambino;
    scelto_ = true;
    giro_.reset();
}

void Diario::ospite() {
    bambino_.reset();
    scelto_ = true;
    giro_.reset();
}

void Diario::lascia() {
    bambino_.reset();
    scelto_ = false;
    giro_.reset();
}

std::vector<EsitoGiro> Diario::esiti() {
    if (!bambino_ || bambino_->id == 0)
        return {};
    return registro_.esiti(bambino_->id).value_or(std::vector<EsitoGiro>{});
}

void Diario::inizia_giro(const Impostazioni& impostazioni, std::size_t domande,
                         const std::string& lezione, bool conta) {
    giro_.reset();
    conta_ = conta;
    if (!bambino_ || bambino_->id == 0)
        return;
    registro::NuovoGiro g;
    g.bambino = bambino_->id;
    g.classe = impostazioni.classe;
    g.livello = impostazioni.livello;
    g.tipo = impostazioni.tipi.empty() ? impostazioni.tipo : impostazioni.tipi.front();
    g.domande = domande;
    g.seme = impostazioni.seme;
    g.lezione = lezione;
    giro_ = registro_.inizia_giro(g);
}

void Diario::domanda_mostrata() {
    mostrata_ = std::chrono::steady_clock::now();
}

void Diario::risposta(const Domanda& domanda, std::size_t indice, const std::string& data,
                      bool giusta, int tentativo) {
    if (!giro_)
        return;
    registro::NuovaRisposta r;
    r.giro = *giro_;
    r.domanda = indice;
    r.tipo = domanda.tipo;
    r.numero = decimale_raggruppato(domanda.numero);
    r.testo = domanda.testo.empty() ? domanda.consegna : domanda.testo;
    r.attesa = domanda.attesa;
    r.data = data;
    r.giusta = giusta;
    r.tentativo = tentativo;
    r.secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - mostrata_).count();
    registro_.registra_risposta(r);
    // The next try is timed from this one.
    mostrata_ = std::chrono::steady_clock::now();
}

void Diario::fine_giro(std::size_t giuste, int stelle) {
    // A round of the missed questions again stays open: its answers are the
    // teacher's to see, but it earns no stars of its own.
    if (giro_ && conta_)
        registro_.chiudi_giro(*giro_, giuste, stelle);
    giro_.reset();
}

std::optional<std::string> Diario::avviso() {
    return registro_.avviso_da_dare();
}

} // namespace contavoce
