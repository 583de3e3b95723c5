// SPDX-License-Identifier: GPL-3.0-or-later
// What a practice question says, as the clips that say it: shared by the
// practice window and the browser build, so that both say the same.
#pragma once

#include "esercizi/esercizi.h"

#include <string>
#include <vector>

namespace contavoce {

// The clips, from `cartella`, that say these pieces in order: a clip by its
// name, a number in `lettura`, a digit in its place (a whole place or a
// decimal one).
std::vector<std::string> clip_di(const std::vector<Detto>& detto, Lettura lettura,
                                 const std::string& cartella);

} // namespace contavoce
