// setup: installs the program from the cabinet in the current directory.
#include "platform/pointers.h"
#include "setup/launcher/interfaccia_qt.h"
#include "setup/launcher/setup.h"

#include <QApplication>
#include <QDir>
#include <QFile>

int main(int argc, char** argv) {
    // The command line is not read: the launcher has no options.
    QApplication app(argc, argv);
    QApplication::setApplicationName("Setup");
    QApplication::setApplicationVersion("1.0.0.1");
    QApplication::setWindowIcon(contavoce::platform::icona("setup"));

    contavoce::setup::InterfacciaQt interfaccia;
    contavoce::setup::Ambiente ambiente{
        interfaccia,
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
        {},
        QFile::encodeName(QDir::tempPath()).toStdString()};
    for (const QByteArray& cartella : qgetenv("PATH").split(':'))
        if (!cartella.isEmpty())
            ambiente.percorsi.emplace_back(cartella.toStdString());
    return contavoce::setup::setup_main(ambiente);
}
