// SPDX-License-Identifier: GPL-3.0-or-later
// What the thread that pulls the mix does besides copying samples: it must
// never allocate, free or open a file, for any of them can keep it waiting
// long enough to be heard. The probe replaces the allocator's and the file
// opening functions of the program it is linked into, so only a program of
// its own links it (tst_sonda_audio, audio_thread_bench).
#pragma once

#include <cstdint>
#include <string>

namespace contavoce::sonda {

// False where the probe cannot replace the allocator (AddressSanitizer brings
// its own): it counts nothing there.
bool sonda_possibile();

struct FiloAudio {
    bool dispositivo = false;  // the device opened
    bool addormentato = false; // and fell asleep once everything was silent
    std::uint64_t allocazioni = 0;
    std::uint64_t liberazioni = 0;
    std::uint64_t aperture = 0; // files opened
    std::uint64_t richiami = 0; // the device's callbacks counted
    double musica = 0;          // loudest buffer (RMS) with the tune alone
    double voce = 0;            // loudest buffer (RMS) while the number is said
};

// On the real device (SDL's dummy driver): the tune of `cartella`
// (heidi-cartoon.mid) playing through MediaMidi, then 999999999999 said over it
// with the clips of `cartella`, the tune paused, resumed, started again and
// stopped, then, the device asleep, 12 said. Counts what the device's threads
// did from their first callback on.
FiloAudio misura_filo_audio(const std::string& cartella);

} // namespace contavoce::sonda
