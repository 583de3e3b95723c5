// SPDX-License-Identifier: GPL-3.0-or-later
// What the parts of the practice's logic share: a number as an integer count
// of its last decimal place, which makes sums, comparisons and places plain
// arithmetic.
#pragma once

#include "esercizi/esercizi.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace contavoce::interno {

// 3,05 is {305, 2}; 2.304 is {2304, 0}.
struct Scalato {
    std::uint64_t v = 0;
    int k = 0; // digits after the comma
};

std::uint64_t potenza10(int esponente);
Scalato scalato(const Decimale& numero);
Decimale decimale(Scalato numero);
// The same number with the fewest decimals it needs at `k_minimo` or more.
Scalato ridotto(Scalato numero, int k_minimo = 0);
// -1, 0, 1 by value (3,5 and 3,50 are equal).
int confronta_valori(const Decimale& a, const Decimale& b);

} // namespace contavoce::interno
