// SPDX-License-Identifier: GPL-3.0-or-later
// The written names of the places of a digit in a whole number, as the
// place-value panel shows them beside the chosen digit ("3 centinaia").
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

} // namespace contavoce
