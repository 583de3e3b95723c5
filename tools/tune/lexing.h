// SPDX-License-Identifier: GPL-3.0-or-later
// The words of a score line: comments, quoting, numbers and names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::tune::detail {

// Words that start a statement (or join one) and so can never be a track id.
bool is_keyword(std::string_view word);

std::string trim(std::string_view s);

// Drops a comment: '#' starts one only at the start of a word, so F#4 stays.
std::string strip_comment(std::string_view s);

// Splits on blanks; a "quoted run" stays one word, without its quotes.
// Nothing when a quote is left open.
std::optional<std::vector<std::string>> words(std::string_view s);

// A whole decimal integer, an optional '+' first.
std::optional<int> to_int(std::string_view s);

// A whole finite number.
std::optional<double> to_number(std::string_view s);

// Letters, digits, '_', '-' and '\''; what tracks, patterns and sections may be called.
bool valid_name(std::string_view s);

} // namespace contavoce::tune::detail
