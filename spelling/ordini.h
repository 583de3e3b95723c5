// SPDX-License-Identifier: GPL-3.0-or-later
// The written names of the places of a digit in a whole number, as the
// place-value panel shows them beside the chosen digit ("3 centinaia"), and
// of the places of the decimal digits ("5 centesimi", "un centesimo").
#pragma once

#include <array>

namespace contavoce {

// Names of the places of a digit, counted from the right starting at 1.
inline constexpr std::array<const char*, 13> nomi_ordini = {" ",
                                                            "unità",
                                                            "decine",
                                                            "centinaia",
                                                            "migliaia",
                                                            "decine di migliaia",
                                                            "centinaia di migliaia",
                                                            "milioni",
                                                            "decine di milioni",
                                                            "centinaia di milioni",
                                                            "miliardi",
                                                            "decine di miliardi",
                                                            "centinaia di miliardi"};

// Names of the places of a decimal digit, counted from the comma starting at
// 1: the plural, and the singular that follows "un" ("un decimo").
inline constexpr std::array<const char*, 4> nomi_decimali = {" ", "decimi", "centesimi",
                                                             "millesimi"};
inline constexpr std::array<const char*, 4> nomi_decimali_singolari = {" ", "decimo", "centesimo",
                                                                       "millesimo"};

} // namespace contavoce
