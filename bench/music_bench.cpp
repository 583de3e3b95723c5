// SPDX-License-Identifier: GPL-3.0-or-later
// Music figures: the CPU time to make the whole tune once, what playing the
// made tune costs (as a share of one core in real time: copying and doubling,
// no synthesis), and how long the first "open" keeps the window waiting: on a
// real-time output the SoundFont loads on the render thread, so the open
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
    std::vector<double> aperture, fare_ms, quote;
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
        const double c0 = cpu_secondi();
        if (media.invia(comando, nullptr, 0) != 0)
            return 1;
        media.invia("play b", nullptr, 0);
        // A recording made as far as the tune's end makes it whole, once; the
        // minute after it only copies.
        const auto minuto = [&] {
            for (int s = 0; s < 60; ++s) {
                r.avanza(44100);
                // Keep memory flat: only the music is being timed.
                const_cast<std::vector<float>&>(r.registrazione()).clear();
            }
        };
        minuto();
        minuto();
        minuto();
        const double c1 = cpu_secondi();
        minuto();
        const double copia = cpu_secondi() - c1;
        fare_ms.push_back(1000.0 * (c1 - c0 - 3 * copia));
        quote.push_back(100.0 * copia / 60.0);
    }
    const double durata = 145.0;
    std::printf("music: first open on a real-time output %.2f ms median (target <= 5 ms); making "
                "the whole tune once %.0f ms of CPU median, %.2f%% of its %.0f s (target <= 2%%); "
                "a recording of the made tune %.2f%% of one core (its hand-over per buffer; the "
                "device's thread only copies)\n",
                mediana(aperture), mediana(fare_ms), mediana(fare_ms) / 10.0 / durata, durata,
                mediana(quote));
}
