// SPDX-License-Identifier: GPL-3.0-or-later
// Pitches, durations and chords: the vocabulary inside a bar.
#include "tools/tune/lexing.h"
#include "tools/tune/score.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace contavoce::tune {

namespace {

const std::map<std::string, std::vector<int>, std::less<>> chord_qualities = {
    {"", {0, 4, 7}},          {"m", {0, 3, 7}},      {"7", {0, 4, 7, 10}},
    {"maj7", {0, 4, 7, 11}},  {"m7", {0, 3, 7, 10}}, {"6", {0, 4, 7, 9}},
    {"m6", {0, 3, 7, 9}},     {"sus2", {0, 2, 7}},   {"sus4", {0, 5, 7}},
    {"7sus4", {0, 5, 7, 10}}, {"dim", {0, 3, 6}},    {"dim7", {0, 3, 6, 9}},
    {"m7b5", {0, 3, 6, 10}},  {"aug", {0, 4, 8}},    {"add9", {0, 4, 7, 2}}};

} // namespace

int parse_pitch(std::string_view text) {
    static constexpr int steps[] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (text.size() < 2 || text[0] < 'A' || text[0] > 'G')
        return -1;
    int key = steps[text[0] - 'A'];
    std::size_t i = 1;
    if (text[i] == '#' || text[i] == 'b') {
        key += text[i] == '#' ? 1 : -1;
        ++i;
    }
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '9')
        return -1;
    key += (text[i] - '0' + 1) * 12;
    return key >= 0 && key <= 127 ? key : -1;
}

int parse_duration(std::string_view text) {
    if (text.empty() || text[0] != ':')
        return -1;
    text.remove_prefix(1);
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    const auto value = detail::to_int(text.substr(0, digits));
    if (!value ||
        (*value != 1 && *value != 2 && *value != 4 && *value != 8 && *value != 16 && *value != 32))
        return -1;
    int base = ticks_per_quarter * 4 / *value, ticks = base;
    std::string_view rest = text.substr(digits);
    for (int dots = 0; !rest.empty() && rest[0] == '.'; ++dots) {
        if (dots == 2 || base % 2 != 0)
            return -1;
        base /= 2;
        ticks += base;
        rest.remove_prefix(1);
    }
    if (rest == "t") {
        if (ticks * 2 % 3 != 0)
            return -1;
        return ticks * 2 / 3;
    }
    return rest.empty() ? ticks : -1;
}

std::vector<int> chord_pitch_classes(std::string_view symbol) {
    const int root = symbol.empty() ? -1 : parse_pitch(std::string(symbol.substr(0, 1)) + "4");
    if (root < 0)
        return {};
    int pc = root % 12;
    symbol.remove_prefix(1);
    if (!symbol.empty() && (symbol[0] == '#' || symbol[0] == 'b')) {
        pc = (pc + (symbol[0] == '#' ? 1 : 11)) % 12;
        symbol.remove_prefix(1);
    }
    const auto q = chord_qualities.find(symbol);
    if (q == chord_qualities.end())
        return {};
    std::vector<int> out;
    for (int interval : q->second)
        out.push_back((pc + interval) % 12);
    return out;
}

std::vector<int> voice_chord(const std::vector<int>& pitch_classes, int around) {
    std::vector<int> best;
    double best_distance = 1e9;
    const std::size_t n = pitch_classes.size();
    for (int low = std::max(0, around - 24); low <= std::min(127, around + 12); ++low)
        for (std::size_t inv = 0; inv < n; ++inv) {
            if (low % 12 != pitch_classes[inv])
                continue;
            std::vector<int> keys{low};
            for (std::size_t j = 1; j < n; ++j) {
                int k = keys.back() + 1;
                while (k % 12 != pitch_classes[(inv + j) % n])
                    ++k;
                keys.push_back(k);
            }
            if (keys.back() > 127)
                continue;
            double mean = 0;
            for (int k : keys)
                mean += k;
            mean /= double(n);
            const double d = std::abs(mean - around);
            if (d < best_distance) {
                best_distance = d;
                best = keys;
            }
        }
    return best;
}

} // namespace contavoce::tune
