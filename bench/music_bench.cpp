// SPDX-License-Identifier: GPL-3.0-or-later
// Music figures: CPU time to synthesise 60 s of the tune (as a share of one
// core in real time), and how long the first "open" keeps the window waiting:
// on a real-time output the SoundFont loads on the render thread, so the open
// returns before it is loaded.
#include "platform/audio/media_midi.h"
#include "platform/audio/suono_registrato.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

using namespace contavoce::platform;

namespace {

double cpu_secondi() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// An output pulled in real time, as the sound device is, that nobody pulls:
// only the open is timed on it.
class UscitaInTempoReale final : public VoceMusicale {
public:
    std::optional<std::pair<int, int>> formato_musica() override { return std::pair{44100, 2}; }
    void imposta_musica(Musica musica) override { musica_ = std::move(musica); }
    bool in_tempo_reale() const override { return true; }

private:
    Musica musica_;
};

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::string tune = argc > 1 ? argv[1] : "heidi-cartoon.mid";
    const std::string comando = "open " + percorso_corto(tune) + " type sequencer alias b";
    std::vector<double> aperture, quote;
    for (int giro = 0; giro < 5; ++giro) {
        {
            UscitaInTempoReale u;
            MediaMidi media(u);
            const auto t0 = std::chrono::steady_clock::now();
            if (media.invia(comando, nullptr, 0) != 0) {
                std::printf("music: cannot open %s\n", tune.c_str());
                return 1;
            }
            aperture.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
        }
        SuonoRegistrato r;
        MediaMidi media(r);
        if (media.invia(comando, nullptr, 0) != 0)
            return 1;
        media.invia("play b", nullptr, 0);
        const double c0 = cpu_secondi();
        for (int s = 0; s < 60; ++s) {
            r.avanza(44100);
            // Keep memory flat: only the synthesis is being timed.
            const_cast<std::vector<float>&>(r.registrazione()).clear();
        }
        quote.push_back(100.0 * (cpu_secondi() - c0) / 60.0);
    }
    std::printf("music: first open on a real-time output %.2f ms median (target <= 5 ms); "
                "synthesising 60 s of the tune costs %.2f%% of one core median (target <= 2%%)\n",
                mediana(aperture), mediana(quote));
}
