// SPDX-License-Identifier: GPL-3.0-or-later
// A program's menu entry as a freedesktop desktop entry (.desktop file), the
// Linux counterpart of a Start-menu shortcut.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace contavoce::inf {

struct VoceMenu {
    std::string nome;
    std::string commento;
    std::string categorie; // "Education;"
    std::filesystem::path eseguibile;
    std::filesystem::path icona; // empty: none
};

// The whole file, UTF-8; the program starts in its own folder.
std::string testo_desktop(const VoceMenu& voce);

// A value escaped as the desktop entry format wants (\\ \n \t \r, and \s for a
// leading blank).
std::string valore_desktop(std::string_view testo);

// One argument of Exec=, quoted when it holds a reserved character and with %
// doubled, before valore_desktop's escaping.
std::string argomento_exec(std::string_view argomento);

// The size of a square PNG icon ("48x48" folder of the icon theme); throws
// ErroreInf for anything else.
int lato_icona_png(const std::filesystem::path& png);

} // namespace contavoce::inf
