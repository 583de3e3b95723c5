// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli: Contavoce's number speller and speaker for the command line.
#include "cli/input.h"
#include "platform/file.h"
#include "platform/modulo_suono.h"
#include "speech/clip_list.h"
#include "speech/parlante.h"
#include "spelling/numero.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

constexpr std::string_view aiuto = R"(Usage: contavoce-cli COMMAND [NUMBER...]

Writes whole numbers of up to twelve digits the way Contavoce does.

Commands:
  words NUMBER...   the number in Italian words, one number per line
                    (2304 -> duemilatrecentoquattro)
  format NUMBER...  the number grouped by thousands (2304 -> 2.304)
  clips NUMBER...   the speech clips that say the number, in playing order
                    (2304 -> va2.wav va_mila.wav va3.wav va100.wav va4.wav)
  say NUMBER        says the number through the sound device
  say NUMBER --wav FILE
                    writes what would be heard to FILE (16-bit WAV, 44.1 kHz
                    stereo) instead of playing it
  music FILE        plays a MIDI file to its end (Ctrl+C stops it)
  music FILE --wav OUT --seconds N
                    writes the first N seconds of the MIDI file to OUT

Leading zeros are dropped (0012 is 12). A number made only of zeros has no
words in Contavoce, so it prints an empty line.

With no NUMBER the numbers are read from standard input, one per line:
  seq 1 100 | contavoce-cli words

A line that is not a number (a letter, a sign, more than 12 digits, an empty
line) is reported on standard error with its line number; the other lines are
still written, and the exit status is then 2.

The speech clips are read from the folder that holds contavoce-cli.

Exit status: 0 all done, 1 the output could not be written or no sound
device, 2 some input refused or bad usage.
)";

// The sound module from the program's folder, loaded only by the commands that
// make sound: words, format and clips run without any sound library. Nothing
// when it cannot be loaded, which is then said on stderr.
std::unique_ptr<contavoce::platform::ModuloSuono> modulo_suono() {
    auto modulo = std::make_unique<contavoce::platform::ModuloSuono>(
        contavoce::platform::cartella_programma());
    if (modulo->motore())
        return modulo;
    std::cerr << "contavoce-cli: no sound: " << modulo->errore() << '\n';
    return nullptr;
}

class AvvisiSuTerminale final : public contavoce::platform::Avvisi {
public:
    void avviso(const std::string& testo, const std::string& titolo) override {
        std::cerr << "contavoce-cli: " << titolo << ": " << testo << '\n';
        mostrato = true;
    }
    void messaggio(const std::string& testo) override {
        std::cerr << "contavoce-cli: " << testo << '\n';
    }
    bool mostrato = false;
};

int suona_musica(const std::vector<std::string_view>& args) {
    namespace p = contavoce::platform;
    const bool su_file = args.size() == 6 && args[2] == "--wav" && args[4] == "--seconds";
    if (args.size() != 2 && !su_file) {
        std::cerr << "contavoce-cli: usage: music FILE [--wav OUT --seconds N]\n";
        return 2;
    }
    double secondi = 0;
    if (su_file) {
        const std::string n(args[5]);
        char* fine = nullptr;
        secondi = std::strtod(n.c_str(), &fine);
        if (n.empty() || *fine != '\0' || !(secondi > 0 && secondi <= 3600)) {
            std::cerr << "contavoce-cli: --seconds wants a number from 0 to 3600, not \"" << n
                      << "\"\n";
            return 2;
        }
    }
    const auto modulo = modulo_suono();
    if (!modulo)
        return 1;
    p::MotoreSuono& motore = *modulo->motore();
    const std::string file(args[1]);
    const std::string corto = p::percorso_corto(file);
    const auto apri = [&](p::ServizioMedia& media) {
        const int errore =
            corto.empty()
                ? int(p::media_file_mancante)
                : media.invia("open " + corto + " type sequencer alias musica", nullptr, 0);
        if (errore != 0)
            std::cerr << "contavoce-cli: \"" << file << "\": " << p::descrizione_errore(errore)
                      << '\n';
        return errore == 0 && media.invia("play musica", nullptr, 0) == 0;
    };

    if (su_file) {
        const auto registrato = motore.registrazione();
        if (!apri(registrato->media()))
            return 1;
        registrato->avanza(int(secondi * registrato->frequenza()));
        const std::string uscita(args[3]);
        if (!registrato->scrivi_wav(uscita)) {
            std::cerr << "contavoce-cli: cannot write \"" << uscita << "\"\n";
            return 1;
        }
        return 0;
    }
    const auto dispositivo = motore.dispositivo();
    if (!apri(dispositivo->media()))
        return 1;
    std::array<char, 31> modo{};
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        dispositivo->media().invia("status musica mode", modo.data(), modo.size());
    } while (std::string_view(modo.data()) == "playing");
    return 0;
}

