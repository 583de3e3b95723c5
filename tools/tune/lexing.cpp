// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tune/lexing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace contavoce::tune::detail {

bool is_keyword(std::string_view word) {
    static constexpr std::string_view keywords[] = {"title", "tempo",   "time",    "key",
                                                    "track", "pattern", "section", "comp",
                                                    "form",  "from",    "at"};
    return std::find(std::begin(keywords), std::end(keywords), word) != std::end(keywords);
}

std::string trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

std::string strip_comment(std::string_view s) {
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"')
            quoted = !quoted;
        else if (s[i] == '#' && !quoted && (i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t'))
            return std::string(s.substr(0, i));
    }
    return std::string(s);
}

std::optional<std::vector<std::string>> words(std::string_view s) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (char c : s) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r')) {
            if (any)
                out.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += c;
            any = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (any)
        out.push_back(cur);
    return out;
}

std::optional<int> to_int(std::string_view s) {
    int v = 0;
    const auto* end = s.data() + s.size();
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), end, v);
    if (s.empty() || r.ec != std::errc() || r.ptr != end)
        return std::nullopt;
    return v;
}

std::optional<double> to_number(std::string_view s) {
    const std::string z(s);
    char* end = nullptr;
    const double v = std::strtod(z.c_str(), &end);
    if (z.empty() || end != z.c_str() + z.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool valid_name(std::string_view s) {
    if (s.empty())
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '\'';
    });
}

} // namespace contavoce::tune::detail
