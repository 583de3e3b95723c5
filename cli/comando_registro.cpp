// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/comando_registro.h"

#include "cli/messaggi.h"
#include "cli/modulo_scheda.h"
#include "cli/scrittura.h"
#include "registro/registro.h"

#include <QBuffer>
#include <QDateTime>
#include <QLocale>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>

namespace contavoce::cli {
namespace {

namespace reg = contavoce::registro;

int uso() {
    errore(Cli::tr("usage: registro [--cartella DIR] [--csv FILE] [--pdf FILE] | "
                   "registro [--cartella DIR] --cancella NAME | "
                   "registro [--cartella DIR] --cancella-tutto [--si]"));
    return 2;
}

struct Opzioni {
    std::string cartella, csv, pdf, cancella;
    bool cancella_tutto = false, si = false;
};

std::optional<Opzioni> leggi_opzioni(const std::vector<std::string_view>& args) {
    Opzioni o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--cancella-tutto") {
            o.cancella_tutto = true;
            continue;
        }
        if (a == "--si") {
            o.si = true;
            continue;
        }
        std::string* valore = a == "--cartella"   ? &o.cartella
                              : a == "--csv"      ? &o.csv
                              : a == "--pdf"      ? &o.pdf
                              : a == "--cancella" ? &o.cancella
                                                  : nullptr;
        if (!valore) {
            errore(Cli::tr("unknown option \"%1\"").arg(citato(a)));
            return std::nullopt;
        }
        if (i + 1 == args.size() || args[i + 1].empty()) {
            errore(Cli::tr("%1 wants a value").arg(da_utf8(a)));
            return std::nullopt;
        }
        *valore = args[++i];
    }
    const bool mostra = !o.csv.empty() || !o.pdf.empty();
    if ((!o.cancella.empty() + o.cancella_tutto + mostra) > 1 || (o.si && !o.cancella_tutto))
        return std::nullopt;
    return o;
}

QString da(const std::string& s) {
    return QString::fromStdString(s);
}

QString percento(std::size_t giuste, std::size_t totale) {
    return QString::number(totale ? (giuste * 100 + totale / 2) / totale : 0);
}

// The table for the terminal, child after child.
int tabella(reg::Registro& r) {
    const auto bambini = r.bambini();
    if (!bambini) {
        errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
        return 1;
    }
    QString t;
    QTextStream out(&t);
    if (bambini->empty())
        out << Cli::tr("The register is empty: nobody has practised yet.") << '\n';
    for (const reg::Bambino& b : *bambini) {
        const auto giri = r.giri(b.id);
        const auto conteggi = r.conteggi(b.id);
        const auto sbagliati = r.piu_sbagliati(b.id, std::nullopt, 5);
        const auto ultima = r.ultima_volta(b.id);
        if (!giri || !conteggi || !sbagliati || !ultima) {
            errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
            return 1;
        }
        out << da(b.nome) << '\n';
        out << "  "
            << Cli::tr("rounds: %1, last practised: %2")
                   .arg(giri->size())
                   .arg(ultima->empty() ? Cli::tr("never") : da(ultima->substr(0, 16)))
            << '\n';
        if (!conteggi->empty()) {
            out << "  " << Cli::tr("class year").leftJustified(12)
                << Cli::tr("level").leftJustified(8) << Cli::tr("kind").leftJustified(28)
                << Cli::tr("right") << '\n';
            for (const reg::Conteggio& c : *conteggi)
                out << "  " << QString(nome_classe(c.classe)).leftJustified(12)
                    << QString::number(c.livello).leftJustified(8)
                    << QString::fromUtf8(nome_tipo(c.tipo)).leftJustified(28)
                    << Cli::tr("%1 of %2 (%3%)")
                           .arg(c.giuste)
                           .arg(c.totale)
                           .arg(percento(c.giuste, c.totale))
                    << '\n';
        }
        QStringList numeri;
        for (const reg::NumeroSbagliato& s : *sbagliati)
            numeri << (s.volte == 1 ? Cli::tr("%1 (once)").arg(da(s.numero))
                                    : Cli::tr("%1 (%2 times)").arg(da(s.numero)).arg(s.volte));
        out << "  "
            << Cli::tr("missed most often: %1")
                   .arg(numeri.isEmpty() ? Cli::tr("none") : numeri.join(", "))
            << "\n\n";
    }
    out.flush();
    std::cout << t.toStdString();
    std::cout.flush();
    if (!std::cout) {
        errore(Cli::tr("could not write the output"));
        return 1;
    }
    return 0;
}

