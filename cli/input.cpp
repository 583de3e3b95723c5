// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input.h"

#include "platform/base/testo.h"
#include "spelling/decimale.h"

#include <algorithm>
#include <istream>
#include <limits>

namespace contavoce::cli {

namespace {

// The length of the UTF-8 character at `i`, 0 when the bytes there are not
// one; a C1 control character, `c1`.
std::size_t carattere_utf8(std::string_view s, std::size_t i, bool& c1) {
    char32_t c = 0;
    const std::size_t n = platform::carattere_utf8(s.substr(i), c);
    c1 = n > 1 && c < 0xA0;
    return n;
}

} // namespace

NumeroLetto leggi_decimale(std::string_view testo) {
    if (testo.size() > max_riga)
        return {{}, Rifiuto::troppo_lungo, 0, {}};
    DecimaleLetto letto = contavoce::leggi_decimale(testo);
    if (!letto.difetto) {
        Decimale& n = letto.numero;
        return {n.intera == "0" ? std::string() : std::move(n.intera), std::nullopt, 0,
                std::move(n.decimali)};
    }
    Rifiuto perche = Rifiuto::carattere;
    switch (*letto.difetto) {
    case Difetto::vuoto:
        perche = Rifiuto::vuoto;
        break;
    case Difetto::carattere:
        perche = Rifiuto::carattere;
        break;
    case Difetto::gruppo:
        perche = Rifiuto::gruppo;
        break;
    case Difetto::troppe_cifre:
        perche = Rifiuto::troppe_cifre;
        break;
    case Difetto::punto_decimale:
        perche = Rifiuto::punto_decimale;
        break;
    case Difetto::troppi_decimali:
        perche = Rifiuto::troppi_decimali;
        break;
    case Difetto::virgola:
        perche = Rifiuto::virgola;
        break;
    }
    return {{}, perche, letto.colonna, {}};
}

NumeroLetto leggi_numero(std::string_view testo) {
    NumeroLetto letto = leggi_decimale(testo);
    if (letto.errore == Rifiuto::troppo_lungo)
        return letto;
    // Where only whole numbers go, a comma is a character like any other, and
    // a dot before one or two digits a dot that does not group.
    const std::size_t virgola = testo.find(',');
    if (virgola != std::string_view::npos && (!letto.errore || letto.colonna >= virgola))
        return {{}, Rifiuto::carattere, virgola, {}};
    if (letto.errore == Rifiuto::punto_decimale)
        letto.errore = Rifiuto::gruppo;
    return letto;
}

bool leggi_riga(std::istream& ingresso, std::string& riga) {
    // One byte past the bound tells a line too long, one more is getline's '\0'.
    riga.resize(max_riga + 2);
    ingresso.getline(riga.data(), std::streamsize(riga.size()));
    auto letti = std::size_t(ingresso.gcount());
    if (ingresso.bad() || (ingresso.fail() && letti == 0)) {
        riga.clear();
        return false;
    }
    if (ingresso.fail()) {
        // Cut at the bound: the rest of the line goes unread into memory.
        ingresso.clear();
        ingresso.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    } else if (!ingresso.eof()) {
        --letti; // the '\n', counted but not stored
    }
    riga.resize(letti);
    return true;
}

std::string visibile(std::string_view testo) {
    constexpr std::string_view esadecimali = "0123456789abcdef";
    std::string visto;
    visto.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size();) {
        const auto b = static_cast<unsigned char>(testo[i]);
        bool c1 = false;
        const std::size_t n = carattere_utf8(testo, i, c1);
        if (b == '\t') {
            visto += '\t';
        } else if (b == '\\') {
            visto += "\\\\";
        } else if (n == 0 || b < 0x20 || b == 0x7F || c1) {
            for (std::size_t k = i; k < i + std::max<std::size_t>(n, 1); ++k) {
                const auto x = static_cast<unsigned char>(testo[k]);
                visto += "\\x";
                visto += esadecimali[x >> 4];
                visto += esadecimali[x & 0xFu];
            }
        } else {
            visto += testo.substr(i, n);
        }
        i += std::max<std::size_t>(n, 1);
    }
    return visto;
}

std::string segno_sotto(std::string_view testo, std::size_t colonna) {
    std::string segno;
    // Before a fault there are only blanks, digits and separators, but a
    // blank such as \v is shown as four characters.
    for (const char c : visibile(testo.substr(0, std::min(colonna, testo.size()))))
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u)
            segno += c == '\t' ? '\t' : ' ';
    segno += '^';
    return segno;
}

} // namespace contavoce::cli
