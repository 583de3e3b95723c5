// SPDX-License-Identifier: GPL-3.0-or-later
// What the thread that pulls the mix allocates, frees and opens while the tune
// plays and a whole number is said over it, counted by the probe that
// tst_sonda_audio checks (tests/faults/sonda_audio.h).
#include "sonda_audio.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (!contavoce::sonda::sonda_possibile()) {
        std::printf("audio thread: not measured (the allocator is the sanitizer's)\n");
        return 0;
    }
    const auto r = contavoce::sonda::misura_filo_audio(argc > 1 ? argv[1] : "bin");
    if (!r.dispositivo || r.musica <= 0) {
        std::printf("audio thread: no device, or the tune was not heard\n");
        return 1;
    }
    std::printf("allocations / frees / file opens on the audio thread after start: %llu / %llu / "
                "%llu (%llu callbacks); target 0 / 0 / 0\n",
                static_cast<unsigned long long>(r.allocazioni),
                static_cast<unsigned long long>(r.liberazioni),
                static_cast<unsigned long long>(r.aperture),
                static_cast<unsigned long long>(r.richiami));
}
