// SPDX-License-Identifier: GPL-3.0-or-later
#include "spelling/decimale.h"

#include "spelling/grafia.h"
#include "spelling/numero.h"
#include "spelling/ordini.h"

#include <algorithm>

namespace contavoce {
namespace {

constexpr bool cifra(char c) {
    return c >= '0' && c <= '9';
}

bool tutte_cifre(std::string_view s) {
    for (const char c : s)
        if (!cifra(c))
            return false;
    return true;
}

// "3.05", "12.5": digits, one dot, then one or two digits. A dot before
// three digits groups them (3.050 is 3050), so only these are taken for a
// decimal point.
bool punto_per_virgola(std::string_view numero) {
    const auto punto = numero.find('.');
    if (punto == std::string_view::npos || punto == 0)
        return false;
    const std::string_view dopo = numero.substr(punto + 1);
    return tutte_cifre(numero.substr(0, punto)) && !dopo.empty() && dopo.size() < 3 &&
           tutte_cifre(dopo);
}

// The words of a part, "zero" for 0 in either spelling.
std::string parole_di(std::string_view cifre, Grafia grafia) {
    std::string parole;
    parole_in_grafia(cifre, grafia, parole);
    if (parole.empty())
        parole = "zero";
    return parole;
}

} // namespace

DecimaleLetto leggi_decimale(std::string_view testo) {
    constexpr std::string_view blanchi = " \t\r\n\v\f";
    const std::size_t inizio = testo.find_first_not_of(blanchi);
    if (inizio == std::string_view::npos)
        return {{}, Difetto::vuoto, 0};
    const std::string_view numero =
        testo.substr(inizio, testo.find_last_not_of(blanchi) - inizio + 1);
    const auto rifiuto = [&](Difetto d, std::size_t i) { return DecimaleLetto{{}, d, inizio + i}; };
    if (punto_per_virgola(numero))
        return rifiuto(Difetto::punto_decimale, numero.find('.'));

    const std::size_t virgola = numero.find(',');
    const std::string_view intera = numero.substr(0, virgola);
    std::string cifre;
    cifre.reserve(intera.size());
    char tipo = 0;              // the separator this number uses, once seen
    std::size_t ultimo = 0;     // offset of the last separator
    std::size_t nel_gruppo = 0; // digits since the last separator
    bool separato = false;
    for (std::size_t i = 0; i < intera.size(); ++i) {
        const char c = intera[i];
        if (cifra(c)) {
            cifre += c;
            ++nel_gruppo;
            continue;
        }
        if (c != '.' && c != ' ')
            return rifiuto(Difetto::carattere, i);
        // The group before this separator: 1 to 3 digits at the head, then exactly 3.
        const bool buono = separato ? nel_gruppo == 3 : nel_gruppo >= 1 && nel_gruppo <= 3;
        if (!buono)
            return rifiuto(Difetto::gruppo, separato ? ultimo : i);
        if (tipo != 0 && c != tipo)
            return rifiuto(Difetto::gruppo, i);
        tipo = c;
        ultimo = i;
        nel_gruppo = 0;
        separato = true;
    }
    if (separato && nel_gruppo != 3)
        return rifiuto(Difetto::gruppo, ultimo);
    if (virgola == 0)
        return rifiuto(Difetto::virgola, 0);
    cifre = zeri_non_significativi(cifre);
    if (cifre.size() > max_cifre)
        return rifiuto(Difetto::troppe_cifre, 0);
    if (cifre.empty())
        cifre = "0";

    std::string decimali;
    if (virgola != std::string_view::npos) {
        const std::string_view dopo = numero.substr(virgola + 1);
        if (dopo.empty())
            return rifiuto(Difetto::virgola, virgola);
        for (std::size_t k = 0; k < dopo.size(); ++k)
            if (!cifra(dopo[k]))
                return rifiuto(Difetto::carattere, virgola + 1 + k);
        if (dopo.size() > max_decimali)
            return rifiuto(Difetto::troppi_decimali, virgola + 1 + max_decimali);
        decimali = dopo;
    }
    return {{std::move(cifre), std::move(decimali)}, std::nullopt, 0};
}

std::string decimale_raggruppato(const Decimale& numero) {
    std::string intera = numero.intera;
    std::string mostrato = formatta_numero(intera);
    if (mostrato.empty() && !numero.decimali.empty())
        mostrato = "0";
    if (!numero.decimali.empty())
        mostrato += ',' + numero.decimali;
    return mostrato;
}

std::string decimale_in_lettere(const Decimale& numero, Grafia grafia, Lettura lettura) {
    const std::string& decimali = numero.decimali;
    if (decimali.empty()) {
        std::string parole;
        parole_in_grafia(numero.intera, grafia, parole);
        return parole;
    }
    if (decimali.size() > max_decimali)
        return {}; // never read so: no place has a name
    if (lettura == Lettura::virgola) {
        std::string parole = parole_di(numero.intera, grafia) + " virgola";
        const std::size_t zeri = std::min(decimali.find_first_not_of('0'), decimali.size());
        for (std::size_t k = 0; k < zeri; ++k)
            parole += " zero";
        if (zeri < decimali.size())
            parole += ' ' + parole_di(std::string_view(decimali).substr(zeri), grafia);
        return parole;
    }
    // The decimals as a number of the last place: 3,25 is 25 centesimi.
    const std::size_t posto = decimali.size();
    const std::string decimale = valore_cifre(decimali) == 1
                                     ? std::string("un ") + nomi_decimali_singolari[posto]
                                     : parole_di(decimali, grafia) + ' ' + nomi_decimali[posto];
    const std::string_view intera = numero.intera;
    if (valore_cifre(intera) == 0)
        return decimale;
    // "Una unità" is heard, but the school writes the elision.
    if (valore_cifre(intera) == 1)
        return "un'unità e " + decimale;
    return parole_di(intera, grafia) + (finisce_con_scala(intera) ? " di unità e " : " unità e ") +
           decimale;
}

} // namespace contavoce
