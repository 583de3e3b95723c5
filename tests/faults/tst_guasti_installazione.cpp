// SPDX-License-Identifier: GPL-3.0-or-later
// Faults tried on purpose on the installing side: a damaged or cut cabinet and
// one whose names try to leave the working folder, given to the setup
// launcher; a full and a read-only install location under installa-inf.
// Each time the user is told what is wrong, or the install goes on inside its
// own folders, and nothing the user had changes.
#include "setup/launcher/interfaccia_qt.h"
#include "setup/launcher/setup.h"
#include "support/banco_setup.h"
#include "support/istantanea.h"
#include "support/risposte.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>

using namespace contavoce::setup;
namespace fs = std::filesystem;

namespace {

const QByteArray contavoce_inf = "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                 "[DefaultInstall]\r\nCopyFiles=Programma\r\n"
                                 "[DefaultUninstall]\r\nDelFiles=Programma\r\n"
                                 "[DestinationDirs]\r\nProgramma=16422,prova\r\n"
                                 "[Programma]\r\nprova.txt\r\nsuono.wav\r\n";
const QByteArray setup_inf = "[Version]\r\nCaption=Installazione\r\nScelta=0\r\n";

using test_support::leggi;
using test_support::scrivi;

QStringList istantanea(const QString& cartella, const QString& salta = {}) {
    return test_support::istantanea(cartella, {salta});
}

} // namespace

class TstGuastiInstallazione : public test_support::ProvaSetup {
    Q_OBJECT

public:
    // As the launcher's own tests set it up, with an installer stand-in that
    // lists what it was given.
    TstGuastiInstallazione()
        : ProvaSetup("tmp", "d=$(dirname \"$3\")\n"
                            "(cd \"$d\" && find . -mindepth 1 | LC_ALL=C sort) > \"$r/visti\"\n") {}

private slots:
    void cabina_danneggiata_data();
    void cabina_danneggiata();
    void nomi_in_fuga_data();
    void nomi_in_fuga();
    void installatore_fallito_data();
    void installatore_fallito();
    void cabina_che_non_ci_sta_data();
    void cabina_che_non_ci_sta();
    void nomi_di_cabina_strani();
    void cartella_temporanea_data();
    void cartella_temporanea();
    void fine_improvvisa_data();
    void fine_improvvisa();
    void titolo_vuoto();
    void luogo_pieno_o_di_sola_lettura_data();
    void luogo_pieno_o_di_sola_lettura();
    void solo_quel_che_ha_installato_data();
    void solo_quel_che_ha_installato();
    void modi_con_umask_077_data();
    void modi_con_umask_077();

private:
    QString percorso(const QString& relativo) const { return banco_.percorso(relativo); }
};

void TstGuastiInstallazione::cabina_danneggiata_data() {
    QTest::addColumn<QString>("guasto");
    QTest::newRow("not a cabinet") << "text";
    QTest::newRow("empty") << "empty";
    QTest::newRow("cut in half") << "half";
    QTest::newRow("header only") << "header";
    QTest::newRow("damaged data") << "data";
}

// Nothing can be unpacked: the "files missing" message, no installer run, the
// cabinet and the media folder as they were, no working folder left.
void TstGuastiInstallazione::cabina_danneggiata() {
    QFETCH(QString, guasto);
    QByteArray dati(300000, '\0');
    for (qsizetype i = 0; i < dati.size(); ++i)
        dati[i] = char((i * 7919) >> 3); // incompressible enough, and fixed
    banco_.cabina("Contavoce.cab",
                  {{"contavoce.inf", contavoce_inf}, {"setup.inf", setup_inf}, {"dati.bin", dati}});
    const QByteArray sana = leggi("Contavoce.cab");
    QByteArray rotta;
    if (guasto == "text")
        rotta = "questo non \xe8 un archivio\r\n";
    else if (guasto == "half")
        rotta = sana.left(sana.size() / 2);
    else if (guasto == "header")
        rotta = sana.left(36);
    else if (guasto == "data")
        rotta = QByteArray(sana).replace(200, 64, QByteArray(64, '\xff'));
    scrivi("Contavoce.cab", rotta);
    const QStringList prima = istantanea(percorso(""), "registro/");

    const int esito = setup_main(*ambiente_);
    const QStringList dopo = istantanea(percorso(""), "registro/");
    QCOMPARE(dopo, prima);
    QCOMPARE(istantanea(percorso("tmp")), QStringList{});
    if (guasto == "data") {
        // cabextract reports the bad checksums and exits with 1 but leaves the
        // damaged files: the installer must not run on them, and the user is told.
        QCOMPARE(esito, 0);
        QCOMPARE(leggi(percorso("registro/visti")), "(missing)");
        QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
        QVERIFY(risposte_.messaggi[0].testo.endsWith("(code: 0003)"));
        return;
    }
    QCOMPARE(esito, 0);
    QCOMPARE(leggi(percorso("registro/visti")), "(missing)");
    QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
    QCOMPARE(risposte_.messaggi[0].testo,
             "Installazione annullata\r\nMancano dei files necessari all'installazione "
             "(code: 0002)");
    QVERIFY(risposte_.messaggi[0].icona == Icona::errore);
}

