// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/programma.h"

#include "esercizi/lezione.h"
#include "window/avvisi_qt.h"
#include "window/esercizi/finestra_esercizi.h"
#include "window/impostazioni.h"
#include "window/voce_cifre.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <memory>

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
                     const std::function<void(QWidget&)>& prima_di_mostrare,
                     const Opzioni& opzioni) {
    QTranslator traduzioni;
    traduzioni_qt(traduzioni);
    // ~/.config/Contavoce/Contavoce.conf (or under $XDG_CONFIG_HOME).
    QSettings impostazioni(QSettings::NativeFormat, QSettings::UserScope, "Contavoce", "Contavoce");
    const Ricordate ricordate = leggi_impostazioni(impostazioni);
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
    finestra.imposta_zoom(opzioni.zoom.value_or(ricordate.zoom));
    // The spelling is a teacher's choice, made once on the command line and
    // kept for the child's runs after it.
    if (opzioni.grafia)
        ricorda_grafia(impostazioni, *opzioni.grafia);
    finestra.imposta_grafia(opzioni.grafia.value_or(ricordate.grafia));
    if (opzioni.senza_musica || ricordate.musica_in_pausa)
        finestra.parti_con_musica_in_pausa();
    // Only what the child changes from here on is remembered, not this run's options.
    QObject::connect(&finestra, &VoceCifre::zoom_cambiato,
                     [&](int percento) { ricorda_zoom(impostazioni, percento); });
    QObject::connect(&finestra, &VoceCifre::pausa_musica_cambiata,
                     [&](bool in_pausa) { ricorda_pausa_musica(impostazioni, in_pausa); });
    // The practice window is made the first time it is asked for, and kept:
    // closed, it comes back as the child left it.
    std::unique_ptr<FinestraEsercizi> esercizi;
    bool silenzio = ricordate.silenzio;
    const auto apri_esercizi = [&] {
        if (!esercizi) {
            esercizi = std::make_unique<FinestraEsercizi>(finestra, suono, cartella);
            esercizi->imposta_seme(opzioni.seme);
            esercizi->imposta_silenzio(silenzio);
            esercizi->imposta_grafia(opzioni.grafia.value_or(ricordate.grafia));
            QObject::connect(esercizi.get(), &FinestraEsercizi::silenzio_cambiato, [&](bool s) {
                silenzio = s;
                ricorda_silenzio(impostazioni, s);
            });
            QObject::connect(esercizi.get(), &FinestraEsercizi::grafia_cambiata,
                             [&](Grafia g) { ricorda_grafia(impostazioni, g); });
        }
        // Over the main window, where the child was looking.
        const QRect sopra = finestra.geometry();
        esercizi->move(sopra.center() - esercizi->rect().center());
        if (const QScreen* schermo = finestra.screen()) {
            const QRect area = schermo->availableGeometry();
            esercizi->move(std::clamp(esercizi->x(), area.left(),
                                      std::max(area.left(), area.right() - esercizi->width())),
                           std::clamp(esercizi->y(), area.top(),
                                      std::max(area.top(), area.bottom() - esercizi->height())));
        }
        esercizi->show();
        esercizi->raise();
        esercizi->activateWindow();
    };
    QObject::connect(&finestra, &VoceCifre::esercizi_chiesti, apri_esercizi);
    if (prima_di_mostrare)
        prima_di_mostrare(finestra);
    if (opzioni.schermo_intero)
        finestra.commuta_schermo_intero();
    else
        finestra.show();
    if (opzioni.esercizi)
        apri_esercizi();
    if (opzioni.lezione) {
        const LezioneLetta letta =
            leggi_file_lezione(QFile::encodeName(*opzioni.lezione).toStdString());
        if (const auto* lezione = std::get_if<Lezione>(&letta)) {
            apri_esercizi();
            esercizi->apri_lezione(*lezione);
        } else {
            // Told in the window too, which a child's desktop launcher shows
            // where standard error is seen by nobody.
            const std::string perche = std::get<ErroreLezione>(letta).messaggio;
            std::fprintf(stderr, "contavoce: %s: %s\n", qPrintable(*opzioni.lezione),
                         perche.c_str());
            QTimer::singleShot(0, &finestra, [&avvisi, perche] {
                avvisi.avviso("Questa lezione non si apre.\n" + perche, "Contavoce");
            });
        }
    }
    const int codice = QApplication::exec();
    esercizi.reset(); // before the window it lies over
    return codice;
}

} // namespace contavoce
