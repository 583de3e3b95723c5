// SPDX-License-Identifier: GPL-3.0-or-later
// installa-inf as the setup launcher runs it, on a small made-up program in a
// temporary HOME: install, menu entry, uninstall; hostile INF files; a
// read-only folder; a write that fails half way.
#include "support/istantanea.h"

#include <QtTest>
#include <csignal>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Esito {
    int stato = -1;
    QString uscita;
    QString errori;
    bool partito = false;
};

// The INF of the made-up program, in Windows-1252 like an old INF ("à" is
// one byte), with the lines the hostile cases change.
QByteArray inf_di_prova() {
    return QByteArray("; made up for the test\r\n"
                      "[Version]\r\n"
                      "Signature=\"$Windows NT$\"\r\n"
                      "[DefaultInstall]\r\n"
                      "CopyFiles=Programma,Pagine\r\n"
                      "AddMenuEntry=Voce\r\n"
                      "[DefaultUninstall]\r\n"
                      "DelFiles=Programma,Pagine\r\n"
                      "DelMenuEntry=Voce\r\n"
                      "[DestinationDirs]\r\n"
                      "Programma=16422,%Cartella%\r\n"
                      "Voce=16386\r\n"
                      "Pagine=16410,man\\man1\r\n"
                      "[Programma]\r\n"
                      "prova\r\n"
                      "suono.wav\r\n"
                      "prova.png\r\n"
                      "[Pagine]\r\n"
                      "prova.1.gz\r\n"
                      "[Voce]\r\n"
                      "Name=%Nome%\r\n"
                      "Comment=%Commento%\r\n"
                      "Exec=prova\r\n"
                      "Icon=prova.png\r\n"
                      "Categories=\"Education;\"\r\n"
                      "Command=prova\r\n"
                      "[Strings]\r\n"
                      "Cartella=prova\r\n"
                      "Nome=\"Prova\"\r\n"
                      "Commento=\"Leggerà i numeri, ad alta voce\"\r\n")
        .replace("Legger\xc3\xa0", "Legger\xe0");
}

QStringList istantanea(const QString& cartella, bool anche_cartelle = true) {
    return test_support::istantanea(cartella, {{}, anche_cartelle});
}

QByteArray contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool scrivi(const QString& percorso, const QByteArray& byte) {
    QDir().mkpath(QFileInfo(percorso).path());
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(byte) == byte.size();
}

int modo(const QString& percorso) {
    struct stat st {};
    return ::lstat(QFile::encodeName(percorso).constData(), &st) == 0 ? int(st.st_mode & 07777)
                                                                      : -1;
}

// A value of a desktop entry with its escapes undone.
QString senza_escape(const QString& v) {
    QString r;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            r += v[i];
            continue;
        }
        const QChar c = v[++i];
        r += c == 's'   ? QChar(' ')
             : c == 'n' ? QChar('\n')
             : c == 't' ? QChar('\t')
             : c == 'r' ? QChar('\r')
                        : c;
    }
    return r;
}

// The program of an Exec= value (after senza_escape): one argument, quoted
// or not, with its field-code percent signs doubled.
QString programma_di_exec(const QString& v) {
    QString r;
    if (v.startsWith('"')) {
        for (qsizetype i = 1; i < v.size() && v[i] != '"'; ++i)
            r += v[i] == '\\' && i + 1 < v.size() ? v[++i] : v[i];
    } else {
        r = v;
    }
    return r.replace("%%", "%");
}

QMap<QString, QString> voce_desktop(const QString& percorso) {
    QMap<QString, QString> chiavi;
    const QStringList righe =
        QString::fromUtf8(contenuto(percorso)).split('\n', Qt::SkipEmptyParts);
    for (const QString& r : righe)
        if (!r.startsWith('[') && r.contains('='))
            chiavi[r.section('=', 0, 0)] = senza_escape(r.section('=', 1));
    chiavi["[group]"] = righe.value(0);
    return chiavi;
}

class Banco {
public:
    Banco() {
        // Blanks, quotes, $ and % in the path, as a user's folder may have.
        casa = radice.path() + "/casa \"di\" $prova";
        dati = casa + "/dati 100%";
        sorgenti = radice.path() + "/media";
        programma = dati + "/prova";
        QDir().mkpath(casa);
        QDir().mkpath(sorgenti);
        QFile::copy("/usr/bin/true", sorgenti + "/prova"); // a real program, mode lost as in a cab
        QFile(sorgenti + "/prova")
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        scrivi(sorgenti + "/suono.wav", QByteArray(3000, 'w'));
        scrivi(sorgenti + "/prova.1.gz", "pagina");
        QImage icona(48, 48, QImage::Format_ARGB32);
        icona.fill(Qt::yellow);
        icona.save(sorgenti + "/prova.png");
        scrivi(sorgenti + "/prova.inf", inf_di_prova());
    }

