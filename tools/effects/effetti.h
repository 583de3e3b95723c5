// SPDX-License-Identifier: GPL-3.0-or-later
// One function per effect. Each fills n samples at frequency fs (timings are in
// seconds, so the sounds keep their shape at any rate); the result is finished
// (faded and levelled) and ready to write.
#pragma once

#include "tools/effects/dsp.h"

namespace effetti {

Segnale asino(double fs, std::size_t n);
Segnale cane(double fs, std::size_t n);
Segnale gallo(double fs, std::size_t n);
Segnale uccello(double fs, std::size_t n);
Segnale inizio(double fs, std::size_t n);
Segnale sparo(double fs, std::size_t n);
Segnale laser(double fs, std::size_t n);
// The two keypad tones of a digit '0'..'9'.
Segnale tasto(char cifra, double fs, std::size_t n);
// Left and right channels.
std::vector<Segnale> vetro(double fs, std::size_t n);

// Row and column frequencies of a digit on the telephone keypad.
std::pair<double, double> frequenze_dtmf(char cifra);

} // namespace effetti
