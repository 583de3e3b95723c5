// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/resources.h"

#include <QDir>
#include <QResource>

namespace contavoce::platform {
namespace {

// Resources sit at ":/<type>/<NAME>.<ext>". Qt's lookup is case-sensitive, so
// the folder and the file are matched by hand; there are only a few dozen.
QString trova(const QString& cartella, const QString& nome, bool per_nome_base) {
    const QDir dir(cartella);
    for (const QString& voce : dir.entryList()) {
        const QString chiave = per_nome_base ? voce.section('.', 0, 0) : voce;
        if (chiave.compare(nome, Qt::CaseInsensitive) == 0)
            return dir.filePath(voce);
    }
    return {};
}

} // namespace

std::optional<QByteArray> risorsa(std::string_view nome, std::string_view tipo) {
    const auto q = [](std::string_view s) {
        return QString::fromUtf8(s.data(), qsizetype(s.size()));
    };
    const QString cartella = trova(QStringLiteral(":/"), q(tipo), false);
    if (cartella.isEmpty())
        return std::nullopt;
    const QString percorso = trova(cartella, q(nome), true);
    if (percorso.isEmpty())
        return std::nullopt;
    const QResource r(percorso);
    if (!r.isValid() || r.compressionAlgorithm() != QResource::NoCompression)
        return std::nullopt;
    return QByteArray::fromRawData(reinterpret_cast<const char*>(r.data()), qsizetype(r.size()));
}

} // namespace contavoce::platform
