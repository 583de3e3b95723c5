// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scrittura.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace contavoce::cli {

FileScritto::FileScritto(const std::string& percorso)
    : salvato_(QString::fromStdString(percorso)), diretto_(QString::fromStdString(percorso)) {
    // A device or a pipe cannot be replaced by a file: renaming one over
    // /dev/stdout would take it away from everyone.
    std::error_code ec;
    const auto stato = std::filesystem::status(percorso, ec);
    diretto_scelto_ = !ec && (std::filesystem::is_character_file(stato) ||
                              std::filesystem::is_block_file(stato) ||
                              std::filesystem::is_fifo(stato) || std::filesystem::is_socket(stato));
}

QFileDevice& FileScritto::file() {
    if (diretto_scelto_)
        return diretto_;
    return salvato_;
}

bool FileScritto::apri() {
    // Unbuffered: each write reaches the file at once and its error is kept,
    // where a buffer's last flush would be lost in QSaveFile::commit().
    return file().open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool FileScritto::scrivi(std::span<const char> byte) {
    // A short write (a disk just filled up) is no error yet: the next one tells why.
    const char* dati = byte.data();
    auto resto = qint64(byte.size());
    while (resto > 0) {
        const qint64 scritti = file().write(dati, resto);
        if (scritti <= 0)
            return false;
        dati += scritti;
        resto -= scritti;
    }
    return true;
}

bool FileScritto::completa() {
    // The disk may refuse the data only now (a network file system, a quota);
    // QSaveFile syncs too, but ignores the answer. A device need not sync.
    if (fsync(file().handle()) != 0 && errno != EINVAL && errno != EROFS) {
        errore_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!diretto_scelto_)
        return salvato_.commit();
    diretto_.close();
    return diretto_.error() == QFileDevice::NoError;
}

QString FileScritto::errore() const {
    if (!errore_.isEmpty())
        return errore_;
    return diretto_scelto_ ? diretto_.errorString() : salvato_.errorString();
}

} // namespace contavoce::cli
