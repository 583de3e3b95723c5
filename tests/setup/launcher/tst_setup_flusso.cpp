// SPDX-License-Identifier: GPL-3.0-or-later
// Whole launcher runs against real cabinets made with gcab and unpacked by
// cabextract, the dialog answered from a script; then the dialog itself.
#include "setup/launcher/setup.h"
#include "support/banco_setup.h"
#include "support/risposte.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace contavoce::setup;
namespace fs = std::filesystem;

namespace {

// As the package writes it: CR LF lines, Windows-1252 text.
const QByteArray setup_inf =
    "[Version]\r\nSignature=\"$CHICAGO$\"\r\n"
    "Caption=Installazione di Contavoce\r\n"
    "Label1=Contavoce insegna a leggere i numeri.\r\n"
    "Label2=Premi Installa; \xE8 facile.\r\n"
    "Title=Contavoce\r\nMessage=Fatto, si pu\xF2 cominciare!\r\nScelta=1\r\n";
const QByteArray contavoce_inf = "[Version]\r\n[DefaultInstall]\r\nCopyFiles=Programma\r\n";
const QString problema = QString::fromUtf8(
    "Il programma di setup ha riscontrato un problema e sarà terminato. (code: %1)");
const QString mancano =
    "Installazione annullata\r\nMancano dei files necessari all'installazione (code: %1)";

} // namespace

class TstSetupFlusso : public test_support::ProvaSetup {
    Q_OBJECT

public:
    // Blanks in the names: every path crosses a command line. First in the
    // lookup, the installer stand-in records its arguments, the working
    // folder's mode and files and its current directory, and succeeds (its
    // failures are tried in the fault tests).
    TstSetupFlusso()
        : ProvaSetup("tmp con spazi",
                     "printf '%s\\n' \"$@\" > \"$r/argomenti\"\nd=$(dirname \"$3\")\n"
                     "stat -c %a \"$d\" > \"$r/modo\"\n"
                     "(cd \"$d\" && find . -mindepth 1 | LC_ALL=C sort) > \"$r/visti\"\n"
                     "pwd > \"$r/corrente\"\nexit 0\n") {}

private slots:
    void installa();
    void messaggio_finale_data();
    void messaggio_finale();
    void annulla();
    void errori_data();
    void errori();
    void cartella_col_punto_nella_cabina();
    void cabina_sparita_durante_il_dialogo();
    void geometria_data();
    void geometria();
    void controlli();
    void tasti_e_chiusura_data();
    void tasti_e_chiusura();

private:
    fs::path percorso(const QString& relativo) const {
        return banco_.base() / relativo.toStdString();
    }
    QString registro(const QString& nome) const;
    QStringList resti(const QString& cartella) const;
    QStringList setup_inf_ovunque() const;
};

QString TstSetupFlusso::registro(const QString& nome) const {
    return QString::fromUtf8(test_support::leggi(banco_.percorso("registro/" + nome))).trimmed();
}

QStringList TstSetupFlusso::resti(const QString& cartella) const {
    QStringList nomi;
    for (const auto& v : fs::recursive_directory_iterator(percorso(cartella)))
        nomi << QString::fromStdString(v.path().lexically_relative(percorso(cartella)));
    nomi.sort();
    return nomi;
}

// Every setup.inf, whatever its case, outside the cabinets' sources.
QStringList TstSetupFlusso::setup_inf_ovunque() const {
    QStringList trovati;
    const fs::path base = banco_.base();
    for (const auto& v : fs::recursive_directory_iterator(base)) {
        const QString p = QString::fromStdString(v.path().lexically_relative(base));
        if (p.endsWith("/setup.inf", Qt::CaseInsensitive) && !p.startsWith("sorgente/"))
            trovati << p;
    }
    return trovati;
}

