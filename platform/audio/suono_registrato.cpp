// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/suono_registrato.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace contavoce::platform {

SuonoRegistrato::SuonoRegistrato(FormatoAudio formato)
    : mixer_(formato), avviso_(std::make_shared<const Clip>(suono_di_avviso(formato))) {}

void SuonoRegistrato::avanza(int frame) {
    const auto canali = std::size_t(mixer_.formato().canali);
    while (frame > 0) {
        const int blocco = std::min(frame, frame_per_buffer);
        const std::size_t prima = uscita_.size();
        uscita_.resize(prima + std::size_t(frame_per_buffer) * canali);
        mixer_.mescola(uscita_.data() + prima, frame_per_buffer);
        uscita_.resize(prima + std::size_t(blocco) * canali);
        frame -= blocco;
    }
}

void SuonoRegistrato::fino_alla_fine(std::uint64_t biglietto) {
    while (!mixer_.finito(biglietto))
        avanza(frame_per_buffer);
}

std::uint64_t SuonoRegistrato::avvia(const std::optional<std::vector<char>>& dati,
                                     const std::string* percorso) {
    if (dati) {
        if (auto clip = decodifica_wav(*dati, mixer_.formato()))
            return mixer_.avvia(std::make_shared<const Clip>(std::move(*clip)));
    }
    if (percorso)
        guasti_.push_back(*percorso);
    return mixer_.avvia(avviso_);
}

void SuonoRegistrato::suona_file(const std::string& percorso) {
    fino_alla_fine(avvia(leggi_file(percorso), &percorso));
}

void SuonoRegistrato::suona_memoria(std::span<const char> wav) {
    fino_alla_fine(avvia(std::vector<char>(wav.begin(), wav.end()), nullptr));
}

void SuonoRegistrato::suona_file_subito(const std::string& percorso) {
    avvia(leggi_file(percorso), &percorso);
}

bool SuonoRegistrato::attendi_fine(std::chrono::milliseconds massimo) {
    const std::uint64_t biglietto = mixer_.ultimo();
    auto resto = std::int64_t(massimo.count()) * mixer_.formato().frequenza / 1000;
    for (; resto > 0 && !mixer_.finito(biglietto); resto -= frame_per_buffer)
        avanza(frame_per_buffer);
    return mixer_.finito(biglietto);
}

bool scrivi_wav(const std::vector<float>& campioni, FormatoAudio formato,
                const std::function<bool(std::span<const char>)>& scrivi) {
    // SDL reads WAV files but does not write them; the 44-byte header is all it takes.
    std::vector<char> blocco;
    blocco.reserve(1 << 16);
    const auto le = [&](std::uint32_t v, int byte) {
        for (int i = 0; i < byte; ++i)
            blocco.push_back(char((v >> (8 * i)) & 0xff));
    };
    const auto testo = [&](std::string_view t) { blocco.insert(blocco.end(), t.begin(), t.end()); };
    const std::uint32_t dati = std::uint32_t(campioni.size() * 2);
    const std::uint32_t canali = std::uint32_t(formato.canali);
    const std::uint32_t frequenza = std::uint32_t(formato.frequenza);
    testo("RIFF");
    le(36 + dati, 4);
    testo("WAVEfmt ");
    le(16, 4);
    le(1, 2);
    le(canali, 2);
    le(frequenza, 4);
    le(frequenza * canali * 2, 4);
    le(canali * 2, 2);
    le(16, 2);
    testo("data");
    le(dati, 4);
    for (float c : campioni) {
        const long v = std::lround(std::clamp(c, -1.0f, 1.0f) * 32767.0f);
        le(std::uint32_t(std::uint16_t(std::int16_t(v))), 2);
        if (blocco.size() >= (1 << 16)) {
            if (!scrivi(blocco))
                return false;
            blocco.clear();
        }
    }
    return scrivi(blocco);
}

bool scrivi_wav(const std::string& percorso, const std::vector<float>& campioni,
                FormatoAudio formato) {
    std::ofstream f(percorso, std::ios::binary | std::ios::trunc);
    const bool scritto = f && scrivi_wav(campioni, formato, [&](std::span<const char> b) {
                             return bool(f.write(b.data(), std::streamsize(b.size())));
                         });
    f.close();
    return scritto && bool(f);
}

} // namespace contavoce::platform
