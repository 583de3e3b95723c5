// SPDX-License-Identifier: GPL-3.0-or-later
// MediaMidi's engine, private to the MIDI sequencer; defined in motore_midi.cpp.
#pragma once

#include "platform/audio/media_midi.h"
#include "platform/audio/raddoppio.h"

#include <cstdint>
#include <fluidsynth.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace contavoce::platform {

// Everything FluidSynth: the synth with its SoundFont and one player per open
// alias. Only the render thread has one, so players are made and deleted by the
// thread that renders (FluidSynth walks its players' timers while rendering:
// a player made or deleted by another thread corrupted that list).
class MediaMidi::Motore {
public:
    // New synth and SoundFont: ~30 ms, the reason this runs off the caller's thread.
    bool carica(const std::string& soundfont, int frequenza);

    // Applies a command; returns whether it must be heard at once. An alias whose
    // tune can never play (no synth, a file FluidSynth refuses, played to its end)
    // goes into `finite`.
    bool applica(const Comando& c, std::vector<std::uint64_t>& finite);

    // Something is playing, or still ringing.
    bool attivo() const;

    // Renders `frame` stereo frames into `out`; the aliases whose tune has just
    // ended go into `finite`.
    void rendi(float* out, int frame, std::vector<std::uint64_t>& finite);

private:
    template <auto cancella> struct Cancella {
        template <typename T> void operator()(T* p) const { cancella(p); }
    };
    // Every event of a tune goes to the synth; a chorus send turns the chorus on.
    static int al_synth(void* synth, fluid_midi_event_t* evento);
    static void ferma_e_cancella(fluid_player_t* p);
    struct Lettore {
        std::unique_ptr<fluid_player_t, Cancella<ferma_e_cancella>> player;
        bool suona = false;
        bool avviato = false; // the player loads the file (and learns its length) on first play
        // Played to its end. FluidSynth's DONE also follows our own stop (a pause),
        // so it counts only while the player is meant to be playing; the tick
        // count tells the end seconds before DONE does.
        bool finita();
        int totale = 0;
    };

    bool dimezzato_ = false; // the synth runs at half the output's rate
    Raddoppio raddoppio_;
    std::vector<float> sintesi_;
    // Destroyed in reverse: the players, then the synth, then its settings.
    std::unique_ptr<fluid_settings_t, Cancella<delete_fluid_settings>> settings_;
    std::unique_ptr<fluid_synth_t, Cancella<delete_fluid_synth>> synth_;
    std::map<std::uint64_t, Lettore> lettori_;
    int rampa_ = 0;
    int durata_rampa_ = 1;
};

} // namespace contavoce::platform
