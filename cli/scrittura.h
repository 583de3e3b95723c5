// SPDX-License-Identifier: GPL-3.0-or-later
// The files contavoce-cli writes: whole, or not at all.
#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <span>
#include <string>

namespace contavoce::cli {

// A file written to a temporary file beside it and put in its place only when
// complete, so that a full disk or an error leaves the old file, or none, at
// the name, never half of one. A name that is not a plain file (a device such
// as /dev/stdout, a pipe) is written to directly, every write checked.
class FileScritto {
public:
    explicit FileScritto(const std::string& percorso);
    FileScritto(const FileScritto&) = delete;
    FileScritto& operator=(const FileScritto&) = delete;

    // False when it cannot be opened; errore() says why.
    bool apri();
    // Writes all of `byte`; false when it cannot, and errore() says why.
    bool scrivi(std::span<const char> byte);
    // Puts the file in its place once all is on the disk; false when it
    // cannot (nothing then takes the place of what was at the name) and
    // errore() says why. Without it the temporary file goes with the object.
    bool completa();
    QString errore() const;

private:
    QFileDevice& file();

    QSaveFile salvato_;
    QFile diretto_;
    bool diretto_scelto_ = false;
    QString errore_; // one the file itself does not keep
};

} // namespace contavoce::cli
