// SPDX-License-Identifier: GPL-3.0-or-later
// The sound engine as a module of its own. SDL2's output, FluidSynth's music
// and the recording output live in libcontavoce-suono.so in the program's
// folder, so that `contavoce` shows its window and `contavoce-cli words` runs
// without loading SDL2, FluidSynth and the fifty-odd libraries they bring
// (audio servers, codecs, X11 and Wayland clients). A program loads the module
// when it first needs sound, and reaches it only through the classes below.
#pragma once

#include "platform/audio/servizio_media.h"
#include "platform/audio/suono.h"
#include "platform/base/modulo.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace contavoce::platform {

inline constexpr const char* nome_modulo_suono = "libcontavoce-suono.so";

// An output with its music service.
class Uscita {
public:
    virtual ~Uscita() = default;
    virtual Suono& suono() = 0;
    virtual ServizioMedia& media() = 0;
};

// An output that records what would be heard instead of playing it.
class UscitaRegistrata : public Uscita {
public:
    // Pulls the mix for this many frames (the music plays on meanwhile).
    virtual void avanza(int frame) = 0;
    virtual int frequenza() = 0;
    // What has been heard so far, as a 16-bit WAV file handed to `scrivi` a
    // block at a time; false as soon as `scrivi` is.
    virtual bool scrivi_wav(const std::function<bool(std::span<const char>)>& scrivi) = 0;
    // The files asked for that could not be read or decoded (missing, damaged):
    // the alert was recorded in the place of each.
    virtual const std::vector<std::string>& file_guasti() = 0;
};

// What the module offers.
class MotoreSuono {
public:
    virtual ~MotoreSuono() = default;
    // The sound device (opened at once when there is one) with the music service over it.
    virtual std::unique_ptr<Uscita> dispositivo() = 0;
    virtual std::unique_ptr<UscitaRegistrata> registrazione() = 0;
};

// The module's one exported function (motore_suono.cpp): it makes the engine,
// and none for a program built against another version of the classes above.
inline constexpr const char* funzione_modulo_suono = "contavoce_motore_suono";
inline constexpr int versione_modulo_suono = 4;

// The module loaded from a folder, with its engine.
class ModuloSuono : public Modulo<MotoreSuono> {
public:
    // Loads `cartella`/libcontavoce-suono.so; on failure `errore()` says why.
    explicit ModuloSuono(const std::string& cartella);

    // The engine, or nullptr when the module could not be loaded.
    MotoreSuono* motore() const { return interfaccia(); }
};

} // namespace contavoce::platform
