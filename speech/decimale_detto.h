// SPDX-License-Identifier: GPL-3.0-or-later
// The clips that say a decimal number in one of the two readings taught in
// school: with the comma ("3,05": tre virgola zero cinque) or by places (tre
// unità e cinque centesimi). Built from arithmetic only, like a whole number's.
#pragma once

#include "spelling/forme.h"

#include <string>
#include <vector>

namespace contavoce {

// Full clip paths from `cartella`, in playing order. A decimal needs up to 26
// clips, more than a whole number's list holds, so they come in a vector.
//
// virgola: the integer part ("zero" for 0), "virgola", each leading zero of
//   the decimals as "zero", then the rest as a number (3,250: tre virgola
//   duecentocinquanta).
// posti: the integer part and "unità" ("un'unità" for 1, "di unità" after
//   milioni or miliardi), "e", then the decimals as a number and their place,
//   fixed by how many were written (2,50: ... e cinquanta centesimi; a 1 in
//   the singular: un centesimo; all zeros: zero centesimi). A 0 integer part
//   is left out with its "e" (0,5: cinque decimi).
//
// No decimals is a whole number and gives its described list (0 says
// nothing). An integer part of other than 1..12 digits, leading zeros, more
// than 3 decimals or anything but digits gives an empty list.
std::vector<std::string> lista_decimale(const Decimale& numero, Lettura lettura,
                                        const std::string& cartella);

} // namespace contavoce
