#include "platform/media.h"

#include "platform/file.h"
#include "platform/testo.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fluidsynth.h>

namespace contavoce::platform {
namespace {

constexpr const char* soundfont_predefinita = "/usr/share/sounds/sf2/default-GM.sf2";

// The output pulls 256 frames at a time; synthesising so little per call leaves
// FluidSynth's voices and reverb cold in the cache at every call, which costs
// more than the synthesis itself. Rendering 2048 frames (46 ms) at once keeps
// the tune's CPU share low while the window is idle.
constexpr int frame_in_anticipo = 2048;

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

std::string descrizione_errore(int codice) {
    switch (codice) {
    case media_ok:
        return "no error";
    case media_comando_sconosciuto:
        return "unknown command";
    case media_alias_sconosciuto:
        return "no such alias is open";
    case media_alias_gia_aperto:
        return "the alias is already open";
    case media_file_mancante:
        return "the file does not exist";
    case media_file_non_valido:
        return "the file cannot be read or is not a MIDI file";
    case media_senza_soundfont:
        return "no usable SoundFont (install timgm6mb-soundfont or set CONTAVOCE_SOUNDFONT)";
    case media_senza_dispositivo:
        return "no sound output device";
    }
    return "error " + std::to_string(codice);
}

std::string percorso_corto(const std::string& lungo) {
    std::error_code e;
    if (lungo.empty() || !std::filesystem::exists(lungo, e))
        return {};
    std::string r;
    for (unsigned char c : lungo) {
        if (c == '%' || std::isspace(c)) {
            static constexpr char hex[] = "0123456789ABCDEF";
            r += '%';
            r += hex[c >> 4];
            r += hex[c & 15];
        } else {
            r += char(c);
        }
    }
    return r;
}

struct MediaMidi::Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    int canali = 2; // of the output it renders into
    Synth() = default;
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;
    ~Synth() {
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
};

struct MediaMidi::Alias {
    enum class Modo { fermo, suona, pausa };
    fluid_player_t* player = nullptr;
    Modo modo = Modo::fermo;
    bool avviato = false; // the player loads the file (and learns its length) on first play
    Alias() = default;
    Alias(const Alias&) = delete;
    Alias& operator=(const Alias&) = delete;
    ~Alias() {
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
        }
    }
    // The tune has played to its end (FluidSynth reports DONE only seconds later).
    bool finita() const {
        if (!avviato)
            return false;
        const int totale = fluid_player_get_total_ticks(player); // 0 until the file is loaded
        return fluid_player_get_status(player) == FLUID_PLAYER_DONE ||
               (totale > 0 && fluid_player_get_current_tick(player) >= totale);
    }
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
    // Stop the audio thread from calling in before anything it uses goes away.
    if (synth_)
        uscita_.imposta_musica(nullptr);
    std::lock_guard lock(mutex_);
    alias_.clear();
    synth_.reset();
}

int MediaMidi::prepara_synth() {
    if (synth_)
        return media_ok;
    if (soundfont_mancante_)
        return media_senza_soundfont;
    const auto formato = uscita_.formato_musica();
    if (!formato)
        return media_senza_dispositivo;
    auto s = std::make_unique<Synth>();
    s->canali = formato->second;
    s->settings = new_fluid_settings();
    if (!s->settings)
        return media_senza_dispositivo;
    fluid_settings_setnum(s->settings, "synth.sample-rate", double(formato->first));
    fluid_settings_setstr(s->settings, "player.timing-source", "sample");
    fluid_settings_setnum(s->settings, "synth.gain", 0.5);
    // Load a preset's samples only when a channel selects it: the tune uses a few
    // instruments of the whole General MIDI set, and reading all of them would
    // delay the window's first paint and take megabytes for nothing.
    fluid_settings_setint(s->settings, "synth.dynamic-sample-loading", 1);
    s->synth = new_fluid_synth(s->settings);
    if (!s->synth)
        return media_senza_dispositivo;
    std::error_code e;
    if (!std::filesystem::is_regular_file(soundfont_, e) ||
        fluid_synth_sfload(s->synth, soundfont_.c_str(), 1) == FLUID_FAILED) {
        soundfont_mancante_ = true;
        return media_senza_soundfont;
    }
    synth_ = std::move(s);
    uscita_.imposta_musica([this](float* out, int frame) { rendi(out, frame); });
    return media_ok;
}

void MediaMidi::rendi(float* out, int frame) {
    std::lock_guard lock(mutex_);
    const int canali = synth_ ? synth_->canali : 2;
    const std::size_t n = std::size_t(frame) * std::size_t(canali);
    const bool suona = std::any_of(alias_.begin(), alias_.end(), [](const auto& a) {
        return a.second->modo == Alias::Modo::suona;
    });
    // Nothing playing and nothing ringing: skip the synthesis, idle costs nothing.
    if (!synth_ || (!suona && letto_ == avanti_.size() &&
                    fluid_synth_get_active_voice_count(synth_->synth) == 0)) {
        std::fill(out, out + n, 0.0f);
        return;
    }
    for (int fatti = 0; fatti < frame;) {
        if (letto_ == avanti_.size()) {
            avanti_.resize(std::size_t(std::max(frame_in_anticipo, frame - fatti)) * 2);
            const int quanti = int(avanti_.size() / 2);
            fluid_synth_write_float(synth_->synth, quanti, avanti_.data(), 0, 2, avanti_.data(), 1,
                                    2);
            letto_ = 0;
        }
        const int presi = std::min(frame - fatti, int((avanti_.size() - letto_) / 2));
        const float* da = avanti_.data() + letto_;
        float* a = out + std::size_t(fatti) * std::size_t(canali);
        if (canali == 2) {
            std::copy(da, da + 2 * std::size_t(presi), a);
        } else {
            for (std::size_t i = 0; i < std::size_t(presi); ++i) {
                const float m = 0.5f * (da[2 * i] + da[2 * i + 1]);
                for (int c = 0; c < canali; ++c)
                    a[i * std::size_t(canali) + std::size_t(c)] = m;
            }
        }
        letto_ += 2 * std::size_t(presi);
        fatti += presi;
    }
}

void MediaMidi::scarta_anticipo() {
    letto_ = avanti_.size();
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
    const auto dati = contenuto_file(percorso);
    if (!dati)
        return media_file_non_valido;
    if (!sembra_midi(*dati))
        return media_file_non_valido;
    if (const int errore = prepara_synth())
        return errore;

    std::lock_guard lock(mutex_);
    auto alias = std::make_unique<Alias>();
    alias->player = new_fluid_player(synth_->synth);
    if (!alias->player ||
        fluid_player_add_mem(alias->player, dati->data(), dati->size()) != FLUID_OK)
        return media_file_non_valido;
    alias_[nome] = std::move(alias);
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

    std::lock_guard lock(mutex_);
    const auto trovato = alias_.find(minuscolo(parole[1]));
    if (trovato == alias_.end())
        return media_alias_sconosciuto;
    Alias& a = *trovato->second;
    using Modo = Alias::Modo;
    if (verbo != "status")
        scarta_anticipo();
    if (verbo == "play") {
        if (a.modo != Modo::suona && !a.finita()) {
            fluid_player_play(a.player);
            a.modo = Modo::suona;
            a.avviato = true;
        }
    } else if (verbo == "pause" || verbo == "stop") {
        // A stopped player holds its notes until they are silenced.
        fluid_player_stop(a.player);
        fluid_synth_all_sounds_off(synth_->synth, -1);
        if (a.modo == Modo::suona || verbo == "stop")
            a.modo = verbo == "pause" ? Modo::pausa : Modo::fermo;
    } else if (verbo == "close") {
        alias_.erase(trovato);
        fluid_synth_all_sounds_off(synth_->synth, -1);
    } else {
        if (a.modo == Modo::suona && a.finita())
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
