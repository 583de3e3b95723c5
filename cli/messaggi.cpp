// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/messaggi.h"

#include "platform/base/testo.h"

#include <QLocale>
#include <QTranslator>
#include <iostream>

namespace contavoce::cli {
namespace {

// How much of a text too long to be a number is quoted back, in bytes.
constexpr std::size_t estratto = 32;

} // namespace

void installa_traduzioni(QTranslator& traduzioni) {
    // QLocale::system() reads LC_ALL, then LC_MESSAGES, then LANG (and LANGUAGE).
    if (traduzioni.load(QLocale::system(), "contavoce-cli", "_", ":/i18n"))
        QCoreApplication::installTranslator(&traduzioni);
}

void errore(const QString& testo) {
    std::cerr << "contavoce-cli: " << testo.toStdString() << '\n';
}

void rifiutato(const QString& dove, std::string_view testo, const NumeroLetto& letto,
               bool decimali) {
    if (!letto.errore)
        return;
    // The text again without its line ending, which would move the caret.
    const std::string_view riga = platform::senza_blanchi_in_coda(testo, "\r\n");
    QString perche;
    switch (*letto.errore) {
    case Rifiuto::vuoto:
        perche = decimali ? Cli::tr("empty: expected a number")
                          : Cli::tr("empty: expected a whole number");
        break;
    case Rifiuto::carattere:
        perche = decimali ? Cli::tr("not a number: only the digits 0-9, grouped by thousands with "
                                    "dots or blanks, and a decimal comma")
                          : Cli::tr("not a whole number: only the digits 0-9, grouped by "
                                    "thousands with dots or blanks");
        break;
    case Rifiuto::punto_decimale: {
        // The same text with the comma in place of the dot, blanks and all.
        std::string con_virgola(platform::senza_blanchi(riga));
        con_virgola[con_virgola.find('.')] = ',';
        perche = Cli::tr("this dot does not group the digits by three: a decimal number takes "
                         "a comma, write %1")
                     .arg(citato(con_virgola));
        break;
    }
    case Rifiuto::troppi_decimali:
        perche = Cli::tr("too many decimals: at most 3, to the thousandths (0,001)");
        break;
    case Rifiuto::virgola:
        perche = Cli::tr("the decimal comma wants digits on both sides (0,5 or 3,0)");
        break;
    case Rifiuto::gruppo:
        perche = Cli::tr("this dot or blank does not group the digits by three (write 2.304, "
                         "2 304 or 2304)");
        break;
    case Rifiuto::troppe_cifre:
        perche = Cli::tr("too many digits: at most 12 (up to 999.999.999.999)");
        break;
    case Rifiuto::troppo_lungo: {
        perche = Cli::tr("too long: more than %1 bytes, and a number needs no more than %2")
                     .arg(max_riga)
                     .arg(decimali ? 19 : 15); // 999.999.999.999,999
        // Only its head is quoted, cut before a UTF-8 character that would be
        // split (at most three bytes back).
        std::size_t fine = estratto;
        for (int k = 0; k < 3 && (static_cast<unsigned char>(testo[fine]) & 0xC0u) == 0x80u; ++k)
            --fine;
        errore(dove + "\"" + citato(testo.substr(0, fine)) + "...\": " + perche);
        return;
    }
    }
    errore(dove + "\"" + citato(riga) + "\": " + perche);
    if (*letto.errore != Rifiuto::vuoto && *letto.errore != Rifiuto::troppe_cifre) {
        std::cerr << "    " << visibile(riga) << '\n'
                  << "    " << segno_sotto(riga, letto.colonna) << '\n';
    }
}

std::optional<Lettura> lettura_chiesta(std::string_view valore) {
    if (valore == "virgola")
        return Lettura::virgola;
    if (valore == "posti")
        return Lettura::posti;
    errore(Cli::tr("--lettura wants virgola or posti, not \"%1\"").arg(citato(valore)));
    return std::nullopt;
}

} // namespace contavoce::cli
