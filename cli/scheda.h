// SPDX-License-Identifier: GPL-3.0-or-later
// A worksheet of numbers: what is drawn and asked, apart from how it is printed.
#pragma once

#include "esercizi/esercizi.h"
#include "spelling/forme.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::cli {

// The kinds of exercise a sheet can hold.
enum class Esercizio {
    lettere,    // the number in digits: write it in words
    cifre,      // the number in words: write it in digits
    raggruppa,  // the number without separators: group it by thousands
    dettato,    // a numbered blank line: write the number heard
    scomponi,   // 2.304 = 2 uk + 3 h + 4 u = 2 × 1.000 + 3 × 100 + 4
    componi,    // 3 centinaia, 2 migliaia e 4 unità: the number in digits
    valore,     // the marked digit's place and worth
    confronta,  // <, > or =
    prima_dopo, // the number before or after, or plus and minus a step
    ordina,     // a few numbers from the smallest to the largest
    decimali,   // a decimal number in words or in digits
};
inline constexpr std::size_t n_esercizi = 11;

// The kind's name on the command line ("prima-dopo") and back.
const char* chiave_esercizio(Esercizio tipo);
std::optional<Esercizio> esercizio_da_chiave(std::string_view chiave);

// One exercise: what the pupil reads and what the key says.
struct Voce {
    std::string domanda;  // "2.304", "Che numero viene dopo 2.399?"; empty for a dictation
    std::string risposta; // "duemilatrecentoquattro", "2.400"
    // The marked digit of a "valore": its byte range in `domanda` (equal: none).
    std::size_t segnata_da = 0, segnata_a = 0;
    // Whether the pupil writes the answer on a line (not a sign in the box).
    bool su_riga = true;
};

struct Sezione {
    Esercizio tipo;
    std::string consegna; // "Scrivi in lettere"
    std::vector<Voce> voci;
};

struct Scheda {
    std::string titolo;
    std::string fila; // "A", "B" ... or empty for a sheet without file
    Classe classe = Classe::terza;
    std::uint64_t seme = 0;
    std::vector<Sezione> sezioni; // in the order asked, numbered from 1 across them
    // What the key names so that the same sheet can be made again: the
    // class year and level, the options, the command line that remakes it.
    std::vector<std::string> note;
    // The dictation's numbers in the order of its lines, and how they are read.
    std::vector<Decimale> dettato;
    Lettura lettura = Lettura::virgola;
};

// What a sheet asks for. The numbers come from the level of `classe`,
// `livello`, unless `da`/`a` or `cifre` give the range.
struct Richiesta {
    Classe classe = Classe::terza;
    int livello = 2;
    std::optional<std::uint64_t> da, a;
    std::optional<int> cifre; // exactly this many digits, 1..12
    std::optional<int> zeri;  // percent of the numbers with zeros inside
    std::vector<std::pair<Esercizio, std::size_t>> esercizi; // empty: the class year's mix
    std::size_t quanti = 12;                                 // with the class year's mix
    std::uint64_t seme = 0;
    std::string titolo = "Scrivere i numeri";
    std::string fila;
    Grafia grafia = Grafia::scolastica;
    Lettura lettura = Lettura::virgola;
};

// The kinds a class year's sheet has when none are asked for, `quanti`
// exercises shared out among them.
std::vector<std::pair<Esercizio, std::size_t>> esercizi_della_classe(Classe classe,
                                                                     std::size_t quanti);

// The range the numbers are drawn from for a request (its level, or the
// level made of --da/--a or --cifre).
Livello livello_di(const Richiesta& richiesta);

// How many numbers a request draws from its range (an "ordina" takes five,
// "decimali" none of them).
std::size_t numeri_voluti(const Richiesta& richiesta);

// The sheet, the same for the same request; `note` is left to the caller.
Scheda prepara_scheda(const Richiesta& richiesta);

} // namespace contavoce::cli
