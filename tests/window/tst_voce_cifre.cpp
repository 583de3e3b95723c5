// SPDX-License-Identifier: GPL-3.0-or-later
// The window as it is created and loaded, its gradient, and the way out.
#include "platform/audio/suono_differito.h"
#include "registro/registro.h"
#include "support/banco_finestra.h"
#include "window/esercizi/finestra_esercizi.h"
#include "window/impostazioni.h"
#include "window/programma.h"
#include "window/zoom.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QTranslator>
#include <QtTest>

using namespace contavoce;

namespace {

using Banco = test_support::BancoFinestra;
const std::string cartella = test_support::cartella_programma();

QRgb pixel(const VoceCifre& w, int x, int y) {
    return w.superficie().pixel(x, y);
}

} // namespace

class TstVoceCifre : public QObject {
    Q_OBJECT

private slots:
    void geometria_data();
    void geometria();
    void stato_iniziale();
    void ordine_di_tabulazione();
    void esercizi_fuori_dai_piedi();
    void avvio_nell_ordine();
    void senza_dispositivo_un_avviso();
    void sfumatura_data();
    void sfumatura();
    void uscita_con_fine_o_chiusura();
    void email_e_timer();
    void zoom_data();
    void zoom();
    void zoom_nello_schermo();
    void schermo_intero();
    void impostazioni_data();
    void impostazioni();
    void opzioni_data();
    void opzioni();
    void lezione_negli_esercizi();
};

void TstVoceCifre::geometria_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QRect>("pixel");
    // Twips / 15, relative to the container.
    QTest::newRow("Label2") << "Label2" << QRect(8, 8, 561, 25);
    QTest::newRow("Text1") << "Text1" << QRect(88, 48, 257, 41);
    QTest::newRow("Text3") << "Text3" << QRect(8, 104, 425, 57);
    QTest::newRow("Frame3") << "Frame3" << QRect(448, 8, 113, 65);
    QTest::newRow("Command6") << "Command6" << QRect(8, 8, 97, 49);
    QTest::newRow("Frame2") << "Frame2" << QRect(448, 64, 113, 289);
    QTest::newRow("Command1") << "Command1" << QRect(8, 8, 97, 49);
    QTest::newRow("Command2") << "Command2" << QRect(8, 64, 97, 49);
    QTest::newRow("Command3") << "Command3" << QRect(8, 120, 97, 49);
    QTest::newRow("Command5") << "Command5" << QRect(8, 176, 97, 49);
    QTest::newRow("Command4") << "Command4" << QRect(8, 232, 97, 49);
    QTest::newRow("Frame1") << "Frame1" << QRect(24, 184, 393, 145);
    QTest::newRow("Label6") << "Label6" << QRect(88, 16, 201, 17);
    QTest::newRow("Label1") << "Label1" << QRect(24, 104, 345, 33);
    QTest::newRow("Label4") << "Label4" << QRect(120, 336, 185, 17);
    QTest::newRow("Label5(0)") << "Label5_0" << QRect(40, 48, 25, 41);
    QTest::newRow("Label5(3)") << "Label5_3" << QRect(120, 48, 25, 41);
    QTest::newRow("Label5(11)") << "Label5_11" << QRect(328, 48, 25, 41);
}

void TstVoceCifre::geometria() {
    QFETCH(QString, nome);
    QFETCH(QRect, pixel);
    Banco b;
    auto* w = b.w->findChild<QWidget*>(nome);
    QVERIFY(w);
    QCOMPARE(w->geometry(), pixel);
}

