// SPDX-License-Identifier: GPL-3.0-or-later
// Where an installation lands on Linux, in place of the Windows folders an INF
// names by number (dirid).
//
//                      per user (not root)            system-wide (root)
//   16422 programs     $XDG_DATA_HOME                 /opt
//   16386 menu         $XDG_DATA_HOME/applications    /usr/local/share/applications
//   16410 shared data  $XDG_DATA_HOME                 /usr/local/share
//   icon theme         $XDG_DATA_HOME/icons           /usr/local/share/icons
//   commands           ~/.local/bin                   /usr/local/bin
//
// $XDG_DATA_HOME defaults to ~/.local/share (a relative value is ignored, as
// the XDG base directory rules say). CONTAVOCE_INSTALL_ROOT=user or =system
// picks a layout whoever runs the installer; without it root gets the system
// layout and everybody else their own.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace contavoce::inf {

inline constexpr int dirid_programmi = 16422; // Program Files
inline constexpr int dirid_menu = 16386;      // the Start menu's Programs
// Application Data: where the desktop looks for what a program shares with it,
// such as icon sizes (icons/hicolor/...) and manual pages (man/man1).
inline constexpr int dirid_dati = 16410;

struct Luoghi {
    bool per_utente = true;
    std::filesystem::path programmi;
    std::filesystem::path menu;
    std::filesystem::path icone;
    std::filesystem::path comandi;
    std::filesystem::path dati;
};

using LeggiAmbiente = std::function<std::optional<std::string>(const char* nome)>;

// Throws ErroreInf for an unknown CONTAVOCE_INSTALL_ROOT or, per user, a
// missing or relative HOME.
Luoghi luoghi_da_ambiente(const LeggiAmbiente& ambiente, bool root);

// Where a shell looks for commands: the absolute folders of PATH, then the
// usual system ones, which a login shell has even when the installer's PATH
// is short.
std::vector<std::filesystem::path> cartelle_comandi(const LeggiAmbiente& ambiente);

} // namespace contavoce::inf
