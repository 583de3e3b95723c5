// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/effects/wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace effetti {
namespace {

// The canonical PCM header is 44 bytes of fixed layout; writing it here keeps the
// generator free of audio libraries (sox only converts the one ADPCM file).
void aggiungi(std::vector<char>& b, std::uint32_t v, int byte) {
    for (int i = 0; i < byte; ++i)
        b.push_back(char((v >> (8 * i)) & 0xff));
}

void aggiungi(std::vector<char>& b, const char (&id)[5]) {
    b.insert(b.end(), id, id + 4);
}

} // namespace

bool scrivi_wav(const std::filesystem::path& percorso, const std::vector<Segnale>& canali,
                int frequenza, int bit) {
    if (canali.empty() || (bit != 8 && bit != 16))
        return false;
    const std::size_t frame = canali.front().size();
    const auto n_canali = std::uint32_t(canali.size());
    const std::uint32_t allineamento = n_canali * std::uint32_t(bit / 8);
    const auto byte_dati = std::uint32_t(frame * allineamento);

    std::vector<char> b;
    b.reserve(44 + byte_dati + 1);
    aggiungi(b, "RIFF");
    aggiungi(b, 36 + byte_dati + (byte_dati & 1), 4);
    aggiungi(b, "WAVE");
    aggiungi(b, "fmt ");
    aggiungi(b, 16, 4);
    aggiungi(b, 1, 2); // PCM
    aggiungi(b, n_canali, 2);
    aggiungi(b, std::uint32_t(frequenza), 4);
    aggiungi(b, std::uint32_t(frequenza) * allineamento, 4);
    aggiungi(b, allineamento, 2);
    aggiungi(b, std::uint32_t(bit), 2);
    aggiungi(b, "data");
    aggiungi(b, byte_dati, 4);
    for (std::size_t i = 0; i < frame; ++i) {
        for (const Segnale& c : canali) {
            const double x = i < c.size() ? std::clamp(c[i], -1.0, 1.0) : 0.0;
            if (bit == 8) {
                // 8-bit WAV is unsigned with silence at 128.
                b.push_back(char(std::clamp(std::lround(x * 128.0) + 128, 0L, 255L)));
            } else {
                const long v = std::clamp(std::lround(x * 32768.0), -32768L, 32767L);
                aggiungi(b, std::uint32_t(v) & 0xffff, 2);
            }
        }
    }
    if (byte_dati & 1)
        b.push_back(0);

    std::ofstream f(percorso, std::ios::binary | std::ios::trunc);
    f.write(b.data(), std::streamsize(b.size()));
    return bool(f);
}

} // namespace effetti
