// SPDX-License-Identifier: GPL-3.0-or-later
// The window over recording stand-ins, everything logging into `log`: plays,
// effects, warnings, music commands, "url …" for a mail request and "end" for
// the end of the process.
#pragma once

#include "support/registri.h"
#include "window/voce_cifre.h"

#include <memory>

namespace test_support {

inline std::string cartella_programma() {
    return qEnvironmentVariable("CONTAVOCE_BIN_DIR").toStdString();
}

struct BancoFinestra {
    QStringList log;
    Registro suono{log};
    MediaRegistrata media{log};
    std::unique_ptr<contavoce::VoceCifre> w;

    explicit BancoFinestra(int dispositivi = 1) {
        suono.dispositivi_presenti = dispositivi;
        w = std::make_unique<contavoce::VoceCifre>(
            contavoce::Servizi{suono, media, suono, cartella_programma(), [this] { log << "end"; },
                               [this](const QUrl& u) {
                                   log << "url " + u.toString();
                                   return false; // no mail program here
                               }});
    }

    // The window's controls, as the tests drive and inspect them.
    const contavoce::ControlliVoceCifre& ctl() const { return w->controlli(); }
};

} // namespace test_support
