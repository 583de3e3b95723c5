// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/media_midi.h"

#include "platform/audio/anello_musica.h"
#include "platform/audio/brano_pronto.h"
#include "platform/audio/motore_midi.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fluidsynth.h>
#include <malloc.h>
#include <map>
#include <pthread.h>

namespace contavoce::platform {
namespace {

constexpr const char* soundfont_predefinita = "/usr/share/sounds/sf2/default-GM.sf2";

// The synthesiser is called for 1024 of its frames at a time, as when it
// rendered live: the tune's end is looked for after each call.
constexpr int frame_sintesi = 1024;
// Calls per pass of the render thread while a tune is being made: about half a
// millisecond of work, after which the thread looks at its commands again.
constexpr int sintesi_per_giro = 4;
// The ring holds 65536 frames (1.5 s at 44.1 kHz). While a tune plays the
// render thread sleeps until a quarter of it is left, then fills it: it wakes
// about once a second, and a second late is still not heard.
constexpr std::size_t frame_nell_anello = 65536;
constexpr std::size_t margine_anello = frame_nell_anello / 4;
// Frames copied into the ring at a time, and pulled at a time by a recording.
constexpr std::size_t frame_per_copia = 4096;
// A tune longer than this is kept to this length (53 MB at 22050 Hz): the
// program's own lasts two and a half minutes.
constexpr std::uint64_t secondi_massimi = 600;
// After the tune's end its last notes ring on until they are under the 16-bit
// step, or for at most this long.
constexpr std::uint64_t secondi_di_coda = 10;

void silenzio(int, const char*, void*) {}

} // namespace

// What the render thread keeps: the tunes made or being made, the open
// aliases as positions in them, and the engine while there is a tune to make.
struct MediaMidi::Regia {
    struct Voce {
        std::shared_ptr<BranoPronto> brano;
        std::uint64_t posizione = 0; // next output frame to copy
        std::uint64_t avvio = 0;     // where the current run started
        bool suona = false;
        bool finita = false; // reported
    };

    MediaMidi& media;
    const int frequenza;
    std::unique_ptr<Motore> motore; // while a tune is being made
    std::shared_ptr<BranoPronto> in_lavorazione;
    std::uint64_t frame_coda = 0; // synth frames made after the tune's end
    std::vector<std::shared_ptr<BranoPronto>> brani;
    std::shared_ptr<BranoPronto> ultimo; // kept for the next open of the same file
    std::map<std::uint64_t, Voce> voci;
    std::vector<std::uint64_t> finite; // aliases to report as ended
    std::uint64_t rampa = 0;           // output frames of the fade-in done
    const std::uint64_t durata_rampa;
    std::vector<float> sintesi = std::vector<float>(2 * std::size_t(frame_sintesi));
    std::vector<float> blocco = std::vector<float>(2 * frame_per_copia);
    std::vector<float> voce = std::vector<float>(2 * frame_per_copia);

    Regia(MediaMidi& m, int f)
        : media(m), frequenza(f), durata_rampa(std::uint64_t(std::max(1, f / 5))) {}

    bool suona() const {
        return std::any_of(voci.begin(), voci.end(), [](const auto& v) { return v.second.suona; });
    }
    bool da_fare() const { return in_lavorazione || prossimo_da_fare(); }
    std::shared_ptr<BranoPronto> prossimo_da_fare() const {
        for (const auto& b : brani)
            if (!b->completo && !b->guasto)
                return b;
        return nullptr;
    }

