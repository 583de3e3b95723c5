// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/servizio_media.h"

#include <cctype>
#include <filesystem>

namespace contavoce::platform {

std::string descrizione_errore(int codice) {
    switch (codice) {
    case media_ok:
        return "no error";
    case media_comando_sconosciuto:
        return "unknown command";
    case media_alias_sconosciuto:
        return "no such alias is open";
    case media_alias_gia_aperto:
        return "the alias is already open";
    case media_file_mancante:
        return "the file does not exist";
    case media_file_non_valido:
        return "the file cannot be read or is not a MIDI file";
    case media_senza_soundfont:
        return "no usable SoundFont (install timgm6mb-soundfont or set CONTAVOCE_SOUNDFONT)";
    case media_senza_dispositivo:
        return "no sound output device";
    }
    return "error " + std::to_string(codice);
}

std::string percorso_corto(const std::string& lungo) {
    std::error_code e;
    if (lungo.empty() || !std::filesystem::exists(lungo, e))
        return {};
    std::string r;
    for (unsigned char c : lungo) {
        if (c == '%' || std::isspace(c)) {
            static constexpr char hex[] = "0123456789ABCDEF";
            r += '%';
            r += hex[c >> 4];
            r += hex[c & 15];
        } else {
            r += char(c);
        }
    }
    return r;
}

} // namespace contavoce::platform
