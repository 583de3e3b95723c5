// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/musica.h"

namespace contavoce {

void MusicaDiSottofondo::riavvia_musica() {
    musica.mmStop();
    musica.mmPlay();
}

void MusicaDiSottofondo::timerLungo(std::int16_t n_volte, std::int16_t& conta_timer) {
    if (conta_timer == n_volte) {
        conta_timer = 0;
        riavvia_musica();
    } else {
        ++conta_timer;
    }
}

void MusicaDiSottofondo::Command5_Click(PulsanteMusica& pulsante) {
    if (pulsante.caption() == caption_pausa) {
        pulsante.imposta_caption(caption_suona);
        musica.mmPausa();
        pulsante.abilita_timer(false);
    } else {
        pulsante.abilita_timer(true);
        pulsante.imposta_caption(caption_pausa);
        riavvia_musica();
    }
}

} // namespace contavoce
