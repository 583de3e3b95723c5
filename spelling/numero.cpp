// SPDX-License-Identifier: GPL-3.0-or-later
#include "spelling/numero.h"

#include <array>
#include <string_view>

namespace contavoce {
namespace {

constexpr std::array<std::string_view, 22> tabella_unita = {
    "",         "uno",        "due",         "tre",      "quattro", "cinque",
    "sei",      "sette",      "otto",        "nove",     "dieci",   "undici",
    "dodici",   "tredici",    "quattordici", "quindici", "sedici",  "diciassette",
    "diciotto", "diciannove", "venti",       "ventuno"};

// Indexed by the tens digit; 0 and 1 never reach it (values below 22 come whole).
constexpr std::array<std::string_view, 10> tabella_decine = {
    "",          "",         "venti",    "trenta",  "quaranta",
    "cinquanta", "sessanta", "settanta", "ottanta", "novanta"};

constexpr std::string_view cento = "cento";
constexpr std::string_view errore = " errore";

// The last character dropped, without building a temporary string.
constexpr std::string_view accorciata(std::string_view parola) {
    return parola.substr(0, parola.size() - 1);
}

// Appends the words of n (0..999) to out. Both the group speller and the
// whole-number speller go through here so that a twelve-digit number is
// spelled into one buffer without intermediate strings.
void aggiungi_gruppo(int n, std::string& out) {
    if (n < 22) {
        out += tabella_unita[n];
        return;
    }
    const int r = n % 100;
    if (n < 100) {
        const int t = r / 10;
        const int u = r % 10;
        out += (u == 1 || u == 8) ? accorciata(tabella_decine[t]) : tabella_decine[t];
        out += tabella_unita[u];
        return;
    }
    const int h = (n - r) / 100;
    if (h != 1)
        out += tabella_unita[h];
    // "cento" loses its vowel only before "otto" (x08) and "ottanta" (x80..x89).
    out += (r == 8 || r / 10 == 8) ? accorciata(cento) : cento;
    if (r <= 21) {
        out += tabella_unita[r];
        return;
    }
    const int t = r / 10;
    const int u = r % 10;
    out += (u == 1 || u == 8) ? accorciata(tabella_decine[t]) : tabella_decine[t];
    out += tabella_unita[u];
}

// A group followed by its scale word: 0 says nothing (empty middle groups
// leave no trace), 1 says the singular form ("mille", "unmilione",
// "unmiliardo"), any other value its words and the plural ("duemila").
void aggiungi_scala(int n, std::string_view singolare, std::string_view plurale, std::string& out) {
    if (n == 1) {
        out += singolare;
    } else if (n != 0) {
        aggiungi_gruppo(n, out);
        out += plurale;
    }
}

} // namespace

void da_1_a_999(const std::int16_t& numero, std::string& n_lettera) {
    const int n = numero;
    n_lettera.clear();
    if (n >= 1000) {
        n_lettera = errore;
        return;
    }
    if (n < 0)
        return; // outside the interface: no caller passes one
    aggiungi_gruppo(n, n_lettera);
}

std::string n_anomalo(const std::string& lettere) {
    if (lettere.empty())
        return {};
    return lettere.substr(0, lettere.size() - 1);
}

void numero_in_lettere(const std::string& bignumber, std::string& solo_lettere) {
    std::int16_t gruppi = 0;
    conta_gruppi(bignumber, gruppi);
    if (gruppi < 1 || gruppi > 4)
        return;

    // Read every group before writing: the caller may pass one string as both arguments.
    const std::string_view s = bignumber;
    const std::size_t L = s.size();
    const std::size_t testa = L - 3 * static_cast<std::size_t>(gruppi - 1);
    std::array<int, 4> g{};
    g[0] = static_cast<int>(valore_cifre(s.substr(0, testa)));
    for (int i = 1; i < gruppi; ++i)
        g[i] = static_cast<int>(valore_cifre(s.substr(testa + 3 * (i - 1), 3)));

    // The leftmost group is never 0 for a string without leading zeros; if one
    // slips through it says nothing rather than a bare "mila" or "milioni".
    std::string& out = solo_lettere;
    out.clear();
    const int unita = g[gruppi - 1];
    if (gruppi == 4)
        aggiungi_scala(g[0], "unmiliardo", "miliardi", out);
    if (gruppi >= 3)
        aggiungi_scala(g[gruppi - 3], "unmilione", "milioni", out);
    if (gruppi >= 2)
        aggiungi_scala(g[gruppi - 2], "mille", "mila", out);
    aggiungi_gruppo(unita, out);
}

long long valore_cifre(std::string_view testo) {
    constexpr long long tetto = 1'000'000'000'000'000; // far above twelve digits
    long long v = 0;
    for (char c : testo) {
        if (c < '0' || c > '9' || v >= tetto)
            break;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string zeri_non_significativi(const std::string& ingresso) {
    const auto primo = ingresso.find_first_not_of('0');
    return primo == std::string::npos ? std::string{} : ingresso.substr(primo);
}

std::string formatta_numero(std::string& numero) {
    numero = zeri_non_significativi(numero);
    const std::size_t L = numero.size();
    if (L == 0 || L > max_cifre)
        return numero;
    // Filling "&&&.&&&..." from the right is the same as a point every three digits.
    std::string mostrato;
    mostrato.reserve(L + L / 3);
    for (std::size_t i = 0; i < L; ++i) {
        if (i != 0 && (L - i) % 3 == 0)
            mostrato += '.';
        mostrato += numero[i];
    }
    return mostrato;
}

void conta_gruppi(const std::string& numero, std::int16_t& gruppi) {
    const std::size_t L = numero.size();
    // Saturate rather than wrap for absurdly long strings: anything above 4 means "no words".
    const std::size_t g = L / 3 + (L % 3 == 0 ? 0 : 1);
    gruppi = static_cast<std::int16_t>(g > 32767 ? 32767 : g);
}

} // namespace contavoce
