// SPDX-License-Identifier: GPL-3.0-or-later
// The lesson file, which reaches the practice window from anywhere: either a
// refusal that names a line of the input, or a lesson that passes its own
// checks, writes back to a file within the limits and reads back the same.
#include "esercizi/lezione.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view testo(reinterpret_cast<const char*>(data), size);
    const contavoce::LezioneLetta letta = contavoce::leggi_lezione(testo);
    if (const auto* e = std::get_if<contavoce::ErroreLezione>(&letta)) {
        const std::size_t righe =
            static_cast<std::size_t>(std::count(testo.begin(), testo.end(), '\n')) + 1;
        if (e->messaggio.empty() || e->riga > righe)
            std::abort();
        if (e->riga > 0 && !e->messaggio.starts_with("Riga " + std::to_string(e->riga) + ": "))
            std::abort();
        return 0;
    }
    const auto& lezione = std::get<contavoce::Lezione>(letta);
    if (contavoce::controlla_lezione(lezione))
        std::abort();
    const std::string scritta = contavoce::scrivi_lezione(lezione);
    if (scritta.size() > contavoce::max_byte_lezione)
        std::abort();
    const contavoce::LezioneLetta di_nuovo = contavoce::leggi_lezione(scritta);
    if (!std::holds_alternative<contavoce::Lezione>(di_nuovo) ||
        !(std::get<contavoce::Lezione>(di_nuovo) == lezione))
        std::abort();
    // The round it makes, as the practice window would.
    contavoce::prepara_domande(
        contavoce::impostazioni_lezione(lezione, contavoce::Grafia::originale));
    return 0;
}
