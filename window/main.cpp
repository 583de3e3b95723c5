// Contavoce: the window, over the sound device and the music service.
#include "window/programma.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Contavoce");
    return contavoce::esegui_programma(QCoreApplication::applicationDirPath().toStdString());
}
