// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/media_midi.h"

#include "platform/audio/anello_musica.h"
#include "platform/audio/raddoppio.h"
#include "platform/base/file.h"
#include "platform/base/testo.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fluidsynth.h>
#include <numbers>
#include <pthread.h>

namespace contavoce::platform {
namespace {

constexpr const char* soundfont_predefinita = "/usr/share/sounds/sf2/default-GM.sf2";

// The output pulls 256 frames at a time; synthesising so little per call leaves
// FluidSynth's voices and reverb cold in the cache at every call, which costs
// more than the synthesis itself. Rendering 2048 frames (46 ms) at once keeps
// the tune's CPU share low while the window is idle.
constexpr int frame_per_blocco = 2048;
// The ring holds four blocks (186 ms at 44.1 kHz); the render thread tops it up
// when two are left, so it may come late by two blocks before anything is lost.
constexpr int frame_nell_anello = 4 * frame_per_blocco;

std::vector<std::string> parole_di(std::string_view comando) {
    std::vector<std::string> parole;
    std::size_t i = 0;
    while (i < comando.size()) {
        while (i < comando.size() && std::isspace(static_cast<unsigned char>(comando[i])))
            ++i;
        const std::size_t inizio = i;
        while (i < comando.size() && !std::isspace(static_cast<unsigned char>(comando[i])))
            ++i;
        if (i > inizio)
            parole.emplace_back(comando.substr(inizio, i - inizio));
    }
    return parole;
}

// The path form without blanks: '%' and white space as %XX.
std::string decodifica_percorso(std::string_view s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() &&
            std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            r += char(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            r += s[i];
        }
    }
    return r;
}

std::uint32_t be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

// FluidSynth accepts any bytes as a MIDI file and plays silence, so the chunk
// structure is checked here: a header chunk, then track chunks that fit.
bool sembra_midi(std::string_view dati) {
    const auto* b = reinterpret_cast<const unsigned char*>(dati.data());
    const std::size_t n = dati.size();
    if (n < 14 || std::memcmp(b, "MThd", 4) != 0 || be32(b + 4) < 6)
        return false;
    const unsigned formato = unsigned(b[8]) << 8 | b[9];
    const unsigned tracce = unsigned(b[10]) << 8 | b[11];
    if (formato > 2 || tracce == 0)
        return false;
    std::size_t at = 8 + be32(b + 4);
    unsigned trovate = 0;
    while (at + 8 <= n) {
        const std::uint64_t lunghezza = be32(b + at + 4);
        if (at + 8 + lunghezza > n)
            return false;
        if (std::memcmp(b + at, "MTrk", 4) == 0)
            ++trovate;
        at += 8 + std::size_t(lunghezza);
    }
    return trovate > 0;
}

void silenzio(int, const char*, void*) {}

} // namespace

