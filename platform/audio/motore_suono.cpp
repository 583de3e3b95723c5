// SPDX-License-Identifier: GPL-3.0-or-later
// The inside of libcontavoce-suono.so: the engine over SuonoSdl, SuonoRegistrato
// and MediaMidi. Only contavoce_motore_suono is exported.
#include "platform/audio/media_midi.h"
#include "platform/audio/modulo_suono.h"
#include "platform/audio/suono_registrato.h"
#include "platform/audio/suono_sdl.h"

namespace contavoce::platform {
namespace {

class UscitaDispositivo final : public Uscita {
public:
    Suono& suono() override { return suono_; }
    ServizioMedia& media() override { return media_; }

private:
    SuonoSdl suono_;
    MediaMidi media_{suono_}; // declared after the output it renders into: gone first
};

class UscitaSuRegistrazione final : public UscitaRegistrata {
public:
    Suono& suono() override { return suono_; }
    ServizioMedia& media() override { return media_; }
    void avanza(int frame) override { suono_.avanza(frame); }
    int frequenza() override { return suono_.mixer().formato().frequenza; }
    bool scrivi_wav(const std::function<bool(std::span<const char>)>& scrivi) override {
        return platform::scrivi_wav(suono_.registrazione(), suono_.mixer().formato(), scrivi);
    }
    const std::vector<std::string>& file_guasti() override { return suono_.file_guasti(); }

private:
    SuonoRegistrato suono_;
    MediaMidi media_{suono_};
};

class Motore final : public MotoreSuono {
public:
    std::unique_ptr<Uscita> dispositivo() override { return std::make_unique<UscitaDispositivo>(); }
    std::unique_ptr<UscitaRegistrata> registrazione() override {
        return std::make_unique<UscitaSuRegistrazione>();
    }
};

} // namespace

CONTAVOCE_MODULO(contavoce_motore_suono, funzione_modulo_suono, versione_modulo_suono, MotoreSuono,
                 Motore);

} // namespace contavoce::platform