void TstSetupFlusso::installa() {
    banco_.cabina("Contavoce.cab", {{"contavoce.inf", contavoce_inf},
                                    {"setup.inf", setup_inf},
                                    {"bin/contavoce", "programma"}});
    // The user's own setup.inf beside it is neither read, nor overwritten, nor deleted.
    test_support::scrivi(banco_.percorso("supporto/setup.inf"), "[Version]\r\nCaption=Mio\r\n");
    QCOMPARE(setup_main(*ambiente_), 1);

    QCOMPARE(risposte_.titolo, "Installazione di Contavoce");
    QCOMPARE(risposte_.testo_superiore, "Contavoce insegna a leggere i numeri.");
    QCOMPARE(risposte_.testo_inferiore, QString::fromUtf8("Premi Installa; è facile."));

    // The package's .inf, not setup.inf, in a private folder holding the whole
    // cabinet; the installer ran in the launcher's current directory.
    const QStringList argomenti = registro("argomenti").split('\n');
    QCOMPARE(argomenti.size(), 3);
    QCOMPARE(argomenti[0], "DefaultInstall");
    QCOMPARE(argomenti[1], "132");
    const fs::path inf = argomenti[2].toStdString();
    QCOMPARE(inf.filename().native(), "contavoce.inf");
    QCOMPARE(inf.parent_path().parent_path(), percorso("tmp con spazi"));
    QCOMPARE(registro("modo"), "700");
    QCOMPARE(registro("visti").split('\n'),
             (QStringList{"./bin", "./bin/contavoce", "./contavoce.inf", "./setup.inf"}));
    QCOMPARE(registro("corrente"), QString::fromStdString(percorso("supporto")));

    // All unpacked is gone; the media folder is as it was.
    QCOMPARE(resti("tmp con spazi"), QStringList{});
    QCOMPARE(resti("supporto"), (QStringList{"Contavoce.cab", "setup.inf"}));
    QCOMPARE(registro("../supporto/setup.inf"), "[Version]\r\nCaption=Mio");

    // Scelta=1: the closing message, once the wait pointer has gone.
    QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
    const MessaggioVisto& m = risposte_.messaggi[0];
    QCOMPARE(m.testo, QString::fromUtf8("Fatto, si può cominciare!"));
    QCOMPARE(m.titolo, "Contavoce");
    QVERIFY(m.icona == Icona::informazione);
    QVERIFY(!m.attesa);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TstSetupFlusso::messaggio_finale_data() {
    QTest::addColumn<QByteArray>("righe");
    QTest::addColumn<QStringList>("atteso"); // text and title; empty for no message
    QTest::newRow("Scelta=2") << QByteArray("Title=T\r\nMessage=M\r\nScelta=2") << QStringList{};
    QTest::newRow("no Scelta") << QByteArray("Title=T\r\nMessage=M") << QStringList{};
    QTest::newRow("cut at 49 and 99")
        << "Title=" + QByteArray(70, 'T') + "\r\nMessage=" + QByteArray(150, 'M') + "\r\nScelta=1"
        << QStringList{QString(99, 'M'), QString(49, 'T')};
}

void TstSetupFlusso::messaggio_finale() {
    QFETCH(QByteArray, righe);
    QFETCH(QStringList, atteso);
    banco_.cabina("c.cab",
                  {{"contavoce.inf", contavoce_inf}, {"setup.inf", "[Version]\r\n" + righe}});
    QCOMPARE(setup_main(*ambiente_), 1);
    QStringList visto;
    for (const MessaggioVisto& m : risposte_.messaggi)
        visto << m.testo << m.titolo;
    QCOMPARE(visto, atteso);
}

void TstSetupFlusso::annulla() {
    banco_.cabina("Contavoce.cab", {{"contavoce.inf", contavoce_inf}, {"SETUP.INF", setup_inf}});
    risposte_.scelta = controllo::annulla;
    QStringList durante;
    risposte_.durante_il_dialogo = [&] { durante = setup_inf_ovunque(); };
    QCOMPARE(setup_main(*ambiente_), 2);
    // setup.inf (named in capitals) was read from a private folder while the
    // dialog was open, and is nowhere now; nothing was unpacked or installed.
    QCOMPARE(risposte_.titolo, "Installazione di Contavoce");
    QCOMPARE(durante.size(), 1);
    QVERIFY(durante[0].startsWith("tmp con spazi/"));
    QCOMPARE(setup_inf_ovunque(), QStringList{});
    QCOMPARE(resti("tmp con spazi"), QStringList{});
    QCOMPARE(resti("supporto"), QStringList{"Contavoce.cab"});
    QCOMPARE(registro("argomenti"), "(missing)");
    QCOMPARE(risposte_.messaggi.size(), std::size_t(0));
}

void TstSetupFlusso::errori_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("titolo");
    QTest::addColumn<QString>("dialogo"); // the dialog's title; null when not shown
    QTest::newRow("0001 no cabinet") << "no cabinet" << mancano.arg("0001") << "Setup" << QString();
    QTest::newRow("0002 no .inf") << "no inf" << mancano.arg("0002") << "Setup"
                                  << "";
    QTest::newRow("0003 no extractor") << "no cabextract" << problema.arg("0003") << "Setup error"
                                       << "";
    QTest::newRow("0004 no installer") << "no installer" << problema.arg("0004") << "Setup error"
                                       << "Installazione di Contavoce";
}

