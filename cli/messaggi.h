// SPDX-License-Identifier: GPL-3.0-or-later
// What contavoce-cli tells its user, in the user's language: Qt's translations
// from cli/translations, chosen by the locale (LC_ALL, LC_MESSAGES, LANG).
#pragma once

#include "cli/input.h"

#include <QCoreApplication>
#include <QString>
#include <optional>
#include <string_view>

class QTranslator;

namespace contavoce::cli {

// The translation context of every message of the program.
struct Cli {
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

// Loads the messages for the locale's language into `traduzioni` and
// installs them; English (the texts in the code) when there are none.
void installa_traduzioni(QTranslator& traduzioni);

// "contavoce-cli: " and the text on standard error.
void errore(const QString& testo);

// A refused number: where it was (empty or "line 3: "), the text, why, and for
// a fault at one place the text again with a caret under that place.
// `decimali`: the text was read by leggi_decimale, which takes a decimal comma.
void rifiutato(const QString& dove, std::string_view testo, const NumeroLetto& letto,
               bool decimali = false);

// The reading --lettura names in `valore`; nothing, and the reason on
// standard error, for anything but virgola or posti.
std::optional<Lettura> lettura_chiesta(std::string_view valore);

// Text for the terminal: UTF-8 bytes.
inline QString da_utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The user's text quoted back, with its control characters shown escaped.
inline QString citato(std::string_view s) {
    return da_utf8(visibile(s));
}

} // namespace contavoce::cli
