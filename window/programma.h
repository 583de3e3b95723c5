// SPDX-License-Identifier: GPL-3.0-or-later
// The program as `contavoce` runs it: the window over the sound and music
// services it is given, and modal message boxes.
#pragma once

#include "window/opzioni.h"

#include <functional>
#include <string>

class QTranslator;
class QWidget;

namespace contavoce {
namespace platform {
class Suono;
class ServizioMedia;
} // namespace platform

// Loads Qt's own Italian translations into `traduzioni` and installs it in the
// application; false when they are not installed (the toolkit's texts then
// stay English).
bool traduzioni_qt(QTranslator& traduzioni);

// Runs the program in the QApplication already made until the window closes
// (or "Fine" ends the process); `cartella` holds its clips and tune.
// `prima_di_mostrare` is given the window just before it is first shown.
// The zoom, the music's pause, the spelling and the practice's quiet mode
// are remembered in the user's settings; `opzioni` may override them for
// this run. The practice window opens from the main window (and at once
// with --esercizi) and shares its voice and settings.
int esegui_programma(const std::string& cartella, platform::Suono& suono,
                     platform::ServizioMedia& media,
                     const std::function<void(QWidget&)>& prima_di_mostrare = {},
                     const Opzioni& opzioni = {});

} // namespace contavoce
