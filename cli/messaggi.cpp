// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/messaggi.h"

#include "platform/base/testo.h"

#include <QLocale>
#include <QTranslator>
#include <iostream>

namespace contavoce::cli {

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
    }
    // The text again without its line ending, which would move the caret.
    const std::string_view riga = platform::senza_blanchi_in_coda(testo, "\r\n");
    errore(dove + "\"" + da_utf8(riga) + "\": " + perche);
    if (*letto.errore == Rifiuto::carattere || *letto.errore == Rifiuto::gruppo) {
        std::cerr << "    " << riga << '\n' << "    " << segno_sotto(riga, letto.colonna) << '\n';
    }
}

} // namespace contavoce::cli
