// SPDX-License-Identifier: GPL-3.0-or-later
// A sound output that records instead of playing: the mixer is pulled in
// device-sized buffers as the real device would pull it, so clips played one
// after another are joined exactly as they are heard.
#pragma once

#include "platform/audio/mixer.h"
#include "platform/audio/suono.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace contavoce::platform {

class SuonoRegistrato final : public Suono, public VoceMusicale {
public:
    explicit SuonoRegistrato(FormatoAudio formato = {});

    int dispositivi() override { return 1; }
    void suona_file(const std::string& percorso) override;
    void suona_memoria(std::span<const char> wav) override;
    void suona_file_subito(const std::string& percorso) override;
    // Time passes as the mix is pulled: pulls it until the sound ends, or for `massimo`.
    bool attendi_fine(std::chrono::milliseconds massimo) override;

    std::optional<std::pair<int, int>> formato_musica() override {
        return std::pair{mixer_.formato().frequenza, mixer_.formato().canali};
    }
    void imposta_musica(Musica musica) override { mixer_.imposta_musica(std::move(musica)); }

    Mixer& mixer() { return mixer_; }
    // Pulls the mix for this long (music keeps playing, an effect runs on).
    void avanza(int frame);
    // What has been heard so far, interleaved float samples.
    const std::vector<float>& registrazione() const { return uscita_; }
    // The files asked for that could not be read or decoded, in the order
    // asked: the alert was recorded in the place of each.
    const std::vector<std::string>& file_guasti() const { return guasti_; }

private:
    std::uint64_t avvia(const std::optional<std::vector<char>>& dati, const std::string* percorso);
    void fino_alla_fine(std::uint64_t biglietto);

    Mixer mixer_;
    std::shared_ptr<const Clip> avviso_;
    std::vector<float> uscita_;
    std::vector<std::string> guasti_;
};

// Interleaved float samples as a 16-bit PCM WAV file, handed to `scrivi` a
// block at a time; false as soon as `scrivi` is.
bool scrivi_wav(const std::vector<float>& campioni, FormatoAudio formato,
                const std::function<bool(std::span<const char>)>& scrivi);
// The same into a file; false if it cannot.
bool scrivi_wav(const std::string& percorso, const std::vector<float>& campioni,
                FormatoAudio formato);

} // namespace contavoce::platform
