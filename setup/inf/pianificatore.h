// SPDX-License-Identifier: GPL-3.0-or-later
// The planner behind pianifica (piano.h), in two halves: piano.cpp checks
// names and folders and plans the file lists, piano_voci.cpp plans the menu
// entries and their commands, which name files of those lists.
#pragma once

#include "setup/inf/piano.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::inf::pianificazione {

namespace fs = std::filesystem;

// A file name as a file list or a menu entry gives it: no folder, no "..",
// no control character.
void controlla_nome(std::string_view s, const std::string& dove);

// An install location is taken as given (it may itself be a link the user
// made), but below it only real folders are followed.
void controlla_cartelle(const fs::path& base, const std::vector<std::string>& parti);

// A target must be absent or a plain file, so that the rename replaces a file
// and never a link, nor what a link points to. True when it is there.
bool controlla_bersaglio(const fs::path& p);

struct Destinazione {
    fs::path base;
    std::vector<std::string> parti;
    int dirid = 0;

    fs::path cartella() const {
        fs::path c = base;
        for (const std::string& p : parti)
            c /= p;
        return c;
    }
};

// The folder [DestinationDirs] gives `elenco` (or DefaultDestDir, when
// `anche_predefinita`), checked.
Destinazione destinazione(const TestoInf& inf, std::string_view elenco, const Luoghi& luoghi,
                          bool anche_predefinita);

struct FileElencato {
    fs::path destinazione;
    fs::path sorgente; // empty when the list is only deleted
};

class Pianificatore {
public:
    Pianificatore(const TestoInf& inf, std::string_view sezione, const fs::path& sorgenti,
                  const Luoghi& luoghi, const Presenti& presenti)
        : inf_(inf), sezione_(sezione), sorgenti_(sorgenti), luoghi_(luoghi), presenti_(presenti) {}

    Piano fai();

private:
    struct Voce {
        std::string nome;
        std::string sorgente;
    };

    // File lists (piano.cpp).
    std::vector<Voce> leggi_elenco(const std::string& elenco, Destinazione& d);
    void copia(const std::string& elenco);
    void togli(const std::string& elenco);
    void non_nostro(const fs::path& p);
    void togli_nostro(const fs::path& p, bool collegamento);
    void scrivi(FileDaScrivere f);
    void cartelle_da_togliere();

    static void aggiungi_una_volta(std::vector<fs::path>& v, const fs::path& p) {
        if (std::find(v.begin(), v.end(), p) == v.end())
            v.push_back(p);
    }

    // Menu entries and commands (piano_voci.cpp).
    struct DatiVoce {
        std::map<std::string, std::string> chiavi; // lower-case key -> value
        fs::path desktop;
        fs::path eseguibile;
        const FileElencato* icona = nullptr;
    };

    static constexpr std::string_view note[] = {"name",    "exec",       "icon",
                                                "comment", "categories", "command"};

    DatiVoce leggi_voce(const std::string& voce);
    fs::path comando(const DatiVoce& v) const;
    void aggiungi_voce(const std::string& voce);
    fs::path comando_sul_path(const fs::path& nome) const;
    void togli_voce(const std::string& voce);

    const TestoInf& inf_;
    std::string sezione_;
    fs::path sorgenti_;
    const Luoghi& luoghi_;
    const Presenti& presenti_;
    Piano piano_;
    std::set<fs::path> scritti_;
    std::map<std::string, FileElencato> elencati_; // by lower-case name
};

} // namespace contavoce::inf::pianificazione
