// SPDX-License-Identifier: GPL-3.0-or-later
// setup.inf as Windows' profile reader reads it.
#include "setup/launcher/profilo.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace contavoce::setup;

class TstSetupProfilo : public QObject {
    Q_OBJECT

private slots:
    void testi_data();
    void testi();
    void valori_tagliati_data();
    void valori_tagliati();
    void file_mancante();
    void interi_data();
    void interi();

private:
    std::filesystem::path scrivi(const QByteArray& contenuto);
    QTemporaryDir cartella_;
};

std::filesystem::path TstSetupProfilo::scrivi(const QByteArray& contenuto) {
    QFile f(cartella_.filePath("setup.inf"));
    if (!f.open(QIODevice::WriteOnly) || f.write(contenuto) != contenuto.size())
        qFatal("cannot write setup.inf");
    return f.fileName().toStdString();
}

void TstSetupProfilo::testi_data() {
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<QString>("atteso"); // of the key Caption in [Version], "?" when missing
    const auto riga = [](const char* nome, const QByteArray& contenuto, const QString& atteso) {
        QTest::newRow(nome) << contenuto << atteso;
    };
    riga("CRLF", "[Version]\r\nCaption=Contavoce\r\nLabel1=x\r\n", "Contavoce");
    riga("no end of line", "[Version]\nCaption=Fine", "Fine");
    riga("case of names", "[VERSION]\ncaPTION=Contavoce\n", "Contavoce");
    riga("blanks around", "  [Version]\n\t Caption \t=   Due parole  \t\n", "Due parole");
    riga("double quotes", "[Version]\nCaption=\"  dentro \"\n", "  dentro ");
    riga("single quotes", "[Version]\nCaption='dentro'\n", "dentro");
    riga("unpaired quotes kept", "[Version]\nCaption=\"misto'\n", "\"misto'");
    riga("equals sign in the value", "[Version]\nCaption=a = \"b\"\n", "a = \"b\"");
    riga("empty value", "[Version]\nCaption=\n", "");
    riga("first of two", "[Version]\nCaption=uno\nCAPTION=due\n", "uno");
    riga("another section", "[Strings]\nCaption=no\n[Version]\n", "?");
    riga("after the section", "[Version]\n[Altro]\nCaption=no\n", "?");
    riga("second section of the name", "[Version]\n[version]\nCaption=no\n", "?");
    riga("commented out", "[Version]\n;Caption=no\n", "?");
    riga("longer name", "[Version]\nCaptions=no\n", "?");
    riga("Windows-1252", "[Version]\nCaption=Sar\xE0 pi\xF9 \x80 \x93ok\x94\n",
         QString::fromUtf8("Sarà più € “ok”"));
    riga("undefined Windows-1252 byte", "[Version]\nCaption=a\x81\n", QString("a") + QChar(0x81));
}

void TstSetupProfilo::testi() {
    QFETCH(QByteArray, contenuto);
    QFETCH(QString, atteso);
    const std::string valore = profilo_stringa("Version", "Caption", "?", 499, scrivi(contenuto));
    QCOMPARE(QString::fromStdString(da_windows_1252(valore)), atteso);
}

void TstSetupProfilo::valori_tagliati_data() {
    QTest::addColumn<QByteArray>("valore");
    QTest::addColumn<int>("lunghezza");
    QTest::addColumn<QByteArray>("atteso");
    QTest::newRow("Label1") << QByteArray(600, 'x') << 499 << QByteArray(499, 'x');
    QTest::newRow("Title") << QByteArray(60, 'x') << 49 << QByteArray(49, 'x');
    QTest::newRow("Message") << QByteArray(120, 'x') << 99 << QByteArray(99, 'x');
    QTest::newRow("just fits") << QByteArray(49, 'x') << 49 << QByteArray(49, 'x');
    QTest::newRow("after the quotes go")
        << "\"" + QByteArray(60, 'x') + "\"" << 49 << QByteArray(49, 'x');
    QTest::newRow("one byte a letter") << QByteArray(80, '\xE0') << 49 << QByteArray(49, '\xE0');
}

void TstSetupProfilo::valori_tagliati() {
    QFETCH(QByteArray, valore);
    QFETCH(int, lunghezza);
    QFETCH(QByteArray, atteso);
    const auto file = scrivi("[Version]\r\nTitle=" + valore + "\r\nScelta=1\r\n");
    QCOMPARE(QByteArray::fromStdString(profilo_stringa("Version", "Title", "", lunghezza, file)),
             atteso);
    // A default is cut the same way.
    QCOMPARE(profilo_stringa("Version", "Manca", valore.toStdString(), lunghezza, file),
             valore.left(lunghezza).toStdString());
}

void TstSetupProfilo::file_mancante() {
    for (const std::filesystem::path& file :
         {std::filesystem::path(cartella_.filePath("non-c-e.inf").toStdString()),
          std::filesystem::path(cartella_.path().toStdString()), std::filesystem::path()}) {
        QCOMPARE(profilo_stringa("Version", "Caption", "predefinito", 499, file), "predefinito");
        QCOMPARE(profilo_intero("Version", "Scelta", 7, file), 7);
    }
}

void TstSetupProfilo::interi_data() {
    QTest::addColumn<QByteArray>("valore");
    QTest::addColumn<int>("atteso");
    QTest::newRow("one") << QByteArray("Scelta=1") << 1;
    QTest::newRow("case, blanks, quotes") << QByteArray("  SCELTA = \"1\" ") << 1;
    QTest::newRow("leading number only") << QByteArray("Scelta=12 mesi") << 12;
    QTest::newRow("no number") << QByteArray("Scelta=si") << 0;
    QTest::newRow("negative") << QByteArray("Scelta=-3") << -3;
    QTest::newRow("hexadecimal") << QByteArray("Scelta=0x1F") << 31;
    QTest::newRow("empty: the default") << QByteArray("Scelta=") << 5;
    QTest::newRow("missing: the default") << QByteArray("Title=1") << 5;
}

void TstSetupProfilo::interi() {
    QFETCH(QByteArray, valore);
    QFETCH(int, atteso);
    QCOMPARE(profilo_intero("Version", "Scelta", 5, scrivi("[Version]\r\n" + valore + "\r\n")),
             atteso);
}

QTEST_APPLESS_MAIN(TstSetupProfilo)
#include "tst_setup_profilo.moc"
