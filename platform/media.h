// Media control by command strings, for MIDI sequences: the music player
// speaks to it only through `invia`. It understands exactly
//   open <path> type sequencer alias <alias>
//   play|pause|stop|close <alias>
//   status <alias> mode            -> "playing", "paused" or "stopped"
// and answers 0 or one of the error codes below. "play" returns at once.
#pragma once

#include "platform/sound.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::platform {

enum ErroreMedia : int {
    media_ok = 0,
    media_comando_sconosciuto = 261,
    media_alias_sconosciuto = 263,
    media_alias_gia_aperto = 289,
    media_file_mancante = 275,
    media_file_non_valido = 296,
    media_senza_soundfont = 282,
    media_senza_dispositivo = 320,
};

// A sentence for an error code, for messages on the command line.
std::string descrizione_errore(int codice);

// The seam: the music player holds a reference to this, tests record it.
class ServizioMedia {
public:
    virtual ~ServizioMedia() = default;
    // `risposta` receives the reply (cut to `lunghezza` - 1 characters and
    // terminated); it is left untouched when the command fails.
    virtual int invia(std::string_view comando, char* risposta, std::size_t lunghezza) = 0;
};

// A form of an existing file's path with no blanks in it, which `MediaMidi`
// reads back to the same file; empty when there is no such file.
std::string percorso_corto(const std::string& lungo);

// The real service: FluidSynth renders into the output's music voice, and each
// open alias has its own player timed by the rendered samples.
class MediaMidi final : public ServizioMedia {
public:
    // `soundfont` empty: $CONTAVOCE_SOUNDFONT, else the Debian GM SoundFont.
    explicit MediaMidi(VoceMusicale& uscita, std::string soundfont = {});
    ~MediaMidi() override;
    MediaMidi(const MediaMidi&) = delete;
    MediaMidi& operator=(const MediaMidi&) = delete;

    int invia(std::string_view comando, char* risposta, std::size_t lunghezza) override;

private:
    struct Alias;
    struct Synth;

    int apri(const std::vector<std::string>& parole);
    int prepara_synth();
    void rendi(float* out, int frame);
    // Drops the music rendered ahead, so that a command is heard at once; under mutex_.
    void scarta_anticipo();

    VoceMusicale& uscita_;
    std::string soundfont_;
    std::mutex mutex_; // commands (GUI thread) against rendering (audio thread)
    std::unique_ptr<Synth> synth_;
    bool soundfont_mancante_ = false;
    std::map<std::string, std::unique_ptr<Alias>> alias_;
    // Music rendered ahead of the output, stereo interleaved, read from `letto_`.
    std::vector<float> avanti_;
    std::size_t letto_ = 0;
};

} // namespace contavoce::platform
