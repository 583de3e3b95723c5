#include "window/programma.h"

#include "window/avvisi_qt.h"
#include "window/voce_cifre.h"

#include <QApplication>
#include <QDesktopServices>
#include <cstdio>
#include <cstdlib>

namespace contavoce {

int esegui_programma(const std::string& cartella, platform::Suono& suono,
                     platform::ServizioMedia& media,
                     const std::function<void(QWidget&)>& prima_di_mostrare) {
    AvvisiQt avvisi;
    VoceCifre finestra({
        suono,
        media,
        avvisi,
        cartella,
        // "Fine" ends the process on the spot: no handler runs after it and nothing
        // more reaches the music device; the system reclaims the sound device.
        [] {
            std::fflush(nullptr);
            std::_Exit(0);
        },
        [](const QUrl& url) { return QDesktopServices::openUrl(url); },
    });
    if (prima_di_mostrare)
        prima_di_mostrare(finestra);
    finestra.show();
    return QApplication::exec();
}

} // namespace contavoce
