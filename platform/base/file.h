// SPDX-License-Identifier: GPL-3.0-or-later
// Whole files read into memory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace contavoce::platform {

// The file's bytes; nothing when it cannot be opened, with errno telling why.
// A read that fails after the open (a folder, a disk error) throws
// std::ios_base::failure from the stream buffer.
std::optional<std::string> contenuto_file(const std::filesystem::path& percorso);

// At most `massimo` bytes of a plain file; nothing for a larger file, for one
// that cannot be read and for anything but a plain file. It is opened without
// blocking and checked once open, so that a FIFO or a device under the name
// can neither hang the reader nor feed it without end.
std::optional<std::string> contenuto_file_limitato(const std::filesystem::path& percorso,
                                                   std::size_t massimo);

// The folder of the running executable (where its clips, tune and sound module
// lie), through the links that put it on the PATH; "." if it cannot be told.
std::string cartella_programma();

} // namespace contavoce::platform
