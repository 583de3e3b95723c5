// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli lezione: the lesson file a class opens in the practice window.
#pragma once

#include <string_view>
#include <vector>

namespace contavoce::cli {

// lezione --classe C --livello N --tipi T[,T...] [--domande N] [--seme N]
// [--titolo TEXT] [--grafia G] [--sovrascrivi] FILE. The exit status.
int comando_lezione(const std::vector<std::string_view>& args);

} // namespace contavoce::cli
