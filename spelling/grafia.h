// SPDX-License-Identifier: GPL-3.0-or-later
// A whole number in words, in either spelling (forme.h).
#pragma once

#include "spelling/forme.h"

#include <string>
#include <string_view>

namespace contavoce {

// The words of `cifre` (1..12 digits; leading zeros and the empty string are
// allowed, all zeros being 0) into `parole`, which is overwritten.
// Grafia::originale gives exactly what numero_in_lettere gives (nothing for 0);
// Grafia::scolastica the school's spelling:
//   23 ventitré, 103 centotré, 1003 milletré (a final "tre" of a longer word
//   is accented; "tre", "trecento", "tremila", "ventitremila" are not),
//   1000000 un milione, 2300000 due milioni trecentomila,
//   1001001001 un miliardo un milione milleuno, 0 zero.
void parole_in_grafia(std::string_view cifre, Grafia grafia, std::string& parole);

// Whether the words of the digits end with "milione(i)" or "miliardo(i)":
// a noun follows them with "di" ("un milione di unità").
bool finisce_con_scala(std::string_view cifre);

} // namespace contavoce
