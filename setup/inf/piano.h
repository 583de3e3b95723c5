// SPDX-License-Identifier: GPL-3.0-or-later
// What one install section of an INF asks for, worked out and checked in full
// before anything is written: every name, folder, source file and target.
//
// Directives of the section (several on a line or on several lines):
//   CopyFiles=list[,list]     copy the files of each list into its destination
//   DelFiles=list[,list]      delete them again (RemoveFiles= is the same)
//   AddMenuEntry=entry[,...]  write a menu entry; DelMenuEntry= removes it
// A file list holds lines "name" or "name,source name"; [DestinationDirs]
// gives each list (or DefaultDestDir) "dirid[,subfolder]". Supported dirids:
// 16422 (programs), 16410 (shared data) and 16386 (menu), placed as luoghi.h says. A menu entry is
// a section of keys:
//   Name=       the name shown in the menu (required)
//   Exec=       the program, a file of one of the section's lists (required)
//   Icon=       a square PNG of those lists, also put in the hicolor icon theme
//   Comment=    the tooltip
//   Categories= freedesktop menu categories, e.g. Education;
//   Command=    a command of that name on PATH, linked to the program
// and its [DestinationDirs] line must use dirid 16386. The entry is written
// as <Exec name>.desktop.
//
// Refused, with nothing written: a name with a folder in it, ".." or an
// absolute path; a source that is missing, a symbolic link or not a plain
// file; a symbolic link or a non-folder among the folders below an install
// location, or a link or folder where a file is to go; a file where one is to
// go that the record (registro.h) does not list, be it the user's own or
// another INF's.
//
// Only what the record lists is deleted. A file to delete that it does not
// list is kept, with a note: an uninstall still finishes when files are
// already gone or were never installed. A folder is removed only when the
// record lists it as made by this INF, nothing of the INF's is left in it and
// it is empty. A command is not made, with a note, where a file it did not
// make is in the way or where a command of that name is already on the PATH
// (other than the same INF's system-wide one): it would hide it.
#pragma once

#include "setup/inf/luoghi.h"
#include "setup/inf/registro.h"
#include "setup/inf/testo_inf.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::inf {

struct FileDaScrivere {
    std::filesystem::path destinazione;
    std::filesystem::path sorgente; // empty: `contenuto` is written instead
    std::string contenuto;
    bool eseguibile = false; // 0755, otherwise 0644
};

struct Collegamento {
    std::filesystem::path percorso;
    std::filesystem::path bersaglio;
};

struct Piano {
    std::vector<std::filesystem::path> cartelle; // made (with their parents) when missing
    std::vector<FileDaScrivere> file;
    std::vector<Collegamento> collegamenti;
    std::vector<std::filesystem::path> da_togliere;
    std::vector<std::filesystem::path> dimenticati;    // left out of the record, not deleted
    std::vector<std::filesystem::path> cartelle_vuote; // recorded ones, removed if empty
    std::vector<std::string> avvisi;                   // worth telling, not worth stopping for
    std::vector<std::filesystem::path> cartelle_liste; // where the lists go, for the summary
    std::vector<std::filesystem::path> voci_menu;
    Registro registro; // as it was before: esegui keeps it up to date
};

// What is there already, and whose it is.
struct Presenti {
    Registro registro;                                // what this INF installed earlier
    std::vector<std::filesystem::path> cerca_comandi; // PATH's folders
    // What this INF installed system-wide, seen from a user's install: its
    // command on the PATH is the same program, which the user's may hide.
    std::set<std::filesystem::path> nel_sistema;
};

// `sorgenti` is the folder the source files are read from (the INF's own).
Piano pianifica(const TestoInf& inf, std::string_view sezione,
                const std::filesystem::path& sorgenti, const Luoghi& luoghi,
                const Presenti& presenti = {});

} // namespace contavoce::inf
