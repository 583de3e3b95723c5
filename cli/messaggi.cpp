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

void rifiutato(const QString& dove, std::string_view testo, const NumeroLetto& letto) {
    if (!letto.errore)
        return;
    QString perche;
    switch (*letto.errore) {
    case Rifiuto::vuoto:
        perche = Cli::tr("empty: expected a whole number");
        break;
    case Rifiuto::carattere:
        perche = Cli::tr("not a whole number: only the digits 0-9, grouped by thousands with "
                         "dots or blanks");
        break;
    case Rifiuto::gruppo:
        perche = Cli::tr("this dot or blank does not group the digits by three (write 2.304, "
                         "2 304 or 2304)");
        break;
    case Rifiuto::troppe_cifre:
        perche = Cli::tr("too many digits: at most 12 (up to 999.999.999.999)");
        break;
    case Rifiuto::troppo_lungo: {
        perche = Cli::tr("too long: more than %1 bytes, and a number needs no more than 15")
                     .arg(max_riga);
        // Only its head is quoted, cut before a UTF-8 character that would be
        // split (at most three bytes back).
        std::size_t fine = estratto;
        for (int k = 0; k < 3 && (static_cast<unsigned char>(testo[fine]) & 0xC0u) == 0x80u; ++k)
            --fine;
        errore(dove + "\"" + citato(testo.substr(0, fine)) + "...\": " + perche);
        return;
    }
    }
    // The text again without its line ending, which would move the caret.
    const std::string_view riga = platform::senza_blanchi_in_coda(testo, "\r\n");
    errore(dove + "\"" + citato(riga) + "\": " + perche);
    if (*letto.errore == Rifiuto::carattere || *letto.errore == Rifiuto::gruppo) {
        std::cerr << "    " << visibile(riga) << '\n'
                  << "    " << segno_sotto(riga, letto.colonna) << '\n';
    }
}

} // namespace contavoce::cli
