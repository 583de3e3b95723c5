// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli as a user runs it: arguments, standard input, bad input.
#include "cli/input.h"
#include "esercizi/lezione.h"
#include "platform/audio/clip.h"
#include "platform/audio/mixer.h"
#include "registro/registro.h"
#include "spelling/decimale.h"
#include "spelling/grafia.h"
#include "spelling/numero.h"
#include "tools/audio_match/audio_match.h"

#include <QtTest>
#include <sys/resource.h>

namespace {

struct Esito {
    int stato;
    QString uscita;
    QString errori;
};

// `limite_file`, when given, is the largest file the program may write, in
// 512-byte blocks: past it a write fails as on a full disk.
Esito esegui(const QStringList& argomenti, const QByteArray& ingresso = {},
             const QStringList& variabili = {}, int limite_file = 0) {
    QProcess p;
    // English unless a case asks for another language.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(v);
    env.insert("LANG", "C");
    for (const QString& v : variabili)
        env.insert(v.section('=', 0, 0), v.section('=', 1));
    p.setProcessEnvironment(env);
    const QString cli = qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/contavoce-cli";
    if (limite_file > 0)
        p.start(
            "/bin/sh",
            QStringList{"-c",
                        QString("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(limite_file),
                        cli} +
                argomenti);
    else
        p.start(cli, argomenti);
    if (!p.waitForStarted())
        return {-1, {}, "did not start"};
    p.write(ingresso);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    const int stato = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return {stato, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray leggi(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    void lingua_data();
    void lingua();
    void clip_e_voce_registrata();
    void nomi_vuoti_data();
    void nomi_vuoti();
    void disco_pieno_data();
    void disco_pieno();
    void scheda_e_dettato();
    void scheda_per_classe_data();
    void scheda_per_classe();
    void scheda_decimali();
    void lezione();
    void registro();
};

void TstCli::lettura_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("cifre");
    QTest::addColumn<bool>("accettato");
    QTest::addColumn<int>("colonna"); // where a refused text is faulted; -1 not checked
    QTest::newRow("plain") << "2304"
                           << "2304" << true << -1;
    QTest::newRow("leading zeros") << "0012"
                                   << "12" << true << -1;
    QTest::newRow("zeros only") << "000"
                                << "" << true << -1;
    QTest::newRow("windows line") << "12\r"
                                  << "12" << true << -1;
    QTest::newRow("blanks around") << "  7 "
                                   << "7" << true << -1;
    QTest::newRow("12 digits") << "999999999999"
                               << "999999999999" << true << -1;
    QTest::newRow("12 digits after zeros") << "000999999999999"
                                           << "999999999999" << true << -1;
    QTest::newRow("13 digits") << "1000000000000"
                               << "" << false << -1;
    QTest::newRow("letter") << "12a"
                            << "" << false << 2;
    QTest::newRow("blank inside") << "1 2"
                                  << "" << false << 1;
    QTest::newRow("sign") << "-5"
                          << "" << false << 0;
    QTest::newRow("empty") << ""
                           << "" << false << -1;
    QTest::newRow("blanks only") << " \t"
                                 << "" << false << -1;
    QTest::newRow("non-ascii digit") << QString::fromUtf8("\xd9\xa3") << "" << false << 0;
    // Grouped by thousands as people write them.
    QTest::newRow("dots") << "2.304"
                          << "2304" << true << -1;
    QTest::newRow("blanks") << " 2 304\r"
                            << "2304" << true << -1;
    QTest::newRow("millions") << "1.000.000"
                              << "1000000" << true << -1;
    QTest::newRow("largest grouped") << "999.999.999.999"
                                     << "999999999999" << true << -1;
    QTest::newRow("grouped zeros") << "000.012"
                                   << "12" << true << -1;
    QTest::newRow("13 grouped digits") << "1.000.000.000.000"
                                       << "" << false << -1;
    QTest::newRow("short group") << "2.30"
                                 << "" << false << 1;
    QTest::newRow("short middle group") << "12.34.567"
                                        << "" << false << 2;
    QTest::newRow("long head") << "1234.567"
                               << "" << false << 4;
    QTest::newRow("long group") << "1.2345"
                                << "" << false << 1;
    QTest::newRow("two dots") << "1..234"
                              << "" << false << 1;
    QTest::newRow("leading dot") << ".123"
                                 << "" << false << 0;
    QTest::newRow("trailing dot") << "123."
                                  << "" << false << 3;
    QTest::newRow("dots and blanks") << "1.000 000"
                                     << "" << false << 5;
    QTest::newRow("decimal comma") << "2,5"
                                   << "" << false << 1;
    QTest::newRow("offset kept after blanks") << "  2.30"
                                              << "" << false << 3;
    // Blanks around a number fill a line up to the bound, not past it.
    QTest::newRow("longest line") << QString(250, ' ') + "12" + QString(4, ' ') << "12" << true
                                  << -1;
    QTest::newRow("line too long")
        << QString(251, ' ') + "12" + QString(4, ' ') << "" << false << -1;
}

void TstCli::lettura() {
    QFETCH(QString, testo);
    QFETCH(QString, cifre);
    QFETCH(bool, accettato);
    QFETCH(int, colonna);
    const std::string t = testo.toStdString();
    const auto letto = contavoce::cli::leggi_numero(t);
    QCOMPARE(!letto.errore.has_value(), accettato);
    QCOMPARE(QString::fromStdString(letto.cifre), cifre);
    if (colonna >= 0)
        QCOMPARE(int(letto.colonna), colonna);
}

void TstCli::parole_e_formato_dagli_argomenti() {
    Esito e = esegui({"words", "2304", "0012", "000", "1001001001"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "duemilatrecentoquattro\ndodici\n\nunmiliardounmilionemilleuno\n");
    QVERIFY(e.errori.isEmpty());

    e = esegui({"format", "0012345", "2304", "123456789012", "0"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "12.345\n2.304\n123.456.789.012\n\n");

    // The school's spelling, and decimals in both readings, the options anywhere.
    e = esegui({"words", "--grafia", "scolastica", "23000003", "0", "1.001.001.001", "2,75"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, QString::fromUtf8("ventitré milioni tre\nzero\nun miliardo un milione "
                                         "milleuno\ndue virgola settantacinque\n"));
    e = esegui({"words", "3,05", "0,001", "--lettura", "posti", "23,23", "--grafia", "originale",
                "23000003"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, QString::fromUtf8("tre unità e cinque centesimi\nun millesimo\nventitre "
                                         "unità e ventitre centesimi\nventitremilionitre\n"));
    e = esegui({"words", "--lettura", "virgola", "--grafia", "scolastica", "3,05", "0,5"});
    QCOMPARE(e.uscita, "tre virgola zero cinque\nzero virgola cinque\n");
    e = esegui({"format", "1234,567", "0,50", "1 234,5", "999.999.999.999,999"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "1.234,567\n0,50\n1.234,5\n999.999.999.999,999\n");

    // An option a command does not take, or a value it does not know, is bad usage.
    const QList<std::pair<QStringList, const char*>> sbagliati = {
        {{"words", "--grafia", "scuola", "12"}, "--grafia wants originale or scolastica"},
        {{"words", "12", "--grafia"}, "--grafia wants originale or scolastica, not \"\""},
        {{"words", "--lettura", "Posti", "12"}, "--lettura wants virgola or posti"},
        {{"format", "--grafia", "scolastica", "12"}, "format takes no option \"--grafia\""},
        {{"format", "--lettura", "posti", "1,5"}, "format takes no option \"--lettura\""},
        {{"clips", "--grafia", "scolastica", "12"}, "clips takes no option \"--grafia\""},
        {{"say", "--lettura", "Posti", "3,5"}, "--lettura wants virgola or posti"},
        {{"say", "--grafia", "scolastica", "12"}, "say takes no option \"--grafia\""},
        {{"scheda", "--grafia", "scuola", "x.pdf"}, "--grafia wants originale or scolastica"},
    };
    for (const auto& [argomenti, messaggio] : sbagliati) {
        e = esegui(argomenti);
        QCOMPARE(e.stato, 2);
        QVERIFY2(e.uscita.isEmpty() && e.errori.contains(messaggio), qPrintable(e.errori));
    }

    // Spelling loads no sound library: the dynamic loader lists what it loads.
    // Nor Qt's GUI library, which only the worksheet's module brings.
    const QRegularExpression suono(
        "lib(SDL2|fluidsynth|contavoce-suono|contavoce-scheda|Qt6Gui|asound|pulse|jack)");
    for (const char* comando : {"words", "format"}) {
        e = esegui({comando, "2304"}, {}, {"LD_DEBUG=libs"});
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
    // Line N of the output answers line N of the input: refused lines give empty ones.
    Esito e = esegui({"words"}, "12\n\n3a\n1234567890123\n7\n");
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "dodici\n\n\n\nsette\n");
    QVERIFY2(e.errori.contains("line 2") && e.errori.contains("empty"), qPrintable(e.errori));
    QVERIFY2(e.errori.contains("line 3: \"3a\"") && e.errori.contains("digits 0-9"),
             qPrintable(e.errori));
    QVERIFY2(e.errori.contains("\"1234567890123\"") && e.errori.contains("at most 12"),
             qPrintable(e.errori));

    e = esegui({"format", "12", "x", "34"});
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "12\n\n34\n");
    QVERIFY2(e.errori.contains("\"x\""), qPrintable(e.errori));

    // Decimals: a point for the comma, too many decimals, a comma alone, each
    // refused on its line with a caret, and said what to write instead.
    e = esegui({"words", "--lettura", "posti"}, "3.05\n2,5\n 1,2345\n3,\n0,5\r\n,5\n3,5a\n");
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, QString::fromUtf8("\ndue unità e cinque decimi\n\n\ncinque decimi\n\n\n"));
    QVERIFY2(e.errori.contains("line 1: \"3.05\": this dot does not group the digits by three: a "
                               "decimal number takes a comma, write 3,05\n    3.05\n     ^\n") &&
                 e.errori.contains("line 3: \" 1,2345\": too many decimals: at most 3") &&
                 e.errori.contains("\n     1,2345\n          ^\n") &&
                 e.errori.contains("line 4: \"3,\": the decimal comma wants digits on both") &&
                 e.errori.contains("line 6: \",5\": the decimal comma") &&
                 e.errori.contains("line 7: \"3,5a\": not a number: only the digits 0-9, grouped "
                                   "by thousands with dots or blanks, and a decimal comma"),
             qPrintable(e.errori));
    // Where only whole numbers go, a decimal is refused as before.
    e = esegui({"scheda", "--da", "3,5", "x.pdf"});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("--da: \"3,5\": not a whole number"), qPrintable(e.errori));

    // Grouped input, and a caret under the separator that does not group by
    // three, lined up under the text even after a tab.
    e = esegui({"format"}, "2.304\r\n1 000 000\n\t 12.34\n2.30\n");
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "2.304\n1.000.000\n\n\n");
    QVERIFY2(e.errori.contains("line 3: ") && e.errori.contains("\n    \t   ^\n") &&
                 e.errori.contains("line 4: \"2.30\": ") &&
                 e.errori.contains("\n    2.30\n     ^\n"),
             qPrintable(e.errori));

    // A refused line cannot drive the terminal (retitle it, clear it): its
    // control characters are shown escaped, and the caret stays under the fault.
    e = esegui({"words"}, "\x1b]0;X\x07\x1b[2J12x\n\v 2.30\n12\xc2\x9b\n");
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "\n\n\n");
    QVERIFY2(!e.errori.contains(QRegularExpression("[\\x00-\\x08\\x0b-\\x1f\\x7f-\\x9f]")),
             qPrintable(e.errori));
    QVERIFY2(e.errori.contains(R"(line 1: "\x1b]0;X\x07\x1b[2J12x": )") &&
                 e.errori.contains("\n    \\x0b 2.30\n          ^\n") &&
                 e.errori.contains(R"(line 3: "12\xc2\x9b": )"),
             qPrintable(e.errori));

    // A line far longer than any number is refused without being held or
    // echoed whole. The shell makes the line and waits for the program, so the
    // largest child it reports is the program (or a shell, forked from this
    // small test).
    QProcess p;
    p.start("/bin/sh", {"-c",
                        "{ echo 12; head -c 400000000 /dev/zero | tr '\\0' 1; echo; echo 7; } | "
                        "LC_ALL=C \"$0\" words",
                        qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/contavoce-cli"});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 2);
    QCOMPARE(p.readAllStandardOutput(), "dodici\n\nsette\n");
    const QByteArray errori = p.readAllStandardError();
    QVERIFY2(errori.size() < 200 && errori.contains("line 2: \"111") && errori.contains("too long"),
             errori.left(200).constData());
    rusage figli{};
    QCOMPARE(getrusage(RUSAGE_CHILDREN, &figli), 0);
    QVERIFY2(figli.ru_maxrss < 256 * 1024, qPrintable(QString::number(figli.ru_maxrss)));
}

void TstCli::aiuto_e_comandi_sconosciuti() {
    Esito e = esegui({"--help"});
    QCOMPARE(e.stato, 0);
    QVERIFY(e.uscita.contains("words") && e.uscita.contains("format"));
    for (const char* opzione : {"--grafia scolastica", "--grafia originale", "--lettura virgola",
                                "--lettura posti", "--grafia G"})
        QVERIFY2(e.uscita.contains(opzione), opzione);

    e = esegui({"--version"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "contavoce-cli " CONTAVOCE_VERSION "\n");

    e = esegui({"speak"});
    QCOMPARE(e.stato, 2);
    QVERIFY(e.errori.contains("unknown command \"speak\""));

    e = esegui({});
    QCOMPARE(e.stato, 2);
    QVERIFY(e.errori.contains("Usage"));
}

void TstCli::lingua_data() {
    QTest::addColumn<QStringList>("ambiente");
    QTest::addColumn<bool>("italiano");
    QTest::newRow("LANG") << QStringList{"LANG=it_IT.UTF-8"} << true;
    QTest::newRow("LC_MESSAGES over LANG") << QStringList{"LC_MESSAGES=it_IT.UTF-8"} << true;
    QTest::newRow("LC_ALL over LANG") << QStringList{"LC_ALL=C", "LANG=it_IT.UTF-8"} << false;
    QTest::newRow("LC_ALL Italian")
        << QStringList{"LC_ALL=it_CH.UTF-8", "LANG=en_GB.UTF-8"} << true;
    QTest::newRow("English") << QStringList{"LANG=en_US.UTF-8"} << false;
    QTest::newRow("German") << QStringList{"LANG=de_DE.UTF-8"} << false;
}

void TstCli::lingua() {
    QFETCH(QStringList, ambiente);
    QFETCH(bool, italiano);
    Esito e = esegui({"words"}, "2304\n2.30\n", ambiente);
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "duemilatrecentoquattro\n\n");
    const QString atteso =
        italiano ? "riga 2: \"2.30\": questo punto non raggruppa le cifre a tre a tre: un numero "
                   "decimale vuole la virgola, scrivi 2,30"
                 : "line 2: \"2.30\": this dot does not group the digits by three: a decimal "
                   "number takes a comma, write 2,30";
    QVERIFY2(e.errori.contains(atteso), qPrintable(e.errori));

    e = esegui({"--help"}, {}, ambiente);
    QCOMPARE(e.stato, 0);
    QVERIFY2(e.uscita.startsWith(italiano ? "Uso: contavoce-cli COMANDO" : "Usage: contavoce-cli"),
             qPrintable(e.uscita.left(80)));
    e = esegui({"say", "000", "--wav", "x.wav"}, {}, ambiente);
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains(italiano ? QString::fromUtf8("fatto solo di zeri non ha niente")
                                        : "made only of zeros has nothing"),
             qPrintable(e.errori));
}

void TstCli::clip_e_voce_registrata() {
    Esito e = esegui({"clips", "2304", "0021", "000"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "va2.wav va_mila.wav va3.wav va100.wav va4.wav\nva20.wav va1.wav\n\n");
    // A decimal in either reading; from a list, a refused line keeps its place.
    e = esegui({"clips", "3,05", "0,5", "1.000.000,1"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "va3.wav va_virgola.wav va0.wav va5.wav\nva0.wav va_virgola.wav va5.wav\n"
                       "va_mglne.wav va_virgola.wav va1.wav\n");
    e = esegui({"clips", "--lettura", "posti"}, "3,05\n3.05\n0,5\n1,001\n2000000,5\n12\n");
    QCOMPARE(e.stato, 2);
    QCOMPARE(e.uscita, "va3.wav va_unita.wav va_e.wav va5.wav va_centesimi.wav\n\n"
                       "va5.wav va_decimi.wav\nva_un_unita.wav va_e.wav va_un_millesimo.wav\n"
                       "va2.wav va_mgloi.wav va_di_unita.wav va_e.wav va5.wav va_decimi.wav\n"
                       "va12.wav\n");
    QVERIFY2(e.errori.contains("line 2: \"3.05\": this dot does not group the digits by three: "
                               "a decimal number takes a comma, write 3,05"),
             qPrintable(e.errori));

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
    // A decimal read by places: the five clips clips lists, one after the other.
    const QString decimale = dir.filePath("decimale.wav");
    e = esegui({"say", "3,05", "--lettura", "posti", "--wav", decimale});
    QCOMPARE(e.stato, 0);
    const QStringList posti = {"va3.wav", "va_unita.wav", "va_e.wav", "va5.wav",
                               "va_centesimi.wav"};
    qint64 attesi_posti = 0;
    for (const QString& c : posti)
        attesi_posti += lunghezza(c);
    const auto frame_posti = (leggi(decimale).size() - 44) / 4;
    QVERIFY2(frame_posti >= attesi_posti &&
                 frame_posti < attesi_posti + posti.size() * contavoce::platform::frame_per_buffer,
             qPrintable(QString::number(frame_posti)));

    // Many numbers: one after the other with 0.8 s between them, or a file each.
    const QString cartella = dir.filePath("numeri/nuova");
    e = esegui({"say", "12", "2.304", "--wav-dir", cartella});
    QCOMPARE(e.stato, 0);
    QCOMPARE(QDir(cartella).entryList(QDir::Files), (QStringList{"12.wav", "2304.wav"}));
    e = esegui({"say", "0012", "--wav", wav});
    QCOMPARE(e.stato, 0);
    QCOMPARE(leggi(cartella + "/12.wav"), leggi(wav));
    e = esegui({"say", "12", "2 304", "--wav", wav});
    QCOMPARE(e.stato, 0);
    const auto dati = [&](const QString& file) { return leggi(file).mid(44); };
    QCOMPARE(dati(wav), dati(cartella + "/12.wav") + QByteArray(44100 * 8 / 10 * 4, '\0') +
                            dati(cartella + "/2304.wav"));
    // A decimal's file is named as it is written, the decimals as typed.
    const QString decimali = dir.filePath("decimali");
    e = esegui({"say", "3,05", "--lettura", "posti", "1.234,50", "--wav-dir", decimali});
    QCOMPARE(e.stato, 0);
    QCOMPARE(QDir(decimali).entryList(QDir::Files), (QStringList{"1234,50.wav", "3,05.wav"}));
    QCOMPARE(leggi(decimali + "/3,05.wav"), leggi(decimale));
    e = esegui({"say", "3.05", "--wav", dir.filePath("punto.wav")});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("\"3.05\": this dot does not group the digits by three: a decimal "
                               "number takes a comma, write 3,05"),
             qPrintable(e.errori));
    QVERIFY(!QFile::exists(dir.filePath("punto.wav")));

    // Nothing to say is refused, and no file is left behind as if it were done.
    QFile::remove(wav);
    e = esegui({"say", "12", "000", "--wav", wav});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("\"000\": a number made only of zeros has nothing to say"),
             qPrintable(e.errori));
    QVERIFY(!QFile::exists(wav));
    e = esegui({"say", "0", "--wav-dir", cartella + "/zero"});
    QCOMPARE(e.stato, 2);
    QVERIFY(!QFile::exists(cartella + "/zero"));

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

    // With a clip damaged the recording would hold the alert in its place: no
    // file is written and the clip is named. The numbers before it are done.
    const QString guasta = dir.filePath("guasta");
    QVERIFY(QDir().mkpath(guasta));
    for (const QString& f :
         QDir(bin).entryList({"contavoce-cli", "libcontavoce-suono.so", "*.wav"}))
        QVERIFY(QFile::copy(bin + "/" + f, guasta + "/" + f));
    QFile danno(guasta + "/va1.wav");
    QVERIFY(danno.open(QIODevice::WriteOnly | QIODevice::Truncate));
    danno.close();
    const QString lezione = dir.filePath("lezione");
    for (const QStringList& uscita :
         {QStringList{"--wav", lezione + ".wav"}, QStringList{"--wav-dir", lezione}}) {
        solo.start(guasta + "/contavoce-cli", QStringList{"say", "2", "21"} + uscita);
        QVERIFY(solo.waitForFinished(60000));
        QCOMPARE(solo.exitCode(), 1);
        const QString errori = QString::fromUtf8(solo.readAllStandardError());
        QVERIFY2(errori.contains("speech clip \"" + guasta + "/va1.wav\" is missing or damaged"),
                 qPrintable(errori));
    }
    QVERIFY(!QFile::exists(lezione + ".wav"));
    QCOMPARE(QDir(lezione).entryList(QDir::Files), QStringList{"2.wav"});
}

void TstCli::nomi_vuoti_data() {
    QTest::addColumn<QStringList>("argomenti");
    // What a script passes for a variable left unset.
    QTest::newRow("say --wav") << QStringList{"say", "2304", "--wav", ""};
    QTest::newRow("say --wav-dir") << QStringList{"say", "2304", "--wav-dir", ""};
    QTest::newRow("scheda --audio") << QStringList{"scheda", "--audio", "", "x.pdf"};
    QTest::newRow("music --wav") << QStringList{"music", "x.mid", "--wav", "", "--seconds", "1"};
}

void TstCli::nomi_vuoti() {
    QFETCH(QStringList, argomenti);
    const Esito e = esegui(argomenti);
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("wants a name, not an empty text"), qPrintable(e.errori));
}

void TstCli::disco_pieno_data() {
    QTest::addColumn<QStringList>("argomenti"); // %1 is a fresh folder
    QTest::addColumn<QString>("file");          // what is at the name before, and stays
    QTest::addColumn<QStringList>("restano");   // all the folder holds after
    QTest::addColumn<int>("limite");            // file size limit, 512-byte blocks
    QTest::newRow("say --wav") << QStringList{"say", "12", "2304", "--wav", "%1/lezione.wav"}
                               << "lezione.wav" << QStringList{"lezione.wav"} << 8;
    QTest::newRow("say --wav-dir")
        << QStringList{"say", "12", "--wav-dir", "%1/audio"} << "" << QStringList{"audio"} << 8;
    QTest::newRow("scheda") << QStringList{"scheda", "--quanti", "30", "%1/scheda.pdf"}
                            << "scheda.pdf" << QStringList{"scheda.pdf"} << 8;
    // The items fit, the whole track does not: what was written goes again,
    // so that the folder can take the dictation once there is room.
    QTest::newRow("scheda --audio")
        << QStringList{"scheda", "--esercizi", "dettato:2", "--seme",
                       "7",      "--audio",    "%1/audio",  "%1/scheda.pdf"}
        << "" << QStringList{"scheda-soluzioni.pdf", "scheda.pdf"} << 8192;
    QTest::newRow("scheda on /dev/full")
        << QStringList{"scheda", "--quanti", "2", "/dev/full"} << "" << QStringList{} << 0;
}

void TstCli::disco_pieno() {
    QFETCH(QStringList, argomenti);
    QFETCH(QString, file);
    QFETCH(QStringList, restano);
    QFETCH(int, limite);
    QTemporaryDir dir;
    const QByteArray prima = "a file done earlier";
    if (!file.isEmpty()) {
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(prima) == prima.size());
    }
    for (QString& a : argomenti)
        a.replace("%1", dir.path());
    const Esito e = esegui(argomenti, {}, {}, limite);
    QCOMPARE(e.stato, 1);
    QVERIFY2(e.errori.contains("cannot write"), qPrintable(e.errori));
    // Nothing half written at the name, nor a temporary file left beside it.
    const auto tutto = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    QCOMPARE(QDir(dir.path()).entryList(tutto), restano);
    if (!file.isEmpty())
        QCOMPARE(leggi(dir.filePath(file)), prima);
    if (restano.contains("audio"))
        QCOMPARE(QDir(dir.filePath("audio")).entryList(tutto), QStringList{});
}

namespace {

// The PDF's pages as text, laid out as printed (pdftotext, from poppler-utils).
QStringList pagine(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList testo = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    if (!testo.isEmpty() && testo.last().trimmed().isEmpty())
        testo.removeLast();
    return testo;
}

// One exercise as read back: its section's instruction, the question on the
// pupil's sheet and the answer in the key.
struct Letto {
    QString consegna, domanda, risposta;
};

const QRegularExpression riga_esercizio(R"(^ *(\d+)\. *(.*)$)");
const QRegularExpression riga_sezione(R"(^ *([A-K])\. +(\S.*)$)");

// The numbered lines of a sheet or a key, by number, with their section's
// instruction; a key's answer running on to the next lines joined to it.
QMap<int, QPair<QString, QString>> righe_numerate(const QStringList& pagine) {
    QMap<int, QPair<QString, QString>> righe;
    QString consegna;
    int ultima = 0;
    for (const QString& pagina : pagine)
        for (const QString& riga : pagina.split('\n')) {
            const QString t = riga.simplified();
            if (t.isEmpty() || t.startsWith("Pagina ")) {
                continue;
            } else if (const auto s = riga_sezione.match(riga); s.hasMatch()) {
                consegna = s.captured(2).simplified();
                ultima = 0;
            } else if (const auto e = riga_esercizio.match(riga); e.hasMatch()) {
                ultima = e.captured(1).toInt();
                righe[ultima] = {consegna, e.captured(2).simplified()};
            } else if (ultima > 0) {
                righe[ultima].second += ' ' + t;
            }
        }
    return righe;
}

// A sheet and its key, exercise by exercise; the key's line must begin
// with the sheet's question, so that a key of another sheet is told.
QList<Letto> leggi_scheda(const QString& pdf, const QString& chiave) {
    const auto domande = righe_numerate(pagine(pdf));
    const auto risposte = righe_numerate(pagine(chiave));
    QList<Letto> letti;
    if (domande.keys() != risposte.keys() || domande.isEmpty()) {
        qWarning("the sheet and its key number their exercises differently");
        return {};
    }
    for (auto it = domande.cbegin(); it != domande.cend(); ++it) {
        const QString& domanda = it.value().second;
        QString risposta = risposte[it.key()].second;
        if (it.value().first != risposte[it.key()].first || !risposta.startsWith(domanda)) {
            qWarning("exercise %d: \"%s\" against the key's \"%s\"", it.key(), qPrintable(domanda),
                     qPrintable(risposta));
            return {};
        }
        risposta = risposta.mid(domanda.size()).trimmed();
        if (risposta.startsWith(QString::fromUtf8("→")))
            risposta = risposta.mid(1).trimmed();
        letti.append({it.value().first, domanda, risposta});
    }
    return letti;
}

// A whole number as printed (2.304) or written plain.
qulonglong valore(QString t) {
    return t.remove('.').toULongLong();
}

QString parole(qulonglong n) {
    std::string cifre = std::to_string(n), p;
    contavoce::parole_in_grafia(cifre, contavoce::Grafia::scolastica, p);
    return p.empty() ? QString("zero") : QString::fromStdString(p);
}

qulonglong potenza(int esponente) {
    qulonglong p = 1;
    while (esponente-- > 0)
        p *= 10;
    return p;
}

// Why an exercise's answer is not its question's, empty when it is: worked
// out here from the question alone, as a teacher checks a key.
QString sbaglio(const Letto& e) {
    const QString& d = e.domanda;
    const QString& r = e.risposta;
    // A place by its short form or its name, in the singular or the plural.
    const auto posti = [](const QString& nome) -> int {
        static const QStringList sigle = {"u",  "da",  "h",  "uk", "dak", "hk",
                                          "uM", "daM", "hM", "uG", "daG", "hG"};
        static const QStringList nomi = {"unità",
                                         "decin",
                                         "centinai",
                                         "migliai",
                                         "decin di migliaia",
                                         "centinai di migliaia",
                                         "milion",
                                         "decin di milioni",
                                         "centinai di milioni",
                                         "miliard",
                                         "decin di miliardi",
                                         "centinai di miliardi"};
        if (const auto i = sigle.indexOf(nome); i >= 0)
            return int(i) + 1;
        for (qsizetype i = 0; i < nomi.size(); ++i) {
            QString radice = nomi[i];
            // The ending left out of the stem: decina/decine, centinaio/centinaia...
            const QStringList parti = radice.split(' ');
            for (const char* fine : {"", "a", "e", "o", "i"}) {
                QStringList con = parti;
                if (i > 0)
                    con[0] += fine;
                if (con.join(' ') == nome)
                    return int(i) + 1;
            }
        }
        return 0;
    };
    const QRegularExpression somma(R"((\d+) ([a-zàèé ]+?)(?:, | e |$))");
    if (e.consegna == "Scrivi in lettere")
        return r == parole(valore(d)) ? "" : "words";
    if (e.consegna == "Scrivi in cifre")
        return parole(valore(r)) == d ? "" : "digits";
    if (e.consegna.startsWith("Separa le migliaia")) {
        std::string cifre = d.toStdString();
        return r == QString::fromStdString(contavoce::formatta_numero(cifre)) ? "" : "grouping";
    }
    if (e.consegna.startsWith("Dettato"))
        return d.isEmpty() && QRegularExpression(R"(^\d{1,3}(\.\d{3})*$)").match(r).hasMatch()
                   ? ""
                   : "dictation";
    if (e.consegna.startsWith("Scomponi")) {
        // 2 uk + 3 h + 4 u = 2 × 1.000 + 3 × 100 + 4: both ways add up to the number.
        const QStringList lati = r.split(" = ");
        if (lati.size() != 2)
            return "decomposition";
        qulonglong per_posti = 0, per_valori = 0;
        for (const QString& t : lati[0].split(" + ")) {
            const QStringList c = t.split(' ');
            per_posti += c[0].toULongLong() * potenza(posti(c.value(1)) - 1);
        }
        for (const QString& t : lati[1].split(" + ")) {
            const QStringList c = t.split(QString::fromUtf8(" × "));
            per_valori += c[0].toULongLong() * (c.size() > 1 ? valore(c[1]) : 1);
        }
        const qulonglong n = valore(d.chopped(2));
        return per_posti == n && per_valori == n && d.endsWith(" =") ? "" : "decomposition";
    }
    if (e.consegna.startsWith("Componi")) {
        qulonglong n = 0;
        for (const auto& m : somma.globalMatch(d))
            n += m.captured(1).toULongLong() * potenza(posti(m.captured(2)) - 1);
        return n == valore(r) ? "" : "composition";
    }
    if (e.consegna.startsWith("Scrivi il posto")) {
        // "hk, vale 300.000": the worth is a digit of the number in that place.
        const auto m = QRegularExpression(R"(^(\w+), vale ([\d.]+)$)").match(r);
        const int posto = posti(m.captured(1));
        const QString cifre = QString(d).remove('.');
        const qulonglong vale = valore(m.captured(2));
        if (!m.hasMatch() || posto == 0 || posto > cifre.size())
            return "place";
        const int cifra = cifre[cifre.size() - posto].digitValue();
        return cifra != 0 && vale == qulonglong(cifra) * potenza(posto - 1) ? "" : "worth";
    }
    if (e.consegna.startsWith("Metti il segno")) {
        const QStringList n = d.split(QString::fromUtf8(" □ "));
        if (n.size() != 2)
            return "comparison";
        const qulonglong a = valore(n[0]), b = valore(n[1]);
        const QString segno = a < b ? "<" : a > b ? ">" : "=";
        return r == n[0] + ' ' + segno + ' ' + n[1] ? "" : "sign";
    }
    if (e.consegna.startsWith("Scrivi il risultato")) {
        const auto dopo =
            QRegularExpression(R"(^Che numero viene (dopo|prima di) ([\d.]+)\?$)").match(d);
        const auto conto =
            QRegularExpression(QString::fromUtf8(R"(^Quanto fa ([\d.]+) ([+−]) ([\d.]+)\?$)"))
                .match(d);
        qulonglong atteso = 0;
        if (dopo.hasMatch())
            atteso = valore(dopo.captured(2)) + (dopo.captured(1) == "dopo" ? 1 : -1);
        else if (conto.hasMatch())
            atteso = conto.captured(2) == "+"
                         ? valore(conto.captured(1)) + valore(conto.captured(3))
                         : valore(conto.captured(1)) - valore(conto.captured(3));
        else
            return "step";
        return valore(r) == atteso ? "" : "result";
    }
    if (e.consegna.startsWith("Metti in ordine")) {
        QStringList numeri = d.split(' ');
        std::sort(numeri.begin(), numeri.end(),
                  [](const QString& x, const QString& y) { return valore(x) < valore(y); });
        return numeri.size() == 5 && r == numeri.join(" < ") ? "" : "order";
    }
    if (e.consegna.startsWith("Scrivi in lettere i numeri")) {
        // A decimal one way or the other, in the reading with the comma.
        const bool in_cifre = d.contains(QRegularExpression(R"(^[\d.,]+$)"));
        const QString cifre = in_cifre ? d : r;
        const contavoce::DecimaleLetto letto = contavoce::leggi_decimale(cifre.toStdString());
        const QString lettere = QString::fromStdString(contavoce::decimale_in_lettere(
            letto.numero, contavoce::Grafia::scolastica, contavoce::Lettura::virgola));
        return !letto.difetto && (in_cifre ? r : d) == lettere ? "" : "decimal";
    }
    return "unknown section " + e.consegna;
}

namespace am = contavoce::audio_match;

// A WAV's sound as the mixer plays it, in the analysis format.
std::vector<float> analizzato(const QByteArray& wav) {
    const auto suono =
        contavoce::platform::decodifica_wav({wav.constData(), std::size_t(wav.size())}, {});
    return suono ? am::a_mono_11025(suono->campioni) : std::vector<float>{};
}

// What is wrong with the file of one dictation item, or nothing. `titolo` is
// "Numero" and the item's place, `numero` the number, each as clip names: the
// title from the start, the number, a silent pause of at least `pausa`
// seconds, the number again, then at least `pausa_lunga` of silence to the
// end. Each clip is found after the one before, the clips of one phrase close
// together.
QString voce_sbagliata(const QByteArray& wav, const QStringList& titolo, const QStringList& numero,
                       double pausa, double pausa_lunga) {
    const std::vector<float> voce = analizzato(wav);
    if (voce.empty())
        return "not a WAV";
    am::Correlatore correlatore(voce);
    const double f = am::frequenza_analisi;
    std::size_t cursore = 0, fine = 0;
    QString errore;
    // The phrase's clips in order; where it starts, and `fine` where it ends.
    const auto trova = [&](const QStringList& clip) -> std::optional<std::size_t> {
        std::optional<std::size_t> inizio;
        for (const QString& c : clip) {
            const auto m = analizzato(leggi(qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/" + c));
            const auto p = am::primo_picco(correlatore.ncc(m), cursore, am::soglia_ncc, m.size());
            if (m.empty() || !p || (inizio && p->posizione > fine + std::size_t(0.1 * f))) {
                errore = QString("%1 not heard after %2 s").arg(c).arg(cursore / f);
                return std::nullopt;
            }
            inizio = inizio.value_or(p->posizione);
            fine = p->posizione + m.size();
            cursore = fine - m.size() / 10;
        }
        return inizio;
    };
    // Silence from the end of the phrase before for at least `secondi`.
    const auto silenzio = [&](std::size_t a, double secondi) {
        const std::size_t margine = std::size_t(0.02 * f);
        const double picco =
            a > fine + 2 * margine
                ? std::abs(*std::ranges::max_element(
                      std::span(voce).subspan(fine + margine, a - fine - 2 * margine), {},
                      [](float x) { return std::abs(x); }))
                : 0.0;
        if ((a - fine) / f < secondi - 0.02 || picco > 1e-3)
            errore = QString("%1 s from %2 s, peak %3, not %4 s of silence")
                         .arg((a - fine) / f)
                         .arg(fine / f)
                         .arg(picco)
                         .arg(secondi);
        return errore.isEmpty();
    };
    const auto inizio = trova(titolo);
    if (!inizio)
        return errore;
    if (*inizio > std::size_t(0.01 * f))
        return QString("the title starts at %1 s").arg(*inizio / f);
    if (!trova(numero))
        return errore;
    const std::size_t prima_fine = fine;
    const auto ancora = trova(numero);
    if (!ancora)
        return errore;
    const std::size_t seconda_fine = fine;
    fine = prima_fine;
    if (!silenzio(*ancora, pausa))
        return errore;
    fine = seconda_fine;
    silenzio(voce.size(), pausa_lunga);
    return errore;
}

} // namespace

// Every kind of exercise on a terza's sheet: each question agrees with the
// key in the file apart, the pupil's file holds no answer, the same command
// line makes the same files, and the dictation says the key's numbers.
void TstCli::scheda_e_dettato() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("scheda.pdf"), chiave = dir.filePath("scheda-soluzioni.pdf");
    const QString dettato = dir.filePath("dettato");
    const QStringList comando = {"scheda",
                                 "--classe",
                                 "terza",
                                 "--esercizi",
                                 "lettere:3,cifre:2,raggruppa:2,dettato:4,scomponi:3,componi:3,"
                                 "valore:3,confronta:3,prima-dopo:4,ordina:2",
                                 "--seme",
                                 "7",
                                 "--titolo",
                                 "Classe terza",
                                 "--audio",
                                 dettato,
                                 pdf};
    Esito e = esegui(comando);
    QCOMPARE(e.stato, 0);
    QVERIFY2(e.errori.isEmpty(), qPrintable(e.errori));
    const QList<Letto> letti = leggi_scheda(pdf, chiave);
    QCOMPARE(letti.size(), 29);
    QSet<QString> consegne;
    QStringList detti, in_lettere;
    for (const Letto& l : letti) {
        consegne.insert(l.consegna);
        QVERIFY2(sbaglio(l).isEmpty(),
                 qPrintable(sbaglio(l) + ": " + l.domanda + " -> " + l.risposta));
        if (l.consegna.startsWith("Dettato"))
            detti << l.risposta;
        if (l.consegna == "Scrivi in lettere")
            in_lettere << l.risposta;
    }
    QCOMPARE(consegne.size(), 10);
    QCOMPARE(detti.size(), 4);

    // The pupil's file: a title, a name line, no answer of the key.
    const QString scheda = pagine(pdf).join('\n');
    QVERIFY(scheda.startsWith("Classe terza") && scheda.contains("Nome") &&
            scheda.contains("Data") && !scheda.contains("Soluzioni"));
    for (const QString& r : detti + in_lettere)
        QVERIFY2(!scheda.contains(r), qPrintable(r));
    // The key names what remakes the sheet, and that command does.
    const QString soluzioni = pagine(chiave).join('\n');
    QVERIFY2(soluzioni.contains("Seme 7") && soluzioni.contains("Classe terza, livello 2"),
             qPrintable(soluzioni));
    const auto rifai = QRegularExpression(R"(Per rifarla: contavoce-cli (scheda .*?) \S+\.pdf\n)",
                                          QRegularExpression::DotMatchesEverythingOption)
                           .match(soluzioni);
    QVERIFY2(rifai.hasMatch(), qPrintable(soluzioni));
    const QString altro = dir.filePath("altro.pdf");
    QStringList di_nuovo = rifai.captured(1).simplified().split(' ');
    di_nuovo.removeAt(di_nuovo.indexOf("--audio") + 1);
    di_nuovo.removeAt(di_nuovo.indexOf("--audio"));
    const auto titolo = di_nuovo.indexOf("'Classe");
    QVERIFY(titolo > 0);
    di_nuovo.replace(titolo, "Classe terza");
    di_nuovo.removeAt(titolo + 1);
    QCOMPARE(esegui(di_nuovo + QStringList{altro}).stato, 0);
    QCOMPARE(pagine(altro), pagine(pdf));
    QCOMPARE(pagine(dir.filePath("altro-soluzioni.pdf")).join('\n').section("Per rifarla", 0, 0),
             soluzioni.section("Per rifarla", 0, 0));

    // The dictation: line k's file says "Numero" and k, the number, a pause,
    // the number again and a longer pause; the track is the lines in turn.
    QStringList voci{"dettato.wav"};
    QStringList da_dire;
    for (int k = 1; k <= detti.size(); ++k) {
        voci << QString("%1.wav").arg(k, 2, 10, QChar('0'));
        da_dire << QString::number(k) << detti[k - 1];
    }
    voci.sort();
    QCOMPARE(QDir(dettato).entryList(QDir::Files), voci);
    e = esegui(QStringList{"clips"} + da_dire);
    QCOMPARE(e.stato, 0);
    const QStringList clip = e.uscita.split('\n');
    QByteArray in_fila;
    for (int k = 1; k <= detti.size(); ++k) {
        const QByteArray wav = leggi(dettato + "/" + voci[k - 1]);
        const QString sbaglio =
            voce_sbagliata(wav, QStringList{"es_numero.wav"} + clip[2 * k - 2].split(' '),
                           clip[2 * k - 1].split(' '), 3.0, 6.0);
        QVERIFY2(sbaglio.isEmpty(), qPrintable(voci[k - 1] + ": " + sbaglio));
        in_fila += wav.mid(44);
    }
    const QByteArray traccia = leggi(dettato + "/dettato.wav");
    QCOMPARE(traccia.left(4), "RIFF");
    QVERIFY(traccia.mid(44) == in_fila);
    const auto suono =
        contavoce::platform::decodifica_wav({traccia.constData(), std::size_t(traccia.size())}, {});
    QVERIFY(suono && qint64(suono->frame()) == in_fila.size() / 4);

    // A dictation goes into a new or an empty folder only: files already
    // there, even the same sheet's, are refused before anything is written.
    const QString terzo = dir.filePath("terzo.pdf");
    const QString vuota = dir.filePath("vuota");
    QVERIFY(QDir().mkdir(vuota));
    QCOMPARE(esegui({"scheda", "--esercizi", "dettato:2", "--audio", vuota, terzo}).stato, 0);
    QCOMPARE(QDir(vuota).entryList(QDir::Files), (QStringList{"01.wav", "02.wav", "dettato.wav"}));
    QVERIFY(QFile::remove(terzo));
    for (const QStringList& mischia :
         {QStringList{"scheda", "--esercizi", "dettato:4", "--audio", dettato, terzo},
          QStringList{"scheda", "--esercizi", "dettato:2", "--audio", vuota, terzo},
          QStringList{"say", "--wav-dir", dettato, "12"}}) {
        e = esegui(mischia);
        QCOMPARE(e.stato, 2);
        QVERIFY2(e.errori.contains("the folder \"" + mischia[mischia.size() - 2] +
                                   "\" already holds \""),
                 qPrintable(e.errori));
    }
    QVERIFY(!QFile::exists(terzo));
    QCOMPARE(QDir(dettato).entryList(QDir::Files), voci);
    QCOMPARE(leggi(dettato + "/dettato.wav"), traccia);

    // Two file: different numbers of the same difficulty, each with its key.
    QCOMPARE(esegui({"scheda", "--classe", "seconda", "--file", "2", "--seme", "7", "--titolo",
                     "Verifica", dir.filePath("verifica.pdf")})
                 .stato,
             0);
    const QList<Letto> a =
        leggi_scheda(dir.filePath("verifica-A.pdf"), dir.filePath("verifica-A-soluzioni.pdf"));
    const QList<Letto> b =
        leggi_scheda(dir.filePath("verifica-B.pdf"), dir.filePath("verifica-B-soluzioni.pdf"));
    QCOMPARE(a.size(), 12);
    QCOMPARE(b.size(), 12);
    int uguali = 0;
    for (int i = 0; i < 12; ++i) {
        QVERIFY2(sbaglio(a[i]).isEmpty(), qPrintable(a[i].domanda + " -> " + a[i].risposta));
        QVERIFY2(sbaglio(b[i]).isEmpty(), qPrintable(b[i].domanda + " -> " + b[i].risposta));
        QCOMPARE(a[i].consegna, b[i].consegna);
        uguali += a[i].domanda == b[i].domanda;
    }
    QVERIFY(uguali < 3);
    QVERIFY(pagine(dir.filePath("verifica-A.pdf")).first().startsWith("Verifica - fila A"));
    QVERIFY(pagine(dir.filePath("verifica-B-soluzioni.pdf")).first().contains("fila B"));

    // A small range gives all its numbers; too small a range, a bad bound, a
    // file that cannot be written, a kind that is not one are refused.
    QCOMPARE(esegui({"scheda", "--da", "1", "--a", "3", "--quanti", "3", altro}).stato, 0);
    e = esegui({"scheda", "--da", "1", "--a", "10", "--quanti", "11", altro});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("only 10 different numbers from 1 to 10"), qPrintable(e.errori));
    e = esegui({"scheda", "--da", "0", altro});
    QCOMPARE(e.stato, 2);
    e = esegui({"scheda", "--a", "1.00", altro});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("--a: \"1.00\"") && e.errori.contains("^"), qPrintable(e.errori));
    e = esegui({"scheda", "--quanti", "2", dir.filePath("no/such/folder.pdf")});
    QCOMPARE(e.stato, 1);
    QVERIFY2(e.errori.contains("cannot write"), qPrintable(e.errori));
    QCOMPARE(esegui({"scheda"}).stato, 2);
    e = esegui({"scheda", "--esercizi", "lettere:2,tabelline:3", altro});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("\"tabelline\" is not a kind"), qPrintable(e.errori));
}

