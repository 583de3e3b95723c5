// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/comando_scheda.h"

#include "cli/input.h"
#include "cli/messaggi.h"
#include "cli/modulo_scheda.h"
#include "cli/scrittura.h"
#include "cli/voce.h"

#include <QBuffer>
#include <charconv>
#include <optional>
#include <random>
#include <string>

namespace contavoce::cli {
namespace {

constexpr int max_esercizi = 1000;

int uso() {
    errore(Cli::tr("usage: scheda [--da N] [--a N] [--quanti N] [--seme N] [--titolo TEXT] "
                   "[--grafia originale|scolastica] [--audio DIR] FILE.pdf"));
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

} // namespace

int comando_scheda(const std::vector<std::string_view>& args, Stampante* stampante) {
    std::uint64_t da = 1, a = 999'999, quanti = 12;
    std::optional<std::uint64_t> seme;
    std::string titolo = "Scrivere i numeri", pdf;
    std::optional<std::string> audio;
    Grafia grafia = Grafia::originale;
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
            titolo = valore;
        } else if (o == "--grafia") {
            if (valore != "originale" && valore != "scolastica") {
                errore(Cli::tr("--grafia wants originale or scolastica, not \"%1\"")
                           .arg(citato(valore)));
                return 2;
            }
            grafia = valore == "originale" ? Grafia::originale : Grafia::scolastica;
        } else if (o == "--audio") {
            if (!nome_dato(o, valore))
                return uso();
            audio = valore;
        } else if (o == "--da" || o == "--a" || o == "--quanti" || o == "--seme") {
            n = numero(o, valore);
            if (!n)
                return 2;
            (o == "--da" ? da : o == "--a" ? a : o == "--quanti" ? quanti : seme.emplace()) = *n;
        } else {
            errore(Cli::tr("unknown option \"%1\"").arg(citato(o)));
            return uso();
        }
    }
    if (pdf.empty())
        return uso();
    if (da == 0 || da > a) {
        errore(Cli::tr("the numbers are drawn from --da to --a, with 1 <= --da <= --a"));
        return 2;
    }
    if (quanti == 0 || quanti > max_esercizi) {
        errore(Cli::tr("--quanti wants from 1 to %1 exercises").arg(max_esercizi));
        return 2;
    }
    if (quanti > a - da + 1) {
        errore(Cli::tr("there are only %1 different numbers from %2 to %3, not %4")
                   .arg(a - da + 1)
                   .arg(da)
                   .arg(a)
                   .arg(quanti));
        return 2;
    }
    if (!stampante)
        return 1;
    if (!seme)
        seme = std::random_device{}();

    // The dictation's folder is checked before the sheet is printed, so that
    // a folder refused leaves no sheet without its dictation.
    if (audio && !cartella_per_dettato(*audio))
        return 2;

    const Scheda scheda = prepara_scheda(da, a, int(quanti), *seme, titolo, grafia);
    // Drawn in memory first: the PDF writer does not look at what its writes return.
    QBuffer disegnato;
    disegnato.open(QIODevice::WriteOnly);
    if (!stampante->scrivi_pdf(scheda, disegnato)) {
        errore(Cli::tr("cannot draw the worksheet"));
        return 1;
    }
    FileScritto file(pdf);
    const QByteArray& byte = disegnato.data();
    if (!file.apri() || !file.scrivi({byte.constData(), std::size_t(byte.size())}) ||
        !file.completa()) {
        errore(Cli::tr("cannot write \"%1\": %2").arg(citato(pdf), file.errore()));
        return 1;
    }
    if (!audio)
        return 0;
    std::vector<Decimale> numeri;
    for (const Voce& v : scheda.voci)
        numeri.push_back({v.cifre, {}});
    return scrivi_dettato(numeri, Lettura::virgola, *audio);
}

} // namespace contavoce::cli