void TstGuastiInstallazione::nomi_in_fuga_data() {
    QTest::addColumn<QString>("nome"); // as stored in the cabinet
    QTest::newRow("../") << "../fuori.txt";
    QTest::newRow("../../") << "../../fuori.txt";
    QTest::newRow("..\\..\\") << "..\\..\\fuori.txt";
    QTest::newRow("dir/../../") << "a/../../fuori.txt";
    // "@": inside this test's own folder, known once the test starts.
    QTest::newRow("absolute") << "@/fuori.txt";
    QTest::newRow("setup.inf absolute") << "@/setup.inf";
}

// gcab will not store such names, so a cabinet is made with a placeholder of
// the same length and the name is written over it. The file lands inside the
// working folder or nowhere; outside it nothing changes.
void TstGuastiInstallazione::nomi_in_fuga() {
    QFETCH(QString, nome);
    nome.replace("@", banco_.radice());
    const QByteArray segnaposto(nome.toUtf8().size(), 'Q');
    banco_.cabina("Contavoce.cab", {{"contavoce.inf", contavoce_inf},
                                    {"setup.inf", setup_inf},
                                    {QString::fromLatin1(segnaposto), "fuori"}});
    QByteArray cab = leggi("Contavoce.cab");
    QCOMPARE(cab.count(segnaposto), 1);
    cab.replace(segnaposto, nome.toUtf8());
    scrivi("Contavoce.cab", cab);
    const QStringList prima = istantanea(percorso(""), "registro/");

    QCOMPARE(setup_main(*ambiente_), 1);
    QCOMPARE(istantanea(percorso(""), "registro/"), prima);
    QCOMPARE(istantanea(percorso("tmp")), QStringList{});
    QVERIFY(!QFileInfo::exists(percorso("fuori.txt")));
    QVERIFY(!QFileInfo::exists(percorso("setup.inf")));
    // The installer saw the package's .inf beside whatever became of the name.
    const QString visti = QString::fromUtf8(leggi(percorso("registro/visti")));
    QVERIFY2(visti.contains("./contavoce.inf"), qPrintable(visti));
    QVERIFY(risposte_.messaggi.empty());
}

void TstGuastiInstallazione::installatore_fallito_data() {
    QTest::addColumn<QByteArray>("installatore"); // the stand-in's script; empty: the real one
    QTest::addColumn<QString>("causa");           // the last line of the message
    QTest::newRow("refuses") << QByteArray("echo passo uno\necho 'installa-inf: no room' >&2\n"
                                           "echo >&2\nexit 1\n")
                             << "installa-inf: no room";
    QTest::newRow("fails silently") << QByteArray("exit 4\n")
                                    << QString::fromUtf8("Il programma di installazione è "
                                                         "terminato con il codice 4.");
    QTest::newRow("killed") << QByteArray("echo quasi >&2\nkill -9 $$\n") << "quasi";
    QTest::newRow("real, missing source")
        << QByteArray() << "installa-inf: [DefaultInstall] not done: ";
}

