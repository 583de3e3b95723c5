// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli as a user runs it: arguments, standard input, bad input.
#include "cli/input.h"
#include "platform/mixer.h"

#include <QtTest>

namespace {

struct Esito {
    int stato;
    QString uscita;
    QString errori;
};

Esito esegui(const QStringList& argomenti, const QByteArray& ingresso = {},
             const QString& variabile = {}) {
    QProcess p;
    if (!variabile.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(variabile.section('=', 0, 0), variabile.section('=', 1));
        p.setProcessEnvironment(env);
    }
    p.start(qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/contavoce-cli", argomenti);
    if (!p.waitForStarted())
        return {-1, {}, "did not start"};
    p.write(ingresso);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    const int stato = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return {stato, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TstCli : public QObject {
    Q_OBJECT

private slots:
    void lettura_data();
    void lettura();
    void parole_e_formato_dagli_argomenti();
    void numeri_dallo_standard_input();
    void ingresso_sbagliato_non_ferma_gli_altri();
    void aiuto_e_comandi_sconosciuti();
    void clip_e_voce_registrata();
};

void TstCli::lettura_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("cifre");
    QTest::addColumn<bool>("accettato");
    QTest::newRow("plain") << "2304"
                           << "2304" << true;
    QTest::newRow("leading zeros") << "0012"
                                   << "12" << true;
    QTest::newRow("zeros only") << "000"
                                << "" << true;
    QTest::newRow("windows line") << "12\r"
                                  << "12" << true;
    QTest::newRow("blanks around") << "  7 "
                                   << "7" << true;
    QTest::newRow("12 digits") << "999999999999"
                               << "999999999999" << true;
    QTest::newRow("12 digits after zeros") << "000999999999999"
                                           << "999999999999" << true;
    QTest::newRow("13 digits") << "1000000000000"
                               << "" << false;
    QTest::newRow("letter") << "12a"
                            << "" << false;
    QTest::newRow("blank inside") << "1 2"
                                  << "" << false;
    QTest::newRow("sign") << "-5"
                          << "" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
    QTest::newRow("blanks only") << " \t"
                                 << "" << false;
    QTest::newRow("non-ascii digit") << QString::fromUtf8("\xd9\xa3") << "" << false;
}

void TstCli::lettura() {
    QFETCH(QString, testo);
    QFETCH(QString, cifre);
    QFETCH(bool, accettato);
    const auto letto = contavoce::cli::leggi_numero(testo.toStdString());
    QCOMPARE(!letto.errore.has_value(), accettato);
    QCOMPARE(QString::fromStdString(letto.cifre), cifre);
}

void TstCli::parole_e_formato_dagli_argomenti() {
    Esito e = esegui({"words", "2304", "0012", "000", "1001001001"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "duemilatrecentoquattro\ndodici\n\nunmiliardounmilionemilleuno\n");
    QVERIFY(e.errori.isEmpty());

    e = esegui({"format", "0012345", "2304", "123456789012", "0"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "12.345\n2.304\n123.456.789.012\n\n");

    // Spelling loads no sound library: the dynamic loader lists what it loads.
    const QRegularExpression suono("lib(SDL2|fluidsynth|contavoce-suono|asound|pulse|jack)");
    for (const char* comando : {"words", "format"}) {
        e = esegui({comando, "2304"}, {}, "LD_DEBUG=libs");
        QCOMPARE(e.stato, 0);
        QVERIFY2(e.errori.contains("calling init: ") && e.errori.contains("libQt6Core"),
                 qPrintable(e.errori.left(500)));
        QVERIFY2(!e.errori.contains(suono), qPrintable(suono.match(e.errori).captured()));
    }
}

void TstCli::numeri_dallo_standard_input() {
    QByteArray ingresso;
    for (int n = 1; n <= 20000; ++n)
        ingresso += QByteArray::number(n) + '\n';
    const Esito e = esegui({"words"}, ingresso);
    QCOMPARE(e.stato, 0);
    const QStringList righe = e.uscita.split('\n');
    QCOMPARE(righe.size(), 20001); // the last newline leaves an empty tail
    QCOMPARE(righe[0], "uno");
    QCOMPARE(righe[1999], "duemila");
    QCOMPARE(righe[19999], "ventimila");

    // A last line without its newline still counts; CR LF endings are accepted.
    const Esito f = esegui({"format"}, "1000\r\n2000000");
    QCOMPARE(f.stato, 0);
    QCOMPARE(f.uscita, "1.000\n2.000.000\n");
}

void TstCli::ingresso_sbagliato_non_ferma_gli_altri() {
    Esito e = esegui({"words"}, "12\n\n3a\n1234567890123\n7\n");
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "dodici\nsette\n");
    QVERIFY2(e.errori.contains("line 2") && e.errori.contains("empty"), qPrintable(e.errori));
    QVERIFY2(e.errori.contains("line 3: \"3a\"") && e.errori.contains("digits 0-9"),
             qPrintable(e.errori));
    QVERIFY2(e.errori.contains("\"1234567890123\"") && e.errori.contains("at most 12"),
             qPrintable(e.errori));

    e = esegui({"format", "12", "x", "34"});
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "12\n34\n");
    QVERIFY2(e.errori.contains("\"x\""), qPrintable(e.errori));
}

void TstCli::aiuto_e_comandi_sconosciuti() {
    Esito e = esegui({"--help"});
    QCOMPARE(e.stato, 0);
    QVERIFY(e.uscita.contains("words") && e.uscita.contains("format"));

    e = esegui({"speak"});
    QCOMPARE(e.stato, 2);
    QVERIFY(e.errori.contains("unknown command \"speak\""));

    e = esegui({});
    QCOMPARE(e.stato, 2);
    QVERIFY(e.errori.contains("Usage"));
}

void TstCli::clip_e_voce_registrata() {
    Esito e = esegui({"clips", "2304", "0021", "000"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "va2.wav va_mila.wav va3.wav va100.wav va4.wav\nva20.wav va1.wav\n\n");

    QTemporaryDir dir;
    const QString wav = dir.filePath("numero.wav");
    e = esegui({"say", "21", "--wav", wav});
    QCOMPARE(e.stato, 0);
    QFile f(wav);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    QVERIFY(b.startsWith("RIFF"));
    // va20 + va1 at 44.1 kHz stereo 16-bit, each rounded up to whole device buffers.
    const auto frame = (b.size() - 44) / 4;
    const QString bin = qEnvironmentVariable("CONTAVOCE_BIN_DIR");
    const auto lunghezza = [&](const QString& n) {
        QFile c(bin + "/" + n);
        return c.open(QIODevice::ReadOnly) ? (c.size() - 44) / 2 * 2 : 0; // 22050 mono 16-bit
    };
    const qint64 attesi = lunghezza("va20.wav") + lunghezza("va1.wav");
    QVERIFY2(frame >= attesi && frame < attesi + 2 * contavoce::platform::frame_per_buffer,
             qPrintable(QString::number(frame)));

    e = esegui({"say", "12x", "--wav", wav});
    QCOMPARE(e.stato, 2);
    e = esegui({"say", "12", "--wav", dir.filePath("no/such/folder.wav")});
    QCOMPARE(e.stato, 1);
    QVERIFY(e.errori.contains("cannot write"));
    e = esegui({"say"});
    QCOMPARE(e.stato, 2);

    // Copied away from its sound module, the speller still spells and the
    // speaker says why it cannot speak.
    QVERIFY(QFile::copy(bin + "/contavoce-cli", dir.filePath("contavoce-cli")));
    QProcess solo;
    solo.start(dir.filePath("contavoce-cli"), {"say", "12", "--wav", wav});
    QVERIFY(solo.waitForFinished(60000));
    QCOMPARE(solo.exitCode(), 1);
    QVERIFY2(solo.readAllStandardError().contains("no sound: "), "no reason given");
    solo.start(dir.filePath("contavoce-cli"), {"words", "12"});
    QVERIFY(solo.waitForFinished(60000));
    QCOMPARE(solo.readAllStandardOutput(), "dodici\n");
}

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"
