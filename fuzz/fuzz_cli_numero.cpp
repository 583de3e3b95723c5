// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli's number input: whatever the user types, either a refusal or
// the significant digits, which the speller and the grouping then take as they are.
#include "cli/input.h"
#include "spelling/numero.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string testo(reinterpret_cast<const char*>(data), size);
    const auto letto = contavoce::cli::leggi_numero(testo);
    using contavoce::cli::Rifiuto;
    if (letto.errore) {
        if (!letto.cifre.empty())
            std::abort();
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
