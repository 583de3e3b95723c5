// SPDX-License-Identifier: GPL-3.0-or-later
#include "spelling/grafia.h"

#include "spelling/numero.h"

#include <cstdint>

namespace contavoce {
namespace {

std::string_view senza_zeri(std::string_view cifre) {
    const auto primo = cifre.find_first_not_of('0');
    return primo == std::string_view::npos ? std::string_view{} : cifre.substr(primo);
}

int valore(std::string_view cifre) {
    return static_cast<int>(valore_cifre(cifre));
}

// Appends `parola` to the words, after a blank when there are some already.
// A final "tre" of a word longer than "tre" takes its accent: ventitré,
// centotré, milletré; never "tre" alone, nor a "tre" inside a word
// (trecento, ventitremila).
void aggiungi_parola(std::string_view parola, std::string& parole) {
    if (parola.empty())
        return;
    if (!parole.empty())
        parole += ' ';
    if (parola.size() > 3 && parola.ends_with("tre")) {
        parole += parola.substr(0, parola.size() - 1);
        parole += "é";
    } else {
        parole += parola;
    }
}

// A millions or billions group: the noun alone after "un", else its plural.
// 21, 31... keep "uno" before the noun: "ventuno milioni", not "ventun
// milioni". Both are good Italian; this one is the program's own spelling with
// only a blank added (ventunomilioni), and it is what the voice says, the
// clips of "venti", "uno" and "milioni".
void aggiungi_scala(int n, std::string_view singolare, std::string_view plurale,
                    std::string& gruppo, std::string& parole) {
    if (n == 0)
        return;
    if (n == 1) {
        aggiungi_parola("un", parole);
        aggiungi_parola(singolare, parole);
        return;
    }
    da_1_a_999(static_cast<std::int16_t>(n), gruppo);
    aggiungi_parola(gruppo, parole);
    aggiungi_parola(plurale, parole);
}

} // namespace

void parole_in_grafia(std::string_view cifre, Grafia grafia, std::string& parole) {
    parole.clear();
    const std::string_view numero = senza_zeri(cifre);
    if (numero.size() > max_cifre)
        return;
    if (grafia == Grafia::originale) {
        numero_in_lettere(std::string(numero), parole);
        return;
    }
    if (numero.empty()) {
        parole = "zero";
        return;
    }
    // The billions and millions, each a group of its own, then the thousands
    // and units as the one word the program's own spelling writes ("trecentomila").
    const std::size_t L = numero.size();
    std::string gruppo;
    if (L > 9)
        aggiungi_scala(valore(numero.substr(0, L - 9)), "miliardo", "miliardi", gruppo, parole);
    if (L > 6) {
        const std::size_t inizio = L > 9 ? L - 9 : 0;
        aggiungi_scala(valore(numero.substr(inizio, L - 6 - inizio)), "milione", "milioni", gruppo,
                       parole);
    }
    const std::string_view coda = senza_zeri(L > 6 ? numero.substr(L - 6) : numero);
    if (!coda.empty()) {
        numero_in_lettere(std::string(coda), gruppo);
        aggiungi_parola(gruppo, parole);
    }
}

bool finisce_con_scala(std::string_view cifre) {
    const std::string_view numero = senza_zeri(cifre);
    return numero.size() > 6 && numero.size() <= max_cifre &&
           numero.substr(numero.size() - 6).find_first_not_of('0') == std::string_view::npos;
}

} // namespace contavoce
