// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the program makes audible apart from the music: saying a number
// clip by clip, the sound effects, the key sounds and the sound-device check.
#pragma once

#include "platform/audio/suono.h"
#include "platform/base/avvisi.h"
#include "speech/clip_list.h"
#include "speech/frase.h"
#include "spelling/forme.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce {

inline constexpr std::string_view testo_scheda_audio =
    "Non è possibile riprodurre suoni ne tantomeno il numero";
inline constexpr std::string_view titolo_scheda_audio = "scheda audio";

class Parlante {
public:
    // `giro_eventi` lets the window handle what is pending once (between clips);
    // `cartella` is the folder holding the speech clips and laser.wav.
    Parlante(platform::Suono& suono, platform::Avvisi& avvisi, std::function<void()> giro_eventi,
             std::string cartella);

    // Says the number: device check, clip list, each clip to its end with one
    // pass of the event loop after it. The list is fixed when the call starts.
    void num_parlante(const std::string& cifre);
    // Plays the clips of the list as a number's are played: each to its end,
    // one pass of the event loop after it.
    void parla(const ListaClip& lista);
    // Says a decimal number in the chosen reading, as num_parlante says a
    // whole one: device check, then each clip to its end, gap-free.
    void num_parlante(const Decimale& numero, Lettura lettura);
    // Plays clip paths in order as a number's clips are played.
    void parla(const std::vector<std::string>& clip);
    // A phrase said without holding the caller: each clip of the list starts
    // once the sound before it (one started without waiting, or the clip
    // before) has ended. The caller calls avanza_frase() from its event loop
    // until it returns false; ferma_frase() drops what is still to be said.
    void inizia_frase(const ListaClip& lista);
    bool avanza_frase();
    void ferma_frase();
    // Plays the effect resource of that name and type (case ignored) to its end.
    void suona_risorsa(std::string_view nome, std::string_view tipo);
    // The sound of a typed key: its DTMF tone for a digit, "uccello" for Enter,
    // "sparo" for Backspace, "asino" for anything else.
    void num_suoni(std::int16_t codice);
    // Warns when the computer cannot play sound.
    void scheda_audio();
    // The click of the decomposition panel, played without waiting.
    void laser();

    const std::string& cartella() const { return cartella_; }

private:
    platform::Suono& suono_;
    platform::Avvisi& avvisi_;
    std::function<void()> giro_eventi_;
    std::string cartella_;
    Frase frase_;
};

} // namespace contavoce