void TstVoceCifre::stato_iniziale() {
    Banco b;
    VoceCifre& w = *b.w;
    const ControlliVoceCifre& ctl = w.controlli();
    QCOMPARE(w.windowTitle(), "Cifralia");
    QCOMPARE(w.size(), QSize(567, 357));
    QCOMPARE(w.ScaleHeight(), 5355);
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(ctl.Frame2->isHidden());
    QVERIFY(ctl.Text3->isHidden());
    QVERIFY(ctl.Frame1->isHidden());
    QVERIFY(!ctl.Text1->isHidden());
    QVERIFY(!ctl.Command1->isEnabled() && !ctl.Command2->isEnabled() && !ctl.Command3->isEnabled());
    QVERIFY(ctl.Command4->isEnabled() && ctl.Command5->isEnabled() && ctl.Command6->isEnabled());
    QVERIFY(!ctl.Label1->isEnabled());
    QCOMPARE(ctl.Text1->maxLength(), 12);
    QCOMPARE(ctl.Text1->palette().color(QPalette::Base), QColor(0, 255, 0));
    QCOMPARE(ctl.Label4->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(ctl.Label4->toolTip().startsWith("un programma di Bertoldo, email: "));
    QCOMPARE(ctl.Label6->text(), "C L I C C A    S U I    N U M E R I");
    for (QPushButton* c :
         {ctl.Command1, ctl.Command2, ctl.Command3, ctl.Command4, ctl.Command5, ctl.Command6})
        QVERIFY2(c->text().startsWith('&'), qPrintable(c->text()));
    QCOMPARE(ctl.Command5->text(), "&Pausa musica");
    // The toolkit's own texts are Italian too (the entry box's menu).
    QTranslator traduzioni;
    QVERIFY(traduzioni_qt(traduzioni));
    const std::unique_ptr<QMenu> menu(ctl.Text1->createStandardContextMenu());
    QVERIFY(menu->actions().first()->text().remove('&').startsWith("Annulla"));
    QCOMPARE(ctl.Timer1->interval(), 60000);
    QCOMPARE(ctl.Timer2->interval(), 1000);
    QCOMPARE(ctl.Timer3->interval(), 1000);
    QVERIFY(ctl.Timer1->isActive() && ctl.Timer2->isActive() && ctl.Timer3->isActive());
    for (QLabel* l : ctl.Label5)
        QCOMPARE(l->text(), "4");
    QCOMPARE(ctl.Label5[11]->x() - ctl.Label5[10]->x(), 24); // 360 twips inside a group
    QCOMPARE(ctl.Label5[9]->x() - ctl.Label5[8]->x(), 32);   // 480 between groups
    QCOMPARE(ctl.Label5[0]->font().pointSizeF(), 26.25);
}

void TstVoceCifre::ordine_di_tabulazione() {
    Banco b;
    VoceCifre& w = *b.w;
    const ControlliVoceCifre& ctl = w.controlli();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), ctl.Text1);
    // Only Text1 and INVIO can be reached while Frame2 and Text3 are hidden.
    QTest::keyClick(&w, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ctl.Command6);
    // The practice window's button, added to the form, comes after them all.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ctl.Esercizi);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ctl.Text1);
    // As after a confirmation: the panel and the words box shown, its buttons enabled.
    ctl.Frame2->show();
    ctl.Text3->show();
    for (QPushButton* c : {ctl.Command1, ctl.Command2, ctl.Command3})
        c->setEnabled(true);
    ctl.Frame1->show(); // the digits of an open panel are not in it
    ctl.Text1->setFocus();
    QStringList ordine;
    for (int i = 0; i < 10; ++i) {
        ordine << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(ordine, QStringList({"Text1", "Text3", "Command5", "Command4", "Command3", "Command2",
                                  "Command1", "Command6", "Esercizi", "Text1"}));
}

void TstVoceCifre::esercizi_fuori_dai_piedi() {
    // At every zoom the added button covers none of the form's own controls,
    // stays inside the form and is as large as a child's finger needs.
    Banco b;
    VoceCifre& w = *b.w;
    const ControlliVoceCifre& ctl = w.controlli();
    for (int zoom : {100, 175, 300}) {
        w.imposta_zoom(zoom);
        const QRect mio = ctl.Esercizi->geometry();
        QVERIFY(QRect(QPoint(), w.size()).contains(mio));
        QVERIFY(mio.width() >= 48 && mio.height() >= 48);
        for (QWidget* c : w.findChildren<QWidget*>()) {
            if (c == ctl.Esercizi || c->parentWidget() != &w)
                continue;
            QVERIFY2(!c->geometry().intersects(mio),
                     qPrintable(QString("%1 at %2%").arg(c->objectName()).arg(zoom)));
        }
    }
    QCOMPARE(ctl.Esercizi->text(), "&Esercizi");
    QVERIFY(!ctl.Esercizi->accessibleDescription().isEmpty());
}

