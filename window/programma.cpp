#include "window/programma.h"

#include "window/avvisi_qt.h"
#include "window/voce_cifre.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

namespace contavoce {

bool traduzioni_qt(QTranslator& traduzioni) {
    // The program speaks Italian whatever the desktop's language, and so do the
    // texts Qt draws itself (the entry box's menu, the message box's button).
    return traduzioni.load(QLocale(QLocale::Italian), "qtbase", "_",
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
           QCoreApplication::installTranslator(&traduzioni);
}

int esegui_programma(const std::string& cartella, platform::Suono& suono,
                     platform::ServizioMedia& media,
                     const std::function<void(QWidget&)>& prima_di_mostrare) {
    QTranslator traduzioni;
    traduzioni_qt(traduzioni);
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
