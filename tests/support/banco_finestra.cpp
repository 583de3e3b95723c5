// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/banco_finestra.h"

#include <QUrl>

namespace test_support {

std::string cartella_programma() {
    return qEnvironmentVariable("CONTAVOCE_BIN_DIR").toStdString();
}

BancoFinestra::BancoFinestra(int dispositivi) {
    suono.dispositivi_presenti = dispositivi;
    w = std::make_unique<contavoce::VoceCifre>(
        contavoce::Servizi{suono, media, suono, cartella_programma(), [this] { log << "end"; },
                           [this](const QUrl& u) {
                               log << "url " + u.toString();
                               return false; // no mail program here
                           }});
}

} // namespace test_support