// Everything FluidSynth: the synth with its SoundFont and one player per open
// alias. Only the render thread has one, so players are made and deleted by the
// thread that renders (FluidSynth walks its players' timers while rendering:
// a player made or deleted by another thread corrupted that list).
class MediaMidi::Motore {
public:
    // New synth and SoundFont: ~30 ms, the reason this runs off the caller's thread.
    bool carica(const std::string& soundfont, int frequenza) {
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

    // Applies a command; returns whether it must be heard at once. An alias whose
    // tune can never play (no synth, a file FluidSynth refuses, played to its end)
    // goes into `finite`.
    bool applica(const Comando& c, std::vector<std::uint64_t>& finite) {
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

    // Something is playing, or still ringing.
    bool attivo() const {
        return synth_ && (std::any_of(lettori_.begin(), lettori_.end(),
                                      [](const auto& l) { return l.second.suona; }) ||
                          fluid_synth_get_active_voice_count(synth_.get()) > 0);
    }

    // Renders `frame` stereo frames into `out`; the aliases whose tune has just
    // ended go into `finite`.
    void rendi(float* out, int frame, std::vector<std::uint64_t>& finite) {
        if (dimezzato_) {
            sintesi_.resize(std::size_t(frame)); // half the frames, stereo
            fluid_synth_write_float(synth_.get(), frame / 2, sintesi_.data(), 0, 2, sintesi_.data(),
                                    1, 2);
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

private:
    template <auto cancella> struct Cancella {
        template <typename T> void operator()(T* p) const { cancella(p); }
    };
    // Every event of a tune goes to the synth; a chorus send turns the chorus on.
    static int al_synth(void* synth, fluid_midi_event_t* evento) {
        auto* s = static_cast<fluid_synth_t*>(synth);
        if (fluid_midi_event_get_type(evento) == 0xb0 &&
            fluid_midi_event_get_control(evento) == 93 && fluid_midi_event_get_value(evento) > 0)
            fluid_synth_chorus_on(s, -1, 1);
        return fluid_synth_handle_midi_event(s, evento);
    }
    static void ferma_e_cancella(fluid_player_t* p) {
        fluid_player_stop(p);
        delete_fluid_player(p);
    }
    struct Lettore {
        std::unique_ptr<fluid_player_t, Cancella<ferma_e_cancella>> player;
        bool suona = false;
        bool avviato = false; // the player loads the file (and learns its length) on first play
        // Played to its end. FluidSynth's DONE also follows our own stop (a pause),
        // so it counts only while the player is meant to be playing; the tick
        // count tells the end seconds before DONE does.
        bool finita() {
            if (!avviato)
                return false;
            // FluidSynth walks every track to count the ticks, at each call; the
            // count is fixed once the file is loaded (0 until then).
            if (totale == 0)
                totale = fluid_player_get_total_ticks(player.get());
            return (totale > 0 && fluid_player_get_current_tick(player.get()) >= totale) ||
                   (suona && fluid_player_get_status(player.get()) == FLUID_PLAYER_DONE);
        }
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

MediaMidi::MediaMidi(VoceMusicale& uscita, std::string soundfont)
    : uscita_(uscita), soundfont_(std::move(soundfont)) {
    if (soundfont_.empty()) {
        const char* env = std::getenv("CONTAVOCE_SOUNDFONT");
        soundfont_ = env && *env ? env : soundfont_predefinita;
    }
    // FluidSynth's own messages would reach the user's terminal; every failure
    // here is reported through the error codes instead.
    for (int livello = FLUID_PANIC; livello <= FLUID_DBG; ++livello)
        fluid_set_log_function(livello, silenzio, nullptr);
}

MediaMidi::~MediaMidi() {
    if (!filo_.joinable())
        return;
    // The output stops calling in before anything it reads goes away.
    uscita_.imposta_musica(nullptr);
    filo_.request_stop();
    filo_.join();
}

int MediaMidi::avvia_motore() {
    if (filo_.joinable())
        return media_ok;
    if (soundfont_mancante_)
        return media_senza_soundfont;
    const auto formato = uscita_.formato_musica();
    if (!formato)
        return media_senza_dispositivo;
    // Whether the file loads is known only on the render thread; whether it is
    // there at all is cheap to ask here.
    std::error_code e;
    if (!std::filesystem::is_regular_file(soundfont_, e)) {
        soundfont_mancante_ = true;
        return media_senza_soundfont;
    }
    tempo_reale_ = uscita_.in_tempo_reale();
    canali_ = formato->second;
    {
        std::lock_guard lock(mutex_);
        inviati_ = 1; // the load: the render thread's first job
    }
    anello_ = std::make_unique<AnelloMusica>(std::size_t(frame_nell_anello));
    filo_ = std::jthread([this, f = formato->first](std::stop_token fine) { lavora(fine, f); });
    if (tempo_reale_)
        uscita_.imposta_musica([this](float* out, int frame) { ascolta(out, frame); });
    else
        uscita_.imposta_musica([this](float* out, int frame) { ascolta_in_attesa(out, frame); });
    return media_ok;
}

void MediaMidi::al_motore(Comando comando) {
    coda_.push_back(std::move(comando));
    ++inviati_;
    sveglia_.notify_one();
}

void MediaMidi::attendi_motore(std::unique_lock<std::mutex>& lock) {
    fatto_.wait(lock, [this] { return applicati_ == inviati_ && prodotto_ >= richiesto_; });
}

// The render thread. FluidSynth allocates, frees and reads the SoundFont inside
// fluid_synth_write_float (its player loads the tune and drops events there,
// and a preset's samples load when a note first selects it), so it cannot run
// on the device's thread, which must only copy: this thread does all of
// FluidSynth's work and keeps the ring topped up, sleeping on a timed wait in
// between (the device's thread signals nobody) and waking at once for a
// command. For an output that is not real-time it renders what is asked for,
// in the same blocks, and the caller waits for it.
void MediaMidi::lavora(std::stop_token fine, int frequenza) {
    pthread_setname_np(pthread_self(), "contavoce-music");
    Motore motore;
    const bool caricato = motore.carica(soundfont_, frequenza);
    std::uint64_t presi = 1; // the load counts as the first command
    {
        std::lock_guard lock(mutex_);
        soundfont_guasta_ = !caricato;
    }
    std::vector<float> blocco(2 * std::size_t(frame_per_blocco));
    std::vector<Comando> lavoro;
    std::vector<std::uint64_t> finite;
    const auto serve_musica = [&] {
        return motore.attivo() && anello_->libero() >= std::size_t(frame_per_blocco);
    };
    // How long the music in the ring lasts beyond two blocks' margin: the output
    // does not signal this thread, it is simply back in time. At least 10 ms,
    // which covers an output that has yet to pass a mark set by a command.
    const auto riposo = [&] {
        const auto margine = std::size_t(2 * frame_per_blocco);
        const std::size_t resto = anello_->da_sentire();
        return std::chrono::microseconds(std::max<std::int64_t>(
            10'000, std::int64_t(resto > margine ? resto - margine : 0) * 1'000'000 / frequenza));
    };
    for (;;) {
        std::uint64_t obiettivo = 0;
        {
            std::unique_lock lock(mutex_);
            for (const std::uint64_t id : finite)
                for (auto& [nome, a] : alias_)
                    if (a.id == id)
                        a.finita = true;
            finite.clear();
            applicati_ = presi;
            prodotto_ = anello_->scritto();
            fatto_.notify_all();
            const auto da_fare = [&] {
                return !coda_.empty() ||
                       (tempo_reale_ ? serve_musica() : richiesto_ > anello_->scritto());
            };
            // Nothing playing, nothing ringing, nothing asked: no synthesis, no wake-up.
            if (tempo_reale_ && motore.attivo())
                sveglia_.wait_for(lock, fine, riposo(), da_fare);
            else
                sveglia_.wait(lock, fine, da_fare);
            if (fine.stop_requested())
                return;
            lavoro.swap(coda_);
            presi += lavoro.size();
            obiettivo = richiesto_;
        }
        bool subito = false;
        for (const Comando& c : lavoro)
            subito = motore.applica(c, finite) || subito;
        lavoro.clear();
        if (subito)
            anello_->salta();
        if (tempo_reale_) {
            // One block a pass, so a command waits for one block at most.
            if (serve_musica()) {
                motore.rendi(blocco.data(), frame_per_blocco, finite);
                anello_->scrivi(blocco.data(), std::size_t(frame_per_blocco));
            }
            continue;
        }
        while (anello_->scritto() < obiettivo) {
            if (motore.attivo())
                motore.rendi(blocco.data(), frame_per_blocco, finite);
            else
                std::fill(blocco.begin(), blocco.end(), 0.0f);
            anello_->scrivi(blocco.data(), std::size_t(frame_per_blocco));
        }
    }
}

void MediaMidi::ascolta(float* out, int frame) {
    const std::size_t presi = anello_->leggi(out, std::size_t(frame), canali_);
    // Not rendered in time (or nothing playing): silence, never a wait.
    std::fill(out + presi * std::size_t(canali_), out + std::size_t(frame) * std::size_t(canali_),
              0.0f);
}

void MediaMidi::ascolta_in_attesa(float* out, int frame) {
    for (int fatti = 0; fatti < frame;) {
        const int pezzo = std::min(frame - fatti, frame_per_blocco);
        {
            std::unique_lock lock(mutex_);
            attendi_motore(lock); // the commands first: they may drop what is ahead
            richiesto_ = anello_->prossimo() + std::uint64_t(pezzo);
            sveglia_.notify_one();
            attendi_motore(lock);
        }
        ascolta(out + std::size_t(fatti) * std::size_t(canali_), pezzo);
        fatti += pezzo;
    }
}

int MediaMidi::apri(const std::vector<std::string>& parole) {
    if (parole.size() != 6 || minuscolo(parole[2]) != "type" ||
        minuscolo(parole[3]) != "sequencer" || minuscolo(parole[4]) != "alias")
        return media_comando_sconosciuto;
    const std::string nome = minuscolo(parole[5]);
    {
        std::lock_guard lock(mutex_);
        if (alias_.count(nome))
            return media_alias_gia_aperto;
    }
    const std::string percorso = decodifica_percorso(parole[1]);
    std::error_code e;
    if (!std::filesystem::is_regular_file(percorso, e))
        return media_file_mancante;
    auto dati = contenuto_file(percorso);
    if (!dati)
        return media_file_non_valido;
    if (!sembra_midi(*dati))
        return media_file_non_valido;
    if (const int errore = avvia_motore())
        return errore;

    std::unique_lock lock(mutex_);
    // A recording has nobody to keep waiting: there the SoundFont's load is
    // awaited, and a damaged one refuses the open as a missing one does.
    if (!tempo_reale_)
        attendi_motore(lock);
    if (soundfont_guasta_)
        return media_senza_soundfont;
    Alias a;
    a.id = ++ultimo_id_;
    al_motore(Comando{Comando::Tipo::apri, a.id, std::move(*dati)});
    alias_.emplace(nome, a);
    return media_ok;
}

int MediaMidi::invia(std::string_view comando, char* risposta, std::size_t lunghezza) {
    const auto parole = parole_di(comando);
    if (parole.empty())
        return media_comando_sconosciuto;
    const std::string verbo = minuscolo(parole[0]);
    if (verbo == "open")
        return apri(parole);

    const bool stato = verbo == "status";
    if (parole.size() != (stato ? 3u : 2u) || (stato && minuscolo(parole[2]) != "mode"))
        return media_comando_sconosciuto;
    if (verbo != "play" && verbo != "pause" && verbo != "stop" && verbo != "close" && !stato)
        return media_comando_sconosciuto;

    std::unique_lock lock(mutex_);
    // A recording answers as of the samples pulled so far, whatever the timing.
    if (stato && !tempo_reale_)
        attendi_motore(lock);
    const auto trovato = alias_.find(minuscolo(parole[1]));
    if (trovato == alias_.end())
        return media_alias_sconosciuto;
    Alias& a = trovato->second;
    using Modo = Alias::Modo;
    using Tipo = Comando::Tipo;
    if (verbo == "play") {
        // After a pause (or a stop) this resumes where it stopped; a tune played
        // to its end stays ended.
        if (a.modo != Modo::suona && !a.finita) {
            a.modo = Modo::suona;
            al_motore(Comando{Tipo::suona, a.id, {}});
        }
    } else if (verbo == "pause" || verbo == "stop") {
        al_motore(Comando{Tipo::ferma, a.id, {}});
        if (a.modo == Modo::suona || verbo == "stop")
            a.modo = verbo == "pause" ? Modo::pausa : Modo::fermo;
    } else if (verbo == "close") {
        al_motore(Comando{Tipo::chiudi, a.id, {}});
        alias_.erase(trovato);
    } else {
        if (a.modo == Modo::suona && a.finita)
            a.modo = Modo::fermo;
        const char* modo = a.modo == Modo::suona   ? "playing"
                           : a.modo == Modo::pausa ? "paused"
                                                   : "stopped";
        if (risposta && lunghezza > 0) {
            const std::size_t n = std::min(std::strlen(modo), lunghezza - 1);
            std::memcpy(risposta, modo, n);
            risposta[n] = '\0';
        }
    }
    return media_ok;
}

} // namespace contavoce::platform
