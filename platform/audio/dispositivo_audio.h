// SPDX-License-Identifier: GPL-3.0-or-later
// The output device as the sound layer uses it: open, start, ask whether it is
// still there, close. SuonoSdl talks to SDL only through this, so a test can
// unplug a device that is not really there, or watch it fall asleep.
#pragma once

#include "platform/audio/mixer.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace contavoce::platform {

class DispositivoAudio {
public:
    // Fills `byte` bytes of interleaved float samples; runs on the device's thread.
    using Richiamo = void (*)(void* dati, std::uint8_t* flusso, int byte);

    virtual ~DispositivoAudio() = default;
    // Opens the default output, paused, for float samples in `voluto`, `frame`
    // frames per buffer. With `esatto` the device converts to that format rather
    // than granting its own. Returns the granted format, or nothing.
    virtual std::optional<FormatoAudio> apri(FormatoAudio voluto, int frame, bool esatto,
                                             Richiamo richiamo, void* dati) = 0;
    // Lets the open device start calling `richiamo`.
    virtual void avvia() = 0;
    // Whether the open device has gone for good (unplugged) and will never play again.
    virtual bool perso() = 0;
    // Closes the device; once it returns `richiamo` is no longer called.
    virtual void chiudi() = 0;
    // Whether the device may be closed while nothing sounds and opened again for
    // the next sound: false for one that records a timeline (SDL's disk driver
    // writes what is heard to a file, and opening it again starts the file anew).
    virtual bool puo_dormire() { return true; }
};

// The default output of SDL's audio subsystem, which must be initialised while it is used.
std::unique_ptr<DispositivoAudio> dispositivo_sdl();

} // namespace contavoce::platform
