// SPDX-License-Identifier: GPL-3.0-or-later
// Standard MIDI File output of a parsed score.
#pragma once

#include "tools/tune/score.h"

#include <cstdint>
#include <vector>

namespace contavoce::tune {

// Type 1 file: a conductor track (name, time and key signature, tempo map)
// followed by one track per declared track, each ending with End-of-Track at
// the same tick, after its last note-off. The score must have parsed cleanly.
std::vector<std::uint8_t> write_smf(const Score& score);

// Length of the whole form in ticks.
int total_ticks(const Score& score);

} // namespace contavoce::tune
