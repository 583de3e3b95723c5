// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/comando_scheda.h"

#include "cli/input.h"
#include "cli/messaggi.h"
#include "cli/modulo_scheda.h"
#include "cli/scrittura.h"
#include "cli/voce.h"
#include "esercizi/esercizi.h"

#include <QBuffer>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <string>

namespace contavoce::cli {
namespace {

constexpr int max_esercizi = 1000;
constexpr int max_file = 4;

int uso() {
    errore(Cli::tr("usage: scheda [--classe prima|seconda|terza|quarta|quinta] [--livello 1|2|3] "
                   "[--cifre N] [--zeri PERCENT] [--da N] [--a N] [--esercizi KIND:N,...] "
                   "[--quanti N] [--file N] [--seme N] [--titolo TEXT] "
                   "[--grafia scolastica|originale] [--lettura virgola|posti] "
                   "[--soluzioni FILE.pdf] [--audio DIR] FILE.pdf"));
    return 2;
}

// A number option's value, grouped as people write it; nothing when refused
// (the message is out).
std::optional<std::uint64_t> numero(std::string_view opzione, std::string_view valore) {
    const auto letto = leggi_numero(valore);
    if (letto.errore) {
        rifiutato(da_utf8(opzione) + ": ", valore, letto);
        return std::nullopt;
    }
    std::uint64_t n = 0;
    std::from_chars(letto.cifre.data(), letto.cifre.data() + letto.cifre.size(), n);
    return n;
}

// "lettere:4,confronta:3"; nothing when refused (the message is out).
std::optional<std::vector<std::pair<Esercizio, std::size_t>>> esercizi(std::string_view valore) {
    std::vector<std::pair<Esercizio, std::size_t>> scelti;
    while (!valore.empty()) {
        const std::size_t virgola = valore.find(',');
        const std::string_view voce = valore.substr(0, virgola);
        valore = virgola == std::string_view::npos ? "" : valore.substr(virgola + 1);
        const std::size_t due_punti = voce.find(':');
        const auto tipo = esercizio_da_chiave(voce.substr(0, due_punti));
        if (!tipo) {
            QStringList tipi;
            for (std::size_t i = 0; i < n_esercizi; ++i)
                tipi << chiave_esercizio(Esercizio(i));
            errore(Cli::tr("--esercizi: \"%1\" is not a kind of exercise; the kinds are %2")
                       .arg(citato(voce.substr(0, due_punti)), tipi.join(", ")));
            return std::nullopt;
        }
        std::size_t n = 0;
        if (due_punti != std::string_view::npos) {
            const std::string_view cifre = voce.substr(due_punti + 1);
            const auto [fine, ec] = std::from_chars(cifre.data(), cifre.data() + cifre.size(), n);
            if (ec != std::errc{} || fine != cifre.data() + cifre.size() || n == 0 ||
                n > std::size_t(max_esercizi)) {
                errore(Cli::tr("--esercizi: \"%1\" wants a count from 1 to %2 after the colon")
                           .arg(citato(voce))
                           .arg(max_esercizi));
                return std::nullopt;
            }
        } else {
            n = 4;
        }
        scelti.emplace_back(*tipo, n);
    }
    if (scelti.empty()) {
        errore(Cli::tr("--esercizi wants KIND:N,KIND:N..."));
        return std::nullopt;
    }
    return scelti;
}

// The percent of --zeri: "30", "30%", or a share "0,3" / "0.3".
std::optional<int> percentuale(std::string_view valore) {
    std::string t(valore);
    if (t.ends_with('%'))
        t.pop_back();
    for (char& c : t)
        if (c == ',')
            c = '.';
    double x = 0;
    const auto [fine, ec] = std::from_chars(t.data(), t.data() + t.size(), x);
    if (ec == std::errc{} && fine == t.data() + t.size() && !t.empty()) {
        if (t.find('.') != std::string::npos && !valore.ends_with('%'))
            x *= 100;
        if (x >= 0 && x <= 100)
            return int(std::lround(x));
    }
    errore(Cli::tr("--zeri wants a percent from 0 to 100 (30, 30%) or a share (0,3), not \"%1\"")
               .arg(citato(valore)));
    return std::nullopt;
}

// A different seed for each fila, from the sheet's: the same sheet's file
// come back together with its seed.
std::uint64_t seme_di_fila(std::uint64_t seme, std::size_t fila) {
    std::uint64_t z = seme + 0x9E3779B97F4A7C15ULL * (fila + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A file name with "-A", "-soluzioni" before its ".pdf".
std::string con_aggiunta(const std::string& pdf, const std::string& aggiunta) {
    if (pdf.size() > 4 && pdf.ends_with(".pdf"))
        return pdf.substr(0, pdf.size() - 4) + aggiunta + ".pdf";
    return pdf + aggiunta;
}

// A word of the command line as a shell reads it back.
std::string per_la_shell(std::string_view s) {
    if (!s.empty() && s.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789-_.,:/%+=") == std::string_view::npos)
        return std::string(s);
    std::string q = "'";
    for (const char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

int comando_scheda(const std::vector<std::string_view>& args, Stampante* stampante) {
    Richiesta r;
    std::uint64_t quanti = r.quanti, file = 1;
    bool classe_data = false, livello_dato = false, quanti_dato = false;
    std::optional<std::uint64_t> seme;
    std::string pdf;
    std::optional<std::string> audio, soluzioni;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view o = args[i];
        if (!o.starts_with("--")) {
            if (!pdf.empty())
                return uso();
            pdf = o;
            continue;
        }
        if (i + 1 == args.size())
            return uso();
        const std::string_view valore = args[++i];
        std::optional<std::uint64_t> n;
        if (o == "--titolo") {
            r.titolo = valore;
        } else if (o == "--grafia") {
            if (valore != "originale" && valore != "scolastica") {
                errore(Cli::tr("--grafia wants originale or scolastica, not \"%1\"")
                           .arg(citato(valore)));
                return 2;
            }
            r.grafia = valore == "originale" ? Grafia::originale : Grafia::scolastica;
        } else if (o == "--lettura") {
            if (valore != "virgola" && valore != "posti") {
                errore(Cli::tr("--lettura wants virgola or posti, not \"%1\"").arg(citato(valore)));
                return 2;
            }
            r.lettura = valore == "virgola" ? Lettura::virgola : Lettura::posti;
        } else if (o == "--classe") {
            const auto classe = classe_da_nome(valore);
            if (!classe) {
                errore(Cli::tr("--classe wants prima, seconda, terza, quarta or quinta, not \"%1\"")
                           .arg(citato(valore)));
                return 2;
            }
            r.classe = *classe;
            classe_data = true;
        } else if (o == "--livello") {
            if (valore.size() != 1 || valore[0] < '1' || valore[0] > '3') {
                errore(Cli::tr("--livello wants 1, 2 or 3, not \"%1\"").arg(citato(valore)));
                return 2;
            }
            r.livello = valore[0] - '0';
            livello_dato = true;
        } else if (o == "--zeri") {
            r.zeri = percentuale(valore);
            if (!r.zeri)
                return 2;
        } else if (o == "--esercizi") {
            auto scelti = esercizi(valore);
            if (!scelti)
                return 2;
            r.esercizi = std::move(*scelti);
        } else if (o == "--audio" || o == "--soluzioni") {
            if (!nome_dato(o, valore))
                return uso();
            (o == "--audio" ? audio : soluzioni) = std::string(valore);
        } else if (o == "--da" || o == "--a" || o == "--quanti" || o == "--seme" ||
                   o == "--cifre" || o == "--file") {
            n = numero(o, valore);
            if (!n)
                return 2;
            if (o == "--da")
                r.da = *n;
            else if (o == "--a")
                r.a = *n;
            else if (o == "--quanti")
                quanti = *n, quanti_dato = true;
            else if (o == "--seme")
                seme = *n;
            else if (o == "--file")
                file = *n;
            else
                r.cifre = int(std::min<std::uint64_t>(*n, 99));
        } else {
            errore(Cli::tr("unknown option \"%1\"").arg(citato(o)));
            return uso();
        }
    }
    if (pdf.empty())
        return uso();
    if (!classe_data && !livello_dato && !r.da && !r.a && !r.cifre)
        r.classe = Classe::terza, r.livello = 2; // thousands, a third with zeros inside
    const std::uint64_t da = r.da.value_or(1), a = r.a.value_or(999'999);
    if ((r.da || r.a) && (da == 0 || da > a || a > 999'999'999'999ULL)) {
        errore(Cli::tr("the numbers are drawn from --da to --a, with 1 <= --da <= --a"));
        return 2;
    }
    if ((r.da || r.a) && r.cifre) {
        errore(Cli::tr("--cifre and --da/--a both give the range: one of them"));
        return 2;
    }
    if (r.cifre && (*r.cifre < 1 || *r.cifre > 12)) {
        errore(Cli::tr("--cifre wants from 1 to 12 digits"));
        return 2;
    }
    if (quanti == 0 || quanti > max_esercizi) {
        errore(Cli::tr("--quanti wants from 1 to %1 exercises").arg(max_esercizi));
        return 2;
    }
    if (quanti_dato && !r.esercizi.empty()) {
        errore(Cli::tr("--quanti and --esercizi both give how many exercises: one of them"));
        return 2;
    }
    if (file == 0 || file > max_file) {
        errore(Cli::tr("--file wants from 1 to %1 versions").arg(max_file));
        return 2;
    }
    r.quanti = quanti;
    std::size_t totale = 0;
    bool dettato = false;
    for (const auto& [tipo, n] : r.esercizi) {
        totale += n;
        dettato = dettato || tipo == Esercizio::dettato;
        if (tipo == Esercizio::decimali && r.classe != Classe::quarta &&
            r.classe != Classe::quinta) {
            errore(Cli::tr("decimali are for --classe quarta or quinta"));
            return 2;
        }
    }
    if (totale > std::size_t(max_esercizi)) {
        errore(Cli::tr("--esercizi asks for %1 exercises; a sheet holds up to %2")
                   .arg(totale)
                   .arg(max_esercizi));
        return 2;
    }
    if (audio && !dettato) {
        errore(Cli::tr("--audio says the dictation: ask for it with --esercizi dettato:N"));
        return 2;
    }
    const std::size_t voluti = numeri_voluti(r);
    if ((r.da || r.a) && voluti > a - da + 1) {
        errore(Cli::tr("there are only %1 different numbers from %2 to %3, not %4")
                   .arg(a - da + 1)
                   .arg(da)
                   .arg(a)
                   .arg(voluti));
        return 2;
    }
    if (!stampante)
        return 1;
    if (!seme)
        seme = seme_casuale();

    // What the key names, and the command line that makes the same sheet again.
    const Livello livello = livello_di(r);
    std::vector<std::string> note;
    std::string comando = "contavoce-cli scheda --classe " + std::string(nome_classe(r.classe));
    if (r.da || r.a) {
        note.push_back("Numeri da " + std::to_string(da) + " a " + std::to_string(a));
        comando += " --da " + std::to_string(da) + " --a " + std::to_string(a);
    } else if (r.cifre) {
        note.push_back("Numeri di " + std::to_string(*r.cifre) + " cifre");
        comando += " --cifre " + std::to_string(*r.cifre);
    } else {
        note.push_back("Classe " + std::string(nome_classe(r.classe)) + ", livello " +
                       std::to_string(r.livello) + " (" + livello.descrizione + ")");
        comando += " --livello " + std::to_string(r.livello);
    }
    if (r.zeri) {
        note.push_back("Numeri con zeri dentro: almeno il " + std::to_string(*r.zeri) + "%");
        comando += " --zeri " + std::to_string(*r.zeri);
    }
    const auto mix = r.esercizi.empty() ? esercizi_della_classe(r.classe, r.quanti) : r.esercizi;
    std::string elenco;
    for (const auto& [tipo, n] : mix)
        elenco += (elenco.empty() ? "" : ",") + std::string(chiave_esercizio(tipo)) + ':' +
                  std::to_string(n);
    note.push_back("Esercizi " + elenco);
    comando += " --esercizi " + elenco;
    const char* grafia = r.grafia == Grafia::scolastica ? "scolastica" : "originale";
    const char* lettura = r.lettura == Lettura::virgola ? "virgola" : "posti";
    note.push_back(std::string("Grafia ") + grafia + ", lettura " + lettura);
    comando += std::string(" --grafia ") + grafia + " --lettura " + lettura;
    if (file > 1)
        comando += " --file " + std::to_string(file);
    comando += " --seme " + std::to_string(*seme) + " --titolo " + per_la_shell(r.titolo);
    if (soluzioni)
        comando += " --soluzioni " + per_la_shell(*soluzioni);
    if (audio)
        comando += " --audio " + per_la_shell(*audio);
    comando += ' ' + per_la_shell(pdf);

    struct Fila {
        Scheda scheda;
        std::string pdf, chiave;
        std::optional<std::string> audio;
    };
    std::vector<Fila> file_;
    for (std::size_t f = 0; f < file; ++f) {
        Richiesta di_fila = r;
        if (file > 1)
            di_fila.fila = std::string(1, char('A' + f));
        di_fila.seme = file > 1 ? seme_di_fila(*seme, f) : *seme;
        Fila fila{prepara_scheda(di_fila), {}, {}, {}};
        const std::string aggiunta = file > 1 ? "-" + di_fila.fila : "";
        fila.pdf = con_aggiunta(pdf, aggiunta);
        fila.chiave = soluzioni ? con_aggiunta(*soluzioni, aggiunta)
                                : con_aggiunta(pdf, aggiunta + "-soluzioni");
        fila.scheda.note = note;
        fila.scheda.note.insert(
            fila.scheda.note.begin(),
            "Seme " + std::to_string(*seme) +
                (file > 1 ? ", fila " + di_fila.fila + " di " + std::to_string(file) : ""));
        fila.scheda.note.push_back("Per rifarla: " + comando);
        if (audio)
            fila.audio = file > 1 ? *audio + aggiunta : *audio;
        if (fila.pdf == fila.chiave) {
            errore(Cli::tr("the sheet and its key would both be \"%1\"").arg(citato(fila.pdf)));
            return 2;
        }
        file_.push_back(std::move(fila));
    }
    // The dictations' folders are checked before any sheet is printed, so
    // that a folder refused leaves no sheet without its dictation.
    for (const Fila& f : file_)
        if (f.audio && !cartella_per_dettato(*f.audio))
            return 2;

    // Every file drawn in memory and written aside first (the PDF writer does
    // not look at what its writes return), and put in place only once all of
    // them are written: a full disk leaves neither a sheet without its key
    // nor a key without its sheet.
    std::vector<std::unique_ptr<FileScritto>> scritti;
    for (const Fila& f : file_)
        for (const bool chiave : {false, true}) {
            QBuffer disegnato;
            disegnato.open(QIODevice::WriteOnly);
            if (!stampante->scrivi_pdf(f.scheda, chiave, disegnato)) {
                errore(Cli::tr("cannot draw the worksheet"));
                return 1;
            }
            const std::string& nome = chiave ? f.chiave : f.pdf;
            auto& scritto = scritti.emplace_back(std::make_unique<FileScritto>(nome));
            const QByteArray& byte = disegnato.data();
            if (!scritto->apri() ||
                !scritto->scrivi({byte.constData(), std::size_t(byte.size())})) {
                errore(Cli::tr("cannot write \"%1\": %2").arg(citato(nome), scritto->errore()));
                return 1;
            }
        }
    std::size_t k = 0;
    for (const Fila& f : file_)
        for (const std::string* nome : {&f.pdf, &f.chiave}) {
            FileScritto& scritto = *scritti[k++];
            if (!scritto.completa()) {
                errore(Cli::tr("cannot write \"%1\": %2").arg(citato(*nome), scritto.errore()));
                return 1;
            }
        }
    for (const Fila& f : file_) {
        if (!f.audio)
            continue;
        const int esito = scrivi_dettato(f.scheda.dettato, f.scheda.lettura, *f.audio);
        if (esito != 0)
            return esito;
    }
    return 0;
}

} // namespace contavoce::cli
