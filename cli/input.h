// SPDX-License-Identifier: GPL-3.0-or-later
// Checking the numbers a user hands to contavoce-cli.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace contavoce::cli {

// A number as the user wrote it, checked: either the digits with leading
// zeros removed (empty for an all-zero input) or why it was refused.
struct NumeroLetto {
    std::string cifre;
    std::optional<std::string> errore;
};

// Accepts 1 or more digits with at most 12 significant ones; blanks and a
// trailing carriage return (files written on Windows) around them are ignored.
NumeroLetto leggi_numero(std::string_view testo);

} // namespace contavoce::cli
