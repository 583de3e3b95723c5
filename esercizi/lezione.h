// SPDX-License-Identifier: GPL-3.0-or-later
// A lesson: the round a teacher prepares once for a whole class, in a small
// text file that contavoce-cli writes and the practice window opens, so that
// every child of the class gets the same questions. The file, UTF-8, one
// "chiave = valore" a line, blank lines and lines starting with # ignored:
//
//     # Lezione di Contavoce
//     formato = 1
//     titolo = I numeri grandi        (optional)
//     classe = quarta                 prima .. quinta
//     livello = 2                     1, 2 or 3
//     tipi = ascolta, lettere         chiave_tipo's names, each once, in turn
//     domande = 10                    5 .. 20
//     seme = 7                        0 .. 2^64 - 1
//     grafia = scolastica             optional: scolastica or originale
//
// Every key at most once, none other; a file of a newer format, over
// max_byte_lezione bytes, with a line over max_riga_lezione bytes, a NUL, a
// control character or bytes that are not UTF-8 is refused. The keys and the
// values are written in lower case; blanks around them do not count, a
// byte-order mark and Windows line ends neither.
#pragma once

#include "esercizi/esercizi.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace contavoce {

inline constexpr int formato_lezione = 1;
inline constexpr std::size_t max_byte_lezione = 4096;
inline constexpr std::size_t max_riga_lezione = 256;
// Characters: a title of four-byte characters still fits in its line.
inline constexpr std::size_t max_titolo = 60;

struct Lezione {
    std::string titolo; // empty: none
    Classe classe = Classe::terza;
    int livello = 1;
    std::vector<Tipo> tipi = {Tipo::ascolta};
    std::size_t domande = domande_di_norma;
    std::uint64_t seme = 0;
    std::optional<Grafia> grafia; // none: the spelling the window has

    bool operator==(const Lezione&) const = default;
};

// Why a lesson was refused: one Italian sentence for a teacher, starting
// with "Riga N: " when a line is at fault (`riga`, from 1; 0 otherwise).
struct ErroreLezione {
    std::size_t riga = 0;
    std::string messaggio;
};

using LezioneLetta = std::variant<Lezione, ErroreLezione>;

// The file's text; a lesson that passes controlla_lezione reads back equal.
std::string scrivi_lezione(const Lezione& lezione);

// The lesson in `testo`, or why not.
LezioneLetta leggi_lezione(std::string_view testo);

// The lesson in the file at `percorso`, read no further than
// max_byte_lezione + 1 bytes; a folder, a device or a pipe is refused.
LezioneLetta leggi_file_lezione(const std::string& percorso);

// What would keep a lesson made in a program from reading back as it is
// (a level, a count, a kind twice, a title with a control character or too
// long, blanks around it), in Italian; nothing when it would read back.
std::optional<std::string> controlla_lezione(const Lezione& lezione);

// The settings of the lesson's round; `grafia` when the lesson names none.
Impostazioni impostazioni_lezione(const Lezione& lezione, Grafia grafia);

} // namespace contavoce
