// SPDX-License-Identifier: GPL-3.0-or-later
// A part of the program kept in a shared library beside its executables and
// loaded only when it is needed, so that the commands that do without it never
// load the libraries it brings. The library exports one function that hands
// over the part's interface, or nothing to a program built against another
// version of it.
#pragma once

#include <dlfcn.h>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace contavoce::platform {

template <typename Interfaccia> class Modulo {
public:
    using Funzione = void (*)(int versione, std::unique_ptr<Interfaccia>& interfaccia);

    // Loads `percorso` with dlopen's `modo` (RTLD_NODELETE is always added: the
    // libraries under a module leave exit handlers and threads behind, so their
    // code must stay mapped until the process ends) and asks its `funzione` for
    // the interface of `versione`; on failure `errore()` says why, naming the
    // module as `cosa`.
    Modulo(const std::string& percorso, int modo, const char* funzione, int versione,
           const char* cosa) {
        handle_.reset(dlopen(percorso.c_str(), modo | RTLD_LOCAL | RTLD_NODELETE));
        if (!handle_) {
            const char* perche = dlerror();
            errore_ = perche ? perche : percorso + ": cannot be loaded";
            return;
        }
        if (const auto f = reinterpret_cast<Funzione>(dlsym(handle_.get(), funzione)))
            f(versione, interfaccia_);
        if (!interfaccia_)
            errore_ = percorso + ": not the " + cosa + " of this version of the program";
    }
    Modulo(const Modulo&) = delete;
    Modulo& operator=(const Modulo&) = delete;

    // Nullptr when the module could not be loaded.
    Interfaccia* interfaccia() const { return interfaccia_.get(); }
    const std::string& errore() const { return errore_; }

private:
    struct Chiudi {
        void operator()(void* handle) const { dlclose(handle); }
    };
    std::unique_ptr<void, Chiudi> handle_;
    std::unique_ptr<Interfaccia> interfaccia_; // made by the module: released before it
    std::string errore_;
};

} // namespace contavoce::platform

// The module's side: defines the one function it exports, `funzione`, which
// makes a new `Implementazione` for the `Interfaccia` of `versione` and leaves it
// empty for a program that asks for another version. `nome` is the name the
// loader looks up (a constant of the module's header): the build stops when the
// two differ, or when the function is not the one Modulo<Interfaccia> calls.
// Written once, after the implementation, in the module's own source file.
#define CONTAVOCE_MODULO(funzione, nome, versione, Interfaccia, Implementazione)                   \
    extern "C" __attribute__((visibility("default"))) void funzione(                               \
        int chiesta, std::unique_ptr<Interfaccia>& interfaccia) {                                  \
        if (chiesta == (versione))                                                                 \
            interfaccia = std::make_unique<Implementazione>();                                     \
    }                                                                                              \
    static_assert(std::string_view(#funzione) == std::string_view(nome));                          \
    static_assert(                                                                                 \
        std::is_same_v<decltype(&funzione), ::contavoce::platform::Modulo<Interfaccia>::Funzione>)
