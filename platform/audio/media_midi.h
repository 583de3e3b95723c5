// SPDX-License-Identifier: GPL-3.0-or-later
// Media control by command strings, for MIDI sequences: the music player
// speaks to it only through `invia`. It understands exactly
//   open <path> type sequencer alias <alias>
//   play|pause|stop|close <alias>
//   status <alias> mode            -> "playing", "paused" or "stopped"
// and answers 0 or one of the error codes below. "play" returns at once.
// comandi_media.cpp reads the commands, media_midi.cpp runs the render thread
// and motore_midi.cpp holds everything FluidSynth.
#pragma once

#include "platform/audio/servizio_media.h"
#include "platform/audio/suono.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace contavoce::platform {

class AnelloMusica;

// The real service. Each tune is synthesised once, whole, by FluidSynth on a
// render thread of its own, started by the first "open", faster than it plays
// (145 s of the background tune in ~0.4 s of CPU), and kept (brano_pronto.h):
// an open alias is a position in it, "play" and "pause" move nothing but that
// position, and a tune opened again (the restart every three minutes) is not
// made again. Once every tune asked for is made, the synth and its SoundFont
// are released. The same thread applies the commands in order and copies the
// playing tunes into a ring ahead of the output, a second and a half at a
// time; the output's thread only copies from the ring. The thread loads the
// SoundFont first, so no command waits for it; a SoundFont that fails to load
// there ends the music as if the tune had ended.
class MediaMidi final : public ServizioMedia {
public:
    // `soundfont` empty: $CONTAVOCE_SOUNDFONT, else the Debian GM SoundFont.
    explicit MediaMidi(VoceMusicale& uscita, std::string soundfont = {});
    ~MediaMidi() override;
    MediaMidi(const MediaMidi&) = delete;
    MediaMidi& operator=(const MediaMidi&) = delete;

    int invia(std::string_view comando, char* risposta, std::size_t lunghezza) override;

private:
    // An open alias as the commands see it; `finita` is the render thread's word
    // that its tune has ended (or can never play).
    struct Alias {
        enum class Modo { fermo, suona, pausa };
        std::uint64_t id = 0;
        Modo modo = Modo::fermo;
        bool finita = false;
    };
    struct Comando {
        enum class Tipo { apri, suona, ferma, chiudi };
        Tipo tipo;
        std::uint64_t id; // of the alias, never reused
        std::string midi; // for apri: the file's bytes
    };
    class Motore; // motore_midi.h
    struct Regia; // the render thread's own state, media_midi.cpp

    int apri(const std::vector<std::string>& parole);
    int avvia_motore();
    // Queues a command for the render thread; under mutex_.
    void al_motore(Comando comando);
    // With an output that is not real-time: waits until the render thread has
    // applied every command sent and made every frame asked for; under mutex_.
    void attendi_motore(std::unique_lock<std::mutex>& lock);
    void lavora(std::stop_token fine, int frequenza);
    // The music voice: copies from the ring, on the thread that pulls the mix;
    // returns whether the music sounds.
    bool ascolta(float* out, int frame);
    bool ascolta_in_attesa(float* out, int frame);

    VoceMusicale& uscita_;
    std::string soundfont_;
    bool soundfont_mancante_ = false;
    bool tempo_reale_ = false;
    int canali_ = 2;
    std::unique_ptr<AnelloMusica> anello_;
    // The render thread's word that a tune plays (or is about to): the output
    // stays awake for it even while its samples are still being made.
    std::atomic<bool> attiva_{false};

    // Commands (caller's thread) against the render thread's replies. Held for
    // a queue push or a look at the aliases, never while synthesising, and
    // never taken by a real-time output's thread.
    std::mutex mutex_;
    std::condition_variable_any sveglia_; // render thread: a command or frames to make
    std::condition_variable fatto_;       // caller: commands applied, frames made
    std::map<std::string, Alias> alias_;
    std::vector<Comando> coda_;
    std::uint64_t ultimo_id_ = 0;
    std::uint64_t inviati_ = 0;   // commands queued so far
    std::uint64_t applicati_ = 0; // commands the render thread has applied
    std::uint64_t richiesto_ = 0; // ring position a waiting output needs
    std::uint64_t prodotto_ = 0;  // ring position made, as the render thread last reported
    bool soundfont_guasta_ = false;

    std::jthread filo_; // last: stopped and joined before anything it uses goes
};

} // namespace contavoce::platform
