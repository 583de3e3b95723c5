// SPDX-License-Identifier: GPL-3.0-or-later
// Reading INF text (sections, keys, comments, quotes, %strings%, encodings)
// and choosing the install locations from the environment.
#include "setup/inf/luoghi.h"
#include "setup/inf/testo_inf.h"

#include <QtTest>
#include <map>

using contavoce::inf::ErroreInf;
using contavoce::inf::TestoInf;

namespace {

TestoInf leggi(const QByteArray& byte) {
    return TestoInf::da_byte(std::string_view(byte.constData(), std::size_t(byte.size())),
                             "prova.inf");
}

// "key=field|field" per line, so that a whole section compares at once.
QString descrivi(const TestoInf& inf, const char* sezione) {
    QStringList righe;
    for (const auto& r : inf.righe(sezione)) {
        QStringList campi;
        for (const std::string& c : r.campi)
            campi << QString::fromStdString(c);
        righe << (r.chiave ? QString::fromStdString(*r.chiave) + "=" : QString()) + campi.join('|');
    }
    return righe.join('\n');
}

} // namespace

class TstInfTesto : public QObject {
    Q_OBJECT

private slots:
    void sezioni_e_campi_data();
    void sezioni_e_campi();
    void nomi_senza_maiuscole();
    void errori_data();
    void errori();
    void codifiche_data();
    void codifiche();
    void luoghi_data();
    void luoghi();
};

void TstInfTesto::sezioni_e_campi_data() {
    QTest::addColumn<QByteArray>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("section written twice is one")
        << QByteArray("[A]\nk=1\n[B]\nx=0\n[a]\nK=2\n") << "k=1\nK=2";
    QTest::newRow("comments") << QByteArray("; head\n[A] ; named\n  ; indented\nk = v ; tail\n")
                              << "k=v";
    QTest::newRow("quotes keep blanks, commas, semicolons")
        << QByteArray("[A]\nk = \" in , and ; kept \", \"say \"\"hi\"\"\",  two  words  \n")
        << "k= in , and ; kept |say \"hi\"|two  words";
    QTest::newRow("empty fields") << QByteArray("[A]\na,,b\nk=\nj = ,\n") << "a||b\nk=\nj=|";
    QTest::newRow("equals inside a value") << QByteArray("[A]\nk=a=b\n") << "k=a=b";
    QTest::newRow("strings replaced, case ignored, commas kept")
        << QByteArray("[A]\nk=%Nome%,%%,x%nome%y,\"%NOME%\"\n[Strings]\nnome=\"a, b\"\n")
        << "k=a, b|%|xa, by|a, b";
    QTest::newRow("strings are literal")
        << QByteArray("[Strings]\ns=\"50%\"\n[A]\nk=%s%\n") << "k=50%";
    QTest::newRow("CRLF and Ctrl-Z") << QByteArray("[A]\r\nk=v\r\n\x1a") << "k=v";
}

void TstInfTesto::sezioni_e_campi() {
    QFETCH(QByteArray, testo);
    QFETCH(QString, atteso);
    QCOMPARE(descrivi(leggi(testo), "A"), atteso);
}

void TstInfTesto::nomi_senza_maiuscole() {
    const TestoInf inf = leggi("[Version]\nSignature=\"$Windows NT$\"\n[Vuota]\n");
    QCOMPARE(inf.valore("VERSION", "signature").value_or("?"), "$Windows NT$");
    QVERIFY(inf.ha_sezione("vUOTA"));
    QVERIFY(inf.righe("vuota").empty());
    QVERIFY(!inf.ha_sezione("Manca"));
    QVERIFY(!inf.valore("Version", "Provider"));
}

void TstInfTesto::errori_data() {
    QTest::addColumn<QByteArray>("testo");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("unknown string")
        << QByteArray("[Strings]\n[A]\nk=%manca%\n") << "prova.inf:3: %manca% is not in [Strings]";
    QTest::newRow("lone percent") << QByteArray("[A]\nk=50%\n") << "prova.inf:2: a % without";
    QTest::newRow("open quote") << QByteArray("[A]\nk=\"open\n") << "not closed";
    QTest::newRow("line before a section")
        << QByteArray("k=v\n[A]\n") << "prova.inf:1: a line before";
    QTest::newRow("unclosed section name") << QByteArray("[A\nk=v\n") << "closing ']'";
    QTest::newRow("text after section name") << QByteArray("[A] x\n") << "text after";
    QTest::newRow("string twice") << QByteArray("[Strings]\na=1\nA=2\n")
                                  << "prova.inf:3: the string A";
    QTest::newRow("string with bare comma") << QByteArray("[Strings]\na=1,2\n") << "comma outside";
    QTest::newRow("missing key") << QByteArray("[A]\n = v\n") << "key is missing";
    QTest::newRow("UTF-16") << QByteArray("\xff\xfe[\0A\0]\0", 8) << "UTF-16";
    QTest::newRow("undefined in Windows-1252")
        << QByteArray("[A]\nk=\x81\n") << "prova.inf:2: byte 0x81";
    QTest::newRow("UTF-8 mark over other text")
        << QByteArray("\xef\xbb\xbf[A]\nk=\xe9\n") << "prova.inf:2: not UTF-8";
}

