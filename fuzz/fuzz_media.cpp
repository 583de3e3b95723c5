// SPDX-License-Identifier: GPL-3.0-or-later
// The media command parser: the music player's strings, and in them a path
// that names a file. One command a line. The commands run in a folder of this
// run holding a few tunes; a command that could name a file elsewhere ("/" or
// its %2F form) is skipped, so opening reads only those files.
#include "platform/audio/media_midi.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace contavoce::platform;

// The music voice, pulled by hand after each command.
class Uscita final : public VoceMusicale {
public:
    std::optional<std::pair<int, int>> formato_musica() override { return std::pair{22050, 2}; }
    void imposta_musica(Musica m) override { musica = std::move(m); }
    Musica musica;
};

// A type 0 file with one note.
std::string midi_minimo() {
    const std::string traccia("\x00\x90\x3c\x40\x60\x80\x3c\x40\x00\xff\x2f\x00", 12);
    return std::string("MThd\0\0\0\x06\0\0\0\x01\0\x60MTrk\0\0\0", 21) + char(traccia.size()) +
           traccia;
}

struct Banco {
    fs::path cartella =
        fs::temp_directory_path() / ("contavoce-fuzz-media-" + std::to_string(::getpid()));
    Uscita uscita;
    // Loading the SoundFont takes long, so one service serves the whole run;
    // each input closes what it opened.
    MediaMidi media{uscita};

    Banco() {
        fs::create_directories(cartella);
        scrivi("tune.mid", midi_minimo());
        scrivi("con spazio.mid", midi_minimo());
        scrivi("100%.mid", midi_minimo());
        scrivi("rotto.mid", midi_minimo().substr(0, 25));
        scrivi("vuoto", "");
        fs::create_directories(cartella / "cartella.mid");
        fs::current_path(cartella);
    }
    ~Banco() {
        std::error_code e;
        fs::remove_all(cartella, e);
    }
    void scrivi(const char* nome, const std::string& byte) const {
        std::ofstream(cartella / nome, std::ios::binary) << byte;
    }
};

std::vector<std::string> parole(std::string_view s) {
    std::vector<std::string> r;
    std::string p;
    for (const char c : s) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!p.empty())
                r.push_back(std::move(p));
            p.clear();
        } else {
            p += c;
        }
    }
    if (!p.empty())
        r.push_back(std::move(p));
    return r;
}

bool fuori_dalla_cartella(std::string_view comando) {
    if (comando.find('/') != std::string_view::npos)
        return true;
    for (std::size_t i = 0; i + 2 < comando.size(); ++i)
        if (comando[i] == '%' && comando[i + 1] == '2' && (comando[i + 2] | 0x20) == 'f')
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Banco banco;
    std::string_view resto(reinterpret_cast<const char*>(data), size);
    std::set<std::string> aperti;
    for (int n = 0; n < 32 && !resto.empty(); ++n) {
        const auto a_capo = resto.find('\n');
        const std::string_view comando = resto.substr(0, a_capo);
        resto = a_capo == std::string_view::npos ? std::string_view{} : resto.substr(a_capo + 1);
        if (fuori_dalla_cartella(comando))
            continue;

        // A reply buffer of a length the command picks, guarded on both sides.
        std::array<char, 48> buffer;
        buffer.fill('#');
        const std::size_t lunghezza = comando.size() % 33;
        const int esito = banco.media.invia(comando, buffer.data() + 8, lunghezza);
        for (std::size_t i = 0; i < buffer.size(); ++i)
            if ((i < 8 || i >= 8 + lunghezza) && buffer[i] != '#')
                std::abort();
        if (esito == media_ok && lunghezza > 0 &&
            std::memchr(buffer.data() + 8, '\0', lunghezza) == nullptr &&
            buffer[8] != '#') // a reply was written: it must be terminated
            std::abort();
        if (descrizione_errore(esito).empty())
            std::abort();

        const auto p = parole(comando);
        if (esito == media_ok && p.size() == 6)
            aperti.insert(p[5]);
        if (banco.uscita.musica) {
            std::array<float, 128 * 2> suono{};
            banco.uscita.musica(suono.data(), 128);
        }
    }
    for (const std::string& alias : aperti)
        banco.media.invia("close " + alias, nullptr, 0);
    return 0;
}
