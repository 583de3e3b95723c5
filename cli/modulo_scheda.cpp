// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/modulo_scheda.h"

#include <dlfcn.h>

namespace contavoce::cli {

void ModuloScheda::Chiudi::operator()(void* handle) const {
    dlclose(handle);
}

ModuloScheda::ModuloScheda(const std::string& cartella) {
    const std::string percorso = cartella + "/" + nome_modulo_scheda;
    // RTLD_NODELETE: Qt's GUI library leaves exit handlers behind, so its code
    // stays mapped until the process ends.
    handle_.reset(dlopen(percorso.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle_) {
        const char* perche = dlerror();
        errore_ = perche ? perche : percorso + ": cannot be loaded";
        return;
    }
    const auto funzione =
        reinterpret_cast<FunzioneModuloScheda>(dlsym(handle_.get(), funzione_modulo_scheda));
    if (funzione)
        funzione(versione_modulo_scheda, stampante_);
    if (!stampante_)
        errore_ = percorso + ": not the worksheet module of this version of the program";
}

ModuloScheda::~ModuloScheda() = default;

} // namespace contavoce::cli
