#include "setup/launcher/setup.h"

#include "setup/launcher/comandi.h"
#include "setup/launcher/profilo.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <cstdlib>
#include <fnmatch.h>

namespace contavoce::setup {
namespace fs = std::filesystem;
namespace {

QString nativo(const fs::path& p) {
    return QFile::decodeName(p.c_str());
}

// A Windows file pattern ("*" and "?", case ignored) against a name. A name
// found earlier serves as the pattern of the second lookup: its "[" must not
// open a bracket expression.
bool corrisponde(const std::string& modello, const std::string& nome) {
    std::string m;
    for (const char c : modello)
        m += c == '[' ? std::string("[[]") : std::string(1, c);
    return fnmatch(m.c_str(), nome.c_str(), FNM_NOESCAPE | FNM_CASEFOLD) == 0;
}

bool stesso_nome(const fs::path& a, const fs::path& b) {
    return nativo(a).compare(nativo(b), Qt::CaseInsensitive) == 0;
}

// A profile text of setup.inf, for display.
QString testo_inf(const char* chiave, std::size_t lunghezza, const Stato& stato) {
    return QString::fromStdString(da_windows_1252(
        profilo_stringa("Version", chiave, "", lunghezza, stato.setup_inf.value_or(fs::path{}))));
}

// The wait pointer, put back when the run ends whichever way it ends.
class PuntatoreAttesa {
public:
    PuntatoreAttesa() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            attivo_ = true;
        }
    }
    PuntatoreAttesa(const PuntatoreAttesa&) = delete;
    PuntatoreAttesa& operator=(const PuntatoreAttesa&) = delete;
    ~PuntatoreAttesa() { ripristina(); }
    void ripristina() {
        if (attivo_)
            QGuiApplication::restoreOverrideCursor();
        attivo_ = false;
    }

private:
    bool attivo_ = false;
};

} // namespace

std::vector<fs::path> ordine_di_ricerca(const Ambiente& ambiente) {
    std::error_code ec;
    std::vector<fs::path> cartelle{ambiente.cartella_programma, fs::current_path(ec)};
    cartelle.insert(cartelle.end(), ambiente.percorsi.begin(), ambiente.percorsi.end());
    return cartelle;
}

std::optional<fs::path> crea_cartella_privata(const fs::path& base) {
    std::string modello = (base / "contavoce-setup-XXXXXX").native();
    if (mkdtemp(modello.data()) == nullptr)
        return std::nullopt;
    return fs::path(modello);
}

CartellaPrivata::~CartellaPrivata() {
    std::error_code ec;
    fs::remove_all(percorso_, ec);
}

void mostra_codice(Interfaccia& interfaccia, int codice) {
    const QString numero = QString("%1").arg(codice, 4, 10, QChar(u'0'));
    if (codice <= 2) {
        interfaccia.messaggio("Installazione annullata\r\nMancano dei files necessari "
                              "all'installazione (code: " +
                                  numero + ")",
                              "Setup", Icona::errore);
        return;
    }
    const QString testo = QString::fromUtf8("Il programma di setup ha riscontrato un problema e "
                                            "sarà terminato. (code: ") +
                          numero + ")";
    if (codice == 5)
        interfaccia.messaggio(testo, "Setup", Icona::nessuna);
    else
        interfaccia.messaggio(testo, "Setup error", Icona::errore);
}

std::optional<fs::path> find_cabinet(Stato& stato) {
    std::error_code ec;
    fs::directory_iterator voce(fs::current_path(ec), ec);
    for (; !ec && voce != fs::directory_iterator(); voce.increment(ec)) {
        const fs::path nome = voce->path().filename();
        if (voce->is_directory(ec) || !corrisponde(stato.cabina, nome.native()))
            continue;
        // The full path comes from the program lookup, as SearchPath gives it.
        auto percorso = cerca_percorso(nome, ordine_di_ricerca(stato.ambiente));
        if (percorso)
            stato.cabina = nome.native();
        else
            mostra_codice(stato.ambiente.interfaccia, 1);
        return percorso;
    }
    mostra_codice(stato.ambiente.interfaccia, 1);
    return std::nullopt;
}

std::optional<fs::path> find_unpacked_inf(const fs::path& cartella, const Ambiente& ambiente) {
    // The first in name order, as the original platform's file system lists
    // them: the package's own .inf ("contavoce.inf") comes before "setup.inf",
    // which the cabinet holds too. Linux lists in an arbitrary order.
    std::optional<fs::path> primo;
    std::error_code ec;
    fs::directory_iterator voce(cartella, ec);
    for (; !ec && voce != fs::directory_iterator(); voce.increment(ec)) {
        const fs::path nome = voce->path().filename();
        if (voce->is_directory(ec) || !corrisponde("*.inf", nome.native()))
            continue;
        if (!primo || nativo(nome).compare(nativo(*primo), Qt::CaseInsensitive) < 0)
            primo = nome;
    }
    if (primo)
        if (auto percorso = cerca_percorso(cartella / *primo, {}))
            return percorso;
    mostra_codice(ambiente.interfaccia, 2);
    return std::nullopt;
}

bool run_and_wait(const QString& riga, Mostra mostra, const Ambiente& ambiente, int* uscita) {
    QStringList argomenti = dividi_riga_di_comando(riga);
    if (argomenti.isEmpty())
        return false;
    const auto programma = cerca_percorso(QFile::encodeName(argomenti.takeFirst()).toStdString(),
                                          ordine_di_ricerca(ambiente));
    if (!programma)
        return false;
    QProcess processo;
    processo.setProgram(nativo(*programma));
    processo.setArguments(argomenti);
    processo.setInputChannelMode(QProcess::ForwardedInputChannel);
    if (mostra == Mostra::nascosta) {
        processo.setStandardOutputFile(QProcess::nullDevice());
        processo.setStandardErrorFile(QProcess::nullDevice());
    } else {
        processo.setProcessChannelMode(QProcess::ForwardedChannels);
    }
    processo.start();
    if (!processo.waitForStarted(-1))
        return false;
    processo.waitForFinished(-1);
    if (uscita)
        *uscita = processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1;
    return true;
}

