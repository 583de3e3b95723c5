// SPDX-License-Identifier: GPL-3.0-or-later
// A child's progress from the rounds played: the stars earned and the step to
// propose next. Plain functions over plain data, so that the practice window,
// the register and a browser build agree.
#pragma once

#include "esercizi/esercizi.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace contavoce {

// A finished round: where it was played and how it went.
struct EsitoGiro {
    Classe classe = Classe::terza;
    int livello = 1;
    Tipo tipo = Tipo::ascolta;
    std::size_t giuste = 0;
    std::size_t totale = 0;
};

// A level passed: 80% right in a round (8 of 10); a round gone badly: under
// 50% (fewer than 5 of 10).
bool livello_superato(std::size_t giuste, std::size_t totale);
bool giro_difficile(std::size_t giuste, std::size_t totale);

// The stars of the best round of a kind at a level, 0 when none was played.
int stelle_migliori(const std::vector<EsitoGiro>& giri, Classe classe, int livello, Tipo tipo);

struct Passo {
    enum class Verso { resta, avanti, indietro };
    Classe classe = Classe::terza;
    int livello = 1;
    Verso verso = Verso::resta;
};

// What to propose after the rounds of `tipo` at a level (`giri` oldest
// first, other kinds and levels among them): the next level when the latest
// of them passed it (after level 3 the next class year's level 1; quinta 3
// stays); the level below after three bad rounds in a row there (prima 1
// stays); else the same level.
Passo prossimo_passo(const std::vector<EsitoGiro>& giri, Classe classe, int livello, Tipo tipo);

// The same from where the child last played `tipo`; nothing before a first round of it.
std::optional<Passo> prossimo_passo(const std::vector<EsitoGiro>& giri, Tipo tipo);

} // namespace contavoce