void TstInfTesto::errori() {
    QFETCH(QByteArray, testo);
    QFETCH(QString, messaggio);
    try {
        leggi(testo);
        QFAIL("accepted");
    } catch (const ErroreInf& e) {
        QVERIFY2(QString::fromStdString(e.what()).contains(messaggio), e.what());
    }
}

void TstInfTesto::codifiche_data() {
    QTest::addColumn<QByteArray>("testo");
    QTest::addColumn<QString>("valore");
    QTest::newRow("Windows-1252") << QByteArray("[A]\nk=perch\xe9 \x80 \x93ok\x94 citt\xe0\n")
                                  << QString::fromUtf8("perché € “ok” città");
    QTest::newRow("UTF-8") << QByteArray("[A]\nk=perch\xc3\xa9 \xe2\x82\xac\n")
                           << QString::fromUtf8("perché €");
    QTest::newRow("UTF-8 with its mark")
        << QByteArray("\xef\xbb\xbf[A]\nk=citt\xc3\xa0\n") << QString::fromUtf8("città");
}

void TstInfTesto::codifiche() {
    QFETCH(QByteArray, testo);
    QFETCH(QString, valore);
    QCOMPARE(QString::fromStdString(leggi(testo).valore("A", "k").value_or("?")), valore);
}

void TstInfTesto::luoghi_data() {
    QTest::addColumn<bool>("root");
    QTest::addColumn<QStringList>("ambiente"); // NAME=value
    QTest::addColumn<QStringList>("attesi");   // programs, menu, icons, commands; or an error
    const QStringList utente = {"/home/a/.local/share", "/home/a/.local/share/applications",
                                "/home/a/.local/share/icons", "/home/a/.local/bin"};
    const QStringList sistema = {"/opt", "/usr/local/share/applications", "/usr/local/share/icons",
                                 "/usr/local/bin"};
    QTest::newRow("user") << false << QStringList{"HOME=/home/a"} << utente;
    QTest::newRow("user, XDG_DATA_HOME")
        << false << QStringList{"HOME=/home/a/", "XDG_DATA_HOME=/d/dati/"}
        << QStringList{"/d/dati", "/d/dati/applications", "/d/dati/icons", "/home/a/.local/bin"};
    QTest::newRow("relative XDG_DATA_HOME ignored")
        << false << QStringList{"HOME=/home/a", "XDG_DATA_HOME=dati"} << utente;
    QTest::newRow("root") << true << QStringList{"HOME=/root"} << sistema;
    QTest::newRow("root asks for user")
        << true << QStringList{"HOME=/home/a", "CONTAVOCE_INSTALL_ROOT=user"} << utente;
    QTest::newRow("user asks for system")
        << false << QStringList{"CONTAVOCE_INSTALL_ROOT=system"} << sistema;
    QTest::newRow("unknown choice") << true << QStringList{"CONTAVOCE_INSTALL_ROOT=opt"}
                                    << QStringList{"error: CONTAVOCE_INSTALL_ROOT"};
    QTest::newRow("no HOME") << false << QStringList{} << QStringList{"error: HOME"};
    QTest::newRow("relative HOME")
        << false << QStringList{"HOME=casa"} << QStringList{"error: HOME"};
}

void TstInfTesto::luoghi() {
    QFETCH(bool, root);
    QFETCH(QStringList, ambiente);
    QFETCH(QStringList, attesi);
    std::map<std::string, std::string> variabili;
    for (const QString& v : ambiente)
        variabili[v.section('=', 0, 0).toStdString()] = v.section('=', 1).toStdString();
    const auto leggi_variabile = [&](const char* nome) -> std::optional<std::string> {
        const auto v = variabili.find(nome);
        return v == variabili.end() ? std::nullopt : std::optional<std::string>(v->second);
    };
    try {
        const auto l = contavoce::inf::luoghi_da_ambiente(leggi_variabile, root);
        const QStringList trovati = {
            QString::fromStdString(l.programmi.string()), QString::fromStdString(l.menu.string()),
            QString::fromStdString(l.icone.string()), QString::fromStdString(l.comandi.string())};
        QCOMPARE(trovati, attesi);
        QCOMPARE(l.per_utente, attesi.back() != "/usr/local/bin");
    } catch (const ErroreInf& e) {
        QVERIFY2(attesi.front().startsWith("error: ") &&
                     QString::fromStdString(e.what()).contains(attesi.front().mid(7)),
                 e.what());
    }
}

QTEST_APPLESS_MAIN(TstInfTesto)
#include "tst_inf_testo.moc"
