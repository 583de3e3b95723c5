// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli scheda: a printable worksheet, with its dictation on request.
#pragma once

#include <string_view>
#include <vector>

namespace contavoce::cli {

class Stampante;

// scheda [--da N] [--a N] [--quanti N] [--seme N] [--titolo TEXT] [--grafia G]
// [--audio DIR] FILE.pdf, printed by `stampante` (nullptr when its module could not be
// loaded; the reason is already out). The exit status.
int comando_scheda(const std::vector<std::string_view>& args, Stampante* stampante);

} // namespace contavoce::cli
