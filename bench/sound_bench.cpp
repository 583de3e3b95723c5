// SPDX-License-Identifier: GPL-3.0-or-later
// Sound figures: the silence between two speech clips in the device's real
// output (SDL disk driver), the time from a play call to its first sample in
// the mix, and the length of a recorded twelve-digit number against its clips.
#include "platform/audio/suono_registrato.h"
#include "platform/audio/suono_sdl.h"
#include "speech/clip_list.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace contavoce;
using namespace contavoce::platform;
namespace fs = std::filesystem;

namespace {

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// A 22050 Hz mono tone that is never exactly zero, so silence in the output
// can only come from the joins.
std::string tono(const fs::path& dir, int n, double secondi) {
    std::vector<float> s(std::size_t(secondi * 22050));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = float(0.4 + 0.2 * std::sin(double(i) * 0.07));
    const std::string p = (dir / ("t" + std::to_string(n) + ".wav")).string();
    scrivi_wav(p, s, {22050, 1});
    return p;
}

void silenzio_tra_clip(const fs::path& dir) {
    const fs::path raw = dir / "disk.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    std::mt19937 caso(7);
    constexpr int coppie = 40;
    int canali = 2, frequenza = 44100;
    {
        SuonoSdl suono;
        if (!suono.mixer()) {
            std::printf("silence between clips: no disk device\n");
            return;
        }
        canali = suono.mixer()->formato().canali;
        frequenza = suono.mixer()->formato().frequenza;
        for (int i = 0; i < coppie; ++i) {
            suono.suona_file(tono(dir, 2 * i, 0.05 + double(caso() % 100) / 1000));
            suono.suona_file(tono(dir, 2 * i + 1, 0.05 + double(caso() % 100) / 1000));
            // A pause of a few buffers so that each pair stands apart in the output.
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    }
    std::vector<float> dati(fs::file_size(raw) / sizeof(float));
    std::ifstream f(raw, std::ios::binary);
    f.read(reinterpret_cast<char*>(dati.data()), std::streamsize(dati.size() * sizeof(float)));
    // Runs of zero frames between two sounding stretches; the long ones are the
    // pauses between pairs, the short ones the joins inside a pair.
    std::vector<double> giunte;
    std::size_t zeri = 0;
    bool suonato = false;
    for (std::size_t i = 0; i + std::size_t(canali) <= dati.size(); i += std::size_t(canali)) {
        if (dati[i] == 0.0f) {
            ++zeri;
            continue;
        }
        if (suonato && zeri > 0 && zeri < std::size_t(frequenza) / 50) // < 20 ms: a join
            giunte.push_back(double(zeri));
        suonato = true;
        zeri = 0;
    }
    // Joins with no silence at all do not show as runs: count them as 0.
    while (giunte.size() < std::size_t(coppie))
        giunte.push_back(0.0);
    const double med = mediana(giunte);
    const double max = *std::max_element(giunte.begin(), giunte.end());
    std::printf("silence added between clips (disk driver, %d joins): median %.0f frames "
                "(%.2f ms), max %.0f frames (%.2f ms); target <= one buffer = %d frames "
                "(%.2f ms)\n",
                coppie, med, 1000 * med / frequenza, max, 1000 * max / frequenza, frame_per_buffer,
                1000.0 * frame_per_buffer / frequenza);
}

void ritardo_primo_campione(const fs::path& dir) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SuonoSdl suono;
    if (!suono.mixer()) {
        std::printf("play to first sample: no dummy device\n");
        return;
    }
    const std::string breve = tono(dir, 999, 0.01);
    std::mt19937 caso(11);
    std::vector<double> ms;
    for (int i = 0; i < 200; ++i) {
        // Calls land at random points of the device's buffer cycle, as key presses do.
        std::this_thread::sleep_for(std::chrono::microseconds(caso() % 6000));
        const auto t0 = std::chrono::steady_clock::now();
        suono.suona_file(breve);
        const auto inizio = suono.mixer()->inizio_ultimo();
        if (inizio)
            ms.push_back(std::chrono::duration<double, std::milli>(inizio->istante - t0).count());
    }
    std::printf("play call to first sample in the mix (dummy driver, %zu plays): median %.2f ms, "
                "max %.2f ms; target median <= 6 ms\n",
                ms.size(), mediana(ms), *std::max_element(ms.begin(), ms.end()));
}

// The same from a device asleep: each play lands after the mix has been
// silent long enough for the device to close (a short hold here, so that the
// runs take seconds; the hold does not change what waking costs).
void ritardo_dal_sonno(const fs::path& dir) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SuonoSdl suono(dispositivo_sdl(), std::chrono::milliseconds(200));
    if (!suono.mixer()) {
        std::printf("play to first sample from asleep: no dummy device\n");
        return;
    }
    const std::string breve = tono(dir, 998, 0.01);
    std::vector<double> ms;
    for (int i = 0; i < 25; ++i) {
        for (int j = 0; j < 200 && !suono.addormentato(); ++j)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!suono.addormentato())
            break;
        const auto t0 = std::chrono::steady_clock::now();
        suono.suona_file(breve);
        const auto inizio = suono.mixer()->inizio_ultimo();
        if (inizio)
            ms.push_back(std::chrono::duration<double, std::milli>(inizio->istante - t0).count());
    }
    if (ms.empty()) {
        std::printf("play to first sample from asleep: the device never fell asleep\n");
        return;
    }
    std::printf("play call to first sample in the mix, the device asleep (dummy driver, %zu "
                "plays): median %.2f ms, max %.2f ms; target median <= 6 ms\n",
                ms.size(), mediana(ms), *std::max_element(ms.begin(), ms.end()));
}

void numero_registrato(const std::string& cartella) {
    const ListaClip lista = lista_clip("999999999999", cartella);
    SuonoRegistrato r;
    double somma = 0;
    for (int i = 1; i <= lista.n_file; ++i) {
        std::ifstream f(lista.Wave_name[std::size_t(i)], std::ios::binary);
        std::vector<char> b((std::istreambuf_iterator<char>(f)), {});
        if (auto c = decodifica_wav(b, r.mixer().formato()))
            somma += double(c->frame());
        r.suona_file(lista.Wave_name[std::size_t(i)]);
    }
    const double totale = double(r.registrazione().size()) / r.mixer().formato().canali;
    const double f = r.mixer().formato().frequenza;
    std::printf("say 999999999999 --wav: %d clips, total %.3f s against %.3f s of clips "
                "(+%.1f ms, %.2f ms per join)\n",
                lista.n_file, totale / f, somma / f, 1000 * (totale - somma) / f,
                1000 * (totale - somma) / f / (lista.n_file - 1));
}

} // namespace

int main(int argc, char** argv) {
    const std::string cartella = argc > 1 ? argv[1] : ".";
    const fs::path dir = fs::temp_directory_path() / "contavoce-sound-bench";
    fs::create_directories(dir);
    silenzio_tra_clip(dir);
    ritardo_primo_campione(dir);
    ritardo_dal_sonno(dir);
    numero_registrato(cartella);
    fs::remove_all(dir);
}
