// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/comando_lezione.h"

#include "cli/messaggi.h"
#include "cli/scrittura.h"
#include "esercizi/lezione.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <string>

namespace contavoce::cli {
namespace {

int uso() {
    errore(Cli::tr("usage: lezione --classe C --livello N --tipi T[,T...] [--domande N] "
                   "[--seme N] [--titolo TEXT] [--grafia originale|scolastica] [--sovrascrivi] "
                   "FILE"));
    return 2;
}

// Digits alone, within 64 bits.
std::optional<std::uint64_t> intero(std::string_view testo) {
    if (testo.empty() ||
        !std::all_of(testo.begin(), testo.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t n = 0;
    const auto [fine, e] = std::from_chars(testo.data(), testo.data() + testo.size(), n);
    if (e != std::errc() || fine != testo.data() + testo.size())
        return std::nullopt;
    return n;
}

std::string_view senza_blanchi(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "ascolta,lettere" in order, each kind once; nothing for anything else.
std::optional<std::vector<Tipo>> tipi_chiesti(std::string_view testo) {
    std::vector<Tipo> scelti;
    for (;;) {
        const std::size_t virgola = testo.find(',');
        const auto t = tipo_da_chiave(senza_blanchi(testo.substr(0, virgola)));
        if (!t || std::find(scelti.begin(), scelti.end(), *t) != scelti.end())
            return std::nullopt;
        scelti.push_back(*t);
        if (virgola == std::string_view::npos)
            return scelti;
        testo.remove_prefix(virgola + 1);
    }
}

} // namespace

int comando_lezione(const std::vector<std::string_view>& args) {
    Lezione lezione;
    bool classe = false, livello = false, tipi_dati = false, sovrascrivi = false;
    std::optional<std::uint64_t> seme;
    std::string file;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view o = args[i];
        if (!o.starts_with("--")) {
            if (!file.empty())
                return uso();
            file = o;
            continue;
        }
        if (o == "--sovrascrivi") {
            sovrascrivi = true;
            continue;
        }
        if (i + 1 == args.size())
            return uso();
        const std::string_view valore = args[++i];
        if (o == "--classe") {
            const auto c = classe_da_nome(valore);
            if (!c) {
                errore(Cli::tr("--classe wants prima, seconda, terza, quarta or quinta, not "
                               "\"%1\"")
                           .arg(citato(valore)));
                return 2;
            }
            lezione.classe = *c;
            classe = true;
        } else if (o == "--livello") {
            const auto n = intero(valore);
            if (!n || *n < 1 || *n > std::uint64_t(n_livelli)) {
                errore(Cli::tr("--livello wants 1, 2 or 3, not \"%1\"").arg(citato(valore)));
                return 2;
            }
            lezione.livello = int(*n);
            livello = true;
        } else if (o == "--tipi") {
            const auto t = tipi_chiesti(valore);
            if (!t) {
                errore(Cli::tr("--tipi wants kinds among ascolta, cifre, lettere, valore, "
                               "componi, prima-dopo and confronta, each once and separated by "
                               "commas, not \"%1\"")
                           .arg(citato(valore)));
                return 2;
            }
            lezione.tipi = *t;
            tipi_dati = true;
        } else if (o == "--domande") {
            const auto n = intero(valore);
            if (!n || *n < domande_minime || *n > domande_massime) {
                errore(Cli::tr("--domande wants from %1 to %2 questions, not \"%3\"")
                           .arg(domande_minime)
                           .arg(domande_massime)
                           .arg(citato(valore)));
                return 2;
            }
            lezione.domande = std::size_t(*n);
        } else if (o == "--seme") {
            seme = intero(valore);
            if (!seme) {
                errore(Cli::tr("--seme wants a whole number from 0 to 18446744073709551615, "
                               "not \"%1\"")
                           .arg(citato(valore)));
                return 2;
            }
        } else if (o == "--titolo") {
            lezione.titolo = senza_blanchi(valore);
        } else if (o == "--grafia") {
            if (valore != "originale" && valore != "scolastica") {
                errore(Cli::tr("--grafia wants originale or scolastica, not \"%1\"")
                           .arg(citato(valore)));
                return 2;
            }
            lezione.grafia = valore == "originale" ? Grafia::originale : Grafia::scolastica;
        } else {
            errore(Cli::tr("unknown option \"%1\"").arg(citato(o)));
            return uso();
        }
    }
    if (file.empty())
        return uso();
    if (!classe || !livello || !tipi_dati) {
        errore(Cli::tr("a lesson needs --classe, --livello and --tipi"));
        return uso();
    }
    // Everything else was checked above: what is left is the title.
    if (controlla_lezione(lezione)) {
        errore(Cli::tr("--titolo wants a line of text of up to %1 characters, not \"%2\"")
                   .arg(max_titolo)
                   .arg(citato(lezione.titolo)));
        return 2;
    }
    // A lesson given to a class is not replaced by mistake; a device or a
    // pipe is written to as it is.
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status stato = fs::symlink_status(file, ec);
    const fs::file_status dietro = fs::status(file, ec);
    if (!sovrascrivi && fs::exists(stato) && !fs::is_character_file(dietro) &&
        !fs::is_block_file(dietro) && !fs::is_fifo(dietro) && !fs::is_socket(dietro)) {
        errore(Cli::tr("\"%1\" already exists: --sovrascrivi replaces it").arg(citato(file)));
        return 2;
    }
    const bool estratto = !seme;
    // Drawn within 32 bits: a number a teacher can read out or copy by hand.
    lezione.seme = seme ? *seme : std::random_device{}();
    const std::string testo = scrivi_lezione(lezione);
    FileScritto scritto(file);
    if (!scritto.apri() || !scritto.scrivi({testo.data(), testo.size()}) || !scritto.completa()) {
        errore(Cli::tr("cannot write \"%1\": %2").arg(citato(file), scritto.errore()));
        return 1;
    }
    if (estratto)
        std::cout << Cli::tr("seed %1, drawn: --seme %1 writes the same lesson again")
                         .arg(lezione.seme)
                         .toStdString()
                  << '\n';
    return 0;
}

} // namespace contavoce::cli
