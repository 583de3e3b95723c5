// Contavoce: the window, over the sound device and the music service.
#include "platform/media.h"
#include "platform/sound_sdl.h"
#include "window/avvisi_qt.h"
#include "window/voce_cifre.h"

#include <QApplication>
#include <QDesktopServices>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Contavoce");

    contavoce::platform::SuonoSdl suono;
    contavoce::platform::MediaMidi media(suono);
    contavoce::AvvisiQt avvisi;
    contavoce::VoceCifre finestra({
        suono,
        media,
        avvisi,
        QCoreApplication::applicationDirPath().toStdString(),
        // "Fine" ends the process on the spot: no handler runs after it and nothing
        // more reaches the music device; the system reclaims the sound device.
        [] {
            std::fflush(nullptr);
            std::_Exit(0);
        },
        [](const QUrl& url) { return QDesktopServices::openUrl(url); },
    });
    finestra.show();
    return app.exec();
}