void TstCli::scheda_per_classe_data() {
    QTest::addColumn<QStringList>("opzioni");
    QTest::addColumn<qulonglong>("minimo");
    QTest::addColumn<qulonglong>("massimo");
    QTest::addColumn<int>("con_zeri"); // at least so many of the 30 numbers
    QTest::newRow("prima 1") << QStringList{"--classe", "prima", "--livello", "1"} << 0ULL << 10ULL
                             << 0;
    QTest::newRow("seconda 3") << QStringList{"--classe", "seconda", "--livello", "3"} << 0ULL
                               << 999ULL << 30;
    QTest::newRow("terza, no level")
        << QStringList{"--classe", "terza"} << 1000ULL << 9999ULL << 10;
    QTest::newRow("default") << QStringList{} << 1000ULL << 9999ULL << 10;
    QTest::newRow("quinta 2") << QStringList{"--classe", "quinta", "--livello", "2"}
                              << 1'000'000'000ULL << 999'999'999'999ULL << 10;
    QTest::newRow("--cifre 5 --zeri 50%")
        << QStringList{"--cifre", "5", "--zeri", "50%"} << 10'000ULL << 99'999ULL << 15;
    QTest::newRow("--da --a --zeri 0,8")
        << QStringList{"--da", "100", "--a", "9.999", "--zeri", "0,8"} << 100ULL << 9999ULL << 24;
}