    Esito esegui(const QString& sezione, const std::function<void()>& nel_figlio = {},
                 const QString& modo_inf = "132") const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", casa);
        env.insert("XDG_DATA_HOME", dati);
        env.insert("CONTAVOCE_INSTALL_ROOT", "user");
        p.setProcessEnvironment(env);
        if (nel_figlio)
            p.setChildProcessModifier(nel_figlio);
        p.start(INSTALLA_INF, {sezione, modo_inf, sorgenti + "/prova.inf"});
        Esito e;
        e.partito = p.waitForStarted();
        p.waitForFinished(60000);
        e.stato = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        e.uscita = QString::fromUtf8(p.readAllStandardOutput());
        e.errori = QString::fromUtf8(p.readAllStandardError());
        return e;
    }

    QTemporaryDir radice;
    QString casa, dati, sorgenti, programma;
};

} // namespace

class TstInstallaInf : public QObject {
    Q_OBJECT

private slots:
    void installa_e_disinstalla();
    void comando_altrui_non_toccato();
    void inf_ostili_data();
    void inf_ostili();
    void cartella_di_sola_lettura();
    void scrittura_che_fallisce_a_meta();
};

void TstInstallaInf::installa_e_disinstalla() {
    Banco b;
    scrivi(b.dati + "/applications/altro.desktop", "[Desktop Entry]\nName=Altro\n");
    scrivi(b.dati + "/prova-note.txt", "appunti");
    // An empty folder it did not make on the way to its own, as Debian makes
    // /usr/local/share/man: it stays.
    QDir().mkpath(b.dati + "/man");
    const QStringList prima = istantanea(b.radice.path());

    for (int volta = 1; volta <= 2; ++volta) { // a second install replaces the first
        const Esito e = b.esegui("DefaultInstall");
        QVERIFY2(e.stato == 0, qPrintable(e.errori));
        QCOMPARE(e.uscita.count('\n'), 1);
        QVERIFY2(e.uscita.contains("7 files written") && e.uscita.contains(b.programma),
                 qPrintable(e.uscita));
    }
    for (const char* nome : {"prova", "suono.wav", "prova.png"})
        QCOMPARE(contenuto(b.programma + "/" + nome), contenuto(b.sorgenti + "/" + nome));
    QCOMPARE(modo(b.programma + "/prova"), 0755);
    QCOMPARE(modo(b.programma + "/suono.wav"), 0644);
    QCOMPARE(QProcess::execute(b.programma + "/prova", {}), 0);

    const QString icona = b.dati + "/icons/hicolor/48x48/apps/prova.png";
    QCOMPARE(contenuto(icona), contenuto(b.sorgenti + "/prova.png"));
    const auto voce = voce_desktop(b.dati + "/applications/prova.desktop");
    QCOMPARE(voce["[group]"], "[Desktop Entry]");
    QCOMPARE(voce["Type"], "Application");
    QCOMPARE(voce["Name"], "Prova");
    QCOMPARE(voce["Comment"], QString::fromUtf8("Leggerà i numeri, ad alta voce"));
    QCOMPARE(voce["Categories"], "Education;");
    QCOMPARE(voce["Icon"], "prova"); // by its name in the theme
    QCOMPARE(programma_di_exec(voce["Exec"]), b.programma + "/prova");
    QCOMPARE(QFileInfo(b.casa + "/.local/bin/prova").symLinkTarget(), b.programma + "/prova");

    Esito e = b.esegui("DefaultUninstall");
    QVERIFY2(e.stato == 0, qPrintable(e.errori));
    QVERIFY(!QFileInfo::exists(b.programma));
    QCOMPARE(istantanea(b.radice.path()), prima); // the folders it made are gone too

    // A folder it made that now holds a file of the user's stays, and is no
    // longer its own.
    QCOMPARE(b.esegui("DefaultInstall").stato, 0);
    const QString apps = b.dati + "/icons/hicolor/48x48/apps";
    scrivi(apps + "/mia.png", "mia");
    e = b.esegui("DefaultUninstall");
    QVERIFY2(e.stato == 0 && e.errori.contains("kept " + apps + ": other files are in it"),
             qPrintable(e.errori));
    QCOMPARE(contenuto(apps + "/mia.png"), "mia");
    QVERIFY(QDir(b.dati + "/icons").removeRecursively());
    QCOMPARE(istantanea(b.radice.path()), prima);

    // A record of an older installa-inf lists no folder, so none is removed.
    QCOMPARE(b.esegui("DefaultInstall").stato, 0);
    const QString registro = b.dati + "/installa-inf/prova.inf.list";
    QStringList righe = QString::fromUtf8(contenuto(registro)).split('\n');
    righe.removeIf([](const QString& r) { return r.endsWith('/'); });
    QVERIFY(scrivi(registro, righe.join('\n').toUtf8()));
    QCOMPARE(b.esegui("DefaultUninstall").stato, 0);
    QVERIFY(QFileInfo(b.programma).isDir() && QFileInfo(b.dati + "/man/man1").isDir());
    QVERIFY(!QFileInfo::exists(b.programma + "/prova") && !QFileInfo::exists(registro));
}

