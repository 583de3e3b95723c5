// SPDX-License-Identifier: GPL-3.0-or-later
// The real package: contavoce.inf names exactly the program folder the build
// makes and installs and removes it; setup.inf is built as the launcher reads it.
#include "setup/inf/testo_inf.h"

#include <QtTest>
#include <sys/stat.h>

namespace {

const QString bin = qEnvironmentVariable("CONTAVOCE_BIN_DIR");
const QString icona_costruita = QStringLiteral(CONTAVOCE_EMBED_DIR "/icon/contavoce.png");

// The names the install lists read from the media folder (a line "name,source"
// reads the source), by list.
QMultiMap<QString, QString> file_dei_supporti() {
    const auto inf = contavoce::inf::TestoInf::leggi(CONTAVOCE_SORGENTI "/packaging/contavoce.inf");
    QMultiMap<QString, QString> nomi;
    for (const auto* copia : inf.con_chiave("DefaultInstall", "CopyFiles"))
        for (const std::string& elenco : copia->campi)
            for (const auto& riga : inf.righe(elenco))
                nomi.insert(QString::fromStdString(elenco),
                            QString::fromStdString(riga.campi.back()));
    return nomi;
}

QStringList file_del_programma() {
    return file_dei_supporti().values("ProgramFiles");
}

QString origine(const QString& nome) {
    if (nome == "installa-inf")
        return QStringLiteral(INSTALLA_INF);
    if (nome == "contavoce.inf")
        return QStringLiteral(CONTAVOCE_SORGENTI "/packaging/contavoce.inf");
    if (const auto m = QRegularExpression("^contavoce-([0-9]+)\\.png$").match(nome); m.hasMatch())
        return QStringLiteral(CONTAVOCE_ICON_DIR "/hicolor/%1x%1/apps/contavoce.png")
            .arg(m.captured(1));
    if (nome == "contavoce.svg")
        return QStringLiteral(CONTAVOCE_ICON_DIR "/hicolor/scalable/apps/contavoce.svg");
    if (nome.endsWith(".1.gz"))
        return QStringLiteral(CONTAVOCE_PACKAGING_DIR "/metadati/") + nome;
    return nome == "contavoce.png" ? icona_costruita : bin + "/" + nome;
}

QByteArray contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

class TstPacchetto : public QObject {
    Q_OBJECT

private slots:
    void elenca_ogni_file_del_programma();
    void installa_e_disinstalla_il_programma();
    void setup_inf_per_il_lanciatore();
};

void TstPacchetto::elenca_ogni_file_del_programma() {
    const QStringList elencati = file_del_programma();
    QStringList costruiti = QDir(bin).entryList(QDir::Files | QDir::Hidden);
    costruiti << "contavoce.png"; // built beside the embedded icons
    // The installer and its INF, with which the program folder removes itself.
    costruiti << "installa-inf"
              << "contavoce.inf";
    QStringList mancanti, in_piu;
    for (const QString& f : costruiti)
        if (!elencati.contains(f))
            mancanti << f;
    for (const QString& f : elencati)
        if (!costruiti.contains(f) || elencati.count(f) > 1)
            in_piu << f;
    QVERIFY2(mancanti.isEmpty(), qPrintable("not in contavoce.inf: " + mancanti.join(' ')));
    QVERIFY2(in_piu.isEmpty(), qPrintable("not built, or listed twice: " + in_piu.join(' ')));
    QVERIFY(elencati.contains("contavoce") && QFileInfo::exists(icona_costruita));
}

// The media folder as the launcher leaves it after unpacking the cabinet:
// every file at the root, none of them executable.
void TstPacchetto::installa_e_disinstalla_il_programma() {
    QTemporaryDir radice;
    const QString media = radice.path() + "/media", casa = radice.path() + "/casa";
    QDir().mkpath(media);
    QDir().mkpath(casa);
    const QStringList nomi = file_del_programma();
    for (const QString& nome : file_dei_supporti()) {
        QVERIFY2(QFile::copy(origine(nome), media + "/" + nome), qPrintable(nome));
        QFile(media + "/" + nome).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }

    const auto esegui = [&](const QString& sezione) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", casa);
        env.remove("XDG_DATA_HOME");
        env.insert("CONTAVOCE_INSTALL_ROOT", "user");
        p.setProcessEnvironment(env);
        p.start(INSTALLA_INF, {sezione, "132", media + "/contavoce.inf"});
        p.waitForFinished(60000);
        const QByteArray errori = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? QByteArray()
                                                                           : "failed: " + errori;
    };
    QCOMPARE(esegui("DefaultInstall"), QByteArray());
    const QString cartella = casa + "/.local/share/contavoce";
    QCOMPARE(QDir(cartella).entryList(QDir::Files | QDir::Hidden).size(), nomi.size());
    for (const QString& nome : nomi)
        QVERIFY2(contenuto(cartella + "/" + nome) == contenuto(origine(nome)), qPrintable(nome));
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(cartella + "/contavoce").constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 0777), 0755);
    const QString voce =
        QString::fromUtf8(contenuto(casa + "/.local/share/applications/contavoce.desktop"));
    QVERIFY2(voce.contains("\nExec=" + cartella + "/contavoce\n") &&
                 voce.contains("\nCategories=Education;\n") && voce.contains("\nName=Contavoce\n"),
             qPrintable(voce));
    const QString icona = casa + "/.local/share/icons/hicolor/48x48/apps/contavoce.png";
    QVERIFY(voce.contains("\nIcon=contavoce\n"));
    // The menu entry as the desktop's own validator sees it (Debian 12's knows
    // the entry format up to version 1.4): not even a hint.
    if (const QString validatore = QStandardPaths::findExecutable("desktop-file-validate");
        !validatore.isEmpty()) {
        QProcess v;
        v.setProcessChannelMode(QProcess::MergedChannels);
        v.start(validatore, {casa + "/.local/share/applications/contavoce.desktop"});
        QVERIFY(v.waitForFinished(30000));
        const QByteArray detto = v.readAll();
        QVERIFY2(v.exitCode() == 0 && detto.isEmpty(), detto.constData());
    } else {
        qWarning("desktop-file-validate is not installed: the menu entry is not validated");
    }
    QCOMPARE(contenuto(icona), contenuto(icona_costruita));
    QCOMPARE(QFileInfo(casa + "/.local/bin/contavoce").symLinkTarget(), cartella + "/contavoce");
    // The icon's other sizes and the manual pages, where the desktop and man find them.
    const QString dati = casa + "/.local/share";
    QStringList condivisi;
    for (const int lato : {16, 24, 32, 64, 128, 256}) {
        const QString png = QString("/icons/hicolor/%1x%1/apps/contavoce.png").arg(lato);
        QVERIFY2(contenuto(dati + png) == contenuto(origine(QString("contavoce-%1.png").arg(lato))),
                 qPrintable(png));
        condivisi << dati + png;
    }
    condivisi << dati + "/icons/hicolor/scalable/apps/contavoce.svg";
    for (const char* pagina : {"contavoce", "contavoce-cli", "installa-inf"})
        condivisi << dati + "/man/man1/" + pagina + ".1.gz";
    for (const QString& f : condivisi.mid(6)) // the scalable icon and the pages
        QVERIFY2(contenuto(f) == contenuto(origine(QFileInfo(f).fileName())), qPrintable(f));

    QCOMPARE(esegui("DefaultUninstall"), QByteArray());
    for (const QString& via : QStringList{cartella, icona, casa + "/.local/bin/contavoce",
                                          casa + "/.local/share/applications/contavoce.desktop"} +
                                  condivisi)
        QVERIFY2(!QFileInfo::exists(via) && !QFileInfo(via).isSymLink(), qPrintable(via));
    // Nor is any folder it made left behind, ~/.local/share included.
    QCOMPARE(QDir(casa).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

void TstPacchetto::setup_inf_per_il_lanciatore() {
    const QByteArray costruito = contenuto(CONTAVOCE_PACKAGING_DIR "/setup.inf");
    const QByteArray sorgente = contenuto(CONTAVOCE_SORGENTI "/packaging/setup-utf8.inf");
    QVERIFY(costruito.endsWith("\r\n"));
    QCOMPARE(costruito.count('\n'), costruito.count("\r\n"));
    QVERIFY2(costruito.contains("sar\xe0 "), "\"à\" must be the single byte 0xE0");
    // Windows-1252 equals Latin-1 outside 0x80-0x9F, which the texts do not use.
    QVERIFY(std::none_of(costruito.begin(), costruito.end(),
                         [](char c) { return uchar(c) >= 0x80 && uchar(c) <= 0x9f; }));
    QCOMPARE(QString::fromLatin1(costruito).replace("\r\n", "\n"), QString::fromUtf8(sorgente));

    // What the launcher keeps of each text: a longer one would be cut.
    const QMap<QString, int> limiti = {{"Caption", 499}, {"Label1", 499}, {"Label2", 499},
                                       {"Title", 49},    {"Message", 99}, {"Scelta", 10}};
    QMap<QString, QString> chiavi;
    for (const QByteArray& riga : costruito.split('\n'))
        if (riga.contains('=') && !riga.startsWith(';'))
            chiavi[QString::fromLatin1(riga.left(riga.indexOf('=')))] =
                QString::fromLatin1(riga.mid(riga.indexOf('=') + 1)).trimmed();
    for (auto l = limiti.begin(); l != limiti.end(); ++l)
        QVERIFY2(!chiavi[l.key()].isEmpty() && chiavi[l.key()].size() <= l.value(),
                 qPrintable(l.key()));
    QCOMPARE(chiavi["Scelta"], "1");
}

QTEST_APPLESS_MAIN(TstPacchetto)
#include "tst_pacchetto.moc"
