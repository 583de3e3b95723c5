// SPDX-License-Identifier: GPL-3.0-or-later
// A phrase said without holding the caller: clip paths played one after
// another, each once the sound before it has ended, stepped from the
// caller's event loop so that the child can click, type or close meanwhile.
#pragma once

#include "platform/audio/suono.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace contavoce {

class Frase {
public:
    // When a phrase counts as done: once its last clip has started (the
    // caller may start another sound at once), or once it has ended (the
    // caller goes on after it, e.g. to the next question).
    enum class Fine { ultima_avviata, ultima_finita };

    explicit Frase(platform::Suono& suono) : suono_(suono) {}

    // Drops what is still to be said and takes `clip` (empty paths are
    // skipped). `subito`: the first clip starts now over whatever plays;
    // otherwise it waits, like the others, for the sound before it.
    void inizia(std::vector<std::string> clip, Fine fine, bool subito = false);
    // One step: starts the next clip if the sound before has ended. False
    // once the phrase is done, dropped, or abandoned because the device has
    // stopped playing (no sound of ours lasts 5 s).
    bool avanza();
    void ferma();
    bool in_corso() const { return in_corso_; }

private:
    platform::Suono& suono_;
    std::vector<std::string> clip_; // in playing order
    std::size_t prossima_ = 0;      // the first not yet started
    Fine fine_ = Fine::ultima_avviata;
    bool in_corso_ = false;
    std::chrono::steady_clock::time_point attesa_da_;
};

} // namespace contavoce
