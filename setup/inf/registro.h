// SPDX-License-Identifier: GPL-3.0-or-later
// The record of what installa-inf put in place from one INF, as dpkg keeps one
// per package: a file it did not install is never replaced nor deleted.
//
//   per user      $XDG_DATA_HOME/installa-inf/<inf name>.list
//   system-wide   /var/lib/installa-inf/<inf name>.list
//
// The INF's file name (in lower case, as Windows compares names) is the key,
// not its folder: the setup launcher unpacks the cabinet into a new temporary
// folder every time. The file holds a comment line, then one absolute path a
// line: the files, icons, menu entries and command links it put in place, and,
// each with a "/" at the end (which no file's path has), the folders it made
// for them. A backslash or a line break in a path is written as \\ or \n. It is
// written whole under a temporary name and renamed into place, and removed
// when nothing is left.
//
// Only a folder listed here is ever removed, and only when empty: a folder
// that was there before belongs to the system or the user, even when the
// install put files in it. A record of an older installa-inf lists no folder;
// those it made are then left in place, since nothing tells them from folders
// that were there before.
#pragma once

#include "setup/inf/luoghi.h"

#include <filesystem>
#include <set>
#include <string>

namespace contavoce::inf {

struct Registro {
    std::filesystem::path percorso; // empty: nothing is kept (a plan worked out on its own)
    std::set<std::filesystem::path> file;
    std::set<std::filesystem::path> cartelle; // made for those files

    bool possiede(const std::filesystem::path& p) const {
        return file.contains(p.lexically_normal());
    }
};

inline constexpr const char* cartella_registri_sistema = "/var/lib/installa-inf";

std::filesystem::path cartella_registri(const Luoghi& luoghi);
// The record of the INF `inf` in the folder of records `cartella`.
std::filesystem::path percorso_registro(const std::filesystem::path& cartella,
                                        const std::filesystem::path& inf);

// A missing record is an empty one. Throws ErroreInf for one that cannot be
// read or is damaged: guessing would risk someone else's files.
Registro leggi_registro(const std::filesystem::path& percorso);

std::string testo_registro(const Registro& registro);

// Writes the record in place, or removes it (and its folder, if empty) when it
// lists neither file nor folder. The folder must exist when there is something
// to write.
void scrivi_registro(const Registro& registro);

} // namespace contavoce::inf
