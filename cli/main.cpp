// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli: Contavoce's number speller and speaker for the command line.
#include "cli/comando_lezione.h"
#include "cli/comando_registro.h"
#include "cli/comando_scheda.h"
#include "cli/input.h"
#include "cli/messaggi.h"
#include "cli/modulo_scheda.h"
#include "cli/voce.h"
#include "platform/base/file.h"
#include "speech/clip_list.h"
#include "speech/decimale_detto.h"
#include "spelling/decimale.h"

#include <QTranslator>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace cli = contavoce::cli;
using cli::Cli;

QString aiuto() {
    return Cli::tr(R"(Usage: contavoce-cli COMMAND [OPTIONS] [NUMBER...]

Writes numbers of up to twelve digits, and decimal numbers to the
thousandths, the way Contavoce does.

Commands:
  words NUMBER...   the number in Italian words, one number per line
                    (2304 -> duemilatrecentoquattro). Options:
      --grafia originale   Contavoce's own spelling, one word (the default):
                           23000003 -> ventitremilionitre
      --grafia scolastica  the spelling taught in school: a final -tré
                           accented, milione and miliardo as words of
                           their own, zero for 0:
                           23000003 -> ventitré milioni tre
      --lettura virgola    a decimal read with the comma (the default):
                           3,05 -> tre virgola zero cinque
      --lettura posti      a decimal read by places:
                           3,05 -> tre unità e cinque centesimi
  format NUMBER...  the number grouped by thousands (2304 -> 2.304,
                    1234,567 -> 1.234,567)
  clips NUMBER...   the speech clips that say the number, in playing order
                    (2304 -> va2.wav va_mila.wav va3.wav va100.wav va4.wav);
                    a decimal in the reading --lettura picks, as for words
  say NUMBER...     says the numbers through the sound device, 0.8 s apart;
                    a decimal in the reading --lettura picks, as for words
  say NUMBER... --wav FILE
                    writes what would be heard to FILE (16-bit WAV, 44.1 kHz
                    stereo) instead of playing it
  say NUMBER... --wav-dir DIR
                    one WAV file per number in DIR, named by its digits
                    without the dots (DIR/2304.wav, DIR/1234,5.wav)
  scheda [OPTIONS] FILE.pdf
                    a printable A4 worksheet for a class year, with a name
                    and date line, and its answer key apart in
                    FILE-soluzioni.pdf: the key names the seed, the class
                    year, the level and the options, and the command line
                    that makes the same sheet again. Options:
      --classe C      prima, seconda, terza, quarta or quinta (terza)
      --livello L     1, 2 or 3: the numbers of the practice's level (2)
      --cifre N       numbers of exactly N digits (1 to 12) instead
      --da N --a N    numbers from N to N instead (1 to 999.999)
      --zeri P        at least P percent of the numbers with a zero
                      between their digits (3.045): 30, 30% or 0,3; by
                      default what the level asks
      --esercizi KIND:N,...
                      which exercises and how many of each; the kinds:
                      lettere (write in words), cifre (write in digits),
                      raggruppa (group by thousands), dettato (numbered
                      blank lines; the numbers are in the key only),
                      scomponi (2.304 = 2 uk + 3 h + 4 u), componi,
                      valore (the place and worth of the underlined digit),
                      confronta (<, >, =), prima-dopo, ordina (five numbers
                      from the smallest to the largest), decimali (quarta
                      and quinta). By default a mix for the class year
      --quanti N      how many exercises in the class year's mix (12)
      --file N        N versions (1 to 4) with different numbers of the
                      same difficulty, fila A, B...: FILE-A.pdf with
                      FILE-A-soluzioni.pdf, FILE-B.pdf...
      --seme N        the same N draws the same sheet again
      --titolo TEXT   the sheet's title
      --soluzioni FILE.pdf
                      the key's file name instead of FILE-soluzioni.pdf
      --grafia G      the words in spelling G: scolastica (the default)
                      or originale (as for words)
      --lettura R     decimals read with the virgola (the default) or
                      by posti (as for words)
      --audio DIR     the dictation (with dettato), into a new or empty
                      folder: DIR/01.wav, 02.wav... in the order of its
                      lines say "Numero 1", the number, a pause, the
                      number again; DIR/dettato.wav all of them (with
                      --file, DIR-A, DIR-B...)
  registro [OPTIONS]
                    the children's progress in the practice, for the
                    teacher: a table per child (rounds, right answers per
                    kind and level, the numbers missed most often, the last
                    time practised). Options:
      --csv FILE      every answer, for a spreadsheet: ";" between fields
                      and a decimal comma under a locale that writes one
                      (Italian), else "," and ".", UTF-8 with a byte-order mark
      --pdf FILE      a report, a page per class year: a bar per child and
                      kind (the share right), the numbers missed most often
      --cancella NAME removes a child and all their answers
      --cancella-tutto
                      removes every child; asks first on a terminal, else
                      wants --si
      --cartella DIR  the register in DIR (by default
                      $XDG_DATA_HOME/Contavoce, ~/.local/share/Contavoce)
  lezione --classe C --livello N --tipi T[,T...] [OPTIONS] FILE
                    a lesson for the practice window: every child who opens
                    it (contavoce --lezione FILE) gets the same round. Options:
      --classe C      the class year: prima, seconda, terza, quarta, quinta
      --livello N     the level: 1, 2 or 3
      --tipi T,T...   the kinds of question, taken in turn: ascolta, cifre,
                      lettere, valore, componi, prima-dopo, confronta
      --domande N     how many questions, 5 to 20 (10)
      --seme N        the round's seed, from 0 to 18446744073709551615;
                      drawn and printed when not given
      --titolo TEXT   the lesson's title, up to 60 characters
      --grafia G      the words in spelling G, originale or scolastica
                      (otherwise the one set on each computer)
      --sovrascrivi   replaces FILE; without it an existing FILE is refused
                      (status 2)
  music FILE        plays a MIDI file to its end (Ctrl+C stops it)
  music FILE --wav OUT --seconds N
                    writes the first N seconds of the MIDI file to OUT
  --version         the program's version

--wav-dir writes into a new or empty folder, or into one that holds only
files of the names the same command writes, which it writes again; --audio
only into a new or empty folder. A folder holding anything else is refused
(status 2), so that two lessons are never mixed. A file is written whole
or not at all: on a full disk what was at its name stays.

A number may be grouped by thousands with dots or blanks: 2.304, 2 304 and
2304 are the same number. Leading zeros are dropped (0012 is 12). A number
made only of zeros has no words in Contavoce's own spelling, so it prints an
empty line; the school's spelling writes zero. words, format, clips and say
also take a decimal comma and up to three decimals (3,05; 0,001; 1.234,567);
a dot before one or two digits (3.05) is refused with the comma to write
instead.

With no NUMBER the numbers are read from standard input, one per line:
  seq 1 100 | contavoce-cli words --grafia scolastica

A line that is not a number (a letter, a misplaced dot, more than 12 digits
or 3 decimals, an empty line, more than 256 bytes) is reported on standard
error with its line number and gives an empty output line, so that line N
of the output answers line N of the input; the exit status is then 2.

The speech clips are read from the folder that holds contavoce-cli.

Exit status: 0 all done, 1 the output could not be written or no sound
device, 2 some input refused or bad usage.
)");
}