// A field as RFC 4180 wants it; text a spreadsheet would take for a formula
// (=, +, -, @ first) gets a leading apostrophe, so that a typed answer stays text.
QString campo(const QString& valore, QChar separatore, bool testo_libero) {
    QString v = valore;
    if (testo_libero && !v.isEmpty() && QString("=+-@").contains(v.front()))
        v.prepend('\'');
    if (v.contains(separatore) || v.contains('"') || v.contains('\n') || v.contains('\r')) {
        v.replace("\"", "\"\"");
        v = '"' + v + '"';
    }
    return v;
}

bool scrivi_file(const std::string& nome, const QByteArray& byte) {
    FileScritto file(nome);
    if (!file.apri() || !file.scrivi({byte.constData(), std::size_t(byte.size())}) ||
        !file.completa()) {
        errore(Cli::tr("cannot write \"%1\": %2").arg(citato(nome), file.errore()));
        return false;
    }
    return true;
}

// Every answer, the separator and decimal mark of the user's locale (";" and
// "," where the decimal mark is a comma, as Italian spreadsheets read them),
// UTF-8 with the byte-order mark spreadsheets need to read accents right.
int csv(reg::Registro& r, const std::string& nome) {
    const auto righe = r.risposte();
    if (!righe) {
        errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
        return 1;
    }
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const QChar separatore = locale.decimalPoint() == "," ? ';' : ',';
    QString t;
    const auto riga = [&](const QStringList& campi, int liberi_da = 99) {
        for (int i = 0; i < campi.size(); ++i) {
            if (i > 0)
                t += separatore;
            t += campo(campi[i], separatore, i >= liberi_da);
        }
        t += "\r\n";
    };
    riga({Cli::tr("when"), Cli::tr("child"), Cli::tr("class year"), Cli::tr("level"),
          Cli::tr("kind"), Cli::tr("lesson"), Cli::tr("round"), Cli::tr("question"),
          Cli::tr("number"), Cli::tr("question shown"), Cli::tr("expected answer"),
          Cli::tr("answer given"), Cli::tr("right"), Cli::tr("try"), Cli::tr("seconds")});
    for (const reg::RigaRisposta& x : *righe) {
        // The child's name and what was typed are free text (from 1 on; 0 is a date).
        QStringList campi = {da(x.quando),
                             da(x.bambino),
                             da(x.classe),
                             QString::number(x.livello),
                             da(x.tipo),
                             da(x.lezione),
                             QString::number(x.giro),
                             QString::number(x.domanda + 1),
                             da(x.numero),
                             da(x.testo),
                             da(x.attesa),
                             da(x.data),
                             x.giusta ? "1" : "0",
                             QString::number(x.tentativo),
                             locale.toString(x.secondi, 'f', 1)};
        riga(campi, 1);
    }
    return scrivi_file(nome, "\xEF\xBB\xBF" + t.toUtf8()) ? 0 : 1;
}

int pdf(reg::Registro& r, const std::string& nome, Stampante* stampante) {
    if (!stampante)
        return 1;
    const auto bambini = r.bambini();
    if (!bambini) {
        errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
        return 1;
    }
    Rapporto rapporto;
    rapporto.data = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm").toStdString();
    // class year -> child -> kind -> right, total
    std::map<Classe, std::vector<BarraRapporto>> per_classe;
    for (const reg::Bambino& b : *bambini) {
        const auto conteggi = r.conteggi(b.id);
        if (!conteggi) {
            errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
            return 1;
        }
        std::map<std::pair<Classe, Tipo>, std::pair<std::size_t, std::size_t>> somme;
        for (const reg::Conteggio& c : *conteggi) {
            auto& s = somme[{c.classe, c.tipo}];
            s.first += c.giuste;
            s.second += c.totale;
        }
        for (const auto& [chiave, s] : somme)
            per_classe[chiave.first].push_back(
                {b.nome, nome_tipo(chiave.second), s.first, s.second});
    }
    for (auto& [classe, barre] : per_classe) {
        const auto difficili = r.piu_sbagliati(0, classe, 10);
        if (!difficili) {
            errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
            return 1;
        }
        PaginaRapporto pagina{nome_classe(classe), std::move(barre), {}};
        for (const reg::NumeroSbagliato& s : *difficili)
            pagina.difficili.emplace_back(s.numero, s.volte);
        rapporto.pagine.push_back(std::move(pagina));
    }
    if (rapporto.pagine.empty()) {
        errore(Cli::tr("the register holds no answers yet: no report written"));
        return 1;
    }
    QBuffer disegnato;
    disegnato.open(QIODevice::WriteOnly);
    if (!stampante->scrivi_rapporto_pdf(rapporto, disegnato)) {
        errore(Cli::tr("cannot draw the report"));
        return 1;
    }
    return scrivi_file(nome, disegnato.data()) ? 0 : 1;
}

