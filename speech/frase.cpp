// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/frase.h"

#include <algorithm>
#include <utility>

namespace contavoce {

void Frase::inizia(std::vector<std::string> clip, Fine fine, bool subito) {
    clip_ = std::move(clip);
    std::erase(clip_, std::string());
    prossima_ = 0;
    fine_ = fine;
    in_corso_ = !clip_.empty();
    attesa_da_ = std::chrono::steady_clock::now();
    if (subito && in_corso_) {
        suono_.suona_file_subito(clip_[prossima_++]);
        if (prossima_ == clip_.size() && fine_ == Fine::ultima_avviata)
            ferma();
    }
}

bool Frase::avanza() {
    using namespace std::chrono_literals;
    if (!in_corso_)
        return false;
    const auto ora = std::chrono::steady_clock::now();
    if (!suono_.attendi_fine(0ms)) {
        // A device that has stopped pulling must not keep the phrase, and
        // whoever waits for its end, waiting for good.
        if (ora - attesa_da_ < 5s)
            return true;
        ferma();
        return false;
    }
    if (prossima_ >= clip_.size()) { // the last one has ended
        ferma();
        return false;
    }
    suono_.suona_file_subito(clip_[prossima_++]);
    attesa_da_ = ora;
    if (prossima_ == clip_.size() && fine_ == Fine::ultima_avviata) {
        ferma();
        return false;
    }
    return true;
}

void Frase::ferma() {
    clip_.clear();
    prossima_ = 0;
    in_corso_ = false;
}

} // namespace contavoce