// The installer refuses, fails or dies: the user hears that the installation
// did not complete, with the installer's own last word, and never the closing
// "done" message; the working folder goes and setup ends like its other failures.
void TstGuastiInstallazione::installatore_fallito() {
    QFETCH(QByteArray, installatore);
    QFETCH(QString, causa);
    const QString stand_in = percorso("programma/installa-inf");
    QFile::remove(stand_in);
    QByteArray inf = contavoce_inf;
    if (installatore.isEmpty()) {
        QVERIFY(QFile::copy(INSTALLA_INF, stand_in));
        inf.append("manca.txt\r\n"); // listed, not in the cabinet: refused before writing
        qputenv("CONTAVOCE_INSTALL_ROOT", "user");
        qputenv("HOME", percorso("casa").toUtf8());
        qputenv("XDG_DATA_HOME", percorso("casa/dati").toUtf8());
    } else {
        scrivi(stand_in, "#!/bin/sh\n" + installatore);
        QFile(stand_in).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    banco_.cabina(
        "Contavoce.cab",
        {{"contavoce.inf", inf},
         {"setup.inf",
          "[Version]\r\nScelta=1\r\nTitle=Fatto\r\nMessage=Installazione completata.\r\n"},
         {"prova.txt", "prova"},
         {"suono.wav", "RIFF"}});
    const QStringList prima = istantanea(percorso(""), "tmp/");

    const int esito = setup_main(*ambiente_);
    for (const char* v : {"CONTAVOCE_INSTALL_ROOT", "HOME", "XDG_DATA_HOME"})
        qunsetenv(v);
    QCOMPARE(esito, 0);
    QCOMPARE(istantanea(percorso("tmp")), QStringList{});
    QCOMPARE(istantanea(percorso(""), "tmp/"), prima);
    QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
    const MessaggioVisto& m = risposte_.messaggi[0];
    QCOMPARE(m.titolo, "Setup error");
    QVERIFY(m.icona == Icona::errore);
    const QStringList righe = m.testo.split("\r\n");
    QCOMPARE(righe.size(), 2);
    QCOMPARE(righe[0], QString::fromUtf8("L'installazione non è stata completata."));
    QVERIFY2(installatore.isEmpty() ? righe[1].startsWith(causa) && righe[1].contains("manca.txt")
                                    : righe[1] == causa,
             qPrintable(righe[1]));
}

void TstGuastiInstallazione::cabina_che_non_ci_sta_data() {
    QTest::addColumn<int>("setup_inf_byte");
    QTest::addColumn<bool>("forgiata"); // sizes written over to claim more than the disk has
    QTest::newRow("setup.inf of 64 KiB") << 64 * 1024 << false;
    QTest::newRow("setup.inf of 64 KiB + 1") << 64 * 1024 + 1 << false;
    QTest::newRow("declared beyond the free space") << 100 << true;
}

// A cabinet that declares more than it should: a setup.inf past 64 KiB is
// taken as missing (empty texts), and a cabinet that would not fit in the
// temporary folder is refused with 0003 before anything is unpacked.
void TstGuastiInstallazione::cabina_che_non_ci_sta() {
    QFETCH(int, setup_inf_byte);
    QFETCH(bool, forgiata);
    QByteArray inf = "[Version]\r\nCaption=Grande\r\nScelta=0\r\n";
    inf += ";" + QByteArray(setup_inf_byte - inf.size() - 1, 'x'); // one long comment
    QCOMPARE(inf.size(), setup_inf_byte);
    QList<std::pair<QString, QByteArray>> file{{"contavoce.inf", contavoce_inf},
                                               {"setup.inf", inf}};
    std::error_code ec;
    const auto libero = fs::space(percorso("tmp").toStdString(), ec).available;
    const int falsi = forgiata ? int(libero / 0xFFFFFF00u) + 2 : 0;
    for (int i = 0; i < falsi; ++i)
        file.append({QString("falso%1.bin").arg(i, 4, 10, QChar('0')), "x"});
    banco_.cabina("Contavoce.cab", file);
    if (forgiata) {
        // Each file record: its size, then 12 bytes, then its name.
        QByteArray cab = leggi("Contavoce.cab");
        for (int i = 0; i < falsi; ++i) {
            const qsizetype at =
                cab.indexOf(QString("falso%1.bin").arg(i, 4, 10, QChar('0')).toLatin1());
            QVERIFY(at > 16);
            for (int k = 0; k < 4; ++k)
                cab[at - 16 + k] = k == 0 ? '\0' : '\xff';
        }
        scrivi("Contavoce.cab", cab);
    }

    const int esito = setup_main(*ambiente_);
    QCOMPARE(istantanea(percorso("tmp")), QStringList{});
    if (forgiata) {
        QCOMPARE(esito, 0);
        QCOMPARE(leggi(percorso("registro/visti")), "(missing)");
        QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
        QVERIFY(risposte_.messaggi[0].testo.endsWith("(code: 0003)"));
        return;
    }
    QCOMPARE(esito, 1);
    QCOMPARE(risposte_.titolo, setup_inf_byte <= 64 * 1024 ? "Grande" : "");
}

// Only a plain file is a cabinet (a FIFO so named used to hang setup with no
// window), and a cabinet whose name is not UTF-8 reaches the extractor intact.
void TstGuastiInstallazione::nomi_di_cabina_strani() {
    QVERIFY(mkfifo("a.cab", 0600) == 0);
    QVERIFY(QDir().mkdir("b.cab"));
    QCOMPARE(setup_main(*ambiente_), 0);
    QCOMPARE(risposte_.dialoghi, 0);
    QCOMPARE(risposte_.messaggi.size(), std::size_t(1));
    QVERIFY(risposte_.messaggi[0].testo.endsWith("(code: 0001)"));

    risposte_ = Risposte{};
    banco_.cabina("c.cab", {{"contavoce.inf", contavoce_inf}, {"setup.inf", setup_inf}});
    QVERIFY(::rename("c.cab", "Conta\xe8voce\xff.cab") == 0);
    QCOMPARE(setup_main(*ambiente_), 1);
    QCOMPARE(risposte_.titolo, "Installazione");
    QVERIFY(QString::fromUtf8(leggi(percorso("registro/visti"))).contains("./contavoce.inf"));
    QVERIFY(risposte_.messaggi.empty());
}

void TstGuastiInstallazione::cartella_temporanea_data() {
    QTest::addColumn<QString>("tmpdir"); // "@": this test's own folder; "-": unset
    QTest::addColumn<QString>("attesa");
    QTest::newRow("unset") << "-"
                           << "/tmp";
    QTest::newRow("empty") << ""
                           << "/tmp";
    QTest::newRow("missing") << "@/manca"
                             << "/tmp";
    QTest::newRow("relative") << "."
                              << "/tmp";
    QTest::newRow("a file") << "@/registro/file"
                            << "/tmp";
    QTest::newRow("a folder") << "@/tmp"
                              << "@/tmp";
}

// The working folder is never made in the current directory (the media).
void TstGuastiInstallazione::cartella_temporanea() {
    QFETCH(QString, tmpdir);
    QFETCH(QString, attesa);
    scrivi(percorso("registro/file"), "x");
    tmpdir.replace("@", banco_.radice());
    attesa.replace("@", banco_.radice());
    const QByteArray byte = tmpdir.toUtf8();
    QCOMPARE(QString::fromStdString(
                 contavoce::setup::cartella_temporanea(tmpdir == "-" ? nullptr : byte.constData())),
             attesa);
}

void TstGuastiInstallazione::fine_improvvisa_data() {
    QTest::addColumn<int>("segnale");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGKILL") << int(SIGKILL);
}

// The real setup, ended by a signal while its dialog is open (setup.inf is
// unpacked by then): its private folder goes all the same. It is started with
// Qt options that it must not act on ("-platform" would make Qt abort).
void TstGuastiInstallazione::fine_improvvisa() {
    QFETCH(int, segnale);
    banco_.cabina("Contavoce.cab", {{"contavoce.inf", contavoce_inf}, {"setup.inf", setup_inf}});
    QProcess setup;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", percorso("tmp"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PATH", percorso("strumenti") + ":/usr/bin:/bin");
    setup.setProcessEnvironment(env);
    setup.start(SETUP_LAUNCHER, {"-platform", "nessuna", "-display", ":199"});
    QVERIFY(setup.waitForStarted());
    // Qt keeps its runtime folder there too when XDG_RUNTIME_DIR is unset.
    const auto di_setup = [&] { return istantanea(percorso("tmp")).filter("contavoce-setup-"); };
    QTRY_VERIFY_WITH_TIMEOUT(di_setup().filter("/setup.inf").size() == 1, 10000);
    QVERIFY(::kill(pid_t(setup.processId()), segnale) == 0);
    QVERIFY(setup.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(di_setup(), QStringList{}, 5000);
}

// An empty Caption gives an empty title bar: the platform would put the
// application's name in a title left empty.
void TstGuastiInstallazione::titolo_vuoto() {
    DialogoSetup dialogo([](DialogoSetup& d, int id) { d.termina(id); });
    dialogo.setWindowTitle("");
    QString visto;
    QTimer::singleShot(0, &dialogo, [&] {
        visto = dialogo.windowHandle()->title();
        dialogo.termina(controllo::annulla);
    });
    QCOMPARE(InterfacciaQt().dialogo_modale(dialogo), int(controllo::annulla));
    QVERIFY(!visto.isEmpty());
    QCOMPARE(visto.trimmed(), "");
}

void TstGuastiInstallazione::luogo_pieno_o_di_sola_lettura_data() {
    QTest::addColumn<QString>("guasto");
    QTest::addColumn<QString>("sezione");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("full, install") << "full"
                                   << "DefaultInstall"
                                   << "not enough room in";
    QTest::newRow("read-only, install") << "ro"
                                        << "DefaultInstall"
                                        << "Read-only file system";
    QTest::newRow("read-only, uninstall") << "ro"
                                          << "DefaultUninstall"
                                          << "Read-only file system";
}

// The install location is a small file system of its own (a tmpfs in a user
// and mount namespace): first a good install, then the location fills up or
// turns read-only and the installer runs again. It refuses with a message
// naming the cause, and the installed copy stays exactly as it was.
void TstGuastiInstallazione::luogo_pieno_o_di_sola_lettura() {
    QFETCH(QString, guasto);
    QFETCH(QString, sezione);
    QFETCH(QString, messaggio);
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (unshare.isEmpty())
        QSKIP("unshare (util-linux) is needed");
    const QString media = percorso("media"), dati = percorso("casa/dati");
    scrivi(media + "/prova.inf", contavoce_inf);
    scrivi(media + "/prova.txt", "prova");
    scrivi(media + "/suono.wav", QByteArray(20000, 'w'));
    scrivi(media + "/grande.wav", QByteArray(600000, 'g'));
    QDir().mkpath(dati);

    const QString guasta =
        guasto == "full" ? "cp \"$M/grande.wav\" \"$M/suono.wav\"" : "mount -o remount,ro \"$D\"";
    const QString script =
        "mount -t tmpfs -o size=256k contavoce \"$D\" || exit 90\n"
        "\"$I\" DefaultInstall 132 \"$M/prova.inf\" > \"$R/uscita1\" 2>&1 || exit 91\n"
        "cp -a \"$D\" \"$R/prima\"\n" +
        guasta +
        " || exit 92\n"
        "\"$I\" \"$S\" 132 \"$M/prova.inf\" > \"$R/uscita2\" 2>&1\n"
        "echo $? > \"$R/stato\"\n"
        "cp -a \"$D\" \"$R/dopo\"\n";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", percorso("casa"));
    env.insert("XDG_DATA_HOME", dati);
    env.insert("CONTAVOCE_INSTALL_ROOT", "user");
    env.insert("D", dati);
    env.insert("M", media);
    env.insert("R", percorso("registro"));
    env.insert("I", INSTALLA_INF);
    env.insert("S", sezione);
    p.setProcessEnvironment(env);
    p.start(unshare, {"-r", "-m", "sh", "-c", script});
    QVERIFY(p.waitForFinished(60000));
    if (p.exitCode() == 90 || p.exitCode() == 1)
        QSKIP("cannot mount a small file system in a user namespace here");
    QVERIFY2(p.exitCode() == 0,
             qPrintable(QString::number(p.exitCode()) + " " + leggi(percorso("registro/uscita1")) +
                        p.readAllStandardError()));
    const QString uscita = QString::fromUtf8(leggi(percorso("registro/uscita2")));
    QVERIFY2(leggi(percorso("registro/stato")).trimmed() == "1", qPrintable(uscita));
    QVERIFY2(uscita.contains(messaggio) && uscita.contains("not done"), qPrintable(uscita));
    const QStringList prima = istantanea(percorso("registro/prima"));
    QCOMPARE(istantanea(percorso("registro/dopo")), prima);
    QVERIFY(prima.filter("/prova/suono.wav").size() == 1);
}

namespace {

struct Corsa {
    int stato = -1;
    QString errori;
};

// installa-inf for a user whose HOME is `casa`, with `davanti` first on the PATH.
Corsa installa_inf(const QString& sezione, const QString& inf, const QString& casa,
                   const QString& davanti) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", casa);
    env.remove("XDG_DATA_HOME");
    env.insert("CONTAVOCE_INSTALL_ROOT", "user");
    env.insert("PATH", davanti + ":" + env.value("PATH"));
    p.setProcessEnvironment(env);
    p.start(INSTALLA_INF, {sezione, "132", inf});
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

const QByteArray voce_di_prova = "[DefaultInstall]\r\nAddMenuEntry=Voce\r\n"
                                 "[DefaultUninstall]\r\nDelMenuEntry=Voce\r\n"
                                 "[DestinationDirs]\r\nVoce=16386\r\n"
                                 "[Voce]\r\nName=Prova\r\nExec=prova.txt\r\n";

} // namespace

void TstGuastiInstallazione::solo_quel_che_ha_installato_data() {
    QTest::addColumn<QByteArray>("aggiunta"); // sections added to the INF (a repeated one adds)
    QTest::addColumn<QString>("altrui");      // someone else's file, under HOME
    QTest::addColumn<bool>("rifiutato");      // the install stops
    QTest::addColumn<QString>("messaggio");   // on standard error; "@" is that file
    QTest::addColumn<QString>("tolto");       // deleted by hand before uninstalling
    QTest::newRow("DelFiles of a keyring")
        << QByteArray("[DefaultInstall]\r\nDelFiles=Chiavi\r\n"
                      "[DefaultUninstall]\r\nDelFiles=Chiavi\r\n"
                      "[DestinationDirs]\r\nChiavi=16422,keyrings\r\n[Chiavi]\r\nlogin.keyring\r\n")
        << ".local/share/keyrings/login.keyring" << false << "kept @"
        << "";
    QTest::newRow("CopyFiles over mimeapps.list")
        << QByteArray("[DefaultInstall]\r\nCopyFiles=Mime\r\n"
                      "[DestinationDirs]\r\nMime=16386\r\n[Mime]\r\nmimeapps.list\r\n")
        << ".local/share/applications/mimeapps.list" << true << "@ already exists"
        << "";
    QTest::newRow("the user's own menu entry")
        << voce_di_prova << ".local/share/applications/prova.desktop" << true << "@ already exists"
        << "";
    QTest::newRow("a command already on the PATH")
        << voce_di_prova + "Command=attrezzo\r\n"
        << "attrezzi/attrezzo" << false << "@ is already a command"
        << "";
    QTest::newRow("uninstall after a file went by hand") << voce_di_prova << "" << false << ""
                                                         << ".local/share/prova/suono.wav";
}

// Like dpkg, installa-inf touches only what it installed itself: someone
// else's file is neither replaced nor deleted, by an install or an uninstall.
// Its own install is replaced and removed as ever, even when each run comes
// from a new media folder as the launcher unpacks the cabinet; the user's own
// file in the program folder stays.
void TstGuastiInstallazione::solo_quel_che_ha_installato() {
    QFETCH(QByteArray, aggiunta);
    QFETCH(QString, altrui);
    QFETCH(bool, rifiutato);
    QFETCH(QString, messaggio);
    QFETCH(QString, tolto);
    const QString casa = percorso("casa"), programma = casa + "/.local/share/prova";
    const QString suo = altrui.isEmpty() ? QString() : casa + "/" + altrui;
    QDir().mkpath(casa);
    if (!suo.isEmpty()) {
        scrivi(suo, "#!/bin/sh\n# mine\n");
        QFile(suo).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QStringList prima = istantanea(casa);
    const QStringList file_prima = test_support::istantanea(casa, {{}, false});
    int volta = 0;
    const auto esegui = [&](const QString& sezione) {
        const QString media = percorso("media" + QString::number(++volta));
        scrivi(media + "/prova.inf", contavoce_inf + aggiunta);
        scrivi(media + "/prova.txt", "prova");
        scrivi(media + "/suono.wav", "suono");
        scrivi(media + "/mimeapps.list", "[Default Applications]\n");
        return installa_inf(sezione, media + "/prova.inf", casa, casa + "/attrezzi");
    };

    Corsa c = esegui("DefaultInstall");
    QVERIFY2(c.errori.contains(messaggio.replace("@", suo)), qPrintable(c.errori));
    if (rifiutato) {
        QCOMPARE(c.stato, 1);
        QCOMPARE(istantanea(casa), prima);
    } else {
        QVERIFY2(c.stato == 0, qPrintable(c.errori));
        c = esegui("DefaultInstall");
        QVERIFY2(c.stato == 0, qPrintable(c.errori));
        QCOMPARE(leggi(programma + "/prova.txt"), "prova");
        QVERIFY(!QFileInfo(casa + "/.local/bin/attrezzo").isSymLink());
    }
    scrivi(programma + "/appunti.txt", "miei");
    if (!tolto.isEmpty())
        QVERIFY(QFile::remove(casa + "/" + tolto));
    c = esegui("DefaultUninstall");
    QVERIFY2(c.stato == 0, qPrintable(c.errori));
    QCOMPARE(leggi(programma + "/appunti.txt"), "miei");
    QVERIFY(QFile::remove(programma + "/appunti.txt"));
    QCOMPARE(test_support::istantanea(casa, {{}, false}), file_prima);
}

void TstGuastiInstallazione::modi_con_umask_077_data() {
    QTest::addColumn<QString>("disposizione"); // CONTAVOCE_INSTALL_ROOT
    QTest::newRow("per user") << "user";
    QTest::newRow("system-wide") << "system";
}

// Under root's usual umask 077 what the installer makes must still be open to
// everybody: folders and the program 0755, the rest 0644. The system-wide
// layout is tried in a user and mount namespace, with small file systems over
// /opt, /usr/local and /var/lib.
void TstGuastiInstallazione::modi_con_umask_077() {
    QFETCH(QString, disposizione);
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (disposizione == "system" && unshare.isEmpty())
        QSKIP("unshare (util-linux) is needed");
    const QString media = percorso("media"), casa = percorso("casa");
    QDir().mkpath(casa);
    // Exec= makes prova.txt the program.
    scrivi(media + "/prova.inf", contavoce_inf + voce_di_prova + "Command=prova-contavoce\r\n");
    scrivi(media + "/prova.txt", "prova");
    scrivi(media + "/suono.wav", "suono");
    const QString script =
        "umask 077\n"
        "if [ \"$L\" = system ]; then\n"
        "  for d in /opt /usr/local /var/lib; do\n"
        "    mount -t tmpfs -o mode=0755 contavoce \"$d\" || exit 90\n"
        "  done\n"
        "  set -- /opt /usr/local /var/lib\n"
        "else\n"
        "  set -- \"$HOME\"\n"
        "fi\n"
        "\"$I\" DefaultInstall 132 \"$M/prova.inf\" > \"$R/uscita\" 2>&1 || exit 91\n"
        "find \"$@\" -mindepth 1 ! -type l -printf '%m %y %p\\n' > \"$R/modi\"\n";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", casa);
    env.remove("XDG_DATA_HOME");
    env.insert("CONTAVOCE_INSTALL_ROOT", disposizione);
    env.insert("L", disposizione);
    env.insert("M", media);
    env.insert("R", percorso("registro"));
    env.insert("I", INSTALLA_INF);
    p.setProcessEnvironment(env);
    if (disposizione == "system")
        p.start(unshare, {"-r", "-m", "sh", "-c", script});
    else
        p.start("sh", {"-c", script});
    QVERIFY(p.waitForFinished(60000));
    if (p.exitCode() == 90 || (disposizione == "system" && p.exitCode() == 1))
        QSKIP("cannot mount small file systems in a user namespace here");
    QVERIFY2(p.exitCode() == 0,
             qPrintable(QString::number(p.exitCode()) + " " + leggi(percorso("registro/uscita")) +
                        p.readAllStandardError()));
    const QStringList righe =
        QString::fromUtf8(leggi(percorso("registro/modi"))).split('\n', Qt::SkipEmptyParts);
    QStringList sbagliati, visti;
    for (const QString& r : righe) {
        const QString modo = r.section(' ', 0, 0), tipo = r.section(' ', 1, 1);
        const QString nome = QFileInfo(r.section(' ', 2)).fileName();
        visti << nome;
        if (modo != (tipo == "d" || nome == "prova.txt" ? "755" : "644"))
            sbagliati << r;
    }
    QVERIFY2(sbagliati.isEmpty(), qPrintable(sbagliati.join('\n')));
    for (const char* atteso : {"prova", "prova.txt", "suono.wav", "prova.desktop", "applications",
                               "bin", "installa-inf", "prova.inf.list"})
        QVERIFY2(visti.contains(atteso), atteso);
}

QTEST_MAIN(TstGuastiInstallazione)
#include "tst_guasti_installazione.moc"
