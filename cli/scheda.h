// SPDX-License-Identifier: GPL-3.0-or-later
// A worksheet of numbers: what is drawn and asked, apart from how it is printed.
#pragma once

#include "spelling/forme.h"

#include <cstdint>
#include <string>
#include <vector>

namespace contavoce::cli {

enum class Esercizio {
    in_lettere, // the number in digits: write it in words
    in_cifre,   // the number in words: write it in digits
    migliaia,   // the number without separators: group it by thousands
};

struct Voce {
    Esercizio tipo;
    std::string cifre;       // without separators or leading zeros ("2304")
    std::string parole;      // "duemilatrecentoquattro", in the sheet's spelling
    std::string raggruppata; // "2.304"
};

struct Scheda {
    std::string titolo;
    std::uint64_t seme = 0;
    // Grouped by kind in the order above and numbered from 1 in this order,
    // which is also the order of the dictation.
    std::vector<Voce> voci;
};

// `quanti` different numbers from `da` to `a` (both included, 1 <= da <= a <=
// 999999999999, quanti <= a - da + 1), the same ones for the same seed, shared
// out in turn among the three kinds of exercise; the words in `grafia`.
Scheda prepara_scheda(std::uint64_t da, std::uint64_t a, int quanti, std::uint64_t seme,
                      std::string titolo, Grafia grafia = Grafia::originale);

} // namespace contavoce::cli
