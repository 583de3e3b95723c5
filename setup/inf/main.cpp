// SPDX-License-Identifier: GPL-3.0-or-later
// installa-inf: installs one section of an INF file, standing in for
// "rundll32.exe setupapi.dll,InstallHinfSection SECTION MODE INF" on Linux.
#include "setup/inf/esecuzione.h"
#include "setup/inf/luoghi.h"
#include "setup/inf/piano.h"
#include "setup/inf/registro.h"
#include "setup/inf/testo_inf.h"

#include <charconv>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::string_view aiuto = R"(Usage: installa-inf SECTION MODE INF_FILE
       installa-inf --help | --version

Installs the section SECTION (DefaultInstall, or DefaultUninstall to remove)
of INF_FILE, as Windows' InstallHinfSection does. MODE must hold 128: the
files are taken from the INF file's own folder (132 = 128 + 4 is the usual).

Where it installs: for a user, under $XDG_DATA_HOME (~/.local/share) with the
menu entry in its applications folder and a command in ~/.local/bin; as root,
in /opt with the menu entry, icon and command under /usr/local.
CONTAVOCE_INSTALL_ROOT=user or =system chooses, whoever runs it.

What it installed from each INF is listed in installa-inf/<INF name>.list
under $XDG_DATA_HOME, or in /var/lib/installa-inf as root. It never replaces
nor deletes a file that list does not name; a command that would hide
another of the same name on the PATH is not made.

Exit status: 0 done, 1 not done (the reason is on standard error; nothing
was written), 2 bad usage.
)";

// 128: the source is the INF's folder; 1, 2 and 4 only say how to ask about a
// restart, which this installer never needs.
bool modo_valido(std::string_view testo) {
    int modo = 0;
    const auto [fine, errore] = std::from_chars(testo.data(), testo.data() + testo.size(), modo);
    return errore == std::errc() && fine == testo.data() + testo.size() && (modo & 128) != 0 &&
           (modo & ~(128 | 7)) == 0;
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    namespace inf = contavoce::inf;
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << aiuto;
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "installa-inf " CONTAVOCE_VERSION "\n";
        return 0;
    }
    if (argc != 4) {
        std::cerr << "installa-inf: usage: installa-inf SECTION MODE INF_FILE\n";
        return 2;
    }
    const std::string sezione = argv[1];
    if (!modo_valido(argv[2])) {
        std::cerr << "installa-inf: mode \"" << argv[2]
                  << "\" is not supported: it must hold 128 (files in the INF's folder), "
                     "e.g. 132\n";
        return 2;
    }
    try {
        const fs::path percorso = fs::absolute(argv[3]);
        const inf::TestoInf testo = inf::TestoInf::leggi(percorso);
        const auto ambiente = [](const char* nome) -> std::optional<std::string> {
            const char* v = std::getenv(nome);
            return v ? std::optional<std::string>(v) : std::nullopt;
        };
        const inf::Luoghi luoghi = inf::luoghi_da_ambiente(ambiente, ::geteuid() == 0);
        inf::Presenti presenti;
        presenti.registro =
            inf::leggi_registro(inf::percorso_registro(inf::cartella_registri(luoghi), percorso));
        presenti.cerca_comandi = inf::cartelle_comandi(ambiente);
        if (luoghi.per_utente) {
            try {
                presenti.nel_sistema =
                    inf::leggi_registro(
                        inf::percorso_registro(inf::cartella_registri_sistema, percorso))
                        .file;
            } catch (const inf::ErroreInf&) {
                // Unreadable: its command is taken for somebody else's.
            }
        }
        const inf::Piano piano =
            inf::pianifica(testo, sezione, percorso.parent_path(), luoghi, presenti);
        for (const std::string& a : piano.avvisi)
            std::cerr << "installa-inf: note: " << a << '\n';
        const inf::Esito esito = inf::esegui(piano);
        for (const std::string& n : esito.note)
            std::cerr << "installa-inf: note: " << n << '\n';

        std::cout << "installa-inf: [" << sezione << "] of " << percorso.filename().string()
                  << " done (" << (luoghi.per_utente ? "this user" : "system-wide")
                  << "): " << esito.scritti << " files written, " << esito.tolti << " removed";
        for (const fs::path& c : piano.cartelle_liste)
            std::cout << "; folder " << c.string();
        for (const fs::path& v : piano.voci_menu)
            std::cout << "; menu entry " << v.string();
        std::cout << '\n';
        return 0;
    } catch (const std::exception& e) {
        // One line, the last: whoever started the installer (the setup
        // launcher) shows the user its last line as the reason.
        std::cerr << "installa-inf: [" << sezione << "] not done: " << e.what() << '\n';
    }
    return 1;
}
