// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/banco_setup.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace test_support {

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

BancoSetup::BancoSetup(QString temporanea, QByteArray installatore)
    : gcab(QStandardPaths::findExecutable("gcab")),
      cabextract(QStandardPaths::findExecutable("cabextract")), temporanea_(std::move(temporanea)),
      installatore_(std::move(installatore)), corrente_iniziale_(QDir::currentPath()) {}

void BancoSetup::prepara() {
    radice_ = std::make_unique<QTemporaryDir>();
    risposte = Risposte{};
    for (const QString& c : {QString("supporto"), QString("programma"), QString("strumenti"),
                             temporanea_, QString("registro")})
        QDir().mkpath(percorso(c));
    QVERIFY(QDir::setCurrent(percorso("supporto")));
    QVERIFY(QFile::link(cabextract, percorso("strumenti/cabextract")));
    const QString stand_in = percorso("programma/installa-inf");
    scrivi(stand_in,
           "#!/bin/sh\nr='" + QFile::encodeName(percorso("registro")) + "'\n" + installatore_);
    std::filesystem::permissions(stand_in.toStdString(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
    ambiente.emplace(contavoce::setup::Ambiente{risposte,
                                                base() / "programma",
                                                {base() / "strumenti"},
                                                base() / temporanea_.toStdString()});
}

void BancoSetup::ripristina() const {
    QDir::setCurrent(corrente_iniziale_);
}

void BancoSetup::cabina(const QString& nome,
                        const QList<std::pair<QString, QByteArray>>& file) const {
    const QString sorgente = percorso("sorgente");
    QDir(sorgente).removeRecursively();
    QStringList argomenti{"-c", QDir::current().filePath(nome)};
    for (const auto& [relativo, contenuto] : file) {
        scrivi(sorgente + "/" + relativo, contenuto);
        argomenti << relativo;
    }
    QProcess processo;
    processo.setWorkingDirectory(sorgente);
    processo.start(gcab, argomenti);
    QVERIFY(processo.waitForFinished());
    QCOMPARE(processo.exitCode(), 0);
    QDir(sorgente).removeRecursively();
}

void ProvaSetup::initTestCase() {
    QVERIFY2(!banco_.gcab.isEmpty() && !banco_.cabextract.isEmpty(),
             "gcab and cabextract are needed");
}

void ProvaSetup::init() {
    banco_.prepara();
}

void ProvaSetup::cleanup() {
    banco_.ripristina();
}

} // namespace test_support
