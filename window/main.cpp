// SPDX-License-Identifier: GPL-3.0-or-later
// Contavoce: the window, over the sound device and the music service.
#include "platform/audio/suono_differito.h"
#include "platform/base/file.h"
#include "window/opzioni.h"
#include "window/programma.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // The options first: --help, --version and a bad option end here, before
    // any window or sound device.
    QStringList argomenti;
    for (int i = 0; i < argc; ++i)
        argomenti << QString::fromLocal8Bit(argv[i]);
    const auto opzioni = contavoce::leggi_opzioni(argomenti);
    if (const auto* uscita = std::get_if<contavoce::Uscita>(&opzioni)) {
        std::fputs(uscita->testo.toLocal8Bit().constData(), uscita->codice ? stderr : stdout);
        return uscita->codice;
    }
    // The sound module and the device first, on their own thread: they load
    // while Qt starts and the window is built, and the window waits for them
    // only when it checks the device.
    const std::string cartella = contavoce::platform::cartella_programma();
    contavoce::platform::SuonoDifferito suono(cartella);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Contavoce");
    return contavoce::esegui_programma(cartella, suono, suono, {},
                                       std::get<contavoce::Opzioni>(opzioni));
}
