// SPDX-License-Identifier: GPL-3.0-or-later
// MediaMidi's engine, private to the MIDI sequencer; defined in motore_midi.cpp.
#pragma once

#include "platform/audio/media_midi.h"

#include <fluidsynth.h>
#include <memory>
#include <string>

namespace contavoce::platform {

// Everything FluidSynth: the synth with its SoundFont and the player of the one
// tune being made. Only the render thread has one, so the player is made,
// played and deleted by the thread that renders (FluidSynth walks its
// players' timers while rendering: a player made or deleted by another thread
// corrupted that list). A tune is made from start to end by a fresh engine,
// as if it were played from the start with nothing before it.
class MediaMidi::Motore {
public:
    // New synth and SoundFont: ~30 ms, the reason this runs off the caller's thread.
    bool carica(const std::string& soundfont, int frequenza);
    // Whether the synth runs at half the output's rate.
    bool dimezzato() const { return dimezzato_; }

    // Starts the tune in `midi` (a whole file's bytes); false if FluidSynth refuses it.
    bool avvia(const std::string& midi);
    // Renders `frame` stereo frames at the synth's rate into `out`.
    void rendi(float* out, int frame);
    // The tune has played to its end (its last notes may still ring).
    bool finita();
    // Notes still sound.
    bool suona() const;

private:
    template <auto cancella> struct Cancella {
        template <typename T> void operator()(T* p) const { cancella(p); }
    };
    // Every event of a tune goes to the synth; a chorus send turns the chorus on.
    static int al_synth(void* synth, fluid_midi_event_t* evento);
    static void ferma_e_cancella(fluid_player_t* p);

    bool dimezzato_ = false; // the synth runs at half the output's rate
    int totale_ = 0;         // the tune's ticks, once the player has loaded it
    // Destroyed in reverse: the player, then the synth, then its settings.
    std::unique_ptr<fluid_settings_t, Cancella<delete_fluid_settings>> settings_;
    std::unique_ptr<fluid_synth_t, Cancella<delete_fluid_synth>> synth_;
    std::unique_ptr<fluid_player_t, Cancella<ferma_e_cancella>> player_;
};

} // namespace contavoce::platform
