// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli's number input: whatever the user types, either a refusal or
// the significant digits, which the speller and the grouping then take as they
// are; read line by line as standard input is, and quoted back harmlessly.
#include "cli/input.h"
#include "spelling/decimale.h"
#include "spelling/numero.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

namespace cli = contavoce::cli;

// Read as standard input: line N is the input's line N, cut one byte past the bound.
void righe(const std::string& testo) {
    std::istringstream ingresso(testo);
    std::string riga;
    std::size_t da = 0;
    while (cli::leggi_riga(ingresso, riga)) {
        if (da >= testo.size())
            std::abort(); // a line that is not there
        const std::size_t fine = std::min(testo.find('\n', da), testo.size());
        if (riga != testo.substr(da, std::min(fine - da, cli::max_riga + 1)))
            std::abort();
        da = fine + 1;
    }
    if (da < testo.size())
        std::abort(); // a line lost
}

// Shown on a terminal: nothing that drives it, and the caret's place in the
// text shown is where the text before the fault ends.
void mostrato(const std::string& testo, std::size_t colonna) {
    const std::string visto = cli::visibile(testo);
    for (std::size_t i = 0; i < visto.size(); ++i) {
        const auto b = static_cast<unsigned char>(visto[i]);
        const auto dopo = i + 1 < visto.size() ? static_cast<unsigned char>(visto[i + 1]) : 0;
        if ((b < 0x20 && b != '\t') || b == 0x7F || (b == 0xC2 && dopo >= 0x80 && dopo < 0xA0))
            std::abort();
    }
    if (!visto.starts_with(cli::visibile(testo.substr(0, colonna))))
        std::abort();
}

// Read with decimals: a refusal shown harmlessly, or at most three decimals
// after a comma that the text holds, grouped and said in every form.
void decimale(const std::string& testo) {
    const auto letto = contavoce::cli::leggi_decimale(testo);
    if (letto.errore) {
        if (!letto.cifre.empty() || !letto.decimali.empty())
            std::abort();
        mostrato(testo, letto.colonna);
        return;
    }
    if (letto.decimali.size() > contavoce::max_decimali ||
        (!letto.decimali.empty() && testo.find(',') == std::string::npos))
        std::abort();
    const contavoce::Decimale n{letto.cifre.empty() ? "0" : letto.cifre, letto.decimali};
    const std::string mostrato = contavoce::decimale_raggruppato(n);
    if (!letto.decimali.empty() && !mostrato.ends_with("," + letto.decimali))
        std::abort();
    for (const auto g : {contavoce::Grafia::originale, contavoce::Grafia::scolastica})
        for (const auto l : {contavoce::Lettura::virgola, contavoce::Lettura::posti})
            if (contavoce::decimale_in_lettere(n, g, l).empty() &&
                (g == contavoce::Grafia::scolastica || !letto.decimali.empty() ||
                 !letto.cifre.empty()))
                std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string testo(reinterpret_cast<const char*>(data), size);
    righe(testo);
    decimale(testo);
    const auto letto = contavoce::cli::leggi_numero(testo);
    using contavoce::cli::Rifiuto;
    if (letto.errore) {
        if (!letto.cifre.empty())
            std::abort();
        mostrato(testo, letto.colonna);
        // A fault at one place points at that place: a stray character, or a
        // separator that does not group by three.
        const bool punta = *letto.errore == Rifiuto::carattere || *letto.errore == Rifiuto::gruppo;
        if (punta && letto.colonna >= testo.size())
            std::abort();
        const char c = punta ? testo[letto.colonna] : '0';
        const bool separatore = c == '.' || c == ' ';
        if ((*letto.errore == Rifiuto::gruppo && !separatore) ||
            (*letto.errore == Rifiuto::carattere && (separatore || (c >= '0' && c <= '9'))))
            std::abort();
        return 0;
    }
    // Accepted: the input's digits with the separators and leading zeros dropped,
    // at most twelve.
    std::string cifre;
    for (const char c : testo)
        if (c >= '0' && c <= '9')
            cifre += c;
    cifre.erase(0, cifre.find_first_not_of('0') == std::string::npos
                       ? cifre.size()
                       : cifre.find_first_not_of('0'));
    if (letto.cifre != cifre || cifre.size() > contavoce::max_cifre)
        std::abort();
    if (cifre.empty())
        return 0;
    std::string parole;
    contavoce::numero_in_lettere(cifre, parole);
    std::string copia = cifre;
    const std::string raggruppato = contavoce::formatta_numero(copia);
    if (parole.empty() || raggruppato.size() != cifre.size() + (cifre.size() - 1) / 3)
        std::abort();
    return 0;
}
