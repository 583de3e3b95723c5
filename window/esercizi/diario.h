// SPDX-License-Identifier: GPL-3.0-or-later
// Who plays and what they did: the practice window's side of the progress
// register. A chosen child's rounds and answers go into the register as they
// happen (each answer before its feedback shows); a guest's go nowhere. What
// cannot be kept is told to the child once, in one sentence.
#pragma once

#include "esercizi/esercizi.h"
#include "esercizi/progressi.h"
#include "registro/registro.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace contavoce {

class Diario {
public:
    // The register in `cartella` (the user's data folder by default).
    explicit Diario(const std::filesystem::path& cartella = registro::cartella_registro());

    std::vector<registro::Bambino> bambini();
    // Adds a child and plays as them; the reason in Italian when the name is
    // refused (empty, too long, already there) or cannot be kept.
    std::optional<std::string> aggiungi(const std::string& nome);
    void scegli(const registro::Bambino& bambino);
    void ospite();
    // Nobody chosen any more (the window closed).
    void lascia();
    // The child playing, nothing for a guest or before the choice.
    const std::optional<registro::Bambino>& bambino() const { return bambino_; }
    bool scelto() const { return scelto_; }

    // The finished rounds of the child playing, oldest first.
    std::vector<EsitoGiro> esiti();

    // A round begins; `lezione` names the lesson it comes from, if any.
    // `conta` false: a round that does not earn stars ("Rifai gli errori").
    void inizia_giro(const Impostazioni& impostazioni, std::size_t domande,
                     const std::string& lezione, bool conta = true);
    // The question on screen from now (for the seconds taken).
    void domanda_mostrata();
    void risposta(const Domanda& domanda, std::size_t indice, const std::string& data, bool giusta,
                  int tentativo);
    void fine_giro(std::size_t giuste, int stelle);

    // The sentence for the child when something is not being kept, once.
    std::optional<std::string> avviso();

private:
    registro::Registro registro_;
    std::optional<registro::Bambino> bambino_;
    bool scelto_ = false;
    std::optional<std::int64_t> giro_;
    bool conta_ = true;
    std::chrono::steady_clock::time_point mostrata_;
};

} // namespace contavoce
