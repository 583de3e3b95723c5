// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input.h"

#include "platform/testo.h"
#include "spelling/numero.h"

namespace contavoce::cli {

NumeroLetto leggi_numero(std::string_view testo) {
    testo = platform::senza_blanchi(testo);
    if (testo.empty())
        return {{}, "empty input: expected a whole number"};

    for (char c : testo) {
        if (c < '0' || c > '9')
            return {{}, "not a whole number: only the digits 0-9 are allowed"};
    }
    std::string cifre = zeri_non_significativi(std::string(testo));
    if (cifre.size() > max_cifre)
        return {{}, "too many digits: at most 12 (up to 999.999.999.999)"};
    return {std::move(cifre), std::nullopt};
}

} // namespace contavoce::cli