// How the words are written and a decimal read: --grafia, --lettura.
struct Forma {
    contavoce::Grafia grafia = contavoce::Grafia::originale;
    contavoce::Lettura lettura = contavoce::Lettura::virgola;
};

using Comando = void (*)(const cli::NumeroLetto& letto, const Forma& forma, std::string& riga);

void parole(const cli::NumeroLetto& letto, const Forma& forma, std::string& riga) {
    riga =
        contavoce::decimale_in_lettere({letto.cifre, letto.decimali}, forma.grafia, forma.lettura);
}

void formato(const cli::NumeroLetto& letto, const Forma&, std::string& riga) {
    riga = contavoce::decimale_raggruppato({letto.cifre, letto.decimali});
}

void clip(const cli::NumeroLetto& letto, const Forma& forma, std::string& riga) {
    riga.clear();
    // The paths from an empty folder: each starts with the "/" dropped here.
    if (letto.decimali.empty()) {
        const auto lista = contavoce::lista_clip(letto.cifre, "");
        for (std::int16_t i = 1; i <= lista.n_file; ++i) {
            if (i > 1)
                riga += ' ';
            riga += lista.Wave_name[std::size_t(i)].substr(1);
        }
        return;
    }
    for (const std::string& percorso :
         contavoce::lista_decimale(cli::come_decimale(letto), forma.lettura, "")) {
        if (!riga.empty())
            riga += ' ';
        riga += percorso.substr(1);
    }
}

// What a command takes beside the numbers: --grafia when it writes words,
// --lettura when it reads a decimal one way or the other.
struct Uso {
    Comando comando;
    bool grafia;
    bool lettura;
};

// Handles one number; a refused one gives an empty line, so the output keeps
// in step with the input. False when it was refused (the message is out,
// with the line's number when it came from standard input).
bool elabora(std::string_view testo, long numero_riga, const Uso& uso, const Forma& forma,
             std::string& riga, std::string& uscita) {
    const auto letto = cli::leggi_decimale(testo);
    const bool buono = !letto.errore;
    if (buono) {
        uso.comando(letto, forma, riga);
        uscita += riga;
    } else {
        cli::rifiutato(numero_riga > 0 ? Cli::tr("line %1: ").arg(numero_riga) : QString(), testo,
                       letto, true);
    }
    uscita += '\n';
    return buono;
}

