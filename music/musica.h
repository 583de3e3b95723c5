// SPDX-License-Identifier: GPL-3.0-or-later
// The background tune while the window is open: the one player `musica`, its
// restart, the periodic restart on the minute timer and the pause button.
#pragma once

#include "music/cls_play_midi.h"

#include <cstdint>
#include <string>

namespace contavoce {

inline constexpr const char* file_musica = "heidi-cartoon.mid";
inline constexpr const char* caption_pausa = "&Pausa musica";
inline constexpr const char* caption_suona = "&Suona musica";

// What the music button needs of the window: its own caption and Timer1.
class PulsanteMusica {
public:
    virtual ~PulsanteMusica() = default;
    virtual std::string caption() const = 0;
    virtual void imposta_caption(const std::string& caption) = 0;
    virtual void abilita_timer(bool acceso) = 0;
};

class MusicaDiSottofondo {
public:
    explicit MusicaDiSottofondo(platform::ServizioMedia& media) : musica(media) {}

    // Stops the tune and starts it again from its beginning; failures end it quietly.
    void riavvia_musica();
    // Counts the ticks of the minute timer in `conta_timer` and restarts the tune
    // when the count reaches `n_volte` (so every third minute for 2).
    void timerLungo(std::int16_t n_volte, std::int16_t& conta_timer);
    // The music button: pause, or resume from the beginning.
    void Command5_Click(PulsanteMusica& pulsante);

    clsPlayMidi musica;
};

} // namespace contavoce
