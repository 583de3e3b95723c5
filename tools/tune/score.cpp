// SPDX-License-Identifier: GPL-3.0-or-later
// The whole score, line by line: each line goes to the part of the parser that
// reads it, and the form is resolved once every section is known.
#include "tools/tune/score.h"

#include "tools/tune/lexing.h"
#include "tools/tune/parser.h"

namespace contavoce::tune {

namespace detail {

Parsed Parser::run(std::string_view text) {
    int number = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        ++number;
        const std::string line = trim(strip_comment(text.substr(pos, end - pos)));
        pos = end + 1;
        if (line.empty())
            continue;
        last_line_ = number;
        const auto first_end = line.find_first_of(" \t|");
        const std::string first = line.substr(0, first_end);
        if (!is_keyword(first) && open_section_) {
            voice_line(number, line);
            continue;
        }
        const auto w = words(line);
        if (!w) {
            error(number, "unterminated quote");
            continue;
        }
        if (!is_keyword(first) && !open_pattern_.empty()) {
            pattern_row(number, *w);
            continue;
        }
        top_level(number, *w);
    }
    if (open_section_)
        finish_section();
    resolve_form();
    if (score_.tracks.empty())
        error(0, "no track declared");
    return {std::move(score_), std::move(errors_)};
}

void Parser::resolve_form() {
    if (form_line_ == 0) {
        error(last_line_, "no form line: say which sections play, in order");
        return;
    }
    if (form_words_.empty())
        error(form_line_, "form lists no section");
    for (const std::string& name : form_words_) {
        const int i = section_index(name);
        if (i < 0)
            error(form_line_, "form names unknown section '" + name + "'");
        else
            score_.form.push_back(i);
    }
}

} // namespace detail

Parsed parse_score(std::string_view text) {
    return detail::Parser{}.run(text);
}

} // namespace contavoce::tune
