// SPDX-License-Identifier: GPL-3.0-or-later
// The setup launcher run as on a user's machine, under a temporary root:
// supporto/ is the installation media and the current directory, programma/
// the launcher's own folder with an installer stand-in, strumenti/ the PATH
// with cabextract alone, a temporary folder for the launcher's private ones,
// and registro/ for what the stand-in records. The dialogs are answered by
// `risposte`.
#pragma once

#include "setup/launcher/setup.h"
#include "support/risposte.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

namespace test_support {

// Writes the whole file, making its folders; a failure ends the test program.
void scrivi(const QString& percorso, const QByteArray& byte);
// The file's bytes, or "(missing)".
QByteArray leggi(const QString& percorso);

class BancoSetup {
public:
    // `temporanea` names the temporary folder; `installatore` is the stand-in's
    // script, which finds the records folder in $r.
    BancoSetup(QString temporanea, QByteArray installatore);
    // `ambiente` refers to `risposte`: the bench stays where it was made.
    BancoSetup(const BancoSetup&) = delete;
    BancoSetup& operator=(const BancoSetup&) = delete;

    const QString gcab;
    const QString cabextract;
    Risposte risposte;
    std::optional<contavoce::setup::Ambiente> ambiente;

    QString radice() const { return radice_->path(); }
    std::filesystem::path base() const { return radice().toStdString(); }
    QString percorso(const QString& relativo) const { return radice() + "/" + relativo; }

    // For init(): a fresh root, its media folder current.
    void prepara();

    // For cleanup(): the current directory as it was before the test.
    void ripristina() const;

    // A cabinet in the current directory holding these files, folders kept.
    // Its sources are made and removed under sorgente/.
    void cabina(const QString& nome, const QList<std::pair<QString, QByteArray>>& file) const;

private:
    QString temporanea_;
    QByteArray installatore_;
    QString corrente_iniziale_;
    std::unique_ptr<QTemporaryDir> radice_;
};

// The base of the test programs that run the whole launcher: a fresh bench for
// every case, the current directory given back after it, gcab and cabextract
// required.
class ProvaSetup : public QObject {
    Q_OBJECT

protected:
    ProvaSetup(QString temporanea, QByteArray installatore)
        : banco_(std::move(temporanea), std::move(installatore)) {}

    BancoSetup banco_;
    Risposte& risposte_ = banco_.risposte;
    std::optional<contavoce::setup::Ambiente>& ambiente_ = banco_.ambiente;

private slots:
    void initTestCase();
    void init();
    void cleanup();
};

} // namespace test_support
