// SPDX-License-Identifier: GPL-3.0-or-later
// WAV loading: every speech clip, laser.wav and the embedded effects go through
// decodifica_wav, and the clips are files in the program's folder that anyone
// may replace. The first byte picks the output format, the rest is the file.
#include "platform/audio/mixer.h"

#include <array>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static constexpr std::array<contavoce::platform::FormatoAudio, 4> formati = {
        {{44100, 2}, {22050, 1}, {48000, 2}, {8000, 1}}};
    const auto formato = formati[data[0] % formati.size()];
    const std::span<const char> wav(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto clip = contavoce::platform::decodifica_wav(wav, formato);
    if (clip && (clip->canali != formato.canali ||
                 clip->campioni.size() % std::size_t(formato.canali) != 0))
        std::abort();
    if (clip) {
        // And through the mix, as the device would pull it.
        contavoce::platform::Mixer mixer(formato);
        const auto biglietto =
            mixer.avvia(std::make_shared<const contavoce::platform::Clip>(std::move(*clip)));
        std::array<float, 256 * 2> buffer{};
        while (!mixer.finito(biglietto))
            mixer.mescola(buffer.data(), 256 / formato.canali);
    }
    return 0;
}
