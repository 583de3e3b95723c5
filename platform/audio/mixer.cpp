// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace contavoce::platform {

namespace {

double da_db(double db) {
    return std::pow(10.0, db / 20.0);
}

// The factor per frame that covers `db` in `ms` at an even rate in dB.
double passo(double db, double ms, int frequenza) {
    return std::pow(10.0, db / 20.0 / std::max(1.0, ms / 1000.0 * frequenza));
}

} // namespace

// The music's buffer is sized here, once: the thread that pulls the mix must
// not allocate (a device's callback that waits on the allocator can be heard).
Mixer::Mixer(FormatoAudio formato, LivelliMusica livelli)
    : formato_(formato),
      buffer_musica_(std::size_t(frame_per_buffer) * std::size_t(formato.canali)),
      guadagno_sottofondo_(da_db(livelli.sottofondo_db)),
      guadagno_sotto_effetti_(da_db(livelli.sotto_effetti_db)),
      passo_discesa_(passo(-std::abs(livelli.sottofondo_db - livelli.sotto_effetti_db),
                           livelli.discesa_ms, formato.frequenza)),
      passo_risalita_(passo(std::abs(livelli.sottofondo_db - livelli.sotto_effetti_db),
                            livelli.risalita_ms, formato.frequenza)),
      frame_tenuta_(std::uint64_t(std::max(0.0, livelli.tenuta_ms) / 1000.0 * formato.frequenza)),
      guadagno_(guadagno_sottofondo_), frame_senza_effetto_(frame_tenuta_) {}

std::uint64_t Mixer::avvia(std::shared_ptr<const Clip> clip) {
    if (clip && clip->campioni.empty())
        clip.reset();
    std::uint64_t biglietto = 0;
    {
        std::lock_guard lock(mutex_);
        // The clip being replaced counts as done for anyone waiting on it.
        finito_fino_a_ = biglietto_;
        // The old clip leaves in `clip`, to be freed on this thread after the
        // lock: the pulling thread never frees, it only stops reading a clip.
        clip_.swap(clip);
        posizione_ = 0;
        appena_avviato_ = true;
        inizio_.reset();
        biglietto = ++biglietto_;
        if (!clip_)
            finito_fino_a_ = biglietto_;
    }
    fine_.notify_all();
    return biglietto;
}

std::uint64_t Mixer::ultimo() const {
    std::lock_guard lock(mutex_);
    return biglietto_;
}

bool Mixer::finito(std::uint64_t biglietto) const {
    std::lock_guard lock(mutex_);
    return biglietto <= finito_fino_a_;
}

bool Mixer::attendi(std::uint64_t biglietto, std::chrono::milliseconds massimo) const {
    std::unique_lock lock(mutex_);
    return fine_.wait_for(lock, massimo, [&] { return biglietto <= finito_fino_a_; });
}

std::chrono::milliseconds Mixer::durata(const Clip& clip) const {
    return std::chrono::milliseconds(std::int64_t(clip.frame()) * 1000 / formato_.frequenza);
}

std::optional<Mixer::Inizio> Mixer::inizio_ultimo() const {
    std::lock_guard lock(mutex_);
    return inizio_;
}

std::uint64_t Mixer::frame_mescolati() const {
    std::lock_guard lock(mutex_);
    return frame_mescolati_;
}

void Mixer::imposta_musica(Musica musica) {
    // The old renderer, too, goes on this thread, outside the lock.
    std::lock_guard lock(mutex_);
    musica_.swap(musica);
}

double Mixer::guadagno_musica(bool effetto) {
    if (effetto)
        frame_senza_effetto_ = 0;
    else if (frame_senza_effetto_ < frame_tenuta_)
        ++frame_senza_effetto_;
    const double bersaglio = effetto || frame_senza_effetto_ < frame_tenuta_
                                 ? guadagno_sotto_effetti_
                                 : guadagno_sottofondo_;
    // Clamped at the level it heads for, so the steps' rounding never drifts past it.
    if (guadagno_ > bersaglio)
        guadagno_ = std::max(guadagno_ * passo_discesa_, bersaglio);
    else
        guadagno_ = std::min(guadagno_ * passo_risalita_, bersaglio);
    return guadagno_;
}

bool Mixer::mescola(float* out, int frame) {
    const std::size_t canali = std::size_t(formato_.canali);
    const std::size_t n = std::size_t(frame) * canali;
    std::lock_guard lock(mutex_);
    // Frames of this buffer in which the effects voice sounds: the music's gain follows them.
    const std::size_t con_effetto =
        clip_ && posizione_ < clip_->campioni.size()
            ? std::min(std::size_t(frame),
                       (clip_->campioni.size() - posizione_ + canali - 1) / canali)
            : 0;
    bool suona = con_effetto > 0;
    if (musica_) {
        // In pieces of the buffer made beforehand, whatever the device asks for.
        for (int fatti = 0; fatti < frame;) {
            const int pezzo = std::min(frame - fatti, int(buffer_musica_.size() / canali));
            suona = musica_(buffer_musica_.data(), pezzo) || suona;
            for (std::size_t i = 0; i < std::size_t(pezzo); ++i) {
                const std::size_t f = std::size_t(fatti) + i;
                const auto g = float(guadagno_musica(f < con_effetto));
                for (std::size_t k = 0; k < canali; ++k)
                    out[f * canali + k] = buffer_musica_[i * canali + k] * g;
            }
            fatti += pezzo;
        }
    } else {
        std::fill(out, out + n, 0.0f);
        // The gain moves on in silence too, so music set meanwhile starts at the right level.
        for (std::size_t f = 0; f < std::size_t(frame); ++f)
            guadagno_musica(f < con_effetto);
    }

    if (con_effetto > 0) {
        if (appena_avviato_) {
            inizio_ = Inizio{frame_mescolati_, std::chrono::steady_clock::now()};
            appena_avviato_ = false;
        }
        const std::size_t da_copiare =
            std::min(con_effetto * canali, clip_->campioni.size() - posizione_);
        const float* sorgente = clip_->campioni.data() + posizione_;
        for (std::size_t i = 0; i < da_copiare; ++i)
            out[i] += sorgente[i];
        posizione_ += da_copiare;
        if (posizione_ >= clip_->campioni.size()) {
            // Kept until the next clip replaces it: freeing here could block.
            finito_fino_a_ = biglietto_;
            fine_.notify_all();
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    frame_mescolati_ += std::uint64_t(frame);
    return suona;
}

} // namespace contavoce::platform
