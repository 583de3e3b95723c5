// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher's dialogs answered from a script, remembering what they showed.
#pragma once

#include "setup/launcher/setup.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
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

    int dialogo_modale(contavoce::setup::DialogoSetup& dialogo) override {
        ++dialoghi;
        titolo = dialogo.windowTitle();
        testo_superiore = dialogo.findChild<QLabel*>("1005")->text();
        testo_inferiore = dialogo.findChild<QLabel*>("1004")->text();
        if (durante_il_dialogo)
            durante_il_dialogo();
        dialogo.findChild<QPushButton*>(QString::number(scelta))->click();
        return dialogo.result();
    }

    void messaggio(const QString& testo, const QString& titolo_messaggio,
                   contavoce::setup::Icona icona) override {
        const QCursor* c = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                               ? QGuiApplication::overrideCursor()
                               : nullptr;
        messaggi.push_back(
            {testo, titolo_messaggio, icona, c != nullptr && c->shape() == Qt::WaitCursor});
    }
};
