// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/risposte.h"

#include "setup/launcher/dialogo.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

int Risposte::dialogo_modale(contavoce::setup::DialogoSetup& dialogo) {
    ++dialoghi;
    titolo = dialogo.windowTitle();
    testo_superiore = dialogo.findChild<QLabel*>("1005")->text();
    testo_inferiore = dialogo.findChild<QLabel*>("1004")->text();
    if (durante_il_dialogo)
        durante_il_dialogo();
    dialogo.findChild<QPushButton*>(QString::number(scelta))->click();
    return dialogo.result();
}

void Risposte::messaggio(const QString& testo, const QString& titolo_messaggio,
                         contavoce::setup::Icona icona) {
    const QCursor* c = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                           ? QGuiApplication::overrideCursor()
                           : nullptr;
    messaggi.push_back(
        {testo, titolo_messaggio, icona, c != nullptr && c->shape() == Qt::WaitCursor});
}
