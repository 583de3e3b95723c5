// SPDX-License-Identifier: GPL-3.0-or-later
// setup: installs the program from the cabinet in the current directory.
#include "platform/qt/pointers.h"
#include "setup/launcher/guardiano.h"
#include "setup/launcher/interfaccia_qt.h"
#include "setup/launcher/setup.h"

#include <QApplication>
#include <QFile>
#include <cstdlib>

int main(int /*argc*/, char** argv) {
    const std::filesystem::path temporanea =
        contavoce::setup::cartella_temporanea(std::getenv("TMPDIR"));
    // Before Qt starts any thread: the watcher is a plain fork.
    const contavoce::setup::Guardiano guardiano(temporanea);

    // The launcher has no options, and Qt gets none either: "-display" or
    // "-platform" on the command line would otherwise be Qt's to act on.
    int qt_argc = 1;
    char* qt_argv[] = {argv[0], nullptr};
    QApplication app(qt_argc, qt_argv);
    QApplication::setApplicationName("Setup");
    QApplication::setApplicationVersion("1.0.0.1");
    QApplication::setWindowIcon(contavoce::platform::icona("setup"));

    contavoce::setup::InterfacciaQt interfaccia;
    // The program's folder as bytes: its name need not be valid UTF-8.
    std::error_code ec;
    std::filesystem::path programma = std::filesystem::read_symlink("/proc/self/exe", ec);
    programma = ec ? std::filesystem::path(
                         QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString())
                   : programma.parent_path();
    contavoce::setup::Ambiente ambiente{interfaccia, programma, {}, temporanea};
    for (const QByteArray& cartella : qgetenv("PATH").split(':'))
        if (!cartella.isEmpty())
            ambiente.percorsi.emplace_back(cartella.toStdString());
    return contavoce::setup::setup_main(ambiente);
}
