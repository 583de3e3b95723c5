// SPDX-License-Identifier: GPL-3.0-or-later
// The forms a number can be written and read in, beside the described one:
// the spelling taught in school and the two readings of a decimal number.
// Shared by the speller, the clip lists and every front end.
#pragma once

#include <string>

namespace contavoce {

// How the words are spelled. `originale` is the program's own (one word, "tre"
// never accented, nothing for 0); `scolastica` is the school's: "ventitré",
// "un milione", "due miliardi trecentomila", "zero".
enum class Grafia { originale, scolastica };

// How a decimal number is read: with the comma ("tre virgola zero cinque") or
// by places ("tre unità e cinque centesimi").
enum class Lettura { virgola, posti };

// A number with a decimal comma, split: the integer part's digits (1..12, no
// leading zeros but a lone "0") and the decimal digits (0..3, kept as typed:
// "3,50" keeps "50"). An empty `decimali` is a whole number.
struct Decimale {
    std::string intera;
    std::string decimali;
};

} // namespace contavoce
