// percorso_corto for the window's executable, which has the media service only
// inside the sound module: the music player asks for the path form that service
// reads back, and the module's own function gives it. media.cpp keeps that
// function beside FluidSynth, so linking it here would bring FluidSynth (and
// SDL2 under it) into the executable. This file is linked only into programs
// that load the module; the module found is the one the program has loaded.
#include "platform/media.h"
#include "platform/modulo_suono.h"

#include <dlfcn.h>
#include <memory>

namespace contavoce::platform {

std::string percorso_corto(const std::string& lungo) {
    // By its name among the libraries already loaded: no folder to guess, and
    // nothing is loaded here when the sound could not be.
    const auto chiudi = [](void* h) { dlclose(h); };
    const std::unique_ptr<void, decltype(chiudi)> modulo(
        dlopen(nome_modulo_suono, RTLD_LAZY | RTLD_NOLOAD), chiudi);
    if (!modulo)
        return {};
    const auto funzione =
        reinterpret_cast<FunzioneModuloSuono>(dlsym(modulo.get(), funzione_modulo_suono));
    std::unique_ptr<MotoreSuono> motore;
    if (funzione)
        funzione(versione_modulo_suono, motore);
    return motore ? motore->percorso_corto(lungo) : std::string();
}

} // namespace contavoce::platform
