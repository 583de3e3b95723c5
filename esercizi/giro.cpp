// SPDX-License-Identifier: GPL-3.0-or-later
// A round: two tries a question, the score and the stars, the missed ones.
#include "esercizi/esercizi.h"

#include <stdexcept>
#include <utility>

namespace contavoce {

int stelle(std::size_t giuste, std::size_t totale) {
    if (totale == 0)
        return 0;
    if (giuste * 5 >= totale * 4)
        return 3;
    if (giuste * 2 >= totale)
        return 2;
    return 1;
}

Giro::Giro(const Impostazioni& impostazioni) : Giro(prepara_domande(impostazioni)) {}

Giro::Giro(std::vector<Domanda> domande)
    : domande_(std::move(domande)), stati_(domande_.size(), Stato::da_fare),
      date_(domande_.size()) {
    if (domande_.empty())
        throw std::invalid_argument("Un giro senza domande.");
    stati_[0] = Stato::in_corso;
}

const Domanda& Giro::domanda() const {
    if (finito())
        throw std::logic_error("Il giro è finito.");
    return domande_[indice_];
}

bool Giro::risposta_chiusa() const {
    if (finito())
        return true;
    const Stato s = stati_[indice_];
    return s == Stato::giusta || s == Stato::giusta_al_secondo || s == Stato::sbagliata;
}

Verifica Giro::rispondi(std::string_view risposta) {
    if (finito())
        return ultima_;
    if (risposta_chiusa())
        return ultima_;
    Verifica v = controlla(domande_[indice_], risposta);
    if (v.esito == Esito::vuota)
        return v;
    Stato& stato = stati_[indice_];
    date_[indice_] = std::string(risposta);
    if (v.esito == Esito::giusta) {
        stato = stato == Stato::riprova ? Stato::giusta_al_secondo : Stato::giusta;
        ++lodi_;
    } else if (stato == Stato::in_corso) {
        stato = Stato::riprova;
    } else {
        stato = Stato::sbagliata;
        v.esito = Esito::sbagliata;
        const Domanda& d = domande_[indice_];
        v.messaggio = (d.clip_attesa == clip_esercizi::il_numero_era ? "Il numero era "
                                                                     : "La risposta era ") +
                      d.attesa + '.';
    }
    ultima_ = v;
    return v;
}

bool Giro::prossima() {
    if (finito() || !risposta_chiusa())
        return false;
    ++indice_;
    ultima_ = {};
    if (finito())
        return false;
    stati_[indice_] = Stato::in_corso;
    return true;
}

const char* testo_lode(std::string_view clip) {
    if (clip == clip_esercizi::esatto)
        return "Esatto!";
    if (clip == clip_esercizi::molto_bene)
        return "Molto bene!";
    if (clip == clip_esercizi::ben_fatto)
        return "Ben fatto!";
    return "Giusto!";
}

const char* Giro::lode() const {
    return clip_lodi[(lodi_ + clip_lodi.size() - 1) % clip_lodi.size()];
}

std::size_t Giro::giuste() const {
    std::size_t n = 0;
    for (const Stato s : stati_)
        n += s == Stato::giusta || s == Stato::giusta_al_secondo;
    return n;
}

std::size_t Giro::giuste_al_primo() const {
    std::size_t n = 0;
    for (const Stato s : stati_)
        n += s == Stato::giusta;
    return n;
}

std::vector<Errore> Giro::errori() const {
    std::vector<Errore> e;
    for (std::size_t i = 0; i < domande_.size(); ++i)
        if (stati_[i] == Stato::sbagliata)
            e.push_back({domande_[i], date_[i]});
    return e;
}

std::optional<Giro> Giro::rifai_errori() const {
    std::vector<Domanda> d;
    for (const Errore& e : errori())
        d.push_back(e.domanda);
    if (d.empty())
        return std::nullopt;
    return Giro(std::move(d));
}

} // namespace contavoce
