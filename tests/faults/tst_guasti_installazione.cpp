// Faults tried on purpose on the installing side: a damaged or cut cabinet and
// one whose names try to leave the working folder, given to the setup
// launcher; a full and a read-only install location under installa-inf.
// Each time the user is told what is wrong, or the install goes on inside its
// own folders, and nothing the user had changes.
#include "setup/launcher/risposte.h"
#include "setup/launcher/setup.h"
#include "support/istantanea.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace contavoce::setup;
namespace fs = std::filesystem;

namespace {

const QByteArray contavoce_inf = "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                 "[DefaultInstall]\r\nCopyFiles=Programma\r\n"
                                 "[DefaultUninstall]\r\nDelFiles=Programma\r\n"
                                 "[DestinationDirs]\r\nProgramma=16422,prova\r\n"
                                 "[Programma]\r\nprova.txt\r\nsuono.wav\r\n";
const QByteArray setup_inf = "[Version]\r\nCaption=Installazione\r\nScelta=0\r\n";

void scrivi(const QString& percorso, const QByteArray& byte) {
    QDir().mkpath(QFileInfo(percorso).path());
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(byte) != byte.size())
        qFatal("cannot write %s", qPrintable(percorso));
}

QByteArray leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

QStringList istantanea(const QString& cartella, const QString& salta = {}) {
    return test_support::istantanea(cartella, {salta});
}

} // namespace

class TstGuastiInstallazione : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cabina_danneggiata_data();
    void cabina_danneggiata();
    void nomi_in_fuga_data();
    void nomi_in_fuga();
    void luogo_pieno_o_di_sola_lettura_data();
    void luogo_pieno_o_di_sola_lettura();

private:
    QString percorso(const QString& relativo) const { return radice_->path() + "/" + relativo; }
    void cabina(const QString& nome, const QList<std::pair<QString, QByteArray>>& file);

    QString gcab_ = QStandardPaths::findExecutable("gcab");
    QString cabextract_ = QStandardPaths::findExecutable("cabextract");
    QString corrente_iniziale_ = QDir::currentPath();
    std::unique_ptr<QTemporaryDir> radice_;
    Risposte risposte_;
    std::optional<Ambiente> ambiente_;
};

void TstGuastiInstallazione::initTestCase() {
    QVERIFY2(!gcab_.isEmpty() && !cabextract_.isEmpty(), "gcab and cabextract are needed");
}

// As the launcher's own tests set it up: PATH holds cabextract, and an
// installer stand-in beside the launcher lists what it was given.
void TstGuastiInstallazione::init() {
    radice_ = std::make_unique<QTemporaryDir>();
    risposte_ = Risposte{};
    for (const char* c : {"supporto", "programma", "strumenti", "tmp", "registro"})
        QDir().mkpath(percorso(c));
    QVERIFY(QDir::setCurrent(percorso("supporto")));
    QVERIFY(QFile::link(cabextract_, percorso("strumenti/cabextract")));
    scrivi(percorso("programma/installa-inf"),
           "#!/bin/sh\nd=$(dirname \"$3\")\n(cd \"$d\" && find . -mindepth 1 | LC_ALL=C sort) > '" +
               QFile::encodeName(percorso("registro/visti")) + "'\n");
    QFile(percorso("programma/installa-inf")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    ambiente_.emplace(Ambiente{risposte_,
                               percorso("programma").toStdString(),
                               {percorso("strumenti").toStdString()},
                               percorso("tmp").toStdString()});
}

void TstGuastiInstallazione::cleanup() {
    QDir::setCurrent(corrente_iniziale_);
}

void TstGuastiInstallazione::cabina(const QString& nome,
                                    const QList<std::pair<QString, QByteArray>>& file) {
    const QString sorgente = percorso("sorgente");
    QDir(sorgente).removeRecursively();
    QStringList argomenti{"-c", QDir::current().filePath(nome)};
    for (const auto& [relativo, contenuto] : file) {
        scrivi(sorgente + "/" + relativo, contenuto);
        argomenti << relativo;
    }
    QProcess gcab;
    gcab.setWorkingDirectory(sorgente);
    gcab.start(gcab_, argomenti);
    QVERIFY(gcab.waitForFinished());
    QCOMPARE(gcab.exitCode(), 0);
    QDir(sorgente).removeRecursively();
}

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
    cabina("Contavoce.cab",
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
    nome.replace("@", radice_->path());
    const QByteArray segnaposto(nome.toUtf8().size(), 'Q');
    cabina("Contavoce.cab", {{"contavoce.inf", contavoce_inf},
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

QTEST_MAIN(TstGuastiInstallazione)
#include "tst_guasti_installazione.moc"
