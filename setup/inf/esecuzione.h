// SPDX-License-Identifier: GPL-3.0-or-later
// Carrying out a plan so that a failure leaves no half-written program:
//   1. check that every folder can be written and has room for the files;
//   2. write each file under a hidden temporary name in its own folder;
//   3. only when all are written, rename them into place;
//   4. delete what the plan deletes, then the folders of the record it left
//      empty;
//   5. write the record (registro.h): what it put in place and the folders it
//      made for it, less what it deleted. After a failure in 3 or 4 it still
//      lists what is in place.
// Folders it makes are 0755, programs 0755 and other files 0644, whatever the
// umask: a system-wide install is for every user.
// A failure in 1 or 2 (a full or read-only disk, an interruption) undoes 2 and
// the folders made for it: the user's files, old copies included, stay as
// they were. Ctrl+C and the like are held back while it works and take effect
// after the undoing.
#pragma once

#include "setup/inf/piano.h"

#include <cstddef>
#include <string>
#include <vector>

namespace contavoce::inf {

struct Esito {
    std::size_t scritti = 0;
    std::size_t tolti = 0;
    std::vector<std::string> note; // folders kept because something else is in them
};

// Throws ErroreInf when the work could not be done.
Esito esegui(const Piano& piano);

} // namespace contavoce::inf
