// SPDX-License-Identifier: GPL-3.0-or-later
// The keys the entry box answers to, as the handlers see them: Windows key codes.
#pragma once

#include "platform/base/tasti.h"

#include <cstdint>

class QKeyEvent;

namespace contavoce {

// The digit a navigation key (or a keypad key with Num Lock off) stands for, or -1.
int cifra_del_tasto(std::int16_t codice);
// The Windows key code for a Qt key; 0 for keys the handlers never look at.
std::int16_t codice_tasto(int qt_key);
// The character a key types as the character handler sees it, or 0.
std::int16_t carattere_del_tasto(const QKeyEvent& evento);

} // namespace contavoce