// The numbers of a class year's level, with its share of zeros inside.
void TstCli::scheda_per_classe() {
    QFETCH(QStringList, opzioni);
    QFETCH(qulonglong, minimo);
    QFETCH(qulonglong, massimo);
    QFETCH(int, con_zeri);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("s.pdf");
    QCOMPARE(esegui(QStringList{"scheda", "--esercizi", "lettere:30", "--seme", "3"} + opzioni +
                    QStringList{pdf})
                 .stato,
             0);
    const QList<Letto> letti = leggi_scheda(pdf, dir.filePath("s-soluzioni.pdf"));
    QCOMPARE(letti.size(), 30);
    int zeri = 0;
    for (const Letto& l : letti) {
        QVERIFY2(sbaglio(l).isEmpty(), qPrintable(l.domanda + " -> " + l.risposta));
        const qulonglong n = valore(l.domanda);
        QVERIFY2(n >= minimo && n <= massimo, qPrintable(l.domanda));
        zeri += QRegularExpression("[1-9]0+[1-9]").match(QString(l.domanda).remove('.')).hasMatch();
    }
    QVERIFY2(zeri >= con_zeri, qPrintable(QString::number(zeri)));
}

// A quinta's decimals, on the level of decimals and in their own exercise.
void TstCli::scheda_decimali() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("s.pdf");
    QCOMPARE(esegui({"scheda", "--classe", "quinta", "--livello", "3", "--esercizi",
                     "decimali:6,lettere:4", "--seme", "5", pdf})
                 .stato,
             0);
    const QList<Letto> letti = leggi_scheda(pdf, dir.filePath("s-soluzioni.pdf"));
    QCOMPARE(letti.size(), 10);
    for (const Letto& l : letti) {
        const QString cifre =
            l.consegna == "Scrivi in lettere" || l.domanda.contains(',') ? l.domanda : l.risposta;
        QVERIFY2(QRegularExpression(R"(^\d{1,3}(\.\d{3})*,\d{1,3}$)").match(cifre).hasMatch(),
                 qPrintable(cifre));
        // The words in school spelling with the comma, both for the level's numbers...
        const contavoce::DecimaleLetto letto = contavoce::leggi_decimale(cifre.toStdString());
        const QString lettere = QString::fromStdString(contavoce::decimale_in_lettere(
            letto.numero, contavoce::Grafia::scolastica, contavoce::Lettura::virgola));
        QVERIFY2(l.domanda == lettere || l.risposta == lettere, qPrintable(l.risposta));
    }
    // ...and a decimal kind refused to a class year without decimals.
    const Esito e = esegui({"scheda", "--classe", "terza", "--esercizi", "decimali:2", pdf});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("quarta or quinta"), qPrintable(e.errori));
}

