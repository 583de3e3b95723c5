// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/cls_play_midi.h"

#include <cstring>
#include <filesystem>

namespace contavoce {

clsPlayMidi::clsPlayMidi(platform::ServizioMedia& media) : media_(media) {}

clsPlayMidi::~clsPlayMidi() {
    mmStop();
}

bool clsPlayMidi::IsPlaying() {
    // A failed query (nothing open) leaves the previous reply in the field; that
    // old "playing" must not be taken for the truth.
    if (media_.invia(std::string("status ") + alias + " mode", risposta_stato_.data(), 30) != 0)
        return false;
    const char* r = risposta_stato_.data();
    return std::strncmp(r, "playing", 7) == 0 || std::strncmp(r, "in esecuzione", 13) == 0;
}

void clsPlayMidi::mmPlay() {
    std::error_code e;
    const std::filesystem::path percorso(file_name_);
    if (file_name_.empty() || !std::filesystem::exists(percorso, e) ||
        std::filesystem::is_directory(percorso, e)) {
        aperto_ = false;
        return;
    }
    // The short form has no blanks, so the path needs no quoting in the command.
    const std::string corto = platform::percorso_corto(file_name_);
    const std::string comando = "open " + corto + " type sequencer alias " + alias;
    if (corto.empty() || media_.invia(comando, nullptr, 0) != 0) {
        aperto_ = false;
        return;
    }
    aperto_ = true;
    media_.invia(std::string("play ") + alias, nullptr, 0);
}

void clsPlayMidi::mmStop() {
    media_.invia(std::string("stop ") + alias, nullptr, 0);
    media_.invia(std::string("close ") + alias, nullptr, 0);
}

void clsPlayMidi::mmPausa() {
    media_.invia(std::string("pause ") + alias, nullptr, 0);
}

} // namespace contavoce