void TstInstallaInf::comando_altrui_non_toccato() {
    Banco b;
    const QString comando = b.casa + "/.local/bin/prova";
    scrivi(comando, "#!/bin/sh\necho mine\n");
    Esito e = b.esegui("DefaultInstall");
    QVERIFY2(e.stato == 0, qPrintable(e.errori));
    QVERIFY2(e.errori.contains(comando) && e.errori.contains("not ours"), qPrintable(e.errori));
    QCOMPARE(contenuto(comando), "#!/bin/sh\necho mine\n");
    e = b.esegui("DefaultUninstall");
    QCOMPARE(e.stato, 0);
    QCOMPARE(contenuto(comando), "#!/bin/sh\necho mine\n");
}

void TstInstallaInf::inf_ostili_data() {
    QTest::addColumn<QByteArray>("riga");      // a line of the INF ...
    QTest::addColumn<QByteArray>("sostituta"); // ... and what it becomes
    QTest::addColumn<QString>("preparazione");
    QTest::addColumn<QString>("messaggio");
    const auto caso = [](const char* nome, const char* riga, const char* sostituta,
                         const char* preparazione, const char* messaggio) {
        QTest::newRow(nome) << QByteArray(riga) << QByteArray(sostituta) << QString(preparazione)
                            << QString(messaggio);
    };
    const char* wav = "suono.wav\r\n";
    caso("'..' in a file name", wav, "..\\..\\suono.wav\r\n", "", "climbs out");
    caso("'..' with slashes", wav, "../x.wav\r\n", "", "climbs out");
    caso("absolute source", wav, "suono.wav,/etc/passwd\r\n", "", "absolute path");
    caso("absolute target", wav, "/tmp/x.wav\r\n", "", "absolute path");
    caso("drive letter", wav, "C:\\x.dll\r\n", "", "absolute path");
    caso("subfolder in a file list", wav, "sub\\suono.wav\r\n", "", "names a subfolder");
    caso("'..' in DestinationDirs", "16422,%Cartella%", "16422,prova\\..\\..\\..", "",
         "climbs out");
    caso("absolute DestinationDirs", "16422,%Cartella%", "16422,/etc", "", "absolute path");
    caso("other dirid", "16422,%Cartella%", "11", "", "dirid 11 is not supported");
    caso("into the records", "16422,%Cartella%", "16422,installa-inf", "", "records");
    caso("linked source", "", "", "link source", "symbolic link");
    caso("linked program folder", "", "", "link folder", "symbolic link");
    caso("linked target file", "", "", "link target", "symbolic link");
    caso("missing source", "", "", "remove source", "is missing");
    caso("unknown directive", "AddMenuEntry=Voce\r\n", "AddMenuEntry=Voce\r\nAddReg=R\r\n", "",
         "AddReg is not supported");
    caso("Exec not installed", "Exec=prova", "Exec=altro", "", "in no file list");
    caso("icon not a PNG", "Icon=prova.png", "Icon=suono.wav", "", "PNG");
    caso("not an INF", "$Windows NT$", "$Other$", "", "not an INF");
    caso("mode without 128", "", "", "mode 4", "128");
}

