// SPDX-License-Identifier: GPL-3.0-or-later
// The MIDI check behind the media service's "open".
#pragma once

#include <string_view>

namespace contavoce::platform {

// FluidSynth accepts any bytes as a MIDI file and plays silence, so the chunk
// structure is checked here: a header chunk, then track chunks that fit.
bool sembra_midi(std::string_view dati);

} // namespace contavoce::platform
