// SPDX-License-Identifier: GPL-3.0-or-later
// Where the launcher runs and what it runs there: the user's side as an
// interface, the program lookup, the outside programs, the cabinet's listing
// and the private folders. Nothing here shows a window; setup.h has the flow.
#pragma once

#include "setup/launcher/processo.h"

#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace contavoce::setup {

class DialogoSetup;

enum class Icona { nessuna, errore, informazione };

// How an outside program is shown; console programs have no window, so a
// hidden one is one whose output nobody sees.
enum class Mostra { nascosta = 0, normale = 1 };

// What the user sees and answers. The program uses Qt's modal dialogs; tests
// answer from a script.
class Interfaccia {
public:
    virtual ~Interfaccia() = default;
    // Runs the dialog, already started, until it ends; returns its result.
    virtual int dialogo_modale(DialogoSetup& dialogo) = 0;
    // A message box with an OK button and no owner window. Lines of `testo`
    // are separated by CR LF.
    virtual void messaggio(const QString& testo, const QString& titolo, Icona icona) = 0;
};

// Where the launcher runs.
struct Ambiente {
    Interfaccia& interfaccia;
    std::filesystem::path cartella_programma;    // its own folder, first in every lookup
    std::vector<std::filesystem::path> percorsi; // the folders of PATH, last in every lookup
    std::filesystem::path cartella_temporanea;   // where the private folders are made
};

// The lookup order: the launcher's folder, the current directory, then PATH.
std::vector<std::filesystem::path> ordine_di_ricerca(const Ambiente& ambiente);

// Where the private folders go: $TMPDIR when it names an existing folder by
// an absolute path, otherwise /tmp. Never the current directory, which is the
// installation media.
std::filesystem::path cartella_temporanea(const char* tmpdir);

// The start of the names of the private folders of the launcher with this
// process id, so that whoever cleans up after it knows which are its own.
std::string prefisso_cartella_privata(long pid);

// A fresh folder for this run only: the prefix above and an unguessable
// ending, mode 0700 (mkdtemp). Nothing if it cannot be made.
std::optional<std::filesystem::path> crea_cartella_privata(const std::filesystem::path& base);

// Removes the private folders that the launcher with this process id left in
// `base` (only real folders of this user, never through a link).
void rimuovi_cartelle_private(const std::filesystem::path& base, long pid);

// A private folder removed with all it holds when its owner goes; links in it
// are removed, never followed.
class CartellaPrivata {
public:
    explicit CartellaPrivata(std::filesystem::path percorso) : percorso_(std::move(percorso)) {}
    CartellaPrivata(const CartellaPrivata&) = delete;
    CartellaPrivata& operator=(const CartellaPrivata&) = delete;
    ~CartellaPrivata();
    const std::filesystem::path& percorso() const { return percorso_; }

private:
    std::filesystem::path percorso_;
};

// Starts `riga` (program found by the lookup), waits for its end without a
// time limit. False when it cannot be started; the result does not depend on
// how it ended. When `esito` is given it receives the exit code and, for a
// hidden program, its output; for one in a normal window, which the user
// watches, the end of its error output (still shown as it comes).
bool run_and_wait(const QString& riga, Mostra mostra, const Ambiente& ambiente,
                  EsitoProcesso* esito = nullptr);

// Has the INF installer install the section DefaultInstall of `inf`. False
// when it could not be started; how it ended goes to `esito`.
bool run_inf_install(const std::filesystem::path& inf, const Ambiente& ambiente,
                     EsitoProcesso* esito = nullptr);

// A file as the cabinet declares it, before anything is extracted.
struct VoceCabina {
    std::uint64_t byte = 0;
    std::string nome;
};

// The cabinet's files and their sizes, as the extractor lists them; nothing
// when it cannot list them (a damaged or foreign file).
std::optional<std::vector<VoceCabina>> elenca_cabina(const std::filesystem::path& cabina,
                                                     const Ambiente& ambiente);

// Removes the folder and everything in it; false at the first failure. A
// subfolder whose name begins with a dot is left, so its parent stays too.
bool remove_tree(const std::filesystem::path& cartella);

} // namespace contavoce::setup
