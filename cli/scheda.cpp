// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scheda.h"

#include "spelling/grafia.h"
#include "spelling/numero.h"

#include <algorithm>
#include <random>
#include <unordered_set>

namespace contavoce::cli {

Scheda prepara_scheda(std::uint64_t da, std::uint64_t a, int quanti, std::uint64_t seme,
                      std::string titolo, Grafia grafia) {
    Scheda scheda{std::move(titolo), seme, {}};
    std::mt19937_64 caso(seme);
    std::uniform_int_distribution<std::uint64_t> tra(da, a);
    std::unordered_set<std::uint64_t> presi;
    while (int(scheda.voci.size()) < quanti) {
        const std::uint64_t n = tra(caso);
        if (!presi.insert(n).second)
            continue;
        Voce v;
        v.tipo = Esercizio(scheda.voci.size() % 3);
        v.cifre = std::to_string(n);
        parole_in_grafia(v.cifre, grafia, v.parole);
        std::string copia = v.cifre;
        v.raggruppata = formatta_numero(copia);
        scheda.voci.push_back(std::move(v));
    }
    std::stable_sort(scheda.voci.begin(), scheda.voci.end(),
                     [](const Voce& x, const Voce& y) { return x.tipo < y.tipo; });
    return scheda;
}

} // namespace contavoce::cli
