// SPDX-License-Identifier: GPL-3.0-or-later
// The INF installer's reader and planner: an INF file comes from the cabinet,
// which anyone can make. Whatever it says, reading either succeeds or refuses
// with ErroreInf, and a plan never reaches outside the install locations nor
// puts a line of its own into a menu entry. Planning only looks at the disk.
#include "setup/inf/piano.h"
#include "setup/inf/testo_inf.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace contavoce::inf;

// Sources and install locations in a folder of this run, removed at exit.
struct Banco {
    fs::path radice =
        fs::temp_directory_path() / ("contavoce-fuzz-inf-" + std::to_string(::getpid()));
    fs::path sorgenti = radice / "media";
    Luoghi luoghi{true, radice / "dati", radice / "dati/applications", radice / "dati/icons",
                  radice / "bin"};

    Banco() {
        fs::create_directories(sorgenti);
        fs::create_directories(luoghi.menu);
        scrivi("prova", std::string("\177ELF") + std::string(60, '\0'));
        scrivi("suono.wav", "RIFF");
        // The header lato_icona_png reads: a 48 x 48 PNG.
        scrivi("prova.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x30\0\0\0\x30", 24));
        scrivi("Leggimi.txt", "leggimi");
    }
    ~Banco() {
        std::error_code e;
        fs::remove_all(radice, e);
    }
    void scrivi(const char* nome, const std::string& byte) const {
        std::ofstream(sorgenti / nome, std::ios::binary) << byte;
    }
};

bool dentro(const fs::path& p, const fs::path& base) {
    const fs::path r = p.lexically_normal().lexically_relative(base);
    return !r.empty() && *r.begin() != "..";
}

void controlla(const fs::path& p, std::initializer_list<fs::path> basi) {
    for (const fs::path& b : basi)
        if (dentro(p, b))
            return;
    std::abort();
}

void controlla_piano(const Piano& piano, const Banco& b) {
    const Luoghi& l = b.luoghi;
    for (const FileDaScrivere& f : piano.file) {
        controlla(f.destinazione, {l.programmi, l.menu, l.icone});
        if (!f.sorgente.empty())
            controlla(f.sorgente, {b.sorgenti});
        // A menu entry: the lines it writes are its own, whatever the INF's texts hold.
        if (f.sorgente.empty()) {
            std::size_t inizio = 0;
            while (inizio < f.contenuto.size()) {
                const std::size_t fine = f.contenuto.find('\n', inizio);
                const std::string_view riga =
                    std::string_view(f.contenuto).substr(inizio, fine - inizio);
                static constexpr std::string_view chiavi[] = {
                    "[Desktop Entry]", "Type=", "Version=", "Name=",     "Comment=",
                    "Exec=",           "Path=", "Icon=",    "Terminal=", "Categories="};
                bool nota = false;
                for (const std::string_view c : chiavi)
                    nota = nota || riga.starts_with(c);
                if (!nota || riga.find('\r') != std::string_view::npos)
                    std::abort();
                inizio = fine == std::string::npos ? f.contenuto.size() : fine + 1;
            }
        }
    }
    for (const Collegamento& c : piano.collegamenti)
        controlla(c.percorso, {l.comandi});
    for (const fs::path& p : piano.da_togliere)
        controlla(p, {l.programmi, l.menu, l.icone, l.comandi});
    for (const fs::path& p : piano.cartelle_vuote)
        controlla(p, {l.programmi, l.menu});
    for (const fs::path& p : piano.cartelle)
        if (p != l.comandi && p != l.programmi && p != l.menu)
            controlla(p, {l.programmi, l.menu, l.icone});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Banco banco;
    const std::string_view byte(reinterpret_cast<const char*>(data), size);
    try {
        const TestoInf inf = TestoInf::da_byte(byte, "fuzz.inf");
        for (const char* s : {"Version", "Strings", "DefaultInstall", "DestinationDirs"})
            for (const Riga& r : inf.righe(s))
                if (r.campi.empty() || inf.dove(r).empty())
                    std::abort();
        inf.valore("Version", "Signature");
        for (const char* sezione : {"DefaultInstall", "DefaultUninstall"}) {
            try {
                controlla_piano(pianifica(inf, sezione, banco.sorgenti, banco.luoghi), banco);
            } catch (const ErroreInf&) {
            } catch (const fs::filesystem_error&) {
                // A path the system refuses (too long, say): installa-inf reports it.
            }
        }
    } catch (const ErroreInf&) {
    }
    return 0;
}