int parla(const std::vector<std::string_view>& args) {
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--wav")) {
        std::cerr << "contavoce-cli: usage: say NUMBER [--wav FILE]\n";
        return 2;
    }
    const auto letto = contavoce::cli::leggi_numero(args[1]);
    if (letto.errore) {
        std::cerr << "contavoce-cli: \"" << args[1] << "\": " << *letto.errore << '\n';
        return 2;
    }
    const auto modulo = modulo_suono();
    if (!modulo)
        return 1;
    const std::string cartella = contavoce::platform::cartella_programma();
    AvvisiSuTerminale avvisi;
    if (args.size() == 4) {
        const auto registrato = modulo->motore()->registrazione();
        contavoce::Parlante(registrato->suono(), avvisi, nullptr, cartella)
            .num_parlante(letto.cifre);
        const std::string file(args[3]);
        if (!registrato->scrivi_wav(file)) {
            std::cerr << "contavoce-cli: cannot write \"" << file << "\"\n";
            return 1;
        }
        return 0;
    }
    const auto dispositivo = modulo->motore()->dispositivo();
    contavoce::Parlante(dispositivo->suono(), avvisi, nullptr, cartella).num_parlante(letto.cifre);
    return avvisi.mostrato ? 1 : 0;
}

using Comando = void (*)(const std::string& cifre, std::string& riga);

void parole(const std::string& cifre, std::string& riga) {
    riga.clear();
    contavoce::numero_in_lettere(cifre, riga);
}

void formato(const std::string& cifre, std::string& riga) {
    std::string copia = cifre;
    riga = contavoce::formatta_numero(copia);
}

void clip(const std::string& cifre, std::string& riga) {
    const auto lista = contavoce::lista_clip(cifre, "");
    riga.clear();
    for (std::int16_t i = 1; i <= lista.n_file; ++i) {
        if (i > 1)
            riga += ' ';
        riga += lista.Wave_name[std::size_t(i)].substr(1); // drop the empty folder's "/"
    }
}

// Handles one number; false when it was refused (the message is already out).
bool elabora(std::string_view testo, std::string_view dove, Comando comando, std::string& riga,
             std::string& uscita) {
    const auto letto = contavoce::cli::leggi_numero(testo);
    if (letto.errore) {
        std::cerr << "contavoce-cli: " << dove << "\"" << testo << "\": " << *letto.errore << '\n';
        return false;
    }
    comando(letto.cifre, riga);
    uscita += riga;
    uscita += '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << aiuto;
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << aiuto;
        return 0;
    }

    Comando comando = nullptr;
    if (args[0] == "words")
        comando = parole;
    else if (args[0] == "format")
        comando = formato;
    else if (args[0] == "clips")
        comando = clip;
    else if (args[0] == "say")
        return parla(args);
    else if (args[0] == "music")
        return suona_musica(args);
    else {
        std::cerr << "contavoce-cli: unknown command \"" << args[0]
                  << "\" (try contavoce-cli --help)\n";
        return 2;
    }

    bool tutto_bene = true;
    std::string riga;
    std::string uscita;
    if (args.size() > 1) {
        for (std::size_t i = 1; i < args.size(); ++i)
            tutto_bene &= elabora(args[i], "", comando, riga, uscita);
        std::cout << uscita;
    } else {
        // Lines are written in batches so that a million numbers go through quickly,
        // and each line goes out whole.
        std::string linea;
        std::string dove;
        for (long n = 1; std::getline(std::cin, linea); ++n) {
            dove = "line " + std::to_string(n) + ": ";
            tutto_bene &= elabora(linea, dove, comando, riga, uscita);
            if (uscita.size() > (1 << 16)) {
                std::cout << uscita;
                uscita.clear();
            }
        }
        std::cout << uscita;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "contavoce-cli: could not write the output\n";
        return 1;
    }
    return tutto_bene ? 0 : 2;
}