bool run_inf_install(const fs::path& inf, const Ambiente& ambiente) {
    // Mode 132: the files come from the .inf file's folder (128), ask before a
    // restart (4). rundll32 hands the installer the rest of the line as one
    // string; installa-inf gets separate arguments, so the path is quoted to
    // stay whole.
    return run_and_wait("installa-inf DefaultInstall 132 " + tra_virgolette(nativo(inf)),
                        Mostra::normale, ambiente);
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

bool setup_dialog_proc(DialogoSetup& dialogo, Stato& stato, Evento evento, int id) {
    const Ambiente& ambiente = stato.ambiente;
    switch (evento) {
    case Evento::inizio: {
        const auto cabina = find_cabinet(stato);
        if (!cabina) {
            dialogo.termina(0);
            return true;
        }
        // Design decision: setup.inf is extracted into a private folder of its
        // own, not the current directory, so no file the user had there is
        // overwritten and then deleted; the folder goes with setup.inf.
        if (const auto cartella = crea_cartella_privata(ambiente.cartella_temporanea)) {
            stato.cartella_inf.emplace(*cartella);
            // Not checked: without setup.inf the texts are empty.
            run_and_wait("cabextract -q -F setup.inf -d " + tra_virgolette(nativo(*cartella)) +
                             " " + tra_virgolette(nativo(*cabina)),
                         Mostra::nascosta, ambiente);
            // The cabinet may spell the name in capitals; the file system the
            // original ran on ignored case.
            std::error_code ec;
            fs::directory_iterator voce(*cartella, ec);
            for (; !ec && voce != fs::directory_iterator(); voce.increment(ec))
                if (stesso_nome(voce->path().filename(), "setup.inf"))
                    stato.setup_inf = cerca_percorso(voce->path().filename(), {*cartella});
        }
        dialogo.setWindowTitle(testo_inf("Caption", 499, stato));
        dialogo.imposta_testo(controllo::testo_superiore, testo_inf("Label1", 499, stato));
        dialogo.imposta_testo(controllo::testo_inferiore, testo_inf("Label2", 499, stato));
        stato.titolo = testo_inf("Title", 49, stato);
        stato.messaggio = testo_inf("Message", 99, stato);
        stato.scelta = profilo_intero("Version", "Scelta", 0, stato.setup_inf.value_or(fs::path{}));
        return true;
    }
    case Evento::comando:
        if (id == controllo::installa || id == controllo::annulla) {
            if (stato.setup_inf) {
                std::error_code ec;
                fs::remove(*stato.setup_inf, ec);
                stato.setup_inf.reset();
            }
            stato.cartella_inf.reset();
            dialogo.termina(id);
        }
        return true;
    case Evento::altro:
        break;
    }
    return false;
}

int setup_main(const Ambiente& ambiente) {
    Stato stato(ambiente);
    int scelta = 0;
    {
        DialogoSetup dialogo([&stato](DialogoSetup& d, int id) {
            setup_dialog_proc(d, stato, Evento::comando, id);
        });
        setup_dialog_proc(dialogo, stato, Evento::inizio, 0);
        // Ended at its start (no cabinet, 0001 shown): never shown at all.
        if (dialogo.terminato() && dialogo.result() == 0)
            return 0;
        scelta = ambiente.interfaccia.dialogo_modale(dialogo);
    }
    if (scelta == controllo::annulla)
        return 2;

    PuntatoreAttesa attesa;
    const auto cabina = find_cabinet(stato);
    if (!cabina)
        return 0;
    // Design decision: the working folder is a fresh private folder for each
    // run (in place of the fixed "C:\~Zoru\"): in a fixed place that everyone
    // can write, another user could plant files or links for the installer.
    const auto lavoro = crea_cartella_privata(ambiente.cartella_temporanea);
    int estrazione = 0;
    if (!lavoro || !run_and_wait("cabextract -q -d " + tra_virgolette(nativo(*lavoro)) + " " +
                                     tra_virgolette(nativo(*cabina)),
                                 Mostra::normale, ambiente, &estrazione)) {
        mostra_codice(ambiente.interfaccia, 3);
        // The folder exists before the extractor runs here, so it goes too.
        if (lavoro)
            remove_tree(*lavoro);
        return 0;
    }
    const auto inf = find_unpacked_inf(*lavoro, ambiente);
    if (!inf) {
        remove_tree(*lavoro);
        return 0;
    }
    // A damaged cabinet still leaves files behind (cabextract reports the bad
    // checksums and exits 1); installing them would put a broken program in
    // place without a word, so a failed extraction stops here.
    if (estrazione != 0) {
        mostra_codice(ambiente.interfaccia, 3);
        remove_tree(*lavoro);
        return 0;
    }
    if (!run_inf_install(*inf, ambiente)) {
        mostra_codice(ambiente.interfaccia, 4);
        remove_tree(*lavoro);
        return 0;
    }
    if (!remove_tree(*lavoro))
        mostra_codice(ambiente.interfaccia, 5);
    attesa.ripristina();
    if (stato.scelta == 1)
        ambiente.interfaccia.messaggio(stato.messaggio, stato.titolo, Icona::informazione);
    return 1;
}

} // namespace contavoce::setup
