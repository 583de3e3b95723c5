// SPDX-License-Identifier: GPL-3.0-or-later
// Time to check one answer: every level and kind, a right and a wrong answer
// to each question (the words of a twelve-digit number being the longest
// check), five runs, the median run's time per answer and the slowest answer.
#include "esercizi/esercizi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace contavoce;

int main() {
    std::vector<std::pair<Domanda, std::string>> prove;
    std::uint64_t seme = 1;
    for (const Livello& l : livelli)
        for (const Tipo t : tipi) {
            Impostazioni imp;
            imp.classe = l.classe;
            imp.livello = l.livello;
            imp.tipo = t;
            imp.domande = domande_massime;
            imp.seme = seme++;
            for (Domanda& d : prepara_domande(imp)) {
                // Wrong in the middle: a letter for words (the slowest path:
                // every spelling and reading followed), a digit for digits.
                std::string sbagliata = d.attesa;
                if (!sbagliata.empty()) {
                    char& c = sbagliata[sbagliata.size() / 2];
                    c = d.risposta == Risposta::lettere ? (c == 'x' ? 'y' : 'x')
                                                        : (c == '1' ? '2' : '1');
                }
                prove.emplace_back(d, d.attesa);
                prove.emplace_back(std::move(d), std::move(sbagliata));
            }
        }
    constexpr int giri = 5;
    std::vector<double> us_per_risposta;
    double peggiore = 0;
    std::size_t giuste = 0; // keeps the work observable
    for (int g = 0; g < giri; ++g) {
        const auto t0 = std::chrono::steady_clock::now();
        for (const auto& [domanda, risposta] : prove) {
            const auto a = std::chrono::steady_clock::now();
            giuste += controlla(domanda, risposta).giusta;
            const auto b = std::chrono::steady_clock::now();
            peggiore = std::max(peggiore, std::chrono::duration<double, std::micro>(b - a).count());
        }
        const auto t1 = std::chrono::steady_clock::now();
        us_per_risposta.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count() /
                                  static_cast<double>(prove.size()));
    }
    std::sort(us_per_risposta.begin(), us_per_risposta.end());
    std::printf("practice, checking an answer: median %.2f us (min %.2f, max %.2f; slowest "
                "answer %.1f us; %d runs of %zu) target <= 1000 us  [%zu right]\n",
                us_per_risposta[giri / 2], us_per_risposta.front(), us_per_risposta.back(),
                peggiore, giri, prove.size(), giuste);
}
