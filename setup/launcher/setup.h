// The setup launcher: finds the cabinet in the current directory, shows a
// dialog whose texts come from the cabinet's setup.inf, unpacks the cabinet
// into a working folder, has the INF installer install from the .inf file it
// holds, waits for it and removes the folder again.
//
// The outside programs: `cabextract` unpacks (in place of EXTRAC32) and
// `installa-inf` installs (in place of rundll32 setupapi.dll,InstallHinfSection).
#pragma once

#include "setup/launcher/dialogo.h"

#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace contavoce::setup {

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

// A fresh folder for this run only: a new unguessable name, mode 0700
// (mkdtemp). Nothing if it cannot be made.
std::optional<std::filesystem::path> crea_cartella_privata(const std::filesystem::path& base);

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

// What the dialog's start leaves for the rest of the run.
struct Stato {
    explicit Stato(const Ambiente& a) : ambiente(a) {}
    const Ambiente& ambiente;
    // The cabinet's pattern; once found, the name of the cabinet found first.
    std::string cabina = "*.cab";
    std::optional<CartellaPrivata> cartella_inf; // holds the extracted setup.inf
    std::optional<std::filesystem::path> setup_inf;
    QString titolo;
    QString messaggio;
    int scelta = 0;
};

enum class Evento { inizio, comando, altro };

// The dialog's handler. At the start it finds the cabinet (on failure the 0001
// message, and the dialog ends with 0 before it is shown), extracts setup.inf
// and writes the texts; the commands 1 and 2 delete setup.inf and end the
// dialog with their id. True when the event was handled.
bool setup_dialog_proc(DialogoSetup& dialogo, Stato& stato, Evento evento, int id);

// The first file in the current directory matching `stato.cabina` (case
// ignored, in listing order), as a full path; remembers its name. Nothing
// after the 0001 message.
std::optional<std::filesystem::path> find_cabinet(Stato& stato);

// The first .inf file in `cartella` as a full path; nothing after the 0002 message.
std::optional<std::filesystem::path> find_unpacked_inf(const std::filesystem::path& cartella,
                                                       const Ambiente& ambiente);

// Starts `riga` (program found by the lookup), waits for its end without a
// time limit. False when it cannot be started. The exit code goes to `uscita`
// when asked for; the result does not depend on it.
bool run_and_wait(const QString& riga, Mostra mostra, const Ambiente& ambiente,
                  int* uscita = nullptr);

// Has the INF installer install the section DefaultInstall of `inf`.
bool run_inf_install(const std::filesystem::path& inf, const Ambiente& ambiente);

// Removes the folder and everything in it; false at the first failure. A
// subfolder whose name begins with a dot is left, so its parent stays too.
bool remove_tree(const std::filesystem::path& cartella);

// The message with this code (1 to 5).
void mostra_codice(Interfaccia& interfaccia, int codice);

// The whole run: 2 when the user chooses "Annulla", 1 once the installer has
// run, 0 after a failure (messages 0001 to 0004).
int setup_main(const Ambiente& ambiente);

} // namespace contavoce::setup
