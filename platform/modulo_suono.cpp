// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/modulo_suono.h"

#include <dlfcn.h>

namespace contavoce::platform {

void ModuloSuono::Chiudi::operator()(void* handle) const {
    dlclose(handle);
}

ModuloSuono::ModuloSuono(const std::string& cartella) {
    const std::string percorso = cartella + "/" + nome_modulo_suono;
    // RTLD_LAZY: of the thousands of functions the forty-odd libraries under
    // the module call, few ever run; binding them all now would hold the
    // loader's lock, which Qt waits on for its plugins, some 3 ms longer.
    // RTLD_NODELETE: SDL and the audio libraries under it leave exit handlers
    // and threads behind, so their code must stay mapped until the process ends.
    handle_.reset(dlopen(percorso.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle_) {
        const char* perche = dlerror();
        errore_ = perche ? perche : percorso + ": cannot be loaded";
        return;
    }
    const auto funzione =
        reinterpret_cast<FunzioneModuloSuono>(dlsym(handle_.get(), funzione_modulo_suono));
    if (funzione)
        funzione(versione_modulo_suono, motore_);
    if (!motore_)
        errore_ = percorso + ": not the sound module of this version of the program";
}

ModuloSuono::~ModuloSuono() = default;

} // namespace contavoce::platform
