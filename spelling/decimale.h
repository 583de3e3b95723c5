// SPDX-License-Identifier: GPL-3.0-or-later
// Decimal numbers (forme.h): read from text, shown grouped, read in words.
#pragma once

#include "spelling/forme.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace contavoce {

// Most digits after the decimal comma: the thousandths.
inline constexpr std::size_t max_decimali = 3;

// Why a text is not a number; the messages are the caller's.
enum class Difetto {
    vuoto,           // nothing but blanks
    carattere,       // neither a digit, nor a separator, nor the decimal comma
    gruppo,          // a dot or blank that does not group by three
    troppe_cifre,    // more than 12 significant digits before the comma
    punto_decimale,  // "3.05": a point where the decimal comma goes
    troppi_decimali, // more than 3 digits after the comma
    virgola,         // a comma without digits before or after it (",5", "3,")
};

// A text read: the number, or why not and the byte offset of the fault in
// the text handed over.
struct DecimaleLetto {
    Decimale numero;
    std::optional<Difetto> difetto;
    std::size_t colonna = 0;
};

// Reads a number written as people write it: the integer part plain or
// grouped by three with dots or blanks (one kind in a number: "1.234",
// "1 234"), then optionally a decimal comma and 1 to 3 digits ("1.234,567",
// "0,5"). Blanks around it (" \t\r\n\v\f") are ignored. A dot that does not
// group by three before 1 or 2 digits ("3.05") is refused as a decimal point.
DecimaleLetto leggi_decimale(std::string_view testo);

// The number shown grouped: points between the groups of three of the
// integer part only, the decimals as typed ("1.234,567", "0,5").
std::string decimale_raggruppato(const Decimale& numero);

// The number in words in a spelling and a reading. The integer part follows
// the spelling, but 0 is "zero" in both: a decimal always says it.
//   virgola: "tre virgola zero cinque" (each leading zero of the decimals
//     said "zero", the rest as one number: 3,25 "tre virgola venticinque").
//   posti: "tre unità e cinque centesimi" (the decimals as one number of
//     the last place typed); 0,5 "cinque decimi" (no units when there are
//     none), 1,5 "un'unità e cinque decimi", 2000000,5 "due milioni di unità e
//     cinque decimi", 0,001 "un millesimo"; a zero decimal part is said too:
//     3,0 "tre unità e zero decimi" (the child wrote the tenths).
// Without decimals it is the whole number's words in that spelling.
std::string decimale_in_lettere(const Decimale& numero, Grafia grafia, Lettura lettura);

} // namespace contavoce
