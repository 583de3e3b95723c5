// contavoce-cli: Contavoce's number speller for the command line.
#include "cli/input.h"
#include "spelling/numero.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view aiuto = R"(Usage: contavoce-cli COMMAND [NUMBER...]

Writes whole numbers of up to twelve digits the way Contavoce does.

Commands:
  words NUMBER...   the number in Italian words, one number per line
                    (2304 -> duemilatrecentoquattro)
  format NUMBER...  the number grouped by thousands (2304 -> 2.304)

Leading zeros are dropped (0012 is 12). A number made only of zeros has no
words in Contavoce, so it prints an empty line.

With no NUMBER the numbers are read from standard input, one per line:
  seq 1 100 | contavoce-cli words

A line that is not a number (a letter, a sign, more than 12 digits, an empty
line) is reported on standard error with its line number; the other lines are
still written, and the exit status is then 2.

Exit status: 0 all numbers written, 1 the output could not be written,
2 some input refused or bad usage.
)";

using Comando = void (*)(const std::string& cifre, std::string& riga);

void parole(const std::string& cifre, std::string& riga) {
    riga.clear();
    contavoce::numero_in_lettere(cifre, riga);
}

void formato(const std::string& cifre, std::string& riga) {
    std::string copia = cifre;
    riga = contavoce::formatta_numero(copia);
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
