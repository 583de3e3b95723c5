// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/motore_midi.h"

#include <algorithm>

namespace contavoce::platform {

bool MediaMidi::Motore::carica(const std::string& soundfont, int frequenza) {
    settings_.reset(new_fluid_settings());
    if (!settings_)
        return false;
    // Synthesis is most of what the program costs while idle with the tune
    // playing, and half the rate halves it; the tune has next to nothing
    // above 11 kHz (36 dB under its level, measured), so Raddoppio doubles
    // it back to the output's rate.
    dimezzato_ = frequenza >= 32000;
    fluid_settings_setnum(settings_.get(), "synth.sample-rate",
                          double(dimezzato_ ? frequenza / 2 : frequenza));
    // Chorus costs even with nothing sent to it; a tune that asks for it
    // turns it on (see al_synth).
    fluid_settings_setint(settings_.get(), "synth.chorus.active", 0);
    fluid_settings_setstr(settings_.get(), "player.timing-source", "sample");
    fluid_settings_setnum(settings_.get(), "synth.gain", 0.5);
    // Load a preset's samples only when a channel selects it: the tune uses a
    // few instruments of the whole General MIDI set, and reading all of them
    // would take megabytes for nothing. The reading happens inside the
    // rendering, that is on this thread, never on the output's.
    fluid_settings_setint(settings_.get(), "synth.dynamic-sample-loading", 1);
    synth_.reset(new_fluid_synth(settings_.get()));
    if (!synth_ || fluid_synth_sfload(synth_.get(), soundfont.c_str(), 1) == FLUID_FAILED) {
        synth_.reset();
        return false;
    }
    durata_rampa_ = std::max(1, frequenza / 5);
    return true;
}

bool MediaMidi::Motore::applica(const Comando& c, std::vector<std::uint64_t>& finite) {
    using Tipo = Comando::Tipo;
    if (c.tipo == Tipo::apri) {
        Lettore l;
        if (synth_)
            l.player.reset(new_fluid_player(synth_.get()));
        if (l.player)
            fluid_player_set_playback_callback(l.player.get(), al_synth, synth_.get());
        if (!l.player ||
            fluid_player_add_mem(l.player.get(), c.midi.data(), c.midi.size()) != FLUID_OK)
            finite.push_back(c.id);
        else
            lettori_.emplace(c.id, std::move(l));
        return false;
    }
    const auto trovato = lettori_.find(c.id);
    if (trovato == lettori_.end())
        return false; // never opened: already reported as ended
    Lettore& l = trovato->second;
    if (c.tipo == Tipo::suona) {
        if (l.suona)
            return false;
        if (l.finita()) {
            finite.push_back(c.id);
            return false;
        }
        // When no tune was playing the music comes in with a fade, not a click
        // (a restart included: its stop's silenced notes may still be counted).
        if (std::none_of(lettori_.begin(), lettori_.end(),
                         [](const auto& a) { return a.second.suona; }))
            rampa_ = 0;
        fluid_player_play(l.player.get());
        l.suona = l.avviato = true;
    } else {
        // A stopped player holds its notes until they are silenced.
        fluid_player_stop(l.player.get());
        l.suona = false;
        if (c.tipo == Tipo::chiudi)
            lettori_.erase(trovato);
        fluid_synth_all_sounds_off(synth_.get(), -1);
    }
    // What the resampler holds is from before the command.
    raddoppio_.azzera();
    return true;
}

bool MediaMidi::Motore::attivo() const {
    return synth_ && (std::any_of(lettori_.begin(), lettori_.end(),
                                  [](const auto& l) { return l.second.suona; }) ||
                      fluid_synth_get_active_voice_count(synth_.get()) > 0);
}

void MediaMidi::Motore::rendi(float* out, int frame, std::vector<std::uint64_t>& finite) {
    if (dimezzato_) {
        sintesi_.resize(std::size_t(frame)); // half the frames, stereo
        fluid_synth_write_float(synth_.get(), frame / 2, sintesi_.data(), 0, 2, sintesi_.data(), 1,
                                2);
        raddoppio_.raddoppia(sintesi_.data(), frame / 2, out);
    } else {
        fluid_synth_write_float(synth_.get(), frame, out, 0, 2, out, 1, 2);
    }
    for (int i = 0; i < frame && rampa_ < durata_rampa_; ++i, ++rampa_) {
        const float g = float(rampa_) / float(durata_rampa_);
        out[2 * i] *= g;
        out[2 * i + 1] *= g;
    }
    for (auto& [id, l] : lettori_)
        if (l.suona && l.finita()) {
            l.suona = false;
            finite.push_back(id);
        }
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

bool MediaMidi::Motore::Lettore::finita() {
    if (!avviato)
        return false;
    // FluidSynth walks every track to count the ticks, at each call; the
    // count is fixed once the file is loaded (0 until then).
    if (totale == 0)
        totale = fluid_player_get_total_ticks(player.get());
    return (totale > 0 && fluid_player_get_current_tick(player.get()) >= totale) ||
           (suona && fluid_player_get_status(player.get()) == FLUID_PLAYER_DONE);
}

} // namespace contavoce::platform
