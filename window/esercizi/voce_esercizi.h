// SPDX-License-Identifier: GPL-3.0-or-later
// What the practice window says and plays, without holding the window: the
// clips of a question one after another from the event loop, so that the
// child can answer, repeat or close while they play; and the cheerful
// effects, at full or, in the quiet mode, at a softer level.
#pragma once

#include "esercizi/esercizi.h"
#include "speech/frase.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace contavoce {
namespace platform {
class Suono;
}

class VoceEsercizi : public QObject {
public:
    // `cartella` holds the program's clips.
    VoceEsercizi(platform::Suono& suono, std::string cartella);

    // The clips that say these pieces, in order (full paths).
    std::vector<std::string> clip_di(const std::vector<Detto>& detto, Lettura lettura) const;
    std::string clip(const char* nome) const;
    // The effect resource `nome` ("gallo") as a file that can be played
    // without waiting: as it is, or softer.
    std::string effetto(const char* nome, bool piano);

    // Drops what is still to be said and says `clip` instead; `poi` runs once
    // the last has ended (not when dropped).
    void di(std::vector<std::string> clip, std::function<void()> poi = {});
    void ferma();
    bool parla() const { return frase_.in_corso(); }

private:
    void avanza();

    std::string cartella_;
    QTemporaryDir effetti_; // the effects written out once, as they are and softer
    Frase frase_;
    std::function<void()> poi_;
    QTimer giro_;
};

// A 8- or 16-bit PCM WAV image with its samples scaled by `fattore`
// (0..1); anything else comes back unchanged.
QByteArray wav_piu_piano(QByteArray wav, double fattore);

} // namespace contavoce
