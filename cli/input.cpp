// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input.h"

#include "platform/base/testo.h"
#include "spelling/numero.h"

namespace contavoce::cli {

namespace {

constexpr bool cifra(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool separatore(char c) {
    return c == '.' || c == ' ';
}

} // namespace

NumeroLetto leggi_numero(std::string_view testo) {
    const std::string_view numero = platform::senza_blanchi(testo);
    const std::size_t inizio = std::size_t(numero.data() - testo.data());
    if (numero.empty())
        return {{}, Rifiuto::vuoto, 0};

    std::string cifre;
    cifre.reserve(numero.size());
    char tipo = 0;              // the separator this number uses, once seen
    std::size_t ultimo = 0;     // offset of the last separator in `numero`
    std::size_t nel_gruppo = 0; // digits since the last separator
    bool separato = false;
    for (std::size_t i = 0; i < numero.size(); ++i) {
        const char c = numero[i];
        if (cifra(c)) {
            cifre += c;
            ++nel_gruppo;
            continue;
        }
        if (!separatore(c))
            return {{}, Rifiuto::carattere, inizio + i};
        // The group before this separator: 1 to 3 digits at the head, then exactly 3.
        const bool buono = separato ? nel_gruppo == 3 : nel_gruppo >= 1 && nel_gruppo <= 3;
        if (!buono)
            return {{}, Rifiuto::gruppo, inizio + (separato ? ultimo : i)};
        if (tipo != 0 && c != tipo)
            return {{}, Rifiuto::gruppo, inizio + i};
        tipo = c;
        ultimo = i;
        nel_gruppo = 0;
        separato = true;
    }
    if (separato && nel_gruppo != 3)
        return {{}, Rifiuto::gruppo, inizio + ultimo};

    cifre = zeri_non_significativi(cifre);
    if (cifre.size() > max_cifre)
        return {{}, Rifiuto::troppe_cifre, inizio};
    return {std::move(cifre), std::nullopt, 0};
}

std::string segno_sotto(std::string_view testo, std::size_t colonna) {
    std::string segno;
    // Before a fault there are only blanks, digits and separators: ASCII.
    for (std::size_t i = 0; i < colonna && i < testo.size(); ++i)
        segno += testo[i] == '\t' ? '\t' : ' ';
    segno += '^';
    return segno;
}

} // namespace contavoce::cli
