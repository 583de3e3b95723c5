// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/interfaccia_qt.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace contavoce::setup {
namespace {

// The platform writes the application's name into an empty title bar; a
// blank keeps it empty, as an empty Caption or Title in setup.inf asks.
QString titolo_visibile(const QString& titolo) {
    return titolo.isEmpty() ? QStringLiteral(" ") : titolo;
}

} // namespace

int InterfacciaQt::dialogo_modale(DialogoSetup& dialogo) {
    dialogo.setWindowTitle(titolo_visibile(dialogo.windowTitle()));
    return dialogo.exec();
}

void InterfacciaQt::messaggio(const QString& testo, const QString& titolo, Icona icona) {
    const auto simbolo = icona == Icona::errore         ? QMessageBox::Critical
                         : icona == Icona::informazione ? QMessageBox::Information
                                                        : QMessageBox::NoIcon;
    QMessageBox box(simbolo, titolo_visibile(titolo), QString(testo).replace("\r\n", "\n"),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // A Windows message box shows the arrow over itself whatever pointer the
    // program has set; Qt would keep the wait pointer.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

} // namespace contavoce::setup
