// SPDX-License-Identifier: GPL-3.0-or-later
// The setup launcher run as on a user's machine, under a temporary root:
// supporto/ is the installation media and the current directory, programma/
// the launcher's own folder with an installer stand-in, strumenti/ the PATH
// with cabextract alone, a temporary folder for the launcher's private ones,
// and registro/ for what the stand-in records. The dialogs are answered by
// `risposte`.
#pragma once

#include "setup/launcher/risposte.h"
#include "setup/launcher/setup.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

namespace test_support {

inline void scrivi(const QString& percorso, const QByteArray& byte) {
    QDir().mkpath(QFileInfo(percorso).path());
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(byte) != byte.size())
        qFatal("cannot write %s", qPrintable(percorso));
}

inline QByteArray leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

class BancoSetup {
public:
    // `temporanea` names the temporary folder; `installatore` is the stand-in's
    // script, which finds the records folder in $r.
    BancoSetup(QString temporanea, QByteArray installatore)
        : temporanea_(std::move(temporanea)), installatore_(std::move(installatore)) {}
    // `ambiente` refers to `risposte`: the bench stays where it was made.
    BancoSetup(const BancoSetup&) = delete;
    BancoSetup& operator=(const BancoSetup&) = delete;

    const QString gcab = QStandardPaths::findExecutable("gcab");
    const QString cabextract = QStandardPaths::findExecutable("cabextract");
    Risposte risposte;
    std::optional<contavoce::setup::Ambiente> ambiente;

    QString radice() const { return radice_->path(); }
    std::filesystem::path base() const { return radice().toStdString(); }
    QString percorso(const QString& relativo) const { return radice() + "/" + relativo; }

    // For init(): a fresh root, its media folder current.
    void prepara() {
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

    // For cleanup(): the current directory as it was before the test.
    void ripristina() const { QDir::setCurrent(corrente_iniziale_); }

    // A cabinet in the current directory holding these files, folders kept.
    // Its sources are made and removed under sorgente/.
    void cabina(const QString& nome, const QList<std::pair<QString, QByteArray>>& file) const {
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

private:
    QString temporanea_;
    QByteArray installatore_;
    QString corrente_iniziale_ = QDir::currentPath();
    std::unique_ptr<QTemporaryDir> radice_;
};

} // namespace test_support
