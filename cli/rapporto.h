// SPDX-License-Identifier: GPL-3.0-or-later
// The register's report as the PDF draws it: a page (or more) per class year,
// a bar per child and kind, the numbers missed most often. Plain data, so
// that the printer module needs nothing of the register's.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace contavoce::cli {

struct BarraRapporto {
    std::string bambino;
    std::string tipo; // the kind's name on screen: "Ascolta e scrivi"
    std::size_t giuste = 0, totale = 0;
};

struct PaginaRapporto {
    std::string classe; // "terza"
    std::vector<BarraRapporto> barre;
    std::vector<std::pair<std::string, std::size_t>> difficili; // number, times missed
};

struct Rapporto {
    std::string data; // when it was made, as shown
    std::vector<PaginaRapporto> pagine;
};

} // namespace contavoce::cli
