// SPDX-License-Identifier: GPL-3.0-or-later
#include "esercizi/progressi.h"

#include <algorithm>

namespace contavoce {

bool livello_superato(std::size_t giuste, std::size_t totale) {
    return totale > 0 && giuste * 10 >= totale * 8;
}

bool giro_difficile(std::size_t giuste, std::size_t totale) {
    return totale > 0 && giuste * 2 < totale;
}

int stelle_migliori(const std::vector<EsitoGiro>& giri, Classe classe, int livello, Tipo tipo) {
    int migliori = 0;
    for (const EsitoGiro& g : giri)
        if (g.classe == classe && g.livello == livello && g.tipo == tipo && g.totale > 0)
            migliori = std::max(migliori, stelle(g.giuste, g.totale));
    return migliori;
}

Passo prossimo_passo(const std::vector<EsitoGiro>& giri, Classe classe, int livello, Tipo tipo) {
    std::vector<const EsitoGiro*> qui;
    for (const EsitoGiro& g : giri)
        if (g.classe == classe && g.livello == livello && g.tipo == tipo && g.totale > 0)
            qui.push_back(&g);
    Passo passo{classe, livello, Passo::Verso::resta};
    const int ultima = int(n_classi) - 1;
    if (!qui.empty() && livello_superato(qui.back()->giuste, qui.back()->totale)) {
        if (livello < n_livelli)
            passo = {classe, livello + 1, Passo::Verso::avanti};
        else if (int(classe) < ultima)
            passo = {Classe(int(classe) + 1), 1, Passo::Verso::avanti};
        return passo;
    }
    const bool tre_difficili =
        qui.size() >= 3 && std::all_of(qui.end() - 3, qui.end(), [](const EsitoGiro* g) {
            return giro_difficile(g->giuste, g->totale);
        });
    if (tre_difficili) {
        if (livello > 1)
            passo = {classe, livello - 1, Passo::Verso::indietro};
        else if (classe != Classe::prima)
            passo = {Classe(int(classe) - 1), n_livelli, Passo::Verso::indietro};
    }
    return passo;
}

std::optional<Passo> prossimo_passo(const std::vector<EsitoGiro>& giri, Tipo tipo) {
    for (auto g = giri.rbegin(); g != giri.rend(); ++g)
        if (g->tipo == tipo)
            return prossimo_passo(giri, g->classe, g->livello, tipo);
    return std::nullopt;
}

} // namespace contavoce