void TstSetupFlusso::errori() {
    QFETCH(QString, caso);
    QFETCH(QString, testo);
    QFETCH(QString, titolo);
    QFETCH(QString, dialogo);
    if (caso == "no cabinet") {
        // Neither a folder named like a cabinet nor a cabinet beside the launcher counts.
        fs::create_directories(percorso("supporto/finta.cab"));
        banco_.cabina("altro.cab", {{"setup.inf", setup_inf}});
        fs::rename(percorso("supporto/altro.cab"), percorso("programma/altro.cab"));
    } else if (caso == "no inf") {
        banco_.cabina("dati.CAB", {{"leggimi.txt", "niente"}, {"bin/contavoce", "programma"}});
    } else {
        banco_.cabina("Contavoce.cab",
                      {{"contavoce.inf", contavoce_inf}, {"setup.inf", setup_inf}});
        if (caso == "no cabextract")
            ambiente_->percorsi.clear();
        else
            fs::remove(percorso("programma/installa-inf"));
    }
    QCOMPARE(setup_main(*ambiente_), 0);
    QCOMPARE(risposte_.dialoghi, dialogo.isNull() ? 0 : 1);
    QCOMPARE(risposte_.titolo, dialogo);
    QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
    QCOMPARE(risposte_.messaggi[0].testo, testo);
    QCOMPARE(risposte_.messaggi[0].titolo, titolo);
    QVERIFY(risposte_.messaggi[0].icona == Icona::errore);
    // The wait pointer is on from "Installa" on.
    QCOMPARE(risposte_.messaggi[0].attesa, !dialogo.isNull());
    QCOMPARE(resti("tmp con spazi"), QStringList{});
    QCOMPARE(registro("argomenti"), "(missing)");
}

void TstSetupFlusso::cartella_col_punto_nella_cabina() {
    banco_.cabina("Contavoce.cab", {{"contavoce.inf", contavoce_inf},
                                    {"setup.inf", setup_inf},
                                    {".cache/indice", "x"},
                                    {".nascosto", "y"}});
    QCOMPARE(setup_main(*ambiente_), 1);
    QCOMPARE(risposte_.messaggi.size(), std::size_t(2));
    QCOMPARE(risposte_.messaggi[0].testo, problema.arg("0005"));
    QCOMPARE(risposte_.messaggi[0].titolo, "Setup");
    QVERIFY(risposte_.messaggi[0].icona == Icona::nessuna);
    QVERIFY(risposte_.messaggi[0].attesa);
    // The installation still counts: pointer back, then the closing message.
    QCOMPARE(risposte_.messaggi[1].titolo, "Contavoce");
    QVERIFY(!risposte_.messaggi[1].attesa);
    // The dot-folder stopped the removal; the dot-file went.
    const QStringList rimasti = resti("tmp con spazi");
    QCOMPARE(rimasti.size(), 3);
    QVERIFY(rimasti[2].endsWith("/.cache/indice"));
}

void TstSetupFlusso::cabina_sparita_durante_il_dialogo() {
    banco_.cabina("a.cab",
                  {{"contavoce.inf", contavoce_inf}, {"setup.inf", "[Version]\nCaption=a"}});
    banco_.cabina("b.cab",
                  {{"contavoce.inf", contavoce_inf}, {"setup.inf", "[Version]\nCaption=b"}});
    // The cabinet the dialog came from goes while it is open; the second
    // lookup wants the same name, so the other one does not stand in.
    risposte_.durante_il_dialogo = [&] {
        fs::remove(percorso("supporto/" + risposte_.titolo + ".cab"));
    };
    QCOMPARE(setup_main(*ambiente_), 0);
    QCOMPARE(resti("supporto").size(), 1);
    QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
    QCOMPARE(risposte_.messaggi[0].testo, mancano.arg("0001"));
    QCOMPARE(registro("argomenti"), "(missing)");
}

void TstSetupFlusso::geometria_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QRect>("unita");
    QTest::newRow("Installa") << "1" << QRect(135, 81, 41, 14);
    QTest::newRow("Annulla") << "2" << QRect(181, 81, 41, 14);
    QTest::newRow("lower text") << "1004" << QRect(13, 43, 200, 33);
    QTest::newRow("upper text") << "1005" << QRect(51, 17, 161, 19);
    QTest::newRow("Arcolaio") << "arcolaio" << QRect(15, 85, 49, 10);
    QTest::newRow("dialog") << "" << QRect(0, 0, 229, 102);
}