void TstVoceCifre::avvio_nell_ordine() {
    Banco b;
    const QString tune = QString::fromStdString(cartella) + "/heidi-cartoon.mid";
    QCOMPARE(b.log,
             QStringList({"stop PlayMidi", "close PlayMidi",
                          "open " + tune + " type sequencer alias PlayMidi", "play PlayMidi"}));
}

void TstVoceCifre::senza_dispositivo_un_avviso() {
    Banco b(0);
    QCOMPARE(b.log.first(), QString::fromUtf8("warn scheda audio: Non è possibile riprodurre "
                                              "suoni ne tantomeno il numero"));
    QCOMPARE(b.log.filter("warn").size(), 1);

    // Without its sound module the program is as without a device: the same
    // warnings for the same steps, and a window that goes on.
    QStringList log;
    test_support::Registro avvisi(log);
    QTemporaryDir senza_modulo;
    platform::SuonoDifferito suono(senza_modulo.path().toStdString());
    VoceCifre w({suono, suono, avvisi, cartella, [] {}, {}});
    for (VoceCifre* finestra : {b.w.get(), &w}) {
        QTest::keyClicks(finestra->controlli().Text1, "12");
        QTest::keyClick(finestra->controlli().Text1, Qt::Key_Return);
        finestra->Command2_Click();
        QCOMPARE(finestra->controlli().Text1->text(), "12");
    }
    QCOMPARE(log, b.log.filter(QRegularExpression("^(warn|message) ")));
}

void TstVoceCifre::sfumatura_data() {
    QTest::addColumn<QString>("carattere");
    QTest::addColumn<int>("rosso");
    QTest::newRow("5") << "5" << 125;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("letter") << "a" << 0;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("9") << "9" << 225;
}

void TstVoceCifre::sfumatura() {
    QFETCH(QString, carattere);
    QFETCH(int, rosso);
    Banco b;
    VoceCifre& w = *b.w;
    w.sfuma(carattere.toStdString());
    const QColor alto(pixel(w, 0, 0));
    QCOMPARE(alto, QColor(rosso, 255 - rosso, 255));
    // Bands of 21 twips (1.4 px): the last visible row is band 254, blue 1; band 255
    // would start exactly at the bottom edge.
    QCOMPARE(QColor(pixel(w, 566, 356)), QColor(rosso, 255 - rosso, 1));
    // Row 100 (twips 1500..1515) lies in band 71.
    QCOMPARE(QColor(pixel(w, 300, 100)).blue(), 255 - 71);
    // Every row is painted and blue never rises going down.
    int blu = 256;
    for (int y = 0; y < 357; ++y) {
        const QColor c(pixel(w, 200, y));
        QVERIFY(c.blue() <= blu);
        QCOMPARE(c.red(), rosso);
        blu = c.blue();
    }
}

void TstVoceCifre::uscita_con_fine_o_chiusura() {
    {
        Banco b;
        b.log.clear();
        b.ctl().Frame2->show();
        b.ctl().Command4->click();
        QCOMPARE(b.log, QStringList({"stop PlayMidi", "close PlayMidi", "effect VETRO", "end"}));
    }
    {
        // While the music is paused the way out is the same.
        Banco b;
        b.w->Command5_Click();
        b.log.clear();
        b.w->close();
        QCOMPARE(b.log, QStringList({"stop PlayMidi", "close PlayMidi", "effect VETRO", "end"}));
        // A second close during the ending does not start it again.
        b.w->close();
        QCOMPARE(b.log.count("end"), 1);
    }
}

void TstVoceCifre::email_e_timer() {
    Banco b;
    VoceCifre& w = *b.w;
    const ControlliVoceCifre& ctl = w.controlli();
    w.show();
    b.log.clear();
    QTest::mouseClick(ctl.Label4, Qt::LeftButton);
    QCOMPARE(b.log, QStringList({"url mailto:bertoldo@example.org"}));

    b.log.clear();
    w.Timer1_Timer();
    w.Timer1_Timer();
    QVERIFY(b.log.isEmpty());
    w.Timer1_Timer();
    QVERIFY(b.log.contains("play PlayMidi"));

    ctl.Command5->click();
    QCOMPARE(ctl.Command5->text(), "&Suona musica");
    QVERIFY(!ctl.Timer1->isActive());
    ctl.Command5->click();
    QCOMPARE(ctl.Command5->text(), "&Pausa musica");
    QVERIFY(ctl.Timer1->isActive());
}

