// SPDX-License-Identifier: GPL-3.0-or-later
// An independent reader of Italian cardinal words, written from the grammar
// rather than from the speller, so that reading back what the speller wrote
// checks it. It is strict: a tens word must drop its vowel before "uno" and
// "otto" and keep it otherwise, "cento" likewise before "otto"/"ottanta", and
// "unomila"/"unomilioni" are refused. Returns -1 for anything it cannot read.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace lettore {

enum class Tipo { unita, decina, decina_elisa, cento, cento_eliso, scala_uno, scala };

struct Parola {
    std::string_view testo;
    Tipo tipo;
    std::int64_t valore;
};

inline constexpr std::array<Parola, 44> vocabolario = {{
    {"uno", Tipo::unita, 1},
    {"due", Tipo::unita, 2},
    {"tre", Tipo::unita, 3},
    {"quattro", Tipo::unita, 4},
    {"cinque", Tipo::unita, 5},
    {"sei", Tipo::unita, 6},
    {"sette", Tipo::unita, 7},
    {"otto", Tipo::unita, 8},
    {"nove", Tipo::unita, 9},
    {"dieci", Tipo::unita, 10},
    {"undici", Tipo::unita, 11},
    {"dodici", Tipo::unita, 12},
    {"tredici", Tipo::unita, 13},
    {"quattordici", Tipo::unita, 14},
    {"quindici", Tipo::unita, 15},
    {"sedici", Tipo::unita, 16},
    {"diciassette", Tipo::unita, 17},
    {"diciotto", Tipo::unita, 18},
    {"diciannove", Tipo::unita, 19},
    {"venti", Tipo::decina, 20},
    {"trenta", Tipo::decina, 30},
    {"quaranta", Tipo::decina, 40},
    {"cinquanta", Tipo::decina, 50},
    {"sessanta", Tipo::decina, 60},
    {"settanta", Tipo::decina, 70},
    {"ottanta", Tipo::decina, 80},
    {"novanta", Tipo::decina, 90},
    {"vent", Tipo::decina_elisa, 20},
    {"trent", Tipo::decina_elisa, 30},
    {"quarant", Tipo::decina_elisa, 40},
    {"cinquant", Tipo::decina_elisa, 50},
    {"sessant", Tipo::decina_elisa, 60},
    {"settant", Tipo::decina_elisa, 70},
    {"ottant", Tipo::decina_elisa, 80},
    {"novant", Tipo::decina_elisa, 90},
    {"cento", Tipo::cento, 100},
    {"cent", Tipo::cento_eliso, 100},
    {"mille", Tipo::scala_uno, 1000},
    {"mila", Tipo::scala, 1000},
    {"unmilione", Tipo::scala_uno, 1000000},
    {"milioni", Tipo::scala, 1000000},
    {"unmiliardo", Tipo::scala_uno, 1000000000},
    {"miliardi", Tipo::scala, 1000000000},
    // "ventuno" is the one tens word whose elided form is also a table entry.
    {"ventuno", Tipo::unita, 21},
}};

// State of the reading: the group being built (0..999), what the group has
// seen so far, and the total of the groups closed by a scale word.
struct Stato {
    std::int64_t totale = 0;
    std::int64_t gruppo = 0;
    std::int64_t ultima_scala = 4000000000000; // scales must come in falling order
    bool ha_cento = false, ha_decina = false, ha_unita = false;
    bool attende_uno_o_otto = false; // after an elided tens word
    bool attende_otto = false;       // after "cent"
};

inline bool inizia_con_otto(std::string_view resto) {
    return resto.substr(0, 4) == "otto" || resto.substr(0, 6) == "ottant";
}

// Depth-first over the ways to cut the text into words; the first full,
// grammatical reading wins.
inline std::int64_t leggi_da(std::string_view resto, Stato s) {
    if (resto.empty()) {
        if (s.attende_uno_o_otto || s.attende_otto)
            return -1;
        return s.totale + s.gruppo;
    }
    for (const Parola& p : vocabolario) {
        if (resto.substr(0, p.testo.size()) != p.testo)
            continue;
        const std::string_view dopo = resto.substr(p.testo.size());
        Stato n = s;
        n.attende_uno_o_otto = n.attende_otto = false;
        if (s.attende_uno_o_otto && !(p.tipo == Tipo::unita && (p.valore == 1 || p.valore == 8)))
            continue;
        if (s.attende_otto && !(p.valore == 8 || p.valore == 80))
            continue;
        switch (p.tipo) {
        case Tipo::unita:
            if (n.ha_unita || (n.ha_decina && p.valore >= 10))
                continue;
            if (p.valore == 21 && n.ha_decina)
                continue;
            n.gruppo += p.valore;
            n.ha_unita = true;
            if (p.valore >= 10)
                n.ha_decina = true;
            break;
        case Tipo::decina:
        case Tipo::decina_elisa:
            if (n.ha_decina || n.ha_unita)
                continue;
            n.gruppo += p.valore;
            n.ha_decina = true;
            n.attende_uno_o_otto = p.tipo == Tipo::decina_elisa;
            // A full tens word never stands before "uno" or "otto".
            if (p.tipo == Tipo::decina &&
                (dopo.substr(0, 3) == "uno" || dopo.substr(0, 4) == "otto"))
                continue;
            break;
        case Tipo::cento:
        case Tipo::cento_eliso:
            if (n.ha_cento || n.ha_decina || (n.ha_unita && n.gruppo == 1))
                continue;
            if (n.gruppo > 9)
                continue;
            if (p.tipo == Tipo::cento && inizia_con_otto(dopo))
                continue;
            n.gruppo = (n.gruppo == 0 ? 1 : n.gruppo) * 100;
            n.ha_cento = true;
            n.ha_unita = false;
            n.attende_otto = p.tipo == Tipo::cento_eliso;
            break;
        case Tipo::scala_uno:
            if (n.gruppo != 0 || p.valore >= s.ultima_scala)
                continue;
            n.totale += p.valore;
            n.ultima_scala = p.valore;
            n.ha_cento = n.ha_decina = n.ha_unita = false;
            break;
        case Tipo::scala:
            if (n.gruppo < 2 || p.valore >= s.ultima_scala)
                continue;
            n.totale += n.gruppo * p.valore;
            n.ultima_scala = p.valore;
            n.gruppo = 0;
            n.ha_cento = n.ha_decina = n.ha_unita = false;
            break;
        }
        const std::int64_t v = leggi_da(dopo, n);
        if (v >= 0)
            return v;
    }
    return -1;
}

inline std::int64_t leggi(std::string_view parole) {
    if (parole.empty())
        return -1;
    return leggi_da(parole, Stato{});
}

} // namespace lettore
