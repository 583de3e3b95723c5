// SPDX-License-Identifier: GPL-3.0-or-later
// What the music player needs of the media service: the command interface,
// its error codes and the path form it reads. Nothing here loads a sound
// library, so the window links it while the service itself lives in the sound
// module.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace contavoce::platform {

enum ErroreMedia : int {
    media_ok = 0,
    media_comando_sconosciuto = 261,
    media_alias_sconosciuto = 263,
    media_alias_gia_aperto = 289,
    media_file_mancante = 275,
    media_file_non_valido = 296,
    media_senza_soundfont = 282,
    media_senza_dispositivo = 320,
};

// A sentence for an error code, for messages on the command line.
std::string descrizione_errore(int codice);

// The seam: the music player holds a reference to this, tests record it.
class ServizioMedia {
public:
    virtual ~ServizioMedia() = default;
    // `risposta` receives the reply (cut to `lunghezza` - 1 characters and
    // terminated); it is left untouched when the command fails.
    virtual int invia(std::string_view comando, char* risposta, std::size_t lunghezza) = 0;
};

// A form of an existing file's path with no blanks in it, which `MediaMidi`
// reads back to the same file; empty when there is no such file.
std::string percorso_corto(const std::string& lungo);

} // namespace contavoce::platform