void TstVoceCifre::zoom_data() {
    QTest::addColumn<int>("tasti_piu");
    QTest::addColumn<int>("percento");
    QTest::addColumn<QSize>("finestra");
    QTest::addColumn<QRect>("text1");
    QTest::addColumn<QRect>("cifra_11");
    // Twips x zoom / 1500, to the nearest pixel.
    QTest::newRow("125%") << 1 << 125 << QSize(709, 446) << QRect(110, 60, 321, 51)
                          << QRect(410, 60, 31, 51);
    QTest::newRow("150%") << 2 << 150 << QSize(851, 536) << QRect(132, 72, 386, 62)
                          << QRect(492, 72, 38, 62);
    QTest::newRow("300%") << 8 << 300 << QSize(1701, 1071) << QRect(264, 144, 771, 123)
                          << QRect(984, 144, 75, 123);
    QTest::newRow("no further than 300%")
        << 10 << 300 << QSize(1701, 1071) << QRect(264, 144, 771, 123) << QRect(984, 144, 75, 123);
}

void TstVoceCifre::zoom() {
    QFETCH(int, tasti_piu);
    QFETCH(int, percento);
    QFETCH(QSize, finestra);
    QFETCH(QRect, text1);
    QFETCH(QRect, cifra_11);
    Banco b;
    VoceCifre& w = *b.w;
    const ControlliVoceCifre& ctl = w.controlli();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClicks(ctl.Text1, "12");
    w.sfuma("9");
    b.log.clear();
    // The keys work in the entry box without reaching its handlers: no sound,
    // no digit, no other tint.
    for (int i = 0; i < tasti_piu; ++i)
        QTest::keyClick(ctl.Text1, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(w.zoom(), percento);
    QCOMPARE(b.log, QStringList());
    QCOMPARE(ctl.Text1->text(), "12");
    QCOMPARE(w.size(), finestra);
    QCOMPARE(ctl.Text1->geometry(), text1);
    QCOMPARE(ctl.Label5[11]->geometry(), cifra_11);
    QCOMPARE(ctl.Text1->font().pointSizeF(), 24.0 * percento / 100);
    QCOMPARE(ctl.Label5[0]->font().pointSizeF(), 26.25 * percento / 100);
    QCOMPARE(w.font().pointSizeF(), 13.5 * percento / 100);
    // The handlers still see the form's own size.
    QCOMPARE(w.ScaleWidth(), 8505);
    QCOMPARE(w.ScaleHeight(), 5355);
    // The gradient drawn again over the whole larger surface, in its tint: row y
    // shows the band under its middle (or the one above, on a band's edge).
    QCOMPARE(w.superficie().size(), finestra);
    for (int y : {0, 100, finestra.height() / 2, finestra.height() - 2}) {
        const int banda = int((y + 0.5) * 1500 / percento) / 21;
        const QColor c(pixel(w, finestra.width() - 1, y));
        QCOMPARE(QColor(c.red(), c.green(), 0), QColor(225, 30, 0));
        QVERIFY2(c.blue() == 255 - banda || c.blue() == 256 - banda,
                 qPrintable(QString("row %1: blue %2, band %3").arg(y).arg(c.blue()).arg(banda)));
    }

    QTest::keyClick(ctl.Text1, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(w.zoom(), zoom_meno(percento));
    QTest::keyClick(ctl.Text1, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(w.zoom(), 100);
    QCOMPARE(w.size(), QSize(567, 357));
    QCOMPARE(ctl.Text1->geometry(), QRect(88, 48, 257, 41));
    QCOMPARE(ctl.Text1->font().pointSizeF(), 24.0);
    QCOMPARE(b.log, QStringList());
    QCOMPARE(ctl.Text1->text(), "12");
}

void TstVoceCifre::zoom_nello_schermo() {
    // On the laptop's 1024 x 768 the largest step that fits is 175% (992 x 625):
    // a remembered 300% opens at it, and Ctrl+Plus stops there.
    QScreen* portatile = QGuiApplication::screens().value(1);
    QVERIFY(portatile);
    QCOMPARE(portatile->availableGeometry().size(), QSize(1024, 768));
    Banco b;
    VoceCifre& w = *b.w;
    w.setScreen(portatile);
    w.move(portatile->geometry().topLeft());
    w.imposta_zoom(300);
    QCOMPARE(w.zoom(), 175);
    QCOMPARE(w.size(), QSize(992, 625));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.controlli().Text1, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(w.zoom(), 100);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(w.controlli().Text1, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(w.zoom(), 175);
    QVERIFY(w.frameGeometry().width() <= 1024 && w.frameGeometry().height() <= 768);
}

void TstVoceCifre::schermo_intero() {
    Banco b;
    VoceCifre& w = *b.w;
    const ControlliVoceCifre& ctl = w.controlli();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.sfuma("2");
    QTest::keyClick(ctl.Text1, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(ctl.Text1, Qt::Key_F11);
    QVERIFY(w.schermo_intero());
    const QSize schermo = w.screen()->geometry().size();
    QTRY_COMPARE(w.size(), schermo);
    // The largest zoom that fits, centred.
    const int z = zoom_che_entra(schermo, {8505, 5355});
    QVERIFY(z > 100);
    const QSize form = dimensione_zoom({8505, 5355}, z);
    QVERIFY(form.width() <= schermo.width() && form.height() <= schermo.height());
    QVERIFY(dimensione_zoom({8505, 5355}, z + 25).width() > schermo.width() ||
            dimensione_zoom({8505, 5355}, z + 25).height() > schermo.height());
    const QPoint angolo((schermo.width() - form.width()) / 2,
                        (schermo.height() - form.height()) / 2);
    QCOMPARE(ctl.Text1->geometry(), rettangolo_zoom({1320, 720, 3855, 615}, z).translated(angolo));
    // Around the form, the same gradient to the screen's edges.
    QCOMPARE(QColor(pixel(w, 0, 0)), QColor(50, 205, 255));
    QCOMPARE(QColor(pixel(w, schermo.width() - 1, schermo.height() - 1)), QColor(50, 205, 0));
    QCOMPARE(QColor(pixel(w, 0, angolo.y() + form.height() / 2)),
             QColor(pixel(w, angolo.x() + 1, angolo.y() + form.height() / 2)));

    // Back to the window at its zoom.
    QTest::keyClick(ctl.Text1, Qt::Key_F11);
    QVERIFY(!w.schermo_intero());
    QTRY_COMPARE(w.size(), QSize(709, 446));
    QCOMPARE(ctl.Text1->geometry(), QRect(110, 60, 321, 51));
    QCOMPARE(b.log.filter("effect"), QStringList());
}

void TstVoceCifre::impostazioni_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("pausa");
    QTest::addColumn<bool>("scolastica");
    QTest::newRow("none") << QByteArray() << 100 << false << false;
    QTest::newRow("all") << QByteArray("[General]\nzoom=175\nmusica_in_pausa=true\n"
                                       "grafia=scolastica\nesercizi_in_silenzio=true\n")
                         << 175 << true << true;
    QTest::newRow("spelling unknown")
        << QByteArray("[General]\ngrafia=Scolastica\n") << 100 << false << false;
    QTest::newRow("zoom off the steps")
        << QByteArray("[General]\nzoom=130\n") << 100 << false << false;
    QTest::newRow("zoom too large")
        << QByteArray("[General]\nzoom=2500\n") << 100 << false << false;
    QTest::newRow("zoom not a number")
        << QByteArray("[General]\nzoom=grande\nmusica_in_pausa=forse\n"
                      "esercizi_in_silenzio=forse\n")
        << 100 << false << false;
    QTest::newRow("garbage") << QByteArray("\x00\xff[[[=\n\x01zoom\x00=\xfe\n", 16) << 100 << false
                             << false;
}

void TstVoceCifre::impostazioni() {
    QFETCH(QByteArray, file);
    QFETCH(int, zoom);
    QFETCH(bool, pausa);
    QFETCH(bool, scolastica);
    QTemporaryDir cartella;
    const QString percorso = cartella.filePath("Contavoce.conf");
    {
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    QSettings letto(percorso, QSettings::IniFormat);
    const Ricordate i = leggi_impostazioni(letto);
    QCOMPARE(i.zoom, zoom);
    QCOMPARE(i.musica_in_pausa, pausa);
    QCOMPARE(i.grafia == Grafia::scolastica, scolastica);
    // The practice's quiet mode goes with the music's pause in the rows.
    QCOMPARE(i.silenzio, pausa);

    // What is remembered reads back the same, even over a damaged file.
    {
        QSettings scritto(percorso, QSettings::IniFormat);
        ricorda_zoom(scritto, 250);
        ricorda_pausa_musica(scritto, true);
        ricorda_grafia(scritto, scolastica ? Grafia::originale : Grafia::scolastica);
        ricorda_silenzio(scritto, !pausa);
    }
    QSettings riletto(percorso, QSettings::IniFormat);
    QCOMPARE(leggi_impostazioni(riletto).zoom, 250);
    QCOMPARE(leggi_impostazioni(riletto).musica_in_pausa, true);
    QCOMPARE(leggi_impostazioni(riletto).grafia == Grafia::scolastica, !scolastica);
    QCOMPARE(leggi_impostazioni(riletto).silenzio, !pausa);
}

void TstVoceCifre::opzioni_data() {
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("uscita");
    QTest::addColumn<QString>("errori");
    QTest::newRow("help") << QStringList{"--help"} << 0
                          << "^Usage: contavoce .*--version.*--fullscreen.*--no-music.*--zoom.*"
                             "--grafia <G>.*scolastica.*--esercizi.*--seme <N>.*--lezione <FILE>"
                          << "^$";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "^contavoce 0\\.1\\.0\n$"
                             << "^$";
    QTest::newRow("zoom off the steps") << QStringList{"--zoom", "130"} << 2 << "^$"
                                        << "--zoom.*100 to 300.*130";
    QTest::newRow("zoom not a number") << QStringList{"--zoom=grande"} << 2 << "^$"
                                       << "grande";
    QTest::newRow("zoom without value") << QStringList{"--zoom"} << 2 << "^$"
                                        << "zoom";
    QTest::newRow("spelling unknown") << QStringList{"--grafia", "scuola"} << 2 << "^$"
                                      << "--grafia wants originale or scolastica, not 'scuola'";
    QTest::newRow("seed not a number") << QStringList{"--esercizi", "--seme", "-3"} << 2 << "^$"
                                       << "--seme wants a whole number, not '-3'";
    QTest::newRow("unknown option") << QStringList{"--volume", "3"} << 2 << "^$"
                                    << "volume";
    QTest::newRow("argument") << QStringList{"12"} << 2 << "^$"
                              << "'12'";
}

void TstVoceCifre::opzioni() {
    QFETCH(QStringList, argomenti);
    QFETCH(int, codice);
    QFETCH(QString, uscita);
    QFETCH(QString, errori);
    // With no display a window would end the program with Qt's fatal error, and
    // a sound device opened on the disk driver would leave its file behind.
    QTemporaryDir lavoro;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.insert("SDL_AUDIODRIVER", "disk");
    env.insert("SDL_DISKAUDIOFILE", lavoro.filePath("audio.raw"));
    env.insert("XDG_CONFIG_HOME", lavoro.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(cartella) + "/contavoce", argomenti);
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    QVERIFY2(p.exitCode() == codice, qPrintable(err));
    const auto dotall = QRegularExpression::DotMatchesEverythingOption;
    QVERIFY2(QRegularExpression(uscita, dotall).match(out).hasMatch(), qPrintable(out));
    QVERIFY2(QRegularExpression(errori, dotall).match(err).hasMatch(), qPrintable(err));
    QCOMPARE(QDir(lavoro.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

// A teacher's lesson sets the practice window's controls and starts its
// round, the same one each time; another level chosen leaves the lesson.
// A lesson waits for "Chi gioca?"; each answer of a child is in the register
// before its verdict shows, and the child is there at the next opening.
void TstVoceCifre::lezione_negli_esercizi() {
    QTemporaryDir dati;
    qputenv("XDG_DATA_HOME", dati.path().toUtf8());
    Banco b;
    FinestraEsercizi e(*b.w, b.suono, cartella);
    Lezione l;
    l.titolo = "Le migliaia";
    l.classe = Classe::quarta;
    l.livello = 2;
    l.tipi = {Tipo::lettere, Tipo::ascolta};
    l.domande = 6;
    l.seme = 7;
    l.grafia = Grafia::scolastica;
    const std::vector<Domanda> attese = prepara_domande(impostazioni_lezione(l, Grafia::originale));
    e.apri_lezione(l);
    QVERIFY(!e.giro());
    QVERIFY(!e.controlli().chi->isHidden());
    e.controlli().nuovo->setText("  Anna ");
    e.Aggiungi_Click();
    QVERIFY(e.controlli().chi->isHidden());
    auto registro = registro::Registro::apri(registro::cartella_registro());
    std::size_t date = 0;
    while (e.giro() && !e.giro()->finito()) {
        const Domanda& d = e.giro()->domanda();
        const std::size_t i = e.giro()->indice();
        // Wrong twice at the first question, right at the others.
        for (int volta = 0; volta < (i == 0 ? 2 : 1); ++volta) {
            e.controlla(QString::fromUtf8(i == 0 ? "1" : d.attesa));
            QCOMPARE(registro.risposte()->size(), ++date);
        }
        QTRY_VERIFY_WITH_TIMEOUT(e.giro()->indice() != i, 10000);
    }
    QCOMPARE(registro.risposte()->size(), attese.size() + 1);
    const auto bambino = registro.trova_bambino("anna");
    QVERIFY(bambino);
    QCOMPARE(bambino->nome, std::string("Anna"));
    const auto esiti = *registro.esiti(bambino->id);
    QCOMPARE(esiti.size(), 2u); // the lesson's two kinds
    QCOMPARE(esiti[0].tipo, Tipo::lettere);
    QCOMPARE(esiti[0].giuste + esiti[1].giuste, attese.size() - 1);
    for (int volta = 0; volta < 2; ++volta) {
        e.Inizia_Click();
        QVERIFY(e.giro());
        QCOMPARE(e.giro()->totale(), attese.size());
        for (std::size_t i = 0; i < attese.size(); ++i)
            QCOMPARE(e.giro()->domande()[i].attesa, attese[i].attesa);
    }
    const ControlliEsercizi& c = e.controlli();
    QCOMPARE(c.classe->currentIndex(), int(Classe::quarta));
    QCOMPARE(c.livello->currentIndex(), 1);
    QCOMPARE(c.tipo->currentIndex(), int(Tipo::lettere));
    QVERIFY(c.scolastica->isChecked());
    QVERIFY(e.windowTitle().endsWith(" – Le migliaia"));

    c.livello->setCurrentIndex(0);
    e.Inizia_Click();
    QCOMPARE(e.giro()->totale(), domande_di_norma);
    for (const Domanda& d : e.giro()->domande())
        QCOMPARE(d.tipo, Tipo::lettere);
    QVERIFY(!e.windowTitle().contains("Le migliaia"));
    e.close();
    e.show();
    QCOMPARE(e.controlli().bambini->count(), 1);
    QCOMPARE(e.controlli().bambini->item(0)->text(), QString("Anna"));
    qunsetenv("XDG_DATA_HOME");
}

// Two screens: a large one, where the windows open, and a school laptop's.
int main(int argc, char** argv) {
    QTemporaryDir cartella;
    const QString schermi = cartella.filePath("schermi.json");
    QFile f(schermi);
    if (!f.open(QIODevice::WriteOnly) || f.write(R"({"screens": [
            {"name": "grande", "x": 0, "y": 0, "width": 1760, "height": 1100,
             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "portatile", "x": 1760, "y": 0, "width": 1024, "height": 768,
             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + schermi.toLocal8Bit());
    QApplication app(argc, argv);
    TstVoceCifre prove;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&prove, argc, argv);
}
#include "tst_voce_cifre.moc"
