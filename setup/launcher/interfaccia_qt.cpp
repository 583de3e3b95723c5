#include "setup/launcher/interfaccia_qt.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace contavoce::setup {

int InterfacciaQt::dialogo_modale(DialogoSetup& dialogo) {
    return dialogo.exec();
}

void InterfacciaQt::messaggio(const QString& testo, const QString& titolo, Icona icona) {
    const auto simbolo = icona == Icona::errore         ? QMessageBox::Critical
                         : icona == Icona::informazione ? QMessageBox::Information
                                                        : QMessageBox::NoIcon;
    QMessageBox box(simbolo, titolo, QString(testo).replace("\r\n", "\n"), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // A Windows message box shows the arrow over itself whatever pointer the
    // program has set; Qt would keep the wait pointer.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

} // namespace contavoce::setup
