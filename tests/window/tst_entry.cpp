// SPDX-License-Identifier: GPL-3.0-or-later
// What a child does in the window: typing, confirming, listening, starting
// over, the place-value panel and the pointer feedback.
#include "support/banco_finestra.h"
#include "window/accesso.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QtTest>

using namespace contavoce;

namespace {

const std::string cartella = test_support::cartella_programma();

// The window shown, focus in the entry box, the start-up's log cleared; every
// text the words box is given is kept as one frame.
struct Banco : test_support::BancoFinestra {
    QStringList fotogrammi;
    QList<int> righe_per_fotogramma; // lines the words box shows in each frame

    Banco() {
        QObject::connect(ctl().Text3, &QPlainTextEdit::textChanged, [this] {
            fotogrammi << ctl().Text3->toPlainText();
            righe_per_fotogramma << int(
                ctl().Text3->document()->documentLayout()->documentSize().height());
        });
        w->show();
        ctl().Text1->setFocus();
        log.clear();
    }
    QStringList effetti() const { return log.filter(QRegularExpression("^effect")); }
    void digita(const QString& testo) { QTest::keyClicks(ctl().Text1, testo); }
    void invio() { QTest::keyClick(ctl().Text1, Qt::Key_Return); }
};

int blank_iniziali(const QString& s) {
    int n = 0;
    while (n < s.size() && s[n] == ' ')
        ++n;
    return n;
}

QColor colore_testo(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

// A left click on a control, pressed and released inside it.
void clic(QWidget* w) {
    for (auto tipo : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(tipo, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                      tipo == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

// The clips said, by file name, whether played to their end or started without
// waiting; the laser left out.
QStringList detti(const QStringList& log) {
    QStringList r;
    for (const QString& l : log)
        if ((l.startsWith("play ") || l.startsWith("async /")) && !l.endsWith("/laser.wav"))
            r << l.section(' ', 1).section('/', -1);
    return r;
}

QString nome_accessibile(QObject* o) {
    return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
}

} // namespace

class TstEntry : public QObject {
    Q_OBJECT

private slots:
    void conferma_con_animazione_data();
    void conferma_con_animazione();
    void conferma_con_invio_e_suoni_nell_ordine();
    void tasti_dopo_invio_scartati();
    void parole_lunghe_senza_animazione();
    void tasti_rifiutati();
    void tredicesima_cifra();
    void tastierino_senza_bloc_num();
    void solo_zeri();
    void incolla_solo_cifre();
    void ascolta_e_nuovo_numero();
    void pannello_delle_cifre_data();
    void pannello_delle_cifre();
    void nomi_e_lampeggio();
    void puntatori_e_email();
    void anello_del_fuoco();
    void invio_sui_pulsanti();
    void cifre_da_tastiera();
    void nomi_per_chi_non_vede();
};

void TstEntry::conferma_con_animazione_data() {
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QString>("mostrato");
    QTest::addColumn<QString>("parole");
    QTest::addColumn<int>("fotogrammi");
    QTest::addColumn<int>("primi_blank");
    QTest::addColumn<int>("ultimi_blank");
    QTest::newRow("0012") << "0012"
                          << "12"
                          << "Dodici" << 90 << 178 << 0;
    QTest::newRow("21") << "21"
                        << "21"
                        << "Ventuno" << 89 << 177 << 1;
    QTest::newRow("1234567") << "1234567"
                             << "1.234.567"
                             << "Unmilioneduecentotrentaquattromilacinquecentosessantasette" << 38
                             << 190 - 2 * 58 << 0;
}

void TstEntry::conferma_con_animazione() {
    QFETCH(QString, digitato);
    QFETCH(QString, mostrato);
    QFETCH(QString, parole);
    QFETCH(int, fotogrammi);
    QFETCH(int, primi_blank);
    QFETCH(int, ultimi_blank);
    Banco b;
    b.digita(digitato);
    b.ctl().Command6->click();
    QCOMPARE(QString::fromStdString(b.w->numero_confermato()),
             QString(digitato).remove(QRegularExpression("^0+")));
    QCOMPARE(b.ctl().Text1->text(), mostrato);
    QCOMPARE(b.fotogrammi.size(), fotogrammi);
    QCOMPARE(blank_iniziali(b.fotogrammi.first()), primi_blank);
    QCOMPARE(blank_iniziali(b.fotogrammi.last()), ultimi_blank);
    QCOMPARE(b.fotogrammi.last().trimmed(), parole);
    // Every frame on the first line: the leading blanks never wrap.
    QCOMPARE(b.righe_per_fotogramma.size(), fotogrammi);
    QCOMPARE(*std::max_element(b.righe_per_fotogramma.begin(), b.righe_per_fotogramma.end()), 1);
    // Confirmed state: entry locked and disabled, words box white, the panel's buttons on.
    QVERIFY(!b.ctl().Text1->isEnabled() && b.ctl().Text1->isReadOnly());
    QCOMPARE(b.ctl().Text1->maxLength(), 12);
    QVERIFY(!b.ctl().Command6->isEnabled());
    QVERIFY(b.ctl().Frame2->isVisible() && b.ctl().Text3->isVisible() &&
            b.ctl().Text3->isReadOnly());
    QCOMPARE(b.ctl().Text3->palette().color(QPalette::Base), QColor(Qt::white));
    QVERIFY(b.ctl().Command1->isEnabled() && b.ctl().Command2->isEnabled() &&
            b.ctl().Command3->isEnabled());
    QCOMPARE(QApplication::focusWidget(), b.ctl().Command1);
    // The grouped number is read in dark ink on the green, though the box is disabled.
    const QImage casella = b.ctl().Text1->grab().toImage();
    int scuri = 0;
    for (int y = 0; y < casella.height(); ++y)
        for (int x = 0; x < casella.width(); ++x) {
            const QColor c = casella.pixelColor(x, y);
            scuri += std::max({c.red(), c.green(), c.blue()}) < 80;
        }
    QVERIFY2(scuri > 60, qPrintable(QString("%1 dark pixels").arg(scuri)));
}

void TstEntry::conferma_con_invio_e_suoni_nell_ordine() {
    Banco b;
    int gialli = 0;
    QObject::connect(b.ctl().Text3, &QPlainTextEdit::textChanged, [&] {
        gialli += b.ctl().Text3->palette().color(QPalette::Base) == QColor(255, 255, 0);
    });
    b.digita("0012");
    b.invio();
    QCOMPARE(b.effetti(), QStringList({"effect G0", "effect G0", "effect G1", "effect G2",
                                       "effect UCCELLO", "effect INIZIO"}));
    QCOMPARE(gialli, 90 / 5); // every fifth frame
}

void TstEntry::tasti_dopo_invio_scartati() {
    // Typed quickly: all five arrive while the first one's tint yields to the event
    // loop, so they wait in the queue; those after Enter find the box confirmed.
    Banco b;
    for (const int k : {Qt::Key_5, Qt::Key_6, Qt::Key_Return, Qt::Key_7, Qt::Key_8})
        QCoreApplication::postEvent(b.ctl().Text1,
                                    new QKeyEvent(QEvent::KeyPress, k, Qt::NoModifier,
                                                  k == Qt::Key_Return ? "\r" : QString(QChar(k))));
    QTRY_VERIFY(b.ctl().Command1->isEnabled());
    QCoreApplication::processEvents();
    QCOMPARE(b.ctl().Text1->text(), "56");
    QCOMPARE(b.log.filter(QRegularExpression("^(effect|message|beep)")),
             QStringList({"effect G5", "effect G6", "effect UCCELLO", "effect INIZIO"}));

    // Keys typed while the words slide in, on the first confirmation of a run,
    // go to whatever has the focus: never the words box, which takes no typed
    // text (not even after a click on it) and meanwhile has no focus ring.
    Banco c;
    c.digita("12");
    bool dentro = false;
    QStringList fuochi;
    QObject::connect(c.ctl().Text3, &QPlainTextEdit::textChanged, [&] {
        if (dentro)
            return;
        dentro = true;
        QWidget* fuoco = QApplication::focusWidget();
        fuochi << (fuoco ? fuoco->objectName() : QString());
        if (fuochi.size() == 60)
            QTest::mouseClick(c.ctl().Text3->viewport(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : c.w.get(),
                        Qt::Key_9);
        dentro = false;
    });
    c.invio();
    QCOMPARE(c.ctl().Text3->toPlainText(), "Dodici");
    QCOMPARE(fuochi.size(), 90);
    QVERIFY2(!fuochi.mid(0, 59).contains("Text3"), qPrintable(fuochi.join(' ')));
    QCOMPARE(c.effetti(),
             QStringList({"effect G1", "effect G2", "effect UCCELLO", "effect INIZIO"}));
}

void TstEntry::parole_lunghe_senza_animazione() {
    Banco b;
    b.digita("777777777777");
    b.invio();
    QCOMPARE(b.fotogrammi.size(), 1);
    QCOMPARE(b.fotogrammi.first().size(), 111);
    QVERIFY(b.fotogrammi.first().startsWith("Settecentosettantasettemiliardi"));
    QCOMPARE(b.ctl().Text1->text(), "777.777.777.777");
}

void TstEntry::tasti_rifiutati() {
    Banco b;
    b.invio(); // empty box
    QCOMPARE(b.effetti(), QStringList({"effect UCCELLO", "effect ASINO"}));
    QVERIFY(b.ctl().Frame2->isHidden() && b.ctl().Text1->isEnabled());
    b.log.clear();
    b.digita("a");
    QCOMPARE(b.effetti(), QStringList({"effect ASINO", "effect ASINO"}));
    QCOMPARE(b.ctl().Text1->text(), "");
    b.log.clear();
    b.digita("4");
    QTest::keyClick(b.ctl().Text1, Qt::Key_Backspace);
    QCOMPARE(b.ctl().Text1->text(), "");
    QTest::keyClick(b.ctl().Text1, Qt::Key_Delete);
    QCOMPARE(b.effetti(), QStringList({"effect G4", "effect SPARO", "effect SPARO"}));

    // Chords type nothing: Alt+digit, Ctrl+digit and Alt+letter of a hidden button
    // are seen by the key-down handler alone; Ctrl+letter goes through the character
    // handler once, as its control character, and is refused there.
    b.log.clear();
    const QRgb tinta = b.w->superficie().pixel(0, 0);
    QTest::keyClick(b.ctl().Text1, Qt::Key_5, Qt::AltModifier);
    QTest::keyClick(b.ctl().Text1, Qt::Key_5, Qt::ControlModifier);
    QTest::keyClick(b.ctl().Text1, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(b.ctl().Text1->text(), "");
    QCOMPARE(b.effetti(), QStringList());
    QCOMPARE(b.w->superficie().pixel(0, 0), tinta);
    QTest::keyClick(b.ctl().Text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(b.effetti(), QStringList({"effect ASINO", "effect ASINO"}));
}

void TstEntry::tredicesima_cifra() {
    Banco b;
    b.digita("111111111111");
    b.log.clear();
    b.digita("9");
    QCOMPARE(b.ctl().Text1->text(), "111111111111");
    QCOMPARE(b.effetti(), QStringList({"effect G9"}));
    QCOMPARE(QColor(b.w->superficie().pixel(0, 0)).red(), 225); // the tint changed all the same
}

void TstEntry::tastierino_senza_bloc_num() {
    Banco b;
    QTest::keyClick(b.ctl().Text1, Qt::Key_Home, Qt::KeypadModifier);
    QTest::keyClick(b.ctl().Text1, Qt::Key_Clear, Qt::KeypadModifier);
    QTest::keyClick(b.ctl().Text1, Qt::Key_PageUp); // the separate navigation key alike
    QCOMPARE(b.ctl().Text1->text(), "759");
    QCOMPARE(b.effetti(), QStringList({"effect G7", "effect G5", "effect G9"}));
    QCOMPARE(QColor(b.w->superficie().pixel(0, 0)).red(), 225);
}

void TstEntry::solo_zeri() {
    Banco b;
    b.digita("000");
    b.invio();
    QCOMPARE(b.w->numero_confermato(), std::string());
    QCOMPARE(b.w->lettere_numero(), std::string());
    QCOMPARE(b.ctl().Text1->text(), "");
    QCOMPARE(b.ctl().Text3->toPlainText().trimmed(), "");
    QVERIFY(b.ctl().Command1->isEnabled());
    b.w->Command3_Click(); // the panel opens with every digit hidden
    for (QLabel* l : b.ctl().Label5)
        QVERIFY(l->isHidden());
    QCOMPARE(b.ctl().Label1->text(), "");
}

void TstEntry::incolla_solo_cifre() {
    Banco b;
    QApplication::clipboard()->setText("12a3");
    b.ctl().Text1->paste();
    QCOMPARE(b.ctl().Text1->text().contains('a'), false);
    QTest::keyClick(b.ctl().Text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(b.ctl().Text1->text().contains('a'), false);
    QApplication::clipboard()->setText("123");
    b.ctl().Text1->paste();
    QCOMPARE(b.ctl().Text1->text(), "123");
}

void TstEntry::ascolta_e_nuovo_numero() {
    Banco b;
    b.digita("312");
    b.invio();
    b.log.clear();
    b.ctl().Command2->click();
    QCOMPARE(b.log, QStringList({"play va3.wav", "play va100.wav", "play va12.wav"}));
    b.w->Command3_Click();
    b.w->Label5_Click(11);
    b.log.clear();
    b.ctl().Command1->click();
    QCOMPARE(b.effetti(), QStringList({"effect GALLO"}));
    // The entering state again, tinted by the old number's first digit.
    QCOMPARE(QColor(b.w->superficie().pixel(0, 0)).red(), 75);
    QVERIFY(b.ctl().Command6->isEnabled() && b.ctl().Text1->isEnabled() &&
            !b.ctl().Text1->isReadOnly());
    QVERIFY(b.ctl().Text3->isHidden() && b.ctl().Frame1->isHidden());
    QVERIFY(!b.ctl().Command1->isEnabled() && !b.ctl().Command2->isEnabled() &&
            !b.ctl().Command3->isEnabled());
    QCOMPARE(b.ctl().Text1->text(), "");
    QCOMPARE(b.ctl().Text1->maxLength(), 12);
    QCOMPARE(b.w->numero_confermato(), std::string());
    QVERIFY(!b.ctl().Timer2->isActive() && !b.ctl().Timer3->isActive());
    QVERIFY(b.ctl().Frame2->isVisible()); // never hidden again
    b.digita("5");
    QCOMPARE(b.ctl().Text1->text(), "5");
}

void TstEntry::pannello_delle_cifre_data() {
    QTest::addColumn<QString>("numero");
    QTest::addColumn<int>("nascoste");
    QTest::newRow("1 digit") << "4" << 11;
    QTest::newRow("7 digits") << "1234567" << 5;
    QTest::newRow("12 digits") << "123456789012" << 0;
}

void TstEntry::pannello_delle_cifre() {
    QFETCH(QString, numero);
    QFETCH(int, nascoste);
    Banco b;
    b.w->imposta_numero_confermato("999999999999"); // a longer number first
    b.w->Command3_Click();
    b.w->Command3_Click();
    b.w->imposta_numero_confermato(numero.toStdString());
    b.log.clear();
    b.w->Command3_Click();
    QCOMPARE(b.effetti(), QStringList({"effect CANE"}));
    QVERIFY(b.ctl().Frame1->isVisible() && b.ctl().Label1->isVisible() &&
            b.ctl().Label1->isEnabled());
    QString mostrato;
    for (int k = 0; k < 12; ++k) {
        QCOMPARE(b.ctl().Label5[k]->isHidden(), k < nascoste);
        mostrato += b.ctl().Label5[k]->text();
        QCOMPARE(colore_testo(b.ctl().Label5[k]), QColor(Qt::black));
    }
    QCOMPARE(mostrato, numero); // aligned on the right
    QCOMPARE(b.w->cifra_scelta(), std::int16_t(11));
}

void TstEntry::nomi_e_lampeggio() {
    Banco b;
    b.w->imposta_numero_confermato("123456789054");
    b.w->Command3_Click();
    b.log.clear();
    const QString laser = "async " + QString::fromStdString(cartella) + "/laser.wav";
    b.w->Label5_Click(11);
    QCOMPARE(b.ctl().Label1->text(), QString::fromUtf8("4 unità"));
    // The click returns with only the laser started: the place is said once
    // it has ended, while the window goes on (the blink keeps its time).
    QCOMPARE(b.log, QStringList({laser}));
    // The digit's word and the plural; a 1 as one singular phrase; 0 like any
    // other digit.
    QTRY_COMPARE(detti(b.log), QStringList({"va4.wav", "va_unita.wav"}));
    QCOMPARE(b.log.mid(0, 2), QStringList({laser, "async ended"}));
    b.log.clear();
    b.w->Label5_Click(0);
    QCOMPARE(b.ctl().Label1->text(), "1 centinaia di miliardi");
    QTRY_COMPARE(detti(b.log), QStringList({"va_un_centinaio_miliardi.wav"}));
    // A digit no longer chosen is not said: a second click during the laser,
    // closing the panel or "Nuovo Numero" drops the first digit's phrase.
    b.log.clear();
    QTimer::singleShot(0, b.w.get(), [&] { b.w->Label5_Click(9); });
    b.w->Label5_Click(11);
    QTRY_COMPARE(detti(b.log), QStringList({"va0.wav", "va_centinaia.wav"}));
    QCOMPARE(b.ctl().Label1->text(), "0 centinaia");
    QTest::qWait(100);
    QCOMPARE(detti(b.log), QStringList({"va0.wav", "va_centinaia.wav"}));
    for (QPushButton* pulsante : {b.ctl().Command3, b.ctl().Command1}) {
        b.w->imposta_numero_confermato("123456789054");
        if (b.ctl().Frame1->isHidden())
            b.w->Command3_Click();
        b.log.clear();
        pulsante->setEnabled(true);
        QTimer::singleShot(0, pulsante, &QPushButton::click);
        b.w->Label5_Click(11);
        QTest::qWait(100);
        QVERIFY(b.ctl().Frame1->isHidden());
        QCOMPARE(detti(b.log), QStringList());
    }
    b.w->imposta_numero_confermato("123456789054");
    b.w->Command3_Click();
    b.w->Label5_Click(10);
    QCOMPARE(b.ctl().Label1->text(), "5 decine");
    QCOMPARE(b.w->cifra_scelta(), std::int16_t(10));
    QCOMPARE(colore_testo(b.ctl().Label5[10]), QColor(Qt::red));
    QCOMPARE(colore_testo(b.ctl().Label5[9]), QColor(Qt::black));

    // The blinker: white, then red, one timer at a time.
    b.ctl().Timer3->stop();
    b.w->Timer2_Timer();
    QCOMPARE(colore_testo(b.ctl().Label5[10]), QColor(Qt::white));
    QVERIFY(!b.ctl().Timer2->isActive() && b.ctl().Timer3->isActive());
    b.w->Timer3_Timer();
    QCOMPARE(colore_testo(b.ctl().Label5[10]), QColor(Qt::red));
    QVERIFY(b.ctl().Timer2->isActive() && !b.ctl().Timer3->isActive());
    // And for real, on the timers.
    QTRY_COMPARE_WITH_TIMEOUT(colore_testo(b.ctl().Label5[10]), QColor(Qt::white), 1500);
    // A click in the white phase starts the clock afresh: white again a second later.
    b.w->Label5_Click(10);
    QVERIFY(b.ctl().Timer2->isActive() && !b.ctl().Timer3->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(colore_testo(b.ctl().Label5[10]), QColor(Qt::white), 1300);

    b.w->Command3_Click(); // closing stops both and keeps the colours
    QVERIFY(!b.ctl().Timer2->isActive() && !b.ctl().Timer3->isActive());
    QCOMPARE(colore_testo(b.ctl().Label5[10]), QColor(Qt::white));
    QVERIFY(b.log.last().endsWith("/laser.wav"));

    // Every place, with a 1 and with a 2, is said with a clip of its own that
    // the program's folder holds.
    QStringList frasi;
    for (const char* numero : {"121212121212", "212121212121"}) {
        b.w->imposta_numero_confermato(numero);
        b.w->Command3_Click();
        for (std::int16_t k = 0; k < 12; ++k) {
            b.log.clear();
            b.w->Label5_Click(k);
            QTRY_COMPARE(detti(b.log).size(), b.ctl().Label5[k]->text() == "1" ? 1 : 2);
            for (const QString& r : detti(b.log)) {
                QVERIFY2(QFile::exists(QString::fromStdString(cartella) + "/" + r), qPrintable(r));
                if (r != "va2.wav")
                    frasi << r;
            }
        }
        b.w->Command3_Click();
    }
    QCOMPARE(frasi.size(), 24);
    QCOMPARE(QSet<QString>(frasi.begin(), frasi.end()).size(), 24);
}

void TstEntry::puntatori_e_email() {
    Banco b;
    const auto muovi = [](QWidget* w) {
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    };
    const auto premi = [](QWidget* w) {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    };
    QCOMPARE(b.ctl().Command6->cursor().shape(), Qt::ArrowCursor);
    muovi(b.ctl().Command6);
    QCOMPARE(b.ctl().Command6->cursor().hotSpot(), QPoint(16, 15));
    b.w->imposta_numero_confermato("12");
    b.w->Command3_Click();
    muovi(b.ctl().Label5[11]);
    QCOMPARE(b.ctl().Label5[11]->cursor().hotSpot(), QPoint(16, 15));
    premi(b.ctl().Label5[11]);
    QCOMPARE(b.ctl().Label5[11]->cursor().hotSpot(), QPoint(15, 17));

    muovi(b.ctl().Label4);
    QCOMPARE(colore_testo(b.ctl().Label4), QColor(255, 255, 0));
    muovi(b.ctl().Label2); // another control: stays yellow
    QCOMPARE(colore_testo(b.ctl().Label4), QColor(255, 255, 0));
    QMouseEvent sfondo(QEvent::MouseMove, QPointF(5, 200), b.w->mapToGlobal(QPointF(5, 200)),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(b.w.get(), &sfondo);
    QCOMPARE(colore_testo(b.ctl().Label4), QColor(0, 0, 255));

    // A double-click (press, release, double-click, release, as the window system
    // sends it) is one click: one mail request, one laser.
    b.log.clear();
    for (QLabel* w : {b.ctl().Label4, b.ctl().Label5[11]})
        for (const auto tipo : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool giu = tipo != QEvent::MouseButtonRelease;
            QMouseEvent e(tipo, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                          giu ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w, &e);
        }
    QCOMPARE(b.log.filter("url ").size(), 1);
    QCOMPARE(b.log.filter("laser.wav").size(), 1);
}

void TstEntry::anello_del_fuoco() {
    Banco b;
    QVERIFY(QTest::qWaitForWindowActive(b.w.get()));
    // The ring's blue in the two outermost pixels, at the middle of each side.
    const auto anello = [](QWidget* w) {
        const QImage img = w->grab().toImage();
        const int x = img.width() - 1, y = img.height() - 1;
        int n = 0;
        for (QPoint p :
             {QPoint(0, y / 2), QPoint(1, y / 2), QPoint(x, y / 2), QPoint(x - 1, y / 2),
              QPoint(x / 2, 0), QPoint(x / 2, 1), QPoint(x / 2, y), QPoint(x / 2, y - 1)})
            n += (img.pixel(p) & 0xffffff) == blu_anello;
        return n;
    };
    QCOMPARE(anello(b.ctl().Text1), 8);
    b.digita("2304");
    b.invio();
    QCOMPARE(anello(b.ctl().Text1), 0);
    QCOMPARE(anello(b.ctl().Command1), 8);
    b.ctl().Command3->click();
    b.ctl().Command3->setFocus();
    QCOMPARE(anello(b.ctl().Command1), 0);
    QCOMPARE(anello(b.ctl().Command3), 8);
    QTest::keyClick(b.ctl().Command3, Qt::Key_Down);
    QCOMPARE(anello(b.ctl().Label5[11]), 8);
    QCOMPARE(anello(b.ctl().Label5[10]), 0);
    b.ctl().Text3->setFocus();
    QCOMPARE(anello(b.ctl().Text3), 8); // over the edge of its text area too
}

void TstEntry::invio_sui_pulsanti() {
    Banco b;
    b.digita("12");
    // The Enter that confirms in the entry box is released on "Nuovo Numero",
    // which has the focus by then: that alone must not press it.
    QTest::keyPress(b.ctl().Text1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), b.ctl().Command1);
    QTest::keyRelease(b.ctl().Command1, Qt::Key_Return);
    QCOMPARE(b.w->numero_confermato(), std::string("12"));
    b.log.clear();
    b.ctl().Command2->setFocus();
    QTest::keyClick(b.ctl().Command2, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(b.log, QStringList({"play va12.wav"}));
    b.log.clear();
    b.ctl().Command1->setFocus();
    QTest::keyClick(b.ctl().Command1, Qt::Key_Return);
    QCOMPARE(b.effetti(), QStringList({"effect GALLO"}));
    b.digita("7");
    b.ctl().Command6->setFocus();
    QTest::keyClick(b.ctl().Command6, Qt::Key_Return);
    QCOMPARE(b.w->numero_confermato(), std::string("7"));
}

void TstEntry::cifre_da_tastiera() {
    // What a child sees and hears after choosing a digit.
    const auto stato = [](Banco& b) {
        QStringList s = b.log;
        s << b.ctl().Label1->text() << QString::number(b.w->cifra_scelta())
          << QString::number(b.ctl().Timer2->isActive());
        for (QLabel* l : b.ctl().Label5)
            s << colore_testo(l).name();
        return s;
    };
    const auto apri = [](Banco& b) {
        QVERIFY(QTest::qWaitForWindowActive(b.w.get()));
        b.digita("2304");
        b.invio();
        b.ctl().Command3->click();
        b.log.clear();
    };
    Banco topo;
    apri(topo);
    clic(topo.ctl().Label5[9]);
    QCOMPARE(QApplication::focusWidget(), topo.ctl().Command1); // a click leaves the focus be
    QTRY_COMPARE(detti(topo.log), QStringList({"va3.wav", "va_centinaia.wav"}));
    const QStringList atteso = stato(topo);
    QCOMPARE(atteso.first(), "async " + QString::fromStdString(cartella) + "/laser.wav");
    QVERIFY(atteso.contains("3 centinaia"));
    topo.w.reset();

    Banco b;
    apri(b);
    const auto fuoco = [] { return QApplication::focusWidget(); };
    const auto tasto = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(fuoco(), k, m);
    };
    QTest::keyClick(b.ctl().Command1, Qt::Key_Down); // only from the decompose button
    QVERIFY(!b.ctl().Frame1->isAncestorOf(fuoco()));
    // Opened by its access key, the panel leaves the focus where it was: left
    // or right from there (any button, the words box) goes to the digits.
    tasto(Qt::Key_Left);
    QCOMPARE(fuoco(), b.ctl().Label5[11]);
    for (QWidget* da : std::initializer_list<QWidget*>{b.ctl().Text3, b.ctl().Command5}) {
        da->setFocus();
        tasto(Qt::Key_Right);
        QCOMPARE(fuoco(), b.ctl().Label5[11]);
    }
    b.ctl().Command3->setFocus();
    tasto(Qt::Key_Down);
    QCOMPARE(fuoco(), b.ctl().Label5[11]); // the blinking digit
    tasto(Qt::Key_Right);
    QCOMPARE(fuoco(), b.ctl().Label5[11]);
    for (int i = 0; i < 5; ++i)
        tasto(Qt::Key_Left);
    QCOMPARE(fuoco(), b.ctl().Label5[8]); // the first shown
    tasto(Qt::Key_Right);
    QVERIFY(b.log.isEmpty());
    tasto(Qt::Key_Return);
    QTRY_COMPARE(stato(b), atteso);
    QCOMPARE(fuoco(), b.ctl().Label5[9]);

    tasto(Qt::Key_Left);
    tasto(Qt::Key_Space);
    QCOMPARE(b.ctl().Label1->text(), "2 migliaia");
    tasto(Qt::Key_Up);
    QCOMPARE(fuoco(), b.ctl().Command3);
    tasto(Qt::Key_Down);
    QCOMPARE(fuoco(), b.ctl().Label5[8]); // the one chosen last
    // Tab goes on as from the decompose button; the digits stay out of its order.
    tasto(Qt::Key_Tab);
    QCOMPARE(fuoco(), b.ctl().Command2);
    b.ctl().Command3->setFocus();
    tasto(Qt::Key_Down);
    tasto(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(fuoco(), b.ctl().Command4);
    // Closed under a focused digit (Alt+S leaves the focus where it is).
    b.ctl().Command3->setFocus();
    tasto(Qt::Key_Down);
    b.w->Command3_Click();
    QTRY_COMPARE(fuoco(), b.ctl().Command3);
    tasto(Qt::Key_Down);
    QVERIFY(!b.ctl().Frame1->isAncestorOf(fuoco()));
}

void TstEntry::nomi_per_chi_non_vede() {
    Banco b;
    const auto ruolo = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->role(); };
    QCOMPARE(nome_accessibile(b.ctl().Text1), "Numero");
    QCOMPARE(ruolo(b.ctl().Text1), QAccessible::EditableText);
    QCOMPARE(nome_accessibile(b.ctl().Label6), "Clicca sui numeri");
    b.digita("2304");
    b.invio();
    QCOMPARE(nome_accessibile(b.ctl().Text3), "Il numero in lettere");
    QAccessibleTextInterface* parole =
        QAccessible::queryAccessibleInterface(b.ctl().Text3)->textInterface();
    QVERIFY(parole);
    QCOMPARE(parole->text(0, parole->characterCount()).trimmed(), "Duemilatrecentoquattro");
    const std::pair<QPushButton*, const char*> pulsanti[] = {
        {b.ctl().Command6, "INVIO"},
        {b.ctl().Command1, "Nuovo Numero"},
        {b.ctl().Command2, "Ascolta il numero"},
        {b.ctl().Command3, "Scomponi il numero"},
        {b.ctl().Command5, "Pausa musica"},
        {b.ctl().Command4, "Fine"}};
    for (const auto& [pulsante, nome] : pulsanti) {
        QCOMPARE(nome_accessibile(pulsante), nome);
        QCOMPARE(ruolo(pulsante), QAccessible::Button);
    }
    b.ctl().Command5->click();
    QCOMPARE(nome_accessibile(b.ctl().Command5), "Suona musica");

    // A digit reads with its place once chosen, and only while it is the chosen one.
    const auto nomi = [&] {
        QStringList n;
        for (int k = 8; k < 12; ++k)
            n << nome_accessibile(b.ctl().Label5[k]);
        return n;
    };
    b.ctl().Command3->click();
    QCOMPARE(nomi(), QStringList({"2", "3", "0", "4"}));
    b.w->Label5_Click(9);
    QCOMPARE(nomi(), QStringList({"2", "3, centinaia", "0", "4"}));
    b.w->Label5_Click(11);
    QCOMPARE(nomi(), QStringList({"2", "3", "0", QString::fromUtf8("4, unità")}));
    b.ctl().Command1->click();
    b.digita("51");
    b.invio();
    b.ctl().Command3->click();
    QCOMPARE(nomi(), QStringList({"", "", "5", "1"}));
}

QTEST_MAIN(TstEntry)
#include "tst_entry.moc"
