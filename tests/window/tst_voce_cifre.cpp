// The window as it is created and loaded, its gradient, and the way out.
#include "platform/suono_differito.h"
#include "support/banco_finestra.h"

#include <QApplication>
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
    void avvio_nell_ordine();
    void senza_dispositivo_un_avviso();
    void sfumatura_data();
    void sfumatura();
    void uscita_con_fine_o_chiusura();
    void email_e_timer();
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
    // As after a confirmation: the panel and the words box shown, its buttons enabled.
    ctl.Frame2->show();
    ctl.Text3->show();
    for (QPushButton* c : {ctl.Command1, ctl.Command2, ctl.Command3})
        c->setEnabled(true);
    ctl.Frame1->show(); // the digits of an open panel are not in it
    ctl.Text1->setFocus();
    QStringList ordine;
    for (int i = 0; i < 8; ++i) {
        ordine << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(ordine, QStringList({"Text1", "Text3", "Command5", "Command4", "Command3", "Command2",
                                  "Command1", "Command6"}));
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

QTEST_MAIN(TstVoceCifre)
#include "tst_voce_cifre.moc"
