// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/setup.h"

#include "setup/launcher/comandi.h"
#include "setup/launcher/profilo.h"

#include <QGuiApplication>
#include <algorithm>
#include <fnmatch.h>

namespace contavoce::setup {
namespace fs = std::filesystem;
namespace {

// Paths reach command lines losslessly: a name that is not valid UTF-8 must
// come out of run_and_wait with the bytes it went in with.
QString nativo(const fs::path& p) {
    return da_byte(p);
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
QString testo_inf(const Profilo& profilo, const char* chiave, std::size_t lunghezza) {
    return QString::fromStdString(
        da_windows_1252(profilo.stringa("Version", chiave, "", lunghezza)));
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

bool c_e_posto(const fs::path& cabina, const fs::path& cartella, const Ambiente& ambiente) {
    const auto voci = elenca_cabina(cabina, ambiente);
    if (!voci)
        return true;
    // Each file takes at least its size rounded up to whole blocks.
    constexpr std::uint64_t blocco = 4096;
    std::uint64_t serve = 0;
    for (const VoceCabina& v : *voci)
        serve += (v.byte + blocco - 1) / blocco * blocco + blocco;
    std::error_code ec;
    const fs::space_info spazio = fs::space(cartella, ec);
    return !ec && serve <= spazio.available;
}

void mostra_installazione_fallita(Interfaccia& interfaccia, const EsitoProcesso& esito) {
    QString causa = QString::fromUtf8(ultima_riga(esito.ultimi_errori));
    if (causa.isEmpty())
        causa = esito.uscita < 0
                    ? QString::fromUtf8("Il programma di installazione è stato interrotto.")
                    : QString::fromUtf8("Il programma di installazione è terminato con il "
                                        "codice %1.")
                          .arg(esito.uscita);
    interfaccia.messaggio(QString::fromUtf8("L'installazione non è stata completata.\r\n") + causa,
                          "Setup error", Icona::errore);
}

} // namespace

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
        // Only a plain file is a cabinet: a FIFO so named would hang the
        // extractor, and a folder or a device is no archive.
        if (!voce->is_regular_file(ec) || !corrisponde(stato.cabina, nome.native()))
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
        // A setup.inf the cabinet declares too large, or a cabinet that
        // cannot be listed, counts as no setup.inf: empty texts.
        const auto voci = elenca_cabina(*cabina, ambiente);
        const bool accettabile =
            voci && std::none_of(voci->begin(), voci->end(), [](const VoceCabina& v) {
                return stesso_nome(v.nome, "setup.inf") && v.byte > setup_inf_massimo;
            });
        const auto cartella =
            accettabile ? crea_cartella_privata(ambiente.cartella_temporanea) : std::nullopt;
        if (cartella) {
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
        const Profilo profilo(stato.setup_inf.value_or(fs::path{}), setup_inf_massimo);
        dialogo.setWindowTitle(testo_inf(profilo, "Caption", 499));
        dialogo.imposta_testo(controllo::testo_superiore, testo_inf(profilo, "Label1", 499));
        dialogo.imposta_testo(controllo::testo_inferiore, testo_inf(profilo, "Label2", 499));
        stato.titolo = testo_inf(profilo, "Title", 49);
        stato.messaggio = testo_inf(profilo, "Message", 99);
        stato.scelta = profilo.intero("Version", "Scelta", 0);
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
    // What the cabinet declares must fit where it is unpacked: a small
    // cabinet can hold gigabytes of zeros. A cabinet that cannot be listed
    // goes on to the extractor, which tells what is wrong with it.
    if (lavoro && !c_e_posto(*cabina, *lavoro, ambiente)) {
        mostra_codice(ambiente.interfaccia, 3);
        remove_tree(*lavoro);
        return 0;
    }
    EsitoProcesso estrazione;
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
    if (estrazione.uscita != 0) {
        mostra_codice(ambiente.interfaccia, 3);
        remove_tree(*lavoro);
        return 0;
    }
    EsitoProcesso installazione;
    if (!run_inf_install(*inf, ambiente, &installazione)) {
        mostra_codice(ambiente.interfaccia, 4);
        remove_tree(*lavoro);
        return 0;
    }
    // An installer that refused or failed has installed nothing: telling the
    // user it is done (and where to find the program) would be false.
    if (installazione.uscita != 0) {
        mostra_installazione_fallita(ambiente.interfaccia, installazione);
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
