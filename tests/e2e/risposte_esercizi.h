// SPDX-License-Identifier: GPL-3.0-or-later
// The practice round of the end-to-end session, as the practice's logic
// draws it for the session's seed: what the child types, right and wrong, and
// what the recording must hold.
#pragma once

#include <QString>
#include <string>
#include <utility>
#include <vector>

namespace contavoce::sessione {

// One line per question of the round of class `classe` (0..4), level 1..3,
// kind 0..6, from `seme`, in the window's settings (the program's own
// spelling): the right answer, a wrong one, and the question's first clip,
// separated by tabs.
QString risposte(int classe, int livello, int tipo, unsigned long long seme);

// What the recording of the session's practice holds, in order, each an
// effect resource ("GALLO") or a clip file ("es_riprova.wav") with what
// caused it. The session plays, for each kind in turn, a round whose first
// question is answered right and whose second is answered wrong twice; then
// a round of the last kind to its end, its second question missed, the rest
// right, and "Rifai gli errori".
std::vector<std::pair<std::string, std::string>> eventi(int classe, int livello,
                                                        unsigned long long seme);

} // namespace contavoce::sessione
