// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/inf/piano.h"

#include "platform/base/testo.h"
#include "setup/inf/pianificatore.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace contavoce::inf {
namespace pianificazione {
namespace {

std::string tra_virgolette(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

std::vector<std::string_view> parti_di(std::string_view s) {
    std::vector<std::string_view> parti;
    std::size_t inizio = 0;
    for (std::size_t i = 0; i <= s.size(); ++i)
        if (i == s.size() || s[i] == '/' || s[i] == '\\') {
            parti.push_back(s.substr(inizio, i - inizio));
            inizio = i + 1;
        }
    return parti;
}

bool assoluto(std::string_view s) {
    const bool unita = s.size() >= 2 && s[1] == ':' &&
                       ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
    return unita || s.starts_with('/') || s.starts_with('\\');
}

// Names and subfolders are written in Windows style (either separator), so
// both separators count when looking for a way out of the install folders.
void controlla_parti(std::string_view s, bool una_sola, const std::string& dove) {
    if (assoluto(s))
        throw ErroreInf(dove + ": " + tra_virgolette(s) +
                        " is an absolute path; only names inside the install folders are allowed");
    const auto parti = parti_di(s);
    for (const std::string_view p : parti)
        if (p == "..")
            throw ErroreInf(dove + ": " + tra_virgolette(s) +
                            " climbs out of its folder with \"..\"");
    if (una_sola && parti.size() > 1)
        throw ErroreInf(dove + ": " + tra_virgolette(s) +
                        " names a subfolder; a file list holds plain file names");
    for (const std::string_view p : parti) {
        if (p == "." || (una_sola && p.empty()))
            throw ErroreInf(dove + ": " + tra_virgolette(s) + " is not a file name");
        if (std::any_of(p.begin(), p.end(),
                        [](char c) { return (c >= 0 && c < 0x20) || c == 0x7f; }))
            throw ErroreInf(dove + ": " + tra_virgolette(s) + " holds a control character");
        if (p.size() > 200)
            throw ErroreInf(dove + ": a name longer than 200 bytes");
    }
}

std::vector<std::string> nomi_elenchi(const TestoInf& inf, const Riga& r) {
    std::vector<std::string> nomi;
    for (const std::string& n : r.campi) {
        if (n.empty())
            throw ErroreInf(inf.dove(r) + ": an empty list name");
        if (n.starts_with('@'))
            throw ErroreInf(inf.dove(r) + ": the single-file form " + n + " is not supported");
        nomi.push_back(n);
    }
    return nomi;
}

bool eseguibile(const fs::path& p) {
    using fs::perms;
    const perms x = perms::owner_exec | perms::group_exec | perms::others_exec;
    if ((fs::status(p).permissions() & x) != perms::none)
        return true;
    // Cabinets keep no Unix modes, so an unpacked program is known by its start.
    std::ifstream f(p, std::ios::binary);
    char inizio[4] = {};
    f.read(inizio, 4);
    const std::string_view letti(inizio, std::size_t(f.gcount()));
    return letti == "\177ELF" || letti.starts_with("#!");
}

} // namespace

void controlla_nome(std::string_view s, const std::string& dove) {
    controlla_parti(s, true, dove);
}

void controlla_cartelle(const fs::path& base, const std::vector<std::string>& parti) {
    fs::path p = base;
    for (const std::string& parte : parti) {
        p /= parte;
        std::error_code e;
        const auto st = fs::symlink_status(p, e);
        if (!fs::exists(st))
            return;
        if (fs::is_symlink(st))
            throw ErroreInf(p.string() + " is a symbolic link: refused");
        if (!fs::is_directory(st))
            throw ErroreInf(p.string() + " is in the way: it is not a folder");
    }
}

bool controlla_bersaglio(const fs::path& p) {
    std::error_code e;
    const auto st = fs::symlink_status(p, e);
    if (!fs::exists(st))
        return false;
    if (fs::is_symlink(st))
        throw ErroreInf(p.string() + " is a symbolic link: refused");
    if (!fs::is_regular_file(st))
        throw ErroreInf(p.string() + " is in the way: it is not a plain file");
    return true;
}

Destinazione destinazione(const TestoInf& inf, std::string_view elenco, const Luoghi& luoghi,
                          bool anche_predefinita) {
    auto righe = inf.con_chiave("DestinationDirs", elenco);
    if (righe.empty() && anche_predefinita)
        righe = inf.con_chiave("DestinationDirs", "DefaultDestDir");
    if (righe.empty())
        throw ErroreInf(inf.nome() + ": [DestinationDirs] gives no folder for " +
                        std::string(elenco) + (anche_predefinita ? " and no DefaultDestDir" : ""));
    const Riga& r = *righe.front();
    const std::string dove = inf.dove(r);
    if (r.campi.size() > 2)
        throw ErroreInf(dove + ": a destination is \"dirid[,subfolder]\"");
    Destinazione d;
    const std::string& numero = r.campi[0];
    const auto [fine, errore] =
        std::from_chars(numero.data(), numero.data() + numero.size(), d.dirid);
    if (errore != std::errc() || fine != numero.data() + numero.size())
        throw ErroreInf(dove + ": " + tra_virgolette(numero) + " is not a dirid number");
    if (d.dirid == dirid_programmi)
        d.base = luoghi.programmi;
    else if (d.dirid == dirid_menu)
        d.base = luoghi.menu;
    else if (d.dirid == dirid_dati)
        d.base = luoghi.dati;
    else
        throw ErroreInf(dove + ": dirid " + numero +
                        " is not supported (16422 programs, 16410 shared data, 16386 menu)");
    if (r.campi.size() == 2 && !r.campi[1].empty()) {
        controlla_parti(r.campi[1], false, dove);
        for (const std::string_view p : parti_di(r.campi[1]))
            if (!p.empty())
                d.parti.emplace_back(p);
    }
    controlla_cartelle(d.base, d.parti);
    return d;
}

Piano Pianificatore::fai() {
    const auto firma = inf_.valore("Version", "Signature");
    if (!firma || !(stesso_nome(*firma, "$Windows NT$") || stesso_nome(*firma, "$Chicago$")))
        throw ErroreInf(inf_.nome() +
                        ": not an INF file ([Version] needs Signature=\"$Windows NT$\")");
    if (!inf_.ha_sezione(sezione_))
        throw ErroreInf(inf_.nome() + ": there is no section [" + sezione_ + "]");

    std::vector<std::string> aggiunte, tolte;
    for (const Riga& r : inf_.righe(sezione_)) {
        const std::string dove = inf_.dove(r);
        if (!r.chiave)
            throw ErroreInf(dove + ": a line without a directive");
        const std::string& d = *r.chiave;
        if (stesso_nome(d, "CopyFiles")) {
            for (const std::string& n : nomi_elenchi(inf_, r))
                copia(n);
        } else if (stesso_nome(d, "DelFiles") || stesso_nome(d, "RemoveFiles")) {
            for (const std::string& n : nomi_elenchi(inf_, r))
                togli(n);
        } else if (stesso_nome(d, "AddMenuEntry") || stesso_nome(d, "DelMenuEntry")) {
            auto& dove_va = stesso_nome(d, "AddMenuEntry") ? aggiunte : tolte;
            for (const std::string& n : nomi_elenchi(inf_, r))
                dove_va.push_back(n);
        } else {
            throw ErroreInf(dove + ": the directive " + d +
                            " is not supported (CopyFiles, DelFiles, AddMenuEntry, "
                            "DelMenuEntry)");
        }
    }
    // Menu entries last: they name files of the lists.
    for (const std::string& n : aggiunte)
        aggiungi_voce(n);
    for (const std::string& n : tolte)
        togli_voce(n);

    cartelle_da_togliere();
    piano_.registro = presenti_.registro;
    return std::move(piano_);
}

std::vector<Pianificatore::Voce> Pianificatore::leggi_elenco(const std::string& elenco,
                                                             Destinazione& d) {
    if (!inf_.ha_sezione(elenco))
        throw ErroreInf(inf_.nome() + ": the file list [" + elenco + "] is missing");
    d = destinazione(inf_, elenco, luoghi_, true);
    aggiungi_una_volta(piano_.cartelle_liste, d.cartella());
    std::vector<Voce> voci;
    for (const Riga& riga : inf_.righe(elenco)) {
        const std::string dove = inf_.dove(riga);
        if (riga.chiave)
            throw ErroreInf(dove + ": a file list holds names, not \"key = value\" lines");
        if (riga.campi.size() > 2)
            throw ErroreInf(dove + ": a file line is \"name[,source name]\"");
        controlla_nome(riga.campi[0], dove);
        Voce v{riga.campi[0], riga.campi[0]};
        if (riga.campi.size() == 2 && !riga.campi[1].empty()) {
            controlla_nome(riga.campi[1], dove);
            v.sorgente = riga.campi[1];
        }
        voci.push_back(std::move(v));
    }
    return voci;
}

void Pianificatore::copia(const std::string& elenco) {
    Destinazione d;
    for (const Voce& v : leggi_elenco(elenco, d)) {
        const fs::path sorgente = sorgenti_ / v.sorgente;
        std::error_code e;
        const auto st = fs::symlink_status(sorgente, e);
        if (!fs::exists(st))
            throw ErroreInf("the source file " + sorgente.string() + " is missing");
        if (fs::is_symlink(st))
            throw ErroreInf("the source file " + sorgente.string() +
                            " is a symbolic link: refused");
        if (!fs::is_regular_file(st))
            throw ErroreInf("the source " + sorgente.string() + " is not a plain file");
        const fs::path destinazione = d.cartella() / v.nome;
        scrivi({destinazione, sorgente, {}, eseguibile(sorgente)});
        // A menu entry's Exec and Icon name the first list's file of that name,
        // on install as on uninstall (the icon's theme sizes share its name).
        elencati_.try_emplace(platform::minuscolo(v.nome), FileElencato{destinazione, sorgente});
    }
}

void Pianificatore::togli(const std::string& elenco) {
    Destinazione d;
    for (const Voce& v : leggi_elenco(elenco, d)) {
        const fs::path destinazione = d.cartella() / v.nome;
        if (presenti_.registro.possiede(destinazione)) {
            togli_nostro(destinazione, false);
        } else {
            non_nostro(destinazione);
        }
        elencati_.try_emplace(platform::minuscolo(v.nome), FileElencato{destinazione, {}});
    }
}

// The folders the record says this INF made, once nothing of its own is left
// in them; deepest first, so that a folder goes before its parent. Any other
// folder stays, though a file list names it: it was there before.
void Pianificatore::cartelle_da_togliere() {
    std::set<fs::path> restano; // what of ours is still there afterwards
    for (const fs::path& p : presenti_.registro.file)
        restano.insert(p);
    for (const std::vector<fs::path>* via : {&piano_.da_togliere, &piano_.dimenticati})
        for (const fs::path& p : *via)
            restano.erase(p.lexically_normal());
    for (const FileDaScrivere& f : piano_.file)
        restano.insert(f.destinazione.lexically_normal());
    for (const Collegamento& c : piano_.collegamenti)
        restano.insert(c.percorso.lexically_normal());
    for (const fs::path& c : presenti_.registro.cartelle) {
        const auto dentro = [&](const fs::path& p) {
            return std::mismatch(c.begin(), c.end(), p.begin(), p.end()).first == c.end();
        };
        if (std::none_of(restano.begin(), restano.end(), dentro))
            piano_.cartelle_vuote.push_back(c);
    }
    const auto n = [](const fs::path& p) { return std::distance(p.begin(), p.end()); };
    std::stable_sort(piano_.cartelle_vuote.begin(), piano_.cartelle_vuote.end(),
                     [&](const fs::path& a, const fs::path& b) { return n(a) > n(b); });
}

// A file to delete that the record does not list stays, whoever's it is.
void Pianificatore::non_nostro(const fs::path& p) {
    std::error_code e;
    if (fs::exists(fs::symlink_status(p, e)))
        piano_.avvisi.push_back("kept " + p.string() + ": it was not installed from " +
                                inf_.nome());
}

// A recorded file is deleted only while it is still what was put there (a
// plain file, or a link for a command) and not reached through a link.
// Anything else in its place is someone else's: it stays, and leaves the record.
void Pianificatore::togli_nostro(const fs::path& p, bool collegamento) {
    std::error_code e;
    const auto st = fs::symlink_status(p, e);
    const bool intatto =
        !fs::exists(st) || (collegamento ? fs::is_symlink(st) : fs::is_regular_file(st));
    const bool per_un_collegamento = fs::is_symlink(fs::symlink_status(p.parent_path(), e));
    if (intatto && !per_un_collegamento) {
        piano_.da_togliere.push_back(p);
        return;
    }
    piano_.dimenticati.push_back(p);
    piano_.avvisi.push_back("kept " + p.string() + ": it is no longer what was installed there");
}

void Pianificatore::scrivi(FileDaScrivere f) {
    if (!scritti_.insert(f.destinazione).second)
        throw ErroreInf(f.destinazione.string() + " would be written twice");
    // A file put among the records would make another INF the owner of anything.
    if (f.destinazione.parent_path() == cartella_registri(luoghi_))
        throw ErroreInf(f.destinazione.string() +
                        " would go among installa-inf's records of installed files: refused");
    if (controlla_bersaglio(f.destinazione) && !presenti_.registro.possiede(f.destinazione))
        throw ErroreInf(f.destinazione.string() + " already exists and was not installed from " +
                        inf_.nome() + ": it is not replaced");
    aggiungi_una_volta(piano_.cartelle, f.destinazione.parent_path());
    piano_.file.push_back(std::move(f));
}

} // namespace pianificazione

Piano pianifica(const TestoInf& inf, std::string_view sezione,
                const std::filesystem::path& sorgenti, const Luoghi& luoghi,
                const Presenti& presenti) {
    return pianificazione::Pianificatore(inf, sezione, sorgenti, luoghi, presenti).fai();
}

} // namespace contavoce::inf