QString tolti(const reg::Rimossi& r) {
    return (r.giri == 1 ? Cli::tr("1 round") : Cli::tr("%1 rounds").arg(r.giri)) + ", " +
           (r.risposte == 1 ? Cli::tr("1 answer") : Cli::tr("%1 answers").arg(r.risposte));
}

int cancella(reg::Registro& r, const Opzioni& o) {
    std::optional<reg::Rimossi> fatto;
    if (!o.cancella.empty()) {
        const auto b = r.trova_bambino(o.cancella);
        if (!b) {
            if (!r.errore().empty())
                errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
            else
                errore(Cli::tr("there is no child named \"%1\" in the register")
                           .arg(citato(o.cancella)));
            return r.errore().empty() ? 2 : 1;
        }
        fatto = r.rimuovi_bambino(b->id);
        if (fatto)
            std::cout << Cli::tr("Removed %1: %2.").arg(da(b->nome), tolti(*fatto)).toStdString()
                      << '\n';
    } else {
        const auto bambini = r.bambini();
        if (!bambini) {
            errore(Cli::tr("cannot read the register: %1").arg(da(r.errore())));
            return 1;
        }
        if (!o.si) {
            if (!::isatty(STDIN_FILENO)) {
                errore(Cli::tr("--cancella-tutto removes every child: add --si to confirm it"));
                return 2;
            }
            std::cerr << Cli::tr("Remove all the children (%1) and all their answers? [y/N] ")
                             .arg(bambini->size())
                             .toStdString()
                      << std::flush;
            std::string risposta;
            std::getline(std::cin, risposta);
            const QString detta = da(risposta).trimmed().toLower();
            if (detta.isEmpty() || !Cli::tr("yes").startsWith(detta)) {
                std::cout << Cli::tr("Nothing removed.").toStdString() << '\n';
                return 1;
            }
        }
        fatto = r.rimuovi_tutti();
        if (fatto)
            std::cout << Cli::tr("Removed every child (%1): %2.")
                             .arg(fatto->bambini)
                             .arg(tolti(*fatto))
                             .toStdString()
                      << '\n';
    }
    if (!fatto) {
        errore(Cli::tr("cannot remove: %1").arg(da(r.errore())));
        return 1;
    }
    if (!fatto->ripulito)
        std::cout << Cli::tr("A practice window has the register open: the last traces leave "
                             "the file when it closes.")
                         .toStdString()
                  << '\n';
    return 0;
}

} // namespace

bool registro_vuole_pdf(const std::vector<std::string_view>& args) {
    for (const std::string_view a : args)
        if (a == "--pdf")
            return true;
    return false;
}

int comando_registro(const std::vector<std::string_view>& args, Stampante* stampante) {
    const auto o = leggi_opzioni(args);
    if (!o)
        return uso();
    const std::filesystem::path cartella =
        o->cartella.empty() ? reg::cartella_registro() : std::filesystem::path(o->cartella);
    // A register nobody has started yet is not made here: it is empty.
    std::error_code ec;
    if (!std::filesystem::exists(cartella / reg::nome_file_registro, ec)) {
        if (!o->cancella.empty()) {
            errore(
                Cli::tr("there is no child named \"%1\" in the register").arg(citato(o->cancella)));
            return 2;
        }
        if (o->cancella_tutto) {
            std::cout << Cli::tr("The register is empty: nothing to remove.").toStdString() << '\n';
            return 0;
        }
        if (o->csv.empty() && o->pdf.empty()) {
            std::cout << Cli::tr("The register is empty: nobody has practised yet.").toStdString()
                      << '\n';
            return 0;
        }
        errore(Cli::tr("there is no register in %1: nothing to write").arg(da(cartella.string())));
        return 1;
    }
    reg::Registro r = reg::Registro::apri(cartella);
    if (r.avviso())
        errore(da(*r.avviso()) + " (" + da(r.errore()) + ")");
    if (!o->cancella.empty() || o->cancella_tutto)
        return cancella(r, *o);
    if (o->csv.empty() && o->pdf.empty())
        return tabella(r);
    int stato = 0;
    if (!o->csv.empty())
        stato = std::max(stato, csv(r, o->csv));
    if (!o->pdf.empty())
        stato = std::max(stato, pdf(r, o->pdf, stampante));
    return stato;
}

} // namespace contavoce::cli
