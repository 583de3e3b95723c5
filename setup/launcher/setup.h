// The setup launcher: finds the cabinet in the current directory, shows a
// dialog whose texts come from the cabinet's setup.inf, unpacks the cabinet
// into a working folder, has the INF installer install from the .inf file it
// holds, waits for it and removes the folder again.
//
// The outside programs: `cabextract` unpacks (in place of EXTRAC32) and
// `installa-inf` installs (in place of rundll32 setupapi.dll,InstallHinfSection).
#pragma once

#include "setup/launcher/dialogo.h"
#include "setup/launcher/processo.h"

#include <QString>
#include <cstdint>
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

// A setup.inf declared larger than this is taken as missing: six short keys
// never need more, and a huge one would only fill the disk and the memory.
inline constexpr std::uint64_t setup_inf_massimo = 64 * 1024;

// Removes the folder and everything in it; false at the first failure. A
// subfolder whose name begins with a dot is left, so its parent stays too.
bool remove_tree(const std::filesystem::path& cartella);

// The message with this code (1 to 5).
void mostra_codice(Interfaccia& interfaccia, int codice);

// The whole run: 2 when the user chooses "Annulla", 1 once the installer has
// installed, 0 after a failure (messages 0001 to 0004, or the installer's
// failure told in a box of the same kind).
int setup_main(const Ambiente& ambiente);

} // namespace contavoce::setup
