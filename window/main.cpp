// Contavoce: the window, over the sound device and the music service.
#include "platform/file.h"
#include "platform/suono_differito.h"
#include "window/programma.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The sound module and the device first, on their own thread: they load
    // while Qt starts and the window is built, and the window waits for them
    // only when it checks the device.
    const std::string cartella = contavoce::platform::cartella_programma();
    contavoce::platform::SuonoDifferito suono(cartella);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Contavoce");
    return contavoce::esegui_programma(cartella, suono, suono);
}