    void applica(const Comando& c);
    // The music heard at once: what the ring holds ahead of the output is dropped,
    // and every tune playing goes back to the frame the output has reached.
    void riavvolgi();
    // Copies at most `quanti` frames of the tunes playing into the ring; returns how many.
    std::size_t copia(std::size_t quanti);
    // Makes a few blocks of the tune in hand (taking the next one first if needed).
    void fai();
    void lascia_brani();
};

void MediaMidi::Regia::applica(const Comando& c) {
    using Tipo = Comando::Tipo;
    if (c.tipo == Tipo::apri) {
        std::shared_ptr<BranoPronto> brano;
        for (const auto& b : brani)
            if (!b->guasto && b->midi() == c.midi)
                brano = b;
        if (!brano) {
            brano = std::make_shared<BranoPronto>(c.midi, frequenza >= 32000);
            brani.push_back(brano);
        }
        ultimo = brano;
        voci[c.id] = Voce{brano};
        lascia_brani();
        if (brano->guasto)
            finite.push_back(c.id);
        return;
    }
    const auto trovata = voci.find(c.id);
    if (trovata == voci.end())
        return; // never opened: already reported as ended
    Voce& v = trovata->second;
    if (c.tipo == Tipo::suona) {
        if (v.suona)
            return;
        if (v.finita || v.brano->guasto) {
            finite.push_back(c.id);
            return;
        }
        // When no tune was playing the music comes in with a fade, not a click.
        if (!suona())
            rampa = 0;
        v.suona = true;
        v.avvio = v.posizione;
    } else {
        v.suona = false;
        if (c.tipo == Tipo::chiudi) {
            voci.erase(trovata);
            lascia_brani();
        }
    }
}

void MediaMidi::Regia::riavvolgi() {
    AnelloMusica& anello = *media.anello_;
    const std::uint64_t scritto = anello.scritto();
    const std::uint64_t indietro = scritto - std::min(scritto, anello.prossimo());
    for (auto& [id, v] : voci)
        if (v.suona)
            v.posizione -= std::min(indietro, v.posizione - v.avvio);
    rampa -= std::min(rampa, indietro);
    anello.salta();
}

std::size_t MediaMidi::Regia::copia(std::size_t quanti) {
    AnelloMusica& anello = *media.anello_;
    std::size_t n = std::min({quanti, anello.libero(), frame_per_copia});
    bool qualcuna = false;
    for (auto& [id, v] : voci) {
        if (!v.suona)
            continue;
        const std::uint64_t pronti = v.brano->pronti();
        if (v.brano->completo && v.posizione >= pronti) {
            v.suona = false; // played out, its last notes included
            continue;
        }
        qualcuna = true;
        // A tune still being made gives what is made: the output waits for the rest.
        if (!v.brano->completo)
            n = std::min(n, std::size_t(pronti - std::min(pronti, v.posizione)));
    }
    if (!qualcuna || n == 0)
        return 0;
    std::fill_n(blocco.begin(), 2 * n, 0.0f);
    for (auto& [id, v] : voci) {
        if (!v.suona)
            continue;
        const auto m = std::size_t(std::min<std::uint64_t>(n, v.brano->pronti() - v.posizione));
        v.brano->leggi(v.posizione, m, voce.data());
        for (std::size_t i = 0; i < 2 * m; ++i)
            blocco[i] += voce[i];
        v.posizione += m;
        if (!v.finita && v.brano->fine > 0 && v.posizione >= v.brano->fine) {
            v.finita = true;
            finite.push_back(id);
        }
    }
    for (std::size_t i = 0; i < n && rampa < durata_rampa; ++i, ++rampa) {
        const float g = float(rampa) / float(durata_rampa);
        blocco[2 * i] *= g;
        blocco[2 * i + 1] *= g;
    }
    anello.scrivi(blocco.data(), n);
    return n;
}

void MediaMidi::Regia::fai() {
    if (!in_lavorazione) {
        in_lavorazione = prossimo_da_fare();
        if (!in_lavorazione)
            return;
        frame_coda = 0;
        // The first tune finds the engine loaded at the thread's start.
        if (!motore) {
            motore = std::make_unique<Motore>();
            if (!motore->carica(media.soundfont_, frequenza)) {
                std::lock_guard lock(media.mutex_);
                media.soundfont_guasta_ = true;
            }
        }
        if (!motore->avvia(in_lavorazione->midi())) {
            in_lavorazione->guasto = true;
            for (auto& [id, v] : voci)
                if (v.brano == in_lavorazione && !v.finita) {
                    v.finita = true;
                    v.suona = false;
                    finite.push_back(id);
                }
            in_lavorazione.reset();
            motore.reset();
            return;
        }
    }
    BranoPronto& b = *in_lavorazione;
    const auto massimi = secondi_massimi * std::uint64_t(frequenza) / std::uint64_t(b.passo());
    const auto coda = secondi_di_coda * std::uint64_t(frequenza) / std::uint64_t(b.passo());
    for (int i = 0; i < sintesi_per_giro && !b.completo; ++i) {
        motore->rendi(sintesi.data(), frame_sintesi);
        const int picco = b.aggiungi(sintesi.data(), std::size_t(frame_sintesi));
        if (b.fine == 0 && motore->finita())
            b.fine = b.fatti() * std::uint64_t(b.passo());
        else if (b.fine > 0)
            frame_coda += std::uint64_t(frame_sintesi);
        // Past its end, the tune is whole once its notes have died away.
        if ((b.fine > 0 && (picco <= 1 || !motore->suona() || frame_coda >= coda)) ||
            b.fatti() >= massimi) {
            if (b.fine == 0)
                b.fine = b.fatti() * std::uint64_t(b.passo());
            b.completo = true;
        }
    }
    if (!b.completo)
        return;
    // Made: the synth and its SoundFont go, and the memory they held goes back
    // to the system; a tune still to make gets a fresh engine of its own.
    in_lavorazione.reset();
    motore.reset();
    malloc_trim(0);
}

void MediaMidi::Regia::lascia_brani() {
    // Kept: the tunes of the open aliases and the last one opened.
    std::erase_if(brani, [this](const std::shared_ptr<BranoPronto>& b) {
        return b != ultimo && std::none_of(voci.begin(), voci.end(),
                                           [&](const auto& v) { return v.second.brano == b; });
    });
    if (in_lavorazione && std::find(brani.begin(), brani.end(), in_lavorazione) == brani.end()) {
        in_lavorazione.reset();
        motore.reset();
    }
}

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
    anello_ = std::make_unique<AnelloMusica>(frame_nell_anello);
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
// on the device's thread, which must only copy: this thread makes each tune
// whole (a few blocks a pass, looking at its commands in between), keeps the
// ring topped up from the tunes made, and sleeps on a timed wait while the
// music plays (the device's thread signals nobody), waking at once for a
// command; with nothing playing and nothing to make it waits with no timeout.
// For an output that is not real-time it copies what is asked for, making
// what is not made yet first, and the caller waits for it.
void MediaMidi::lavora(std::stop_token fine, int frequenza) {
    pthread_setname_np(pthread_self(), "contavoce-music");
    Regia regia(*this, frequenza);
    regia.motore = std::make_unique<Motore>();
    const bool caricato = regia.motore->carica(soundfont_, frequenza);
    if (!caricato)
        regia.motore.reset();
    std::uint64_t presi = 1; // the load counts as the first command
    {
        std::lock_guard lock(mutex_);
        soundfont_guasta_ = !caricato;
    }
    std::vector<Comando> lavoro;
    const auto serve_copiare = [&] {
        return regia.suona() && anello_->da_sentire() <= margine_anello;
    };
    // How long the music in the ring lasts beyond the margin; at least 10 ms,
    // which covers an output that has yet to pass a mark set by a command.
    const auto riposo = [&] {
        const std::size_t resto = anello_->da_sentire();
        return std::chrono::microseconds(std::max<std::int64_t>(
            10'000, std::int64_t(resto > margine_anello ? resto - margine_anello : 0) * 1'000'000 /
                        frequenza));
    };
    for (;;) {
        std::uint64_t obiettivo = 0;
        {
            std::unique_lock lock(mutex_);
            for (const std::uint64_t id : regia.finite)
                for (auto& [nome, a] : alias_)
                    if (a.id == id)
                        a.finita = true;
            regia.finite.clear();
            applicati_ = presi;
            prodotto_ = anello_->scritto();
            fatto_.notify_all();
            const auto da_fare = [&] {
                return !coda_.empty() || regia.da_fare() ||
                       (tempo_reale_ ? serve_copiare() : richiesto_ > anello_->scritto());
            };
            // Nothing playing, nothing to make, nothing asked: no wake-up at all.
            if (tempo_reale_ && regia.suona())
                sveglia_.wait_for(lock, fine, riposo(), da_fare);
            else
                sveglia_.wait(lock, fine, da_fare);
            if (fine.stop_requested())
                return;
            lavoro.swap(coda_);
            presi += lavoro.size();
            obiettivo = richiesto_;
        }
        if (std::any_of(lavoro.begin(), lavoro.end(),
                        [](const Comando& c) { return c.tipo != Comando::Tipo::apri; }))
            regia.riavvolgi();
        for (const Comando& c : lavoro)
            regia.applica(c);
        lavoro.clear();
        if (tempo_reale_) {
            while (regia.copia(anello_->libero()) > 0) {
            }
            attiva_.store(regia.suona(), std::memory_order_relaxed);
            regia.fai();
            continue;
        }
        while (anello_->scritto() < obiettivo) {
            const auto resto = std::size_t(obiettivo - anello_->scritto());
            if (regia.copia(resto) > 0)
                continue;
            // A tune playing whose next frames are not made yet: they are made
            // now, so that a recording comes out the same every time.
            if (regia.suona() && regia.da_fare()) {
                regia.fai();
                continue;
            }
            std::fill(regia.blocco.begin(), regia.blocco.end(), 0.0f);
            anello_->scrivi(regia.blocco.data(), std::min(resto, frame_per_copia));
        }
        regia.fai();
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
        const int pezzo = std::min(frame - fatti, int(frame_per_copia));
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
