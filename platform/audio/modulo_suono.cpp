// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/modulo_suono.h"

namespace contavoce::platform {

// RTLD_LAZY: of the thousands of functions the forty-odd libraries under the
// module call, few ever run; binding them all now would hold the loader's lock,
// which Qt waits on for its plugins, some 3 ms longer.
ModuloSuono::ModuloSuono(const std::string& cartella)
    : Modulo(cartella + "/" + nome_modulo_suono, RTLD_LAZY, funzione_modulo_suono,
             versione_modulo_suono, "sound module") {}

} // namespace contavoce::platform
