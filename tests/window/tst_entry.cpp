// What a child does in the window: typing, confirming, listening, starting
// over, the place-value panel and the pointer feedback.
#include "support/banco_finestra.h"

#include <QAbstractTextDocumentLayout>
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
    QCOMPARE(QString::fromStdString(b.w->numero_confermato),
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
    QCOMPARE(b.w->numero_confermato, std::string());
    QCOMPARE(b.w->lettere_numero, std::string());
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
    QCOMPARE(b.w->numero_confermato, std::string());
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
    b.w->numero_confermato = "999999999999"; // a longer number first
    b.w->Command3_Click();
    b.w->Command3_Click();
    b.w->numero_confermato = numero.toStdString();
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
    QCOMPARE(b.w->cifra_scelta, std::int16_t(11));
}

void TstEntry::nomi_e_lampeggio() {
    Banco b;
    b.w->numero_confermato = "123456789054";
    b.w->Command3_Click();
    b.log.clear();
    b.w->Label5_Click(11);
    QCOMPARE(b.ctl().Label1->text(), QString::fromUtf8("4 unità"));
    QCOMPARE(b.log, QStringList({"async " + QString::fromStdString(cartella) + "/laser.wav"}));
    b.w->Label5_Click(0);
    QCOMPARE(b.ctl().Label1->text(), "1 centinaia di miliardi");
    b.w->Label5_Click(9);
    QCOMPARE(b.ctl().Label1->text(), "0 centinaia");
    b.w->Label5_Click(10);
    QCOMPARE(b.ctl().Label1->text(), "5 decine");
    QCOMPARE(b.w->cifra_scelta, std::int16_t(10));
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
    b.w->numero_confermato = "12";
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

QTEST_MAIN(TstEntry)
#include "tst_entry.moc"
