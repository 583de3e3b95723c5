// SPDX-License-Identifier: GPL-3.0-or-later
// Checking the numbers a user hands to contavoce-cli.
#pragma once

#include "spelling/forme.h"

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace contavoce::cli {

// The longest text read as a number, in bytes. The longest number written in
// full, "999.999.999.999,999", takes 19 bytes; the rest is room for the blanks a
// padded column or an indented list puts around it. Anything longer is not a
// list of numbers (a binary file, a line without end) and is refused without
// being held.
inline constexpr std::size_t max_riga = 256;

// Why a number was refused; the messages are the caller's, in the user's language.
enum class Rifiuto {
    vuoto,           // nothing but blanks
    carattere,       // a character that is neither a digit nor a separator
    gruppo,          // a dot or blank that does not group by three
    troppe_cifre,    // more than 12 significant digits
    troppo_lungo,    // more than max_riga bytes
    punto_decimale,  // "3.05" where a decimal number is read: the comma goes there
    troppi_decimali, // more than 3 digits after the decimal comma
    virgola,         // a decimal comma without digits on both sides
};

// A number as the user wrote it, checked: either the digits with leading
// zeros and separators removed (empty for an all-zero input) and the digits
// after a decimal comma (empty for a whole number), or why it was refused,
// with the byte offset in the text handed over where the fault is.
struct NumeroLetto {
    std::string cifre;
    std::optional<Rifiuto> errore;
    std::size_t colonna = 0;
    std::string decimali;
};

// Accepts digits written plain ("2304") or grouped by thousands as people
// write them, with dots or blanks ("2.304", "2 304", "1.000.000"; one kind of
// separator per number), with at most 12 significant digits. Blanks and a
// trailing carriage return (files written on Windows) around them are ignored;
// a text longer than max_riga is refused whatever it holds.
NumeroLetto leggi_numero(std::string_view testo);

// As leggi_numero, and also a decimal number: a comma and 1 to 3 digits after
// the integer part ("3,05", "1.234,567"). "3.05" is refused as a decimal point.
NumeroLetto leggi_decimale(std::string_view testo);

// An accepted number as the speller and the clip lists take it: the integer
// part "0" rather than empty, so that a decimal such as 0,5 says its zero.
inline Decimale come_decimale(const NumeroLetto& letto) {
    return {letto.cifre.empty() ? std::string("0") : letto.cifre, letto.decimali};
}

// The next line of `ingresso` into `riga`, without its '\n'; false when there
// is none. A line longer than max_riga bytes is not held: `riga` gets its first
// max_riga + 1 bytes, which leggi_numero refuses as too long, and the rest of
// it is skipped.
bool leggi_riga(std::istream& ingresso, std::string& riga);

// `testo` as it may be shown on a terminal: control characters (C0, DEL, C1),
// bytes that are not UTF-8 and the backslash written as \xNN and \\, so that
// no text quoted back can move the cursor, clear or retitle the terminal. A
// tab stays a tab.
std::string visibile(std::string_view testo);

// The line under visibile(testo) that puts a caret below the byte at
// `colonna`: one blank per character shown before it (a tab stays a tab, so
// the caret lines up).
std::string segno_sotto(std::string_view testo, std::size_t colonna);

} // namespace contavoce::cli
