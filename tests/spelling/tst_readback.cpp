// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the speller's words back with an independent reader: every number
// must come back as itself, and the words must look like Italian words.
#include "lettore.h"
#include "spelling/numero.h"

#include <QtTest>
#include <random>

using contavoce::numero_in_lettere;

namespace {

// Empty when the words read back to n and are a plain lower-case word; else why not.
QString difetto(std::int64_t n) {
    const std::string cifre = std::to_string(n);
    std::string parole;
    numero_in_lettere(cifre, parole);
    for (char c : parole) {
        if (c < 'a' || c > 'z')
            return QString("%1 -> \"%2\": not one lower-case word")
                .arg(n)
                .arg(QString::fromStdString(parole));
    }
    const std::int64_t letto = lettore::leggi(parole);
    if (letto != n)
        return QString("%1 -> \"%2\" reads back as %3")
            .arg(n)
            .arg(QString::fromStdString(parole))
            .arg(letto);
    return {};
}

} // namespace

class TstReadback : public QObject {
    Q_OBJECT

private slots:
    void il_lettore_rifiuta_le_forme_sbagliate_data();
    void il_lettore_rifiuta_le_forme_sbagliate();
    void da_uno_a_un_milione();
    void numeri_lunghi_a_caso();
};

// The reader is only a good judge if it refuses the mistakes a speller could make.
void TstReadback::il_lettore_rifiuta_le_forme_sbagliate_data() {
    QTest::addColumn<QString>("parole");
    QTest::addColumn<qint64>("valore");
    QTest::newRow("ok 28") << "ventotto" << qint64(28);
    QTest::newRow("ok 181") << "centottantuno" << qint64(181);
    QTest::newRow("ok 1001001001") << "unmiliardounmilionemilleuno" << qint64(1001001001);
    QTest::newRow("no elision") << "ventiotto" << qint64(-1);
    QTest::newRow("elision before due") << "ventdue" << qint64(-1);
    QTest::newRow("cento before otto") << "centootto" << qint64(-1);
    QTest::newRow("cent before dieci") << "centdieci" << qint64(-1);
    QTest::newRow("uno as hundreds") << "unocento" << qint64(-1);
    QTest::newRow("unomila") << "unomila" << qint64(-1);
    QTest::newRow("scales rising") << "duemiladuemilioni" << qint64(-1);
    QTest::newRow("error literal") << " errore" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
}

void TstReadback::il_lettore_rifiuta_le_forme_sbagliate() {
    QFETCH(QString, parole);
    QFETCH(qint64, valore);
    QCOMPARE(lettore::leggi(parole.toStdString()), valore);
}

void TstReadback::da_uno_a_un_milione() {
    int errori = 0;
    for (std::int64_t n = 1; n <= 999'999; ++n) {
        const QString d = difetto(n);
        if (!d.isEmpty() && ++errori <= 10)
            qWarning().noquote() << d;
    }
    QCOMPARE(errori, 0);
}

void TstReadback::numeri_lunghi_a_caso() {
    std::mt19937_64 caso(20261208);
    int errori = 0;
    for (int i = 0; i < 200'000; ++i) {
        // 7 to 12 digits; inner groups lean towards the values that have their
        // own rules (0, 1, 8, 80..89) which uniform numbers would rarely hit.
        const int gruppi = 3 + int(caso() % 2);
        const int testa_cifre = 1 + int(caso() % 3);
        std::int64_t n = 1 + std::int64_t(caso() % (testa_cifre == 1   ? 9
                                                    : testa_cifre == 2 ? 99
                                                                       : 999));
        for (int g = 1; g < gruppi; ++g) {
            std::int64_t v;
            switch (caso() % 8) {
            case 0:
                v = 0;
                break;
            case 1:
                v = 1;
                break;
            case 2:
                v = 8;
                break;
            case 3:
                v = 80 + std::int64_t(caso() % 10);
                break;
            default:
                v = std::int64_t(caso() % 1000);
                break;
            }
            n = n * 1000 + v;
        }
        const QString d = difetto(n);
        if (!d.isEmpty() && ++errori <= 10)
            qWarning().noquote() << d;
    }
    QCOMPARE(errori, 0);
}

QTEST_APPLESS_MAIN(TstReadback)
#include "tst_readback.moc"