void TstInstallaInf::inf_ostili() {
    QFETCH(QByteArray, riga);
    QFETCH(QByteArray, sostituta);
    QFETCH(QString, preparazione);
    QFETCH(QString, messaggio);
    Banco b;
    const QString fuori = b.radice.path() + "/fuori";
    QDir().mkpath(fuori);
    if (!riga.isEmpty()) {
        const QByteArray inf = inf_di_prova();
        QVERIFY(inf.contains(riga));
        scrivi(b.sorgenti + "/prova.inf", QByteArray(inf).replace(riga, sostituta));
    }
    if (preparazione == "link source") {
        QFile::remove(b.sorgenti + "/suono.wav");
        scrivi(fuori + "/segreto", "segreto");
        QVERIFY(QFile::link(fuori + "/segreto", b.sorgenti + "/suono.wav"));
    } else if (preparazione == "link folder") {
        QDir().mkpath(b.dati);
        QVERIFY(QFile::link(fuori, b.programma));
    } else if (preparazione == "link target") {
        QDir().mkpath(b.dati + "/applications");
        QVERIFY(QFile::link(fuori + "/altro", b.dati + "/applications/prova.desktop"));
    } else if (preparazione == "remove source") {
        QFile::remove(b.sorgenti + "/prova.png");
    }
    const QStringList prima = istantanea(b.radice.path());
    const Esito e = b.esegui("DefaultInstall", {}, preparazione == "mode 4" ? "4" : "132");
    QVERIFY(e.stato != 0);
    QVERIFY2(e.errori.contains(messaggio), qPrintable(e.errori));
    QVERIFY(e.uscita.isEmpty());
    QCOMPARE(istantanea(b.radice.path()), prima);
}

// As root the permission bits alone would not stop the installer, so the
// child gives up root first.
void TstInstallaInf::cartella_di_sola_lettura() {
    Banco b;
    const QString menu = b.dati + "/applications";
    scrivi(menu + "/altro.desktop", "[Desktop Entry]\nName=Altro\n");
    const bool root = ::geteuid() == 0;
    constexpr uid_t nessuno = 65534;
    if (root) {
        QDirIterator it(b.radice.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        QVERIFY(::chown(QFile::encodeName(b.radice.path()).constData(), nessuno, nessuno) == 0);
        while (it.hasNext())
            QVERIFY(::lchown(QFile::encodeName(it.next()).constData(), nessuno, nessuno) == 0);
    }
    QVERIFY(::chmod(QFile::encodeName(menu).constData(), 0555) == 0);
    const QStringList prima = istantanea(b.radice.path());

    const Esito e = b.esegui("DefaultInstall", [root] {
        if (root &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nessuno) != 0 || ::setuid(nessuno) != 0))
            ::_exit(125);
    });
    ::chmod(QFile::encodeName(menu).constData(), 0755);
    if (!e.partito || e.stato == 125)
        QSKIP("cannot run the installer as an unprivileged user here");
    QVERIFY(e.stato != 0);
    QVERIFY2(e.errori.contains("cannot write in " + menu) && e.errori.contains("Permission denied"),
             qPrintable(e.errori));
    QVERIFY(!QFileInfo::exists(b.programma));
    ::chmod(QFile::encodeName(menu).constData(), 0555);
    QCOMPARE(istantanea(b.radice.path()), prima);
    ::chmod(QFile::encodeName(menu).constData(), 0755);
}

// A file-size limit makes a write fail part way through a file, as a full
// disk would: the earlier installation must stay whole, with no temporary
// file left beside it.
void TstInstallaInf::scrittura_che_fallisce_a_meta() {
    Banco b;
    Esito e = b.esegui("DefaultInstall");
    QVERIFY2(e.stato == 0, qPrintable(e.errori));
    scrivi(b.sorgenti + "/prova", "#!/bin/sh\n"); // comes before the failing file
    scrivi(b.sorgenti + "/suono.wav", QByteArray(300000, 'n'));
    const QStringList prima = istantanea(b.casa);

    e = b.esegui("DefaultInstall", [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limite{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &limite);
    });
    QVERIFY(e.stato != 0);
    QVERIFY2(e.errori.contains("cannot write " + b.programma + "/suono.wav: File too large"),
             qPrintable(e.errori));
    QCOMPARE(istantanea(b.casa), prima);
    QCOMPARE(contenuto(b.programma + "/suono.wav"), QByteArray(3000, 'w'));
}

QTEST_GUILESS_MAIN(TstInstallaInf)
#include "tst_installa_inf.moc"
