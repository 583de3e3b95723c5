// SPDX-License-Identifier: GPL-3.0-or-later
// Checking the numbers a user hands to contavoce-cli.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace contavoce::cli {

// Why a number was refused; the messages are the caller's, in the user's language.
enum class Rifiuto {
    vuoto,        // nothing but blanks
    carattere,    // a character that is neither a digit nor a separator
    gruppo,       // a dot or blank that does not group by three
    troppe_cifre, // more than 12 significant digits
};

// A number as the user wrote it, checked: either the digits with leading
// zeros and separators removed (empty for an all-zero input) or why it was
// refused, with the byte offset in the text handed over where the fault is.
struct NumeroLetto {
    std::string cifre;
    std::optional<Rifiuto> errore;
    std::size_t colonna = 0;
};

// Accepts digits written plain ("2304") or grouped by thousands as people
// write them, with dots or blanks ("2.304", "2 304", "1.000.000"; one kind of
// separator per number), with at most 12 significant digits. Blanks and a
// trailing carriage return (files written on Windows) around them are ignored.
NumeroLetto leggi_numero(std::string_view testo);

// The line under `testo` that puts a caret below the byte at `colonna`: one
// blank per byte before it (a tab stays a tab, so the caret lines up).
std::string segno_sotto(std::string_view testo, std::size_t colonna);

} // namespace contavoce::cli
