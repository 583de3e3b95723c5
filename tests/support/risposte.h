// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher's dialogs answered from a script, remembering what they showed.
#pragma once

#include "setup/launcher/setup.h"

#include <QString>
#include <functional>
#include <vector>

struct MessaggioVisto {
    QString testo;
    QString titolo;
    contavoce::setup::Icona icona;
    bool attesa; // the wait pointer was on when it came
};

class Risposte final : public contavoce::setup::Interfaccia {
public:
    int scelta = contavoce::setup::controllo::installa; // the button that answers the dialog
    std::function<void()> durante_il_dialogo;           // runs while the dialog is open
    int dialoghi = 0;
    QString titolo;
    QString testo_superiore;
    QString testo_inferiore;
    std::vector<MessaggioVisto> messaggi;

    int dialogo_modale(contavoce::setup::DialogoSetup& dialogo) override;
    void messaggio(const QString& testo, const QString& titolo_messaggio,
                   contavoce::setup::Icona icona) override;
};
