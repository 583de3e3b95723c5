// SPDX-License-Identifier: GPL-3.0-or-later
// The window over recording stand-ins, everything logging into `log`: plays,
// effects, warnings, music commands, "url …" for a mail request and "end" for
// the end of the process.
#pragma once

#include "support/registri.h"
#include "window/voce_cifre.h"

#include <memory>
#include <string>

namespace test_support {

// The program's folder the tests were told of (CONTAVOCE_BIN_DIR).
std::string cartella_programma();

struct BancoFinestra {
    QStringList log;
    Registro suono{log};
    MediaRegistrata media{log};
    std::unique_ptr<contavoce::VoceCifre> w;

    explicit BancoFinestra(int dispositivi = 1);

    // The window's controls, as the tests drive and inspect them.
    const contavoce::ControlliVoceCifre& ctl() const { return w->controlli(); }
};

} // namespace test_support
