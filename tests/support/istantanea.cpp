// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/istantanea.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>

namespace test_support {

QStringList istantanea(const QString& cartella, const OpzioniIstantanea& opzioni) {
    QStringList voci;
    QDirIterator it(cartella, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        const QString nome = f.filePath().mid(cartella.size());
        if (!opzioni.salta.isEmpty() && nome.startsWith(opzioni.salta))
            continue;
        const QString modo = QString::number(int(f.permissions()), 16);
        if (f.isSymLink()) {
            voci << nome + " -> " + f.symLinkTarget();
        } else if (f.isDir()) {
            if (opzioni.anche_cartelle)
                voci << nome + "/ " + modo;
        } else {
            QFile file(f.filePath());
            const QByteArray byte =
                file.open(QIODevice::ReadOnly) ? file.readAll() : "(unreadable)";
            voci << nome + " " + modo + " " +
                        QCryptographicHash::hash(byte, QCryptographicHash::Md5).toHex();
        }
    }
    voci.sort();
    return voci;
}

} // namespace test_support
