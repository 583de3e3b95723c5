// SPDX-License-Identifier: GPL-3.0-or-later
// Time to spell one number: 1,000,000 random numbers of 1 to 12 digits,
// five runs, the median run's time per number.
#include "spelling/numero.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

int main() {
    constexpr int quanti = 1'000'000;
    constexpr int giri = 5;
    std::mt19937_64 caso(42);
    std::vector<std::string> numeri;
    numeri.reserve(quanti);
    for (int i = 0; i < quanti; ++i) {
        const int cifre = 1 + int(caso() % 12);
        std::string s(1, char('1' + caso() % 9));
        for (int k = 1; k < cifre; ++k)
            s += char('0' + caso() % 10);
        numeri.push_back(std::move(s));
    }

    std::vector<double> ns_per_numero;
    std::size_t controllo = 0; // keeps the work observable
    std::string parole;
    for (int g = 0; g < giri; ++g) {
        const auto t0 = std::chrono::steady_clock::now();
        for (const auto& n : numeri) {
            contavoce::numero_in_lettere(n, parole);
            controllo += parole.size();
        }
        const auto t1 = std::chrono::steady_clock::now();
        ns_per_numero.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count() / quanti);
    }
    std::sort(ns_per_numero.begin(), ns_per_numero.end());
    std::printf("spelling, per number: median %.1f ns (min %.1f, max %.1f; %d runs of %d) "
                "target <= 300 ns  [%zu chars]\n",
                ns_per_numero[giri / 2], ns_per_numero.front(), ns_per_numero.back(), giri, quanti,
                controllo);
}
