// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/ambiente.h"

#include "platform/base/testo.h"
#include "setup/launcher/comandi.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace contavoce::setup {
namespace fs = std::filesystem;

std::vector<fs::path> ordine_di_ricerca(const Ambiente& ambiente) {
    std::error_code ec;
    std::vector<fs::path> cartelle{ambiente.cartella_programma, fs::current_path(ec)};
    cartelle.insert(cartelle.end(), ambiente.percorsi.begin(), ambiente.percorsi.end());
    return cartelle;
}

fs::path cartella_temporanea(const char* tmpdir) {
    std::error_code ec;
    if (tmpdir != nullptr) {
        const fs::path p(tmpdir);
        if (p.is_absolute() && fs::is_directory(p, ec))
            return p;
    }
    return "/tmp";
}

std::string prefisso_cartella_privata(long pid) {
    return "contavoce-setup-" + std::to_string(pid) + "-";
}

std::optional<fs::path> crea_cartella_privata(const fs::path& base) {
    if (base.empty())
        return std::nullopt;
    std::string modello = (base / (prefisso_cartella_privata(getpid()) + "XXXXXX")).native();
    if (mkdtemp(modello.data()) == nullptr)
        return std::nullopt;
    return fs::path(modello);
}

void rimuovi_cartelle_private(const fs::path& base, long pid) {
    const std::string prefisso = prefisso_cartella_privata(pid);
    std::error_code ec;
    std::vector<fs::path> sue;
    fs::directory_iterator voce(base, ec);
    for (; !ec && voce != fs::directory_iterator(); voce.increment(ec)) {
        struct stat info {};
        const fs::path p = voce->path();
        if (p.filename().native().starts_with(prefisso) && lstat(p.c_str(), &info) == 0 &&
            S_ISDIR(info.st_mode) && info.st_uid == getuid())
            sue.push_back(p);
    }
    for (const fs::path& p : sue)
        fs::remove_all(p, ec); // removes links, never follows them
}

CartellaPrivata::~CartellaPrivata() {
    std::error_code ec;
    fs::remove_all(percorso_, ec);
}

bool run_and_wait(const QString& riga, Mostra mostra, const Ambiente& ambiente,
                  EsitoProcesso* esito) {
    QStringList argomenti = dividi_riga_di_comando(riga);
    if (argomenti.isEmpty())
        return false;
    const auto programma =
        cerca_percorso(in_byte(argomenti.takeFirst()), ordine_di_ricerca(ambiente));
    if (!programma)
        return false;
    std::vector<std::string> argv{programma->native()};
    for (const QString& a : argomenti)
        argv.push_back(in_byte(a));
    const bool nascosta = mostra == Mostra::nascosta;
    const bool raccogli = esito != nullptr;
    const EsitoProcesso e = esegui_processo(
        *programma, argv,
        nascosta ? (raccogli ? Canale::raccolto : Canale::scartato) : Canale::ereditato,
        nascosta ? Canale::scartato : (raccogli ? Canale::raccolto : Canale::ereditato));
    if (esito)
        *esito = e;
    return e.avviato;
}

bool run_inf_install(const fs::path& inf, const Ambiente& ambiente, EsitoProcesso* esito) {
    // Mode 132: the files come from the .inf file's folder (128), ask before a
    // restart (4). rundll32 hands the installer the rest of the line as one
    // string; installa-inf gets separate arguments, so the path is quoted to
    // stay whole.
    return run_and_wait("installa-inf DefaultInstall 132 " + tra_virgolette(da_byte(inf)),
                        Mostra::normale, ambiente, esito);
}

std::optional<std::vector<VoceCabina>> elenca_cabina(const fs::path& cabina,
                                                     const Ambiente& ambiente) {
    // cabextract -l prints a line "  size | date time | name" for each file.
    EsitoProcesso esito;
    if (!run_and_wait("cabextract -l " + tra_virgolette(da_byte(cabina)), Mostra::nascosta,
                      ambiente, &esito) ||
        esito.uscita != 0)
        return std::nullopt;
    std::vector<VoceCabina> voci;
    std::string_view resto = esito.output;
    while (!resto.empty()) {
        const auto a_capo = resto.find('\n');
        const std::string_view riga = resto.substr(0, a_capo);
        resto = a_capo == std::string_view::npos ? std::string_view{} : resto.substr(a_capo + 1);
        const auto prima = riga.find(" | ");
        const auto seconda = prima == std::string_view::npos ? prima : riga.find(" | ", prima + 3);
        if (seconda == std::string_view::npos)
            continue;
        const std::string_view cifre = platform::senza_blanchi_in_testa(riga.substr(0, prima), " ");
        if (cifre.empty() || cifre.find_first_not_of("0123456789") != std::string_view::npos)
            continue; // the heading
        VoceCabina voce;
        for (const char c : cifre)
            voce.byte = voce.byte * 10 + std::uint64_t(c - '0');
        voce.nome = std::string(riga.substr(seconda + 3));
        voci.push_back(std::move(voce));
    }
    return voci;
}

bool remove_tree(const fs::path& cartella) {
    std::error_code ec;
    // Design decision: a link is removed as a link and never followed, so that
    // nothing outside the working folder can be deleted through it.
    if (fs::is_symlink(fs::symlink_status(cartella, ec)))
        return fs::remove(cartella, ec);
    fs::directory_iterator voce(cartella, ec);
    if (ec)
        return false;
    for (; !ec && voce != fs::directory_iterator(); voce.increment(ec)) {
        const fs::path percorso = voce->path();
        const bool link = voce->is_symlink(ec);
        if (!link && voce->is_directory(ec)) {
            // Skipping every dot-name is how "." and ".." are skipped; a real
            // folder named so stays, and with it the folder being removed.
            if (percorso.filename().native().starts_with('.'))
                continue;
            if (!remove_tree(percorso))
                return false;
        } else if (!fs::remove(percorso, ec)) {
            return false;
        }
    }
    if (ec)
        return false;
    return fs::remove(cartella, ec);
}

} // namespace contavoce::setup
