// SPDX-License-Identifier: GPL-3.0-or-later
// The menu entries and their commands, the second half of pianifica (pianificatore.h).
#include "platform/base/testo.h"
#include "setup/inf/pianificatore.h"
#include "setup/inf/voce_menu.h"

#include <unistd.h>

namespace contavoce::inf::pianificazione {

Pianificatore::DatiVoce Pianificatore::leggi_voce(const std::string& voce) {
    if (!inf_.ha_sezione(voce))
        throw ErroreInf(inf_.nome() + ": the menu entry [" + voce + "] is missing");
    DatiVoce v;
    for (const Riga& r : inf_.righe(voce)) {
        const std::string dove = inf_.dove(r);
        if (!r.chiave || std::find(std::begin(note), std::end(note),
                                   platform::minuscolo(*r.chiave)) == std::end(note))
            throw ErroreInf(dove + ": a menu entry has the keys Name, Exec, Icon, Comment, "
                                   "Categories and Command");
        if (r.campi.size() != 1)
            throw ErroreInf(dove + ": a comma outside quotes");
        if (!v.chiavi.emplace(platform::minuscolo(*r.chiave), r.campi[0]).second)
            throw ErroreInf(dove + ": " + *r.chiave + " is given twice");
    }
    for (const std::string_view chiave : note)
        v.chiavi[std::string(chiave)]; // a missing key reads as empty
    const std::string dove = inf_.nome() + ": [" + voce + "]";
    for (const char* obbligatoria : {"name", "exec"})
        if (v.chiavi[obbligatoria].empty())
            throw ErroreInf(dove + " needs Name and Exec");
    for (const char* nome : {"exec", "icon", "command"})
        if (!v.chiavi[nome].empty())
            controlla_nome(v.chiavi[nome], dove);
    std::string& categorie = v.chiavi["categories"];
    if (!std::all_of(categorie.begin(), categorie.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '-' || c == '_' || c == ';';
        }))
        throw ErroreInf(dove + ": Categories holds names separated by ';'");
    if (!categorie.empty() && !categorie.ends_with(';'))
        categorie += ';';

    const Destinazione d = destinazione(inf_, voce, luoghi_, false);
    if (d.dirid != dirid_menu)
        throw ErroreInf(dove + " is a menu entry: its [DestinationDirs] dirid must be 16386");
    v.desktop = d.cartella() / (fs::path(v.chiavi["exec"]).stem().string() + ".desktop");
    controlla_bersaglio(v.desktop);
    aggiungi_una_volta(piano_.voci_menu, v.desktop);

    const auto del_elenco = [&](const char* chiave) -> const FileElencato* {
        const auto f = elencati_.find(platform::minuscolo(v.chiavi[chiave]));
        if (f == elencati_.end())
            throw ErroreInf(dove + ": " + v.chiavi[chiave] + " is in no file list of [" + sezione_ +
                            "]");
        return &f->second;
    };
    v.eseguibile = del_elenco("exec")->destinazione;
    if (!v.chiavi["icon"].empty())
        v.icona = del_elenco("icon");
    return v;
}

fs::path Pianificatore::comando(const DatiVoce& v) const {
    const std::string& nome = v.chiavi.at("command");
    return nome.empty() ? fs::path() : luoghi_.comandi / nome;
}

void Pianificatore::aggiungi_voce(const std::string& voce) {
    const DatiVoce v = leggi_voce(voce);
    for (FileDaScrivere& f : piano_.file)
        if (f.destinazione == v.eseguibile)
            f.eseguibile = true;
    VoceMenu m{
        v.chiavi.at("name"), v.chiavi.at("comment"), v.chiavi.at("categories"), v.eseguibile, {}};
    if (v.icona) {
        if (v.icona->sorgente.empty())
            throw ErroreInf(inf_.nome() + ": [" + voce + "]: the icon is not copied");
        const std::string lato = std::to_string(lato_icona_png(v.icona->sorgente));
        const std::vector<std::string> parti = {"hicolor", lato + "x" + lato, "apps"};
        controlla_cartelle(luoghi_.icone, parti);
        m.icona = luoghi_.icone / parti[0] / parti[1] / parti[2] / v.icona->destinazione.filename();
        scrivi({m.icona, v.icona->sorgente, {}, false});
    }
    scrivi({v.desktop, {}, testo_desktop(m), false});

    const fs::path c = comando(v);
    if (c.empty())
        return;
    std::error_code e;
    const auto st = fs::symlink_status(c, e);
    if (fs::exists(st) && !(fs::is_symlink(st) && presenti_.registro.possiede(c))) {
        piano_.avvisi.push_back(c.string() +
                                " already exists and is not ours: left as it is, so the "
                                "command is not made");
        return;
    }
    if (const fs::path altro = comando_sul_path(c.filename()); !altro.empty()) {
        piano_.avvisi.push_back(altro.string() +
                                " is already a command of that name: it would be hidden, so "
                                "the command " +
                                c.string() + " is not made");
        return;
    }
    aggiungi_una_volta(piano_.cartelle, luoghi_.comandi);
    piano_.collegamenti.push_back({c, v.eseguibile});
}

// The command of that name that a shell would find, other than in our own
// commands folder; empty when there is none.
fs::path Pianificatore::comando_sul_path(const fs::path& nome) const {
    std::error_code e;
    for (const fs::path& cartella : presenti_.cerca_comandi) {
        if (cartella == luoghi_.comandi || fs::equivalent(cartella, luoghi_.comandi, e))
            continue;
        const fs::path p = cartella / nome;
        if (::access(p.c_str(), X_OK) == 0 && !fs::is_directory(p, e) &&
            !presenti_.nel_sistema.contains(p.lexically_normal()))
            return p;
    }
    return {};
}

void Pianificatore::togli_voce(const std::string& voce) {
    const DatiVoce v = leggi_voce(voce);
    if (presenti_.registro.possiede(v.desktop))
        togli_nostro(v.desktop, false);
    else
        non_nostro(v.desktop);
    if (v.icona) {
        // Whichever size folder of the theme it went into.
        const fs::path tema = luoghi_.icone / "hicolor";
        controlla_cartelle(luoghi_.icone, {"hicolor"});
        for (const fs::path& p : presenti_.registro.file) {
            const fs::path apps = p.parent_path();
            if (p.filename() == v.icona->destinazione.filename() && apps.filename() == "apps" &&
                apps.parent_path().parent_path() == tema) {
                std::error_code e;
                if (fs::is_symlink(fs::symlink_status(apps.parent_path(), e)))
                    piano_.dimenticati.push_back(p);
                else
                    togli_nostro(p, false);
            }
        }
    }
    const fs::path c = comando(v);
    if (c.empty())
        return;
    if (presenti_.registro.possiede(c))
        togli_nostro(c, true);
    else
        non_nostro(c);
}

} // namespace contavoce::inf::pianificazione
