// SPDX-License-Identifier: GPL-3.0-or-later
// Command lines and the program lookup, the way the launcher's Windows
// original has them: it builds whole command lines, and the outside programs
// are found where SearchPath and CreateProcess would find them.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <vector>

namespace contavoce::setup {

// The arguments of a command line, split by Windows' rules: blanks separate,
// a part between double quotes may hold blanks, `""` inside quotes and `\"`
// are a quote, backslashes before a quote come in pairs. The program name,
// the first argument, ends at a blank or a closing quote and has no escapes.
QStringList dividi_riga_di_comando(const QString& riga);

// `argomento` in double quotes, escaped so that dividi_riga_di_comando gives
// it back whole (a Linux name may hold quotes or end in a backslash).
QString tra_virgolette(const QString& argomento);

// The full path of the first file named `nome` in `cartelle`, in order; a name
// with a folder in it is only looked for where it points. Only plain files
// match (links followed): a folder, a FIFO or a device is no program and no
// cabinet.
std::optional<std::filesystem::path>
cerca_percorso(const std::filesystem::path& nome,
               const std::vector<std::filesystem::path>& cartelle);

} // namespace contavoce::setup
