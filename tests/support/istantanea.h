// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot of a folder: every entry under it with its kind, mode, link target
// and a digest of its bytes. Two equal snapshots mean nothing was written,
// moved or deleted.
#pragma once

#include <QString>
#include <QStringList>

namespace test_support {

struct OpzioniIstantanea {
    QString salta;              // leave out entries whose relative name starts with this
    bool anche_cartelle = true; // list folders too, not only what is in them
};

QStringList istantanea(const QString& cartella, const OpzioniIstantanea& opzioni = {});

} // namespace test_support
