// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-cli registro: the children's progress for the teacher, as a
// table, a spreadsheet's CSV or a PDF report; and the removal of a child.
#pragma once

#include <string_view>
#include <vector>

namespace contavoce::cli {

class Stampante;

// Whether the arguments ask for the PDF, so that main loads the printer first.
bool registro_vuole_pdf(const std::vector<std::string_view>& args);

// registro [--cartella DIR] [--csv FILE] [--pdf FILE] | --cancella NOME |
// --cancella-tutto [--si]; `stampante` for --pdf (nullptr when its module
// could not be loaded: the reason is already out). The exit status.
int comando_registro(const std::vector<std::string_view>& args, Stampante* stampante);

} // namespace contavoce::cli
