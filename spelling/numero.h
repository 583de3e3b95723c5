// SPDX-License-Identifier: GPL-3.0-or-later
// Italian cardinal numbers for digit strings of up to twelve digits.
//
// Words are written the Italian way: one word, no blanks, lower case
// (2304 -> "duemilatrecentoquattro"). Capitalising is the caller's business.
// Arguments follow the program's convention: inputs by const reference,
// results through an out argument or as the function result; nothing here
// reports errors, out-of-range input yields a fixed literal or leaves the
// out argument untouched.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace contavoce {

// Most digits a number may have (the entry box's limit).
inline constexpr std::size_t max_cifre = 12;

// Words for 0..999 into n_lettera (0 gives the empty string, 1000 or more
// gives " errore", negative values are outside the interface).
void da_1_a_999(const std::int16_t& numero, std::string& n_lettera);

// The word without its last character ("venti" -> "vent"); used for elisions.
std::string n_anomalo(const std::string& lettere);

// Words for a digit string of 1..12 digits without leading zeros.
// solo_lettere is written only when the string has 1 to 4 groups of three;
// otherwise it keeps what it held.
void numero_in_lettere(const std::string& bignumber, std::string& solo_lettere);

// The digit string without its leading "0" characters ("000" -> "").
std::string zeri_non_significativi(const std::string& ingresso);

// Strips the leading zeros of numero in place and returns its display form
// with a "." between groups of three counted from the right ("1234" -> "1.234").
// More than 12 digits come back without separators.
std::string formatta_numero(std::string& numero);

// The value of the text's leading digits, stopping at the first other
// character ("12a" -> 12, "a" -> 0). Saturates instead of overflowing.
long long valore_cifre(std::string_view testo);

// Number of groups of three digits, counted from the right (0 for "").
void conta_gruppi(const std::string& numero, std::int16_t& gruppi);

} // namespace contavoce
