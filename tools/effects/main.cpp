// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every sound effect of the program, and laser.wav.
// Usage: genera_effetti <wav folder> <laser.wav> <VETRO as PCM>
// VETRO is written as 16-bit PCM for the build to convert to Microsoft ADPCM.
#include "tools/effects/effetti.h"
#include "tools/effects/wav.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace effetti;

struct Uscita {
    std::filesystem::path percorso;
    int frequenza;
    int bit;
    double secondi;
};

bool scrivi(const Uscita& u, const std::vector<Segnale>& canali) {
    if (scrivi_wav(u.percorso, canali, u.frequenza, u.bit))
        return true;
    std::fprintf(stderr, "genera_effetti: cannot write %s\n", u.percorso.string().c_str());
    return false;
}

template <typename Sintesi> bool mono(const Uscita& u, Sintesi sintesi) {
    const double fs = u.frequenza;
    return scrivi(u, {sintesi(fs, campioni_in(u.secondi, fs))});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: genera_effetti <wav folder> <laser.wav> <VETRO as PCM>\n");
        return 2;
    }
    const std::filesystem::path cartella = argv[1];
    std::error_code errore;
    std::filesystem::create_directories(cartella, errore);
    auto wav = [&](const char* nome) { return cartella / (std::string(nome) + ".wav"); };

    bool ok = true;
    ok &= mono({wav("ASINO"), 8000, 16, 1.34}, asino);
    ok &= mono({wav("CANE"), 22050, 16, 1.41}, cane);
    ok &= mono({wav("GALLO"), 22050, 16, 2.02}, gallo);
    ok &= mono({wav("INIZIO"), 7000, 8, 1.96}, inizio);
    ok &= mono({wav("SPARO"), 11025, 8, 0.40}, sparo);
    ok &= mono({wav("UCCELLO"), 11025, 8, 0.61}, uccello);
    for (char cifra = '0'; cifra <= '9'; ++cifra) {
        const std::string nome = std::string("G") + cifra;
        ok &= mono({wav(nome.c_str()), 11025, 8, 0.25},
                   [cifra](double fs, std::size_t n) { return tasto(cifra, fs, n); });
    }
    ok &= mono({argv[2], 22050, 16, 0.40}, laser);
    const Uscita pcm_vetro{argv[3], 22050, 16, 3.62};
    ok &= scrivi(pcm_vetro, vetro(22050, campioni_in(pcm_vetro.secondi, 22050)));
    return ok ? 0 : 1;
}
