// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/media_midi.h"

#include "platform/audio/anello_musica.h"
#include "platform/audio/motore_midi.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fluidsynth.h>
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

void silenzio(int, const char*, void*) {}

} // namespace

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
        uscita_.imposta_musica([this](float* out, int frame) { return ascolta(out, frame); });
    else
        uscita_.imposta_musica(
            [this](float* out, int frame) { return ascolta_in_attesa(out, frame); });
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
        attiva_.store(motore.attivo(), std::memory_order_relaxed);
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

bool MediaMidi::ascolta(float* out, int frame) {
    const std::size_t presi = anello_->leggi(out, std::size_t(frame), canali_);
    // Not rendered in time (or nothing playing): silence, never a wait.
    std::fill(out + presi * std::size_t(canali_), out + std::size_t(frame) * std::size_t(canali_),
              0.0f);
    return presi > 0 || attiva_.load(std::memory_order_relaxed);
}

bool MediaMidi::ascolta_in_attesa(float* out, int frame) {
    bool suona = false;
    for (int fatti = 0; fatti < frame;) {
        const int pezzo = std::min(frame - fatti, frame_per_blocco);
        {
            std::unique_lock lock(mutex_);
            attendi_motore(lock); // the commands first: they may drop what is ahead
            richiesto_ = anello_->prossimo() + std::uint64_t(pezzo);
            sveglia_.notify_one();
            attendi_motore(lock);
        }
        suona = ascolta(out + std::size_t(fatti) * std::size_t(canali_), pezzo) || suona;
        fatti += pezzo;
    }
    return suona;
}

} // namespace contavoce::platform