void TstSetupFlusso::geometria() {
    QFETCH(QString, nome);
    QFETCH(QRect, unita);
    DialogoSetup dialogo([](DialogoSetup&, int) {});
    QCOMPARE(QFontInfo(dialogo.font()).family(), "Liberation Sans");
    QCOMPARE(dialogo.font().pointSize(), 8);
    // Base units measured from Liberation Sans 8 itself.
    const QFontMetrics m(QFont("Liberation Sans", 8));
    const double x = std::round(m.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                    "abcdefghijklmnopqrstuvwxyz") /
                                52.0);
    const double y = m.height();
    QVERIFY(x >= 4 && x <= 8 && y >= 10 && y <= 16);
    const QRect atteso(std::lround(unita.x() * x / 4), std::lround(unita.y() * y / 8),
                       std::lround(unita.width() * x / 4), std::lround(unita.height() * y / 8));
    if (nome.isEmpty()) {
        QCOMPARE(dialogo.size(), atteso.size());
        QCOMPARE(dialogo.minimumSize(), dialogo.maximumSize());
    } else {
        QCOMPARE(dialogo.findChild<QWidget*>(nome)->geometry(), atteso);
    }
}

void TstSetupFlusso::controlli() {
    DialogoSetup dialogo([](DialogoSetup&, int) {});
    QCOMPARE(dialogo.windowTitle(), "Installazione di...");
    QVERIFY(dialogo.isModal());
    QCOMPARE(dialogo.findChild<QPushButton*>("1")->text(), "Installa");
    QCOMPARE(dialogo.findChild<QPushButton*>("2")->text(), "Annulla");
    QVERIFY(dialogo.findChild<QPushButton*>("1")->isDefault());
    auto* inferiore = dialogo.findChild<QLabel*>("1004");
    auto* superiore = dialogo.findChild<QLabel*>("1005");
    auto* arcolaio = dialogo.findChild<QLabel*>("arcolaio");
    QCOMPARE(inferiore->text(),
             QString::fromUtf8("Questo programma provvederà all'installazione di un programma "
                               "tramite file *.inf.\nSembra che percorsi troppo lunghi non "
                               "vengano supportati."));
    QCOMPARE(superiore->text(), "Static");
    QVERIFY(inferiore->wordWrap() && superiore->wordWrap() && !arcolaio->wordWrap());
    QCOMPARE(superiore->textFormat(), Qt::PlainText);
    QCOMPARE(arcolaio->text(), "Arcolaio");
    QVERIFY(!arcolaio->isEnabled());
    // The setup icon at its own size.
    const QLabel* icona = dialogo.findChild<QLabel*>("icona");
    QCOMPARE(icona->pixmap().size(), QSize(32, 32));
    QCOMPARE(icona->size(), QSize(32, 32));
}

void TstSetupFlusso::tasti_e_chiusura_data() {
    QTest::addColumn<QString>("azione");
    QTest::addColumn<int>("atteso");
    QTest::newRow("Enter") << "enter" << 1;
    QTest::newRow("keypad Enter") << "keypad" << 1;
    QTest::newRow("click Installa") << "1" << 1;
    QTest::newRow("Esc") << "esc" << 2;
    QTest::newRow("close box") << "close" << 2;
    QTest::newRow("click Annulla") << "2" << 2;
    QTest::newRow("Tab, Enter") << "tab" << 2;
}

void TstSetupFlusso::tasti_e_chiusura() {
    QFETCH(QString, azione);
    QFETCH(int, atteso);
    QList<int> comandi;
    DialogoSetup dialogo([&](DialogoSetup& d, int id) {
        comandi << id;
        d.termina(id);
    });
    dialogo.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialogo));
    QCOMPARE(QApplication::focusWidget(), dialogo.findChild<QPushButton*>("1"));
    if (azione == "tab")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (azione == "enter" || azione == "tab")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    else if (azione == "keypad")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    else if (azione == "esc")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else if (azione == "close")
        dialogo.close();
    else
        QTest::mouseClick(dialogo.findChild<QPushButton*>(azione), Qt::LeftButton);
    QCOMPARE(comandi, QList<int>{atteso});
    QCOMPARE(dialogo.result(), atteso);
    QVERIFY(dialogo.isHidden());
}

QTEST_MAIN(TstSetupFlusso)
#include "tst_setup_flusso.moc"
