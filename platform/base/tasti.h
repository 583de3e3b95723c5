// SPDX-License-Identifier: GPL-3.0-or-later
// Windows key codes of the keys the entry box answers to; the key sounds
// answer to Enter and Backspace as well.
#pragma once

#include <cstdint>

namespace contavoce::platform::tasto {

inline constexpr std::int16_t invio = 13, backspace = 8, canc = 46;

} // namespace contavoce::platform::tasto
