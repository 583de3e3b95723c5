// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/motore_midi.h"

namespace contavoce::platform {

bool MediaMidi::Motore::carica(const std::string& soundfont, int frequenza) {
    settings_.reset(new_fluid_settings());
    if (!settings_)
        return false;
    // The tune has next to nothing above 11 kHz (36 dB under its level,
    // measured): synthesised at half the rate it takes half the time and half
    // the memory, and BranoPronto doubles it back to the output's rate.
    dimezzato_ = frequenza >= 32000;
    fluid_settings_setnum(settings_.get(), "synth.sample-rate",
                          double(dimezzato_ ? frequenza / 2 : frequenza));
    // Chorus costs even with nothing sent to it; a tune that asks for it
    // turns it on (see al_synth).
    fluid_settings_setint(settings_.get(), "synth.chorus.active", 0);
    fluid_settings_setstr(settings_.get(), "player.timing-source", "sample");
    fluid_settings_setnum(settings_.get(), "synth.gain", 0.5);
    // Load a preset's samples only when a channel selects it: the tune uses a
    // few instruments of the whole General MIDI set. The reading happens
    // inside the rendering, that is on this thread, never on the output's.
    fluid_settings_setint(settings_.get(), "synth.dynamic-sample-loading", 1);
    synth_.reset(new_fluid_synth(settings_.get()));
    if (!synth_ || fluid_synth_sfload(synth_.get(), soundfont.c_str(), 1) == FLUID_FAILED) {
        synth_.reset();
        return false;
    }
    return true;
}

bool MediaMidi::Motore::avvia(const std::string& midi) {
    if (!synth_)
        return false;
    player_.reset(new_fluid_player(synth_.get()));
    if (!player_)
        return false;
    fluid_player_set_playback_callback(player_.get(), al_synth, synth_.get());
    if (fluid_player_add_mem(player_.get(), midi.data(), midi.size()) != FLUID_OK ||
        fluid_player_play(player_.get()) != FLUID_OK) {
        player_.reset();
        return false;
    }
    return true;
}

void MediaMidi::Motore::rendi(float* out, int frame) {
    fluid_synth_write_float(synth_.get(), frame, out, 0, 2, out, 1, 2);
}

bool MediaMidi::Motore::finita() {
    if (!player_)
        return true;
    // FluidSynth walks every track to count the ticks, at each call; the count
    // is fixed once the file is loaded (0 until then). The tick count tells the
    // end seconds before the player's DONE does.
    if (totale_ == 0)
        totale_ = fluid_player_get_total_ticks(player_.get());
    return (totale_ > 0 && fluid_player_get_current_tick(player_.get()) >= totale_) ||
           fluid_player_get_status(player_.get()) == FLUID_PLAYER_DONE;
}

bool MediaMidi::Motore::suona() const {
    return synth_ && fluid_synth_get_active_voice_count(synth_.get()) > 0;
}

int MediaMidi::Motore::al_synth(void* synth, fluid_midi_event_t* evento) {
    auto* s = static_cast<fluid_synth_t*>(synth);
    if (fluid_midi_event_get_type(evento) == 0xb0 && fluid_midi_event_get_control(evento) == 93 &&
        fluid_midi_event_get_value(evento) > 0)
        fluid_synth_chorus_on(s, -1, 1);
    return fluid_synth_handle_midi_event(s, evento);
}

void MediaMidi::Motore::ferma_e_cancella(fluid_player_t* p) {
    fluid_player_stop(p);
    delete_fluid_player(p);
}

} // namespace contavoce::platform
