// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/modulo_scheda.h"

namespace contavoce::cli {

// Bound at once: the printer is loaded to be used straight away.
ModuloScheda::ModuloScheda(const std::string& cartella)
    : Modulo(cartella + "/" + nome_modulo_scheda, RTLD_NOW, funzione_modulo_scheda,
             versione_modulo_scheda, "worksheet module") {}

} // namespace contavoce::cli