// The lesson written is the one asked for, as the practice window reads it;
// a lesson already there stays unless replaced on purpose.
void TstCli::lezione() {
    QTemporaryDir dir;
    const QString file = dir.filePath("lezione.txt");
    const auto letta = [&] {
        const contavoce::LezioneLetta l = contavoce::leggi_file_lezione(file.toStdString());
        if (const auto* e = std::get_if<contavoce::ErroreLezione>(&l))
            qWarning("%s", e->messaggio.c_str());
        return std::holds_alternative<contavoce::Lezione>(l) ? std::get<contavoce::Lezione>(l)
                                                             : contavoce::Lezione{};
    };
    Esito e = esegui({"lezione", "--classe", "quarta", "--livello", "2", "--tipi",
                      "ascolta, prima-dopo,lettere", "--domande", "12", "--seme", "7", "--titolo",
                      QString::fromUtf8("Le migliaia: 2.304 è più di 2.034"), "--grafia",
                      "scolastica", file});
    QCOMPARE(e.stato, 0);
    QVERIFY2(e.uscita.isEmpty() && e.errori.isEmpty(), qPrintable(e.uscita + e.errori));
    contavoce::Lezione attesa;
    attesa.titolo = "Le migliaia: 2.304 è più di 2.034";
    attesa.classe = contavoce::Classe::quarta;
    attesa.livello = 2;
    attesa.tipi = {contavoce::Tipo::ascolta, contavoce::Tipo::prima_dopo, contavoce::Tipo::lettere};
    attesa.domande = 12;
    attesa.seme = 7;
    attesa.grafia = contavoce::Grafia::scolastica;
    QVERIFY(letta() == attesa);

    // Not over a lesson already given out, unless asked.
    const QStringList di_nuovo = {"lezione", "--classe", "prima", "--livello",
                                  "1",       "--tipi",   "cifre", file};
    e = esegui(di_nuovo);
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("already exists: --sovrascrivi replaces it"), qPrintable(e.errori));
    QVERIFY(letta() == attesa);
    // Without a seed one is drawn, and told so that the lesson can be made again.
    e = esegui(di_nuovo + QStringList{"--sovrascrivi"});
    QCOMPARE(e.stato, 0);
    const QRegularExpressionMatch seme =
        QRegularExpression(R"(^seed (\d+), drawn: --seme \1 )").match(e.uscita);
    QVERIFY2(seme.hasMatch(), qPrintable(e.uscita));
    const contavoce::Lezione nuova = letta();
    QVERIFY(nuova.classe == contavoce::Classe::prima && nuova.domande == 10 && !nuova.grafia);
    QCOMPARE(QString::number(nuova.seme), seme.captured(1));

    const QString altro = dir.filePath("altro.txt");
    const QList<std::pair<QStringList, const char*>> sbagliati = {
        {{"--livello", "4"}, "--livello wants 1, 2 or 3, not \"4\""},
        {{"--classe", "Quarta"}, "--classe wants prima, seconda"},
        {{"--tipi", "ascolta,ascolta"}, "--tipi wants kinds among"},
        {{"--tipi", "ascolta,"}, "--tipi wants kinds among"},
        {{"--domande", "21"}, "--domande wants from 5 to 20 questions"},
        {{"--seme", "-1"}, "--seme wants a whole number"},
        {{"--seme", "18446744073709551616"}, "--seme wants a whole number"},
        {{"--titolo", "a\x1b[2J"}, "--titolo wants a line of text of up to 60 characters"},
        {{"--colore", "rosso"}, "unknown option \"--colore\""},
        {{"--seme"}, "usage: lezione"},
    };
    for (const auto& [opzioni, messaggio] : sbagliati) {
        e = esegui(QStringList{"lezione", "--classe", "terza", "--livello", "1", "--tipi",
                               "ascolta", altro} +
                   opzioni);
        QCOMPARE(e.stato, 2);
        QVERIFY2(e.errori.contains(messaggio), qPrintable(e.errori));
    }
    e = esegui({"lezione", "--classe", "terza", "--livello", "1", altro});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("a lesson needs --classe, --livello and --tipi"),
             qPrintable(e.errori));
    QVERIFY(!QFile::exists(altro));
}

