// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded resources as the program looks them up.
#include "platform/qt/pointers.h"
#include "platform/qt/resources.h"

#include <QBitmap>
#include <QtTest>

using namespace contavoce::platform;

class TstResources : public QObject {
    Q_OBJECT

private slots:
    void effetti_in_ogni_maiuscola_data();
    void effetti_in_ogni_maiuscola();
    void nomi_che_non_ci_sono_data();
    void nomi_che_non_ci_sono();
    void puntatori_con_il_loro_punto_caldo();
    void icone();
};

void TstResources::effetti_in_ogni_maiuscola_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("tipo");
    for (const char* n : {"asino", "cane", "gallo", "sparo", "uccello", "vetro"})
        QTest::addRow("%s", n) << n << "wav";
    for (int d = 0; d <= 9; ++d)
        QTest::addRow("g%d", d) << QString("g%1").arg(d) << "wav";
    QTest::newRow("INIZIO") << "INIZIO"
                            << "wav";
    QTest::newRow("mixed case") << "Gallo"
                                << "WaV";
    QTest::newRow("upper type") << "asino"
                                << "WAV";
}

void TstResources::effetti_in_ogni_maiuscola() {
    QFETCH(QString, nome);
    QFETCH(QString, tipo);
    const auto dati = risorsa(nome.toStdString(), tipo.toStdString());
    QVERIFY(dati.has_value());
    QVERIFY(dati->startsWith("RIFF"));
    QCOMPARE(dati->mid(8, 4), QByteArray("WAVE"));
    // The RIFF size covers the whole image: nothing was cut or padded.
    QCOMPARE(qFromLittleEndian<quint32>(dati->constData() + 4) + 8u, quint32(dati->size()));
}

void TstResources::nomi_che_non_ci_sono_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("tipo");
    QTest::newRow("unknown name") << "gatto"
                                  << "wav";
    QTest::newRow("prefix only") << "g"
                                 << "wav";
    QTest::newRow("with extension") << "asino.wav"
                                    << "wav";
    QTest::newRow("wrong type") << "asino"
                                << "cursor";
    QTest::newRow("unknown type") << "asino"
                                  << "mp3";
    QTest::newRow("empty") << ""
                           << "";
}

void TstResources::nomi_che_non_ci_sono() {
    QFETCH(QString, nome);
    QFETCH(QString, tipo);
    QVERIFY(!risorsa(nome.toStdString(), tipo.toStdString()).has_value());
}

void TstResources::puntatori_con_il_loro_punto_caldo() {
    const auto aperta = puntatore(101);
    const auto chiusa = puntatore(102);
    QVERIFY(aperta && chiusa);
    QCOMPARE(aperta->hotSpot(), QPoint(16, 15));
    QCOMPARE(chiusa->hotSpot(), QPoint(15, 17));
    QCOMPARE(aperta->bitmap().size(), QSize(32, 32));

    // The mask is opaque under the hand and transparent at the corners.
    const QImage m = aperta->mask().toImage().convertToFormat(QImage::Format_Mono);
    QCOMPARE(m.pixelIndex(0, 0), m.pixelIndex(31, 31));
    QVERIFY(m.pixelIndex(16, 15) != m.pixelIndex(0, 0));
    QVERIFY(!puntatore(103).has_value());

    // On a screen of scale 2 (or near it) the same drawing, every pixel doubled,
    // the hot spot on the same pixel; a scale under 1.5 keeps 32 x 32.
    const auto doppia = puntatore(101, 1.75);
    QVERIFY(doppia);
    QCOMPARE(doppia->bitmap().size(), QSize(64, 64));
    QCOMPARE(doppia->hotSpot(), QPoint(32, 30));
    const QImage b1 = aperta->bitmap().toImage().convertToFormat(QImage::Format_Mono);
    const QImage m2 = doppia->mask().toImage().convertToFormat(QImage::Format_Mono);
    const QImage b2 = doppia->bitmap().toImage().convertToFormat(QImage::Format_Mono);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            QCOMPARE(b2.pixelIndex(x, y), b1.pixelIndex(x / 2, y / 2));
            QCOMPARE(m2.pixelIndex(x, y), m.pixelIndex(x / 2, y / 2));
        }
    QCOMPARE(puntatore(101, 1.25)->bitmap().size(), QSize(32, 32));
}

void TstResources::icone() {
    const QIcon programma = icona("contavoce");
    QVERIFY(!programma.isNull());
    QVERIFY(programma.availableSizes().contains(QSize(48, 48)));
    QVERIFY(!icona("CONTAVOCE").isNull());
    QVERIFY(icona("nessuna").isNull());
    const QList<QSize> setup = icona("setup").availableSizes();
    QVERIFY2(setup.contains(QSize(16, 16)) && setup.contains(QSize(32, 32)),
             qPrintable(QString::number(setup.size())));
}

QTEST_MAIN(TstResources)
#include "tst_resources.moc"
