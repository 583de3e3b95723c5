// SPDX-License-Identifier: GPL-3.0-or-later
// What the program remembers between runs, in a small settings file in the
// user's configuration folder: the zoom, whether the music was paused, and the
// spelling of the words, and the practice window's quiet mode.
#pragma once

#include "spelling/forme.h"

class QSettings;

namespace contavoce {

// Not "Impostazioni": that is a practice round's settings (esercizi/esercizi.h).
struct Ricordate {
    int zoom = 100;
    bool musica_in_pausa = false;
    Grafia grafia = Grafia::originale;
    bool silenzio = false; // the practice window's quiet mode, for a classroom
};

// What is remembered; anything missing, damaged or out of range reads as the default.
Ricordate leggi_impostazioni(QSettings& file);
// Each change is written at once: the program ends on the spot, with no later
// chance to save. A file that cannot be written is let be.
void ricorda_zoom(QSettings& file, int percento);
void ricorda_pausa_musica(QSettings& file, bool in_pausa);
void ricorda_grafia(QSettings& file, Grafia grafia);
void ricorda_silenzio(QSettings& file, bool silenzio);

} // namespace contavoce