namespace {

// The CSV as Python's csv module reads it, after checking its byte-order mark.
QList<QStringList> leggi_csv(const QString& file, const QString& separatore) {
    QProcess p;
    p.start("python3", {"-c",
                        "import csv, io, json, sys\n"
                        "b = open(sys.argv[1], 'rb').read()\n"
                        "assert b.startswith(b'\\xef\\xbb\\xbf')\n"
                        "t = io.StringIO(b[3:].decode('utf-8'), newline='')\n"
                        "print(json.dumps(list(csv.reader(t, delimiter=sys.argv[2]))))",
                        file, separatore});
    QList<QStringList> righe;
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return righe;
    for (const QJsonValue& r : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList campi;
        for (const QJsonValue& c : r.toArray())
            campi << c.toString();
        righe << campi;
    }
    return righe;
}

} // namespace

// The teacher's view of a register filled through the library: the table,
// the CSV under an Italian and an English locale, the PDF, and removals.
void TstCli::registro() {
    namespace reg = contavoce::registro;
    QTemporaryDir dir;
    const QString cartella = dir.filePath("Contavoce");
    Esito e = esegui({"registro", "--cartella", cartella});
    QCOMPARE(e.stato, 0);
    QVERIFY2(e.uscita.contains("The register is empty"), qPrintable(e.uscita));
    QVERIFY(!QFileInfo::exists(cartella)); // looking makes no register
    const std::string zoe = "Zoë \"Zo\"; Bianchi, jr";
    {
        reg::Registro r = reg::Registro::apri(cartella.toStdString());
        const auto anna = r.aggiungi_bambino("Anna");
        const auto z = r.aggiungi_bambino(zoe);
        QVERIFY(anna && z);
        const auto giro = [&](std::int64_t b, contavoce::Classe c, contavoce::Tipo t) {
            return *r.inizia_giro({b, c, 2, t, 10, 7, ""});
        };
        const auto risposta = [&](std::int64_t g, std::size_t i, const char* n, const char* data,
                                  int tentativo, double secondi) {
            QVERIFY(r.registra_risposta(
                {g, i, n, "", n, data, std::string(data) == n, tentativo, secondi, {}}));
        };
        const std::int64_t a1 = giro(anna->id, contavoce::Classe::quarta, contavoce::Tipo::cifre);
        risposta(a1, 0, "2.304", "2.304", 1, 2.5);
        risposta(a1, 1, "70.007", "7.007", 1, 6.25);
        risposta(a1, 1, "70.007", "=7+7", 2, 4);
        const std::int64_t a2 = giro(anna->id, contavoce::Classe::terza, contavoce::Tipo::ascolta);
        risposta(a2, 0, "305", "305", 1, 3);
        const std::int64_t z1 = giro(z->id, contavoce::Classe::quarta, contavoce::Tipo::cifre);
        risposta(z1, 0, "70.007", "70.070", 1, 12.5);
        risposta(z1, 0, "70.007", "70.007", 2, 1000.5);
    }

    e = esegui({"registro", "--cartella", cartella});
    QCOMPARE(e.stato, 0);
    QVERIFY2(e.uscita.startsWith("Anna\n  rounds: 2, last practised: "), qPrintable(e.uscita));
    QVERIFY2(e.uscita.contains(
                 QRegularExpression("quarta +2 +Leggi e scrivi in cifre +1 of 2 \\(50%\\)\n")) &&
                 e.uscita.contains("missed most often: 70.007 (once)\n") &&
                 e.uscita.contains(QString::fromStdString(zoe) + "\n") &&
                 e.uscita.contains("missed most often: none"),
             qPrintable(e.uscita));

    const QString csv = dir.filePath("risposte.csv");
    for (const char* lingua : {"it_IT.UTF-8", "en_US.UTF-8"}) {
        const bool italiano = lingua[0] == 'i';
        e = esegui({"registro", "--cartella", cartella, "--csv", csv}, {},
                   {QString("LANG=") + lingua});
        QCOMPARE(e.stato, 0);
        const QList<QStringList> righe = leggi_csv(csv, italiano ? ";" : ",");
        QCOMPARE(righe.size(), 7);
        QCOMPARE(righe[0].first(), italiano ? "quando" : "when");
        for (const QStringList& r : righe)
            QCOMPARE(r.size(), 15);
        QCOMPARE(righe[1][1], "Anna");
        QCOMPARE(righe[1][14], italiano ? "2,5" : "2.5");
        QCOMPARE(righe[2][14], italiano ? "6,3" : "6.3");
        QCOMPARE(righe[3][11], "'=7+7"); // a typed formula stays text
        QCOMPARE(righe[6][1], QString::fromStdString(zoe));
        QCOMPARE(righe[6][14], italiano ? "1000,5" : "1000.5");
        QCOMPARE(righe[6][12], "1");
        QCOMPARE(righe[6][13], "2");
    }

    const QString pdf = dir.filePath("registro.pdf");
    e = esegui({"registro", "--cartella", cartella, "--pdf", pdf});
    QCOMPARE(e.stato, 0);
    QVERIFY2(e.errori.isEmpty(), qPrintable(e.errori));
    const QStringList testo = pagine(pdf);
    QCOMPARE(testo.size(), 2);
    QVERIFY2(testo[0].contains("classe terza") && testo[0].contains("Anna") &&
                 !testo[0].contains("Zo") &&
                 testo[0].contains(QRegularExpression("Ascolta e scrivi +1/1 \\(100%\\)")),
             qPrintable(testo[0]));
    QVERIFY2(
        testo[1].contains("classe quarta") &&
            testo[1].contains(QRegularExpression("Leggi e scrivi in cifre +1/2 \\(50%\\)")) &&
            testo[1].contains(QString::fromStdString(zoe)) &&
            testo[1].contains(QRegularExpression("Leggi e scrivi in cifre +1/1 \\(100%\\)")) &&
            testo[1].contains(QRegularExpression("Numeri più difficili\\s+70\\.007 \\(1 volta\\)")),
        qPrintable(testo[1]));

    e = esegui({"registro", "--cartella", cartella, "--cancella", "Nessuno"});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("there is no child named \"Nessuno\""), qPrintable(e.errori));
    e = esegui({"registro", "--cartella", cartella, "--cancella", "anna"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "Removed Anna: 2 rounds, 4 answers.\n");
    QVERIFY(!esegui({"registro", "--cartella", cartella}).uscita.contains("Anna"));
    e = esegui({"registro", "--cartella", cartella, "--cancella-tutto"});
    QCOMPARE(e.stato, 2);
    QVERIFY2(e.errori.contains("--si"), qPrintable(e.errori));
    e = esegui({"registro", "--cartella", cartella, "--cancella-tutto", "--si"}, {},
               {"LANG=it_IT.UTF-8"});
    QCOMPARE(e.stato, 0);
    QCOMPARE(e.uscita, "Tolti tutti i bambini (1): 1 giro, 2 risposte.\n");
    QVERIFY(esegui({"registro", "--cartella", cartella}).uscita.contains("The register is empty"));
}

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"
