// SPDX-License-Identifier: GPL-3.0-or-later
// Messages to the child. `Avvisi` is the seam: the window answers them with
// modal message boxes, tests and the command line with what suits them.
#pragma once

#include <string>

namespace contavoce::platform {

class Avvisi {
public:
    virtual ~Avvisi() = default;
    // A modal warning (exclamation icon, one OK button); returns when closed.
    virtual void avviso(const std::string& testo, const std::string& titolo) = 0;
    // A modal message with one OK button and the program's name as its title.
    virtual void messaggio(const std::string& testo) = 0;
};

} // namespace contavoce::platform