// The options among the arguments into `forma`, the rest into `numeri`;
// false after a bad option (the message is out).
bool leggi_opzioni(const std::vector<std::string_view>& args, const Uso& uso, Forma& forma,
                   std::vector<std::string_view>& numeri) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view o = args[i];
        if (!o.starts_with("--")) {
            numeri.push_back(o);
            continue;
        }
        const bool grafia = uso.grafia && o == "--grafia";
        const bool lettura = uso.lettura && o == "--lettura";
        if (!grafia && !lettura) {
            cli::errore(Cli::tr("%1 takes no option \"%2\" (try contavoce-cli --help)")
                            .arg(cli::da_utf8(args[0]), cli::citato(o)));
            return false;
        }
        const std::string_view valore = i + 1 < args.size() ? args[++i] : std::string_view();
        if (lettura) {
            const auto scelta = cli::lettura_chiesta(valore);
            if (!scelta)
                return false;
            forma.lettura = *scelta;
        } else if (valore == "originale" || valore == "scolastica") {
            forma.grafia = valore == "originale" ? contavoce::Grafia::originale
                                                 : contavoce::Grafia::scolastica;
        } else {
            cli::errore(Cli::tr("--grafia wants originale or scolastica, not \"%1\"")
                            .arg(cli::citato(valore)));
            return false;
        }
    }
    return true;
}

int righe(const std::vector<std::string_view>& args, const Uso& uso) {
    Forma forma;
    std::vector<std::string_view> numeri;
    if (!leggi_opzioni(args, uso, forma, numeri))
        return 2;
    bool tutto_bene = true;
    std::string riga;
    std::string uscita;
    if (!numeri.empty()) {
        for (const std::string_view numero : numeri)
            tutto_bene &= elabora(numero, 0, uso, forma, riga, uscita);
        std::cout << uscita;
    } else {
        // Lines are written in batches so that a million numbers go through quickly,
        // and each line goes out whole; stderr and stdout may then interleave
        // differently on one terminal, which the line numbers make up for.
        std::string linea;
        for (long n = 1; cli::leggi_riga(std::cin, linea); ++n) {
            tutto_bene &= elabora(linea, n, uso, forma, riga, uscita);
            if (uscita.size() > (1 << 16)) {
                std::cout << uscita;
                uscita.clear();
            }
        }
        std::cout << uscita;
    }
    std::cout.flush();
    if (!std::cout) {
        cli::errore(Cli::tr("could not write the output"));
        return 1;
    }
    return tutto_bene ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> args(argv + 1, argv + argc);

    // Only the worksheet needs Qt's GUI library, from a module of its own; every
    // other command runs on the core library alone.
    std::optional<cli::ModuloScheda> modulo;
    if (!args.empty() &&
        (args[0] == "scheda" || (args[0] == "registro" && cli::registro_vuole_pdf(args))))
        modulo.emplace(contavoce::platform::cartella_programma());
    if (modulo) {
        // The offscreen platform's notes (no XDG_RUNTIME_DIR and the like) are
        // not the user's business; failures are reported by the command itself.
        qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext&, const QString& m) {
            if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
                cli::errore(m);
        });
    }
    const auto app = modulo && modulo->stampante() ? modulo->stampante()->applicazione()
                                                   : std::make_unique<QCoreApplication>(argc, argv);
    QTranslator traduzioni;
    cli::installa_traduzioni(traduzioni);

    if (args.empty()) {
        std::cerr << aiuto().toStdString();
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << aiuto().toStdString();
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "contavoce-cli " CONTAVOCE_VERSION "\n";
        return 0;
    }
    if (args[0] == "words")
        return righe(args, {parole, true, true});
    if (args[0] == "format")
        return righe(args, {formato, false, false});
    if (args[0] == "clips")
        return righe(args, {clip, false, true});
    if (args[0] == "say")
        return cli::parla(args);
    if (args[0] == "music")
        return cli::suona_musica(args);
    if (args[0] == "scheda") {
        if (!modulo->stampante())
            cli::errore(Cli::tr("cannot print worksheets: %1").arg(cli::da_utf8(modulo->errore())));
        return cli::comando_scheda(args, modulo->stampante());
    }
    if (args[0] == "registro") {
        if (modulo && !modulo->stampante())
            cli::errore(Cli::tr("cannot print the report: %1").arg(cli::da_utf8(modulo->errore())));
        return cli::comando_registro(args, modulo ? modulo->stampante() : nullptr);
    }
    if (args[0] == "lezione")
        return cli::comando_lezione(args);
    cli::errore(
        Cli::tr("unknown command \"%1\" (try contavoce-cli --help)").arg(cli::citato(args[0])));
    return 2;
}
