// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of `contavoce`: --help, --version, --fullscreen, --no-music,
// --zoom N, --grafia G, --esercizi, --seme N and --lezione FILE, read before
// anything else starts.
#pragma once

#include "spelling/forme.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>

namespace contavoce {

// What this run is asked for; only the spelling is remembered, as a
// teacher's choice for the runs that follow.
struct Opzioni {
    std::optional<int> zoom;
    bool schermo_intero = false;
    bool senza_musica = false;
    std::optional<Grafia> grafia;
    bool esercizi = false; // the practice window opens at once, over the main one
    // The practice rounds drawn from this seed: the same round for a whole class.
    std::optional<std::uint64_t> seme;
    // A lesson file: the practice window opens on its round (read later, so
    // that a damaged one is told in the window).
    std::optional<QString> lezione;
};

// The program ends at once: with code 0 after help or version (the text goes to
// standard output), with 2 after a bad option (the message goes to standard error).
struct Uscita {
    int codice;
    QString testo;
};

// `argomenti` as main receives them, the program's name first.
std::variant<Opzioni, Uscita> leggi_opzioni(const QStringList& argomenti);

} // namespace contavoce
