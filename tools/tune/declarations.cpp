// SPDX-License-Identifier: GPL-3.0-or-later
// Top-level statements: the score's header, tracks, accompaniment and drum
// patterns, and the form.
#include "tools/tune/lexing.h"
#include "tools/tune/parser.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace contavoce::tune::detail {

namespace {

// General MIDI percussion keys by the names a drum pattern row uses.
const std::map<std::string, int, std::less<>> drum_keys = {
    {"kick", 36},    {"kick2", 35},     {"stick", 37},   {"snare", 38},  {"clap", 39},
    {"hat", 42},     {"pedal", 44},     {"ohat", 46},    {"tomlo", 45},  {"tommid", 47},
    {"tomhi", 50},   {"crash", 49},     {"ride", 51},    {"bell", 53},   {"tamb", 54},
    {"cowbell", 56}, {"cabasa", 69},    {"shaker", 70},  {"claves", 75}, {"woodhi", 76},
    {"woodlo", 77},  {"mtriangle", 80}, {"triangle", 81}};

// Key signatures: name -> number of sharps (negative: flats).
const std::map<std::string, int, std::less<>> major_keys = {
    {"C", 0},  {"G", 1},   {"D", 2},   {"A", 3},   {"E", 4},   {"B", 5},   {"F#", 6}, {"C#", 7},
    {"F", -1}, {"Bb", -2}, {"Eb", -3}, {"Ab", -4}, {"Db", -5}, {"Gb", -6}, {"Cb", -7}};
const std::map<std::string, int, std::less<>> minor_keys = {
    {"Am", 0},  {"Em", 1},  {"Bm", 2},   {"F#m", 3},  {"C#m", 4},
    {"G#m", 5}, {"D#m", 6}, {"A#m", 7},  {"Dm", -1},  {"Gm", -2},
    {"Cm", -3}, {"Fm", -4}, {"Bbm", -5}, {"Ebm", -6}, {"Abm", -7}};

} // namespace

void Parser::top_level(int line, const std::vector<std::string>& w) {
    const std::string& k = w[0];
    if (k == "tempo" && open_section_) {
        section_tempo(line, w);
        return;
    }
    open_pattern_.clear();
    const Statement run = statement(k);
    if (run == nullptr) {
        error(line, "unknown word '" + k + "'" +
                        (open_section_ ? "" : " (not a keyword, and no section is open)"));
        return;
    }
    if (open_section_)
        finish_section();
    (this->*run)(line, w);
}

// The one list of statements a line may start with; a `tempo` inside a section
// is its own statement, handled before this.
Parser::Statement Parser::statement(std::string_view keyword) {
    static constexpr std::pair<std::string_view, Statement> statements[] = {
        {"title", &Parser::set_title},       {"tempo", &Parser::set_tempo},
        {"time", &Parser::set_time},         {"key", &Parser::set_key},
        {"track", &Parser::declare_track},   {"comp", &Parser::declare_comp},
        {"pattern", &Parser::start_pattern}, {"section", &Parser::start_section},
        {"form", &Parser::set_form}};
    const auto s = std::find_if(std::begin(statements), std::end(statements),
                                [&](const auto& x) { return x.first == keyword; });
    return s == std::end(statements) ? nullptr : s->second;
}

void Parser::set_title(int line, const std::vector<std::string>& w) {
    if (w.size() != 2)
        error(line, "title wants one (quoted) text");
    else
        score_.title = w[1];
}

void Parser::set_tempo(int line, const std::vector<std::string>& w) {
    const auto bpm = w.size() == 2 ? to_number(w[1]) : std::nullopt;
    if (!bpm || *bpm < 20 || *bpm > 300)
        error(line, "tempo wants beats per minute between 20 and 300");
    else
        score_.bpm = *bpm;
}

void Parser::set_time(int line, const std::vector<std::string>& w) {
    const auto slash = w.size() == 2 ? w[1].find('/') : std::string::npos;
    const auto n = slash == std::string::npos ? std::nullopt : to_int(w[1].substr(0, slash));
    const auto d = slash == std::string::npos ? std::nullopt : to_int(w[1].substr(slash + 1));
    if (!n || !d || *n < 1 || *n > 16 || (*d != 2 && *d != 4 && *d != 8))
        error(line, "time wants a signature like 4/4, 3/4 or 6/8");
    else if (!score_.sections.empty())
        error(line, "time must come before the first section");
    else {
        score_.beats = *n;
        score_.beat_unit = *d;
    }
}

void Parser::set_key(int line, const std::vector<std::string>& w) {
    const auto major = w.size() == 2 ? major_keys.find(w[1]) : major_keys.end();
    const auto minor = w.size() == 2 ? minor_keys.find(w[1]) : minor_keys.end();
    if (major != major_keys.end()) {
        score_.has_key = true;
        score_.key_sharps = major->second;
        score_.key_minor = false;
    } else if (minor != minor_keys.end()) {
        score_.has_key = true;
        score_.key_sharps = minor->second;
        score_.key_minor = true;
    } else {
        error(line, "key wants a key name like G, Bb or Em");
    }
}

void Parser::declare_track(int line, const std::vector<std::string>& w) {
    if (w.size() < 3) {
        error(line, "track wants an id, a kind (notes, chords, drums) and options");
        return;
    }
    Track t;
    t.id = w[1];
    if (!valid_name(t.id) || is_keyword(t.id)) {
        error(line, "'" + t.id + "' cannot name a track");
        return;
    }
    if (track_index(t.id) >= 0) {
        error(line, "track '" + t.id + "' declared twice");
        return;
    }
    if (w[2] == "notes")
        t.kind = Kind::notes;
    else if (w[2] == "chords")
        t.kind = Kind::chords;
    else if (w[2] == "drums")
        t.kind = Kind::drums;
    else {
        error(line, "unknown track kind '" + w[2] + "' (notes, chords or drums)");
        return;
    }
    if (t.kind == Kind::drums)
        t.channel = 10;
    t.name = t.id;
    bool ok = true;
    for (std::size_t i = 3; i < w.size(); ++i) {
        const auto eq = w[i].find('=');
        const std::string opt = w[i].substr(0, eq);
        const std::string val = eq == std::string::npos ? "" : w[i].substr(eq + 1);
        if (eq == std::string::npos) {
            error(line, "track option '" + w[i] + "' wants name=value");
            ok = false;
            continue;
        }
        if (opt == "name") {
            t.name = val;
            continue;
        }
        if (opt == "around") {
            const int key = parse_pitch(val);
            if (key < 0) {
                error(line, "around wants a note name, not '" + val + "'");
                ok = false;
            }
            t.around = key;
            continue;
        }
        struct Range {
            const char* name;
            int* target;
            int low, high;
        };
        const Range ranges[] = {{"channel", &t.channel, 1, 16}, {"program", &t.program, 1, 128},
                                {"volume", &t.volume, 0, 127},  {"pan", &t.pan, 0, 127},
                                {"reverb", &t.reverb, 0, 127},  {"vel", &t.velocity, 1, 127},
                                {"gate", &t.gate, 1, 100}};
        const auto r = std::find_if(std::begin(ranges), std::end(ranges),
                                    [&](const Range& x) { return opt == x.name; });
        if (r == std::end(ranges)) {
            error(line, "unknown track option '" + opt + "'");
            ok = false;
            continue;
        }
        const auto v = to_int(val);
        if (!v || *v < r->low || *v > r->high) {
            error(line, opt + " wants a number from " + std::to_string(r->low) + " to " +
                            std::to_string(r->high));
            ok = false;
            continue;
        }
        *r->target = *v;
    }
    if (t.kind == Kind::drums && t.channel != 10) {
        error(line, "drums play on channel 10");
        ok = false;
    }
    if (t.kind != Kind::drums && t.channel == 10) {
        error(line, "channel 10 is for drums only");
        ok = false;
    }
    if (t.kind == Kind::drums && t.program != 0) {
        error(line, "drums take no program");
        ok = false;
    }
    for (const Track& other : score_.tracks)
        if (other.channel == t.channel) {
            error(line, "channel " + std::to_string(t.channel) + " is already used by track '" +
                            other.id + "'");
            ok = false;
        }
    if (!score_.sections.empty()) {
        error(line, "tracks must be declared before the first section");
        ok = false;
    }
    if (ok)
        score_.tracks.push_back(t);
}

void Parser::declare_comp(int line, const std::vector<std::string>& w) {
    std::string cells;
    for (std::size_t i = 2; i < w.size(); ++i)
        cells += w[i];
    if (w.size() < 3 || !valid_name(w[1])) {
        error(line, "comp wants a name and its cells");
    } else if (cells.find_first_not_of("Xxo-.") != std::string::npos) {
        error(line, "comp cells are X x o (strike), - (hold) or . (silence)");
    } else if (cells[0] == '-') {
        error(line, "comp cells cannot start with a hold");
    } else if (score_.bar_ticks() % int(cells.size()) != 0) {
        error(line, "comp has " + std::to_string(cells.size()) +
                        " cells, which do not divide the bar evenly");
    } else {
        comps_[w[1]] = {int(cells.size()), cells};
    }
}

void Parser::start_pattern(int line, const std::vector<std::string>& w) {
    if (w.size() != 2 || !valid_name(w[1]) || w[1] == "r" || w[1] == "%") {
        error(line, "pattern wants one name");
        return;
    }
    if (patterns_.count(w[1]) != 0)
        error(line, "pattern '" + w[1] + "' defined twice");
    patterns_[w[1]] = {line, 0, {}};
    open_pattern_ = w[1];
}

void Parser::pattern_row(int line, const std::vector<std::string>& w) {
    DrumPattern& p = patterns_[open_pattern_];
    const auto drum = drum_keys.find(w[0]);
    if (drum == drum_keys.end()) {
        error(line, "unknown drum '" + w[0] + "'");
        return;
    }
    std::string cells;
    for (std::size_t i = 1; i < w.size(); ++i)
        cells += w[i];
    if (cells.empty() || cells.find_first_not_of("Xxo.") != std::string::npos) {
        error(line, "drum cells are X x o (hit) or . (silence)");
        return;
    }
    if (p.steps == 0) {
        if (score_.bar_ticks() % int(cells.size()) != 0) {
            error(line, std::to_string(cells.size()) + " cells do not divide the bar evenly");
            return;
        }
        p.steps = int(cells.size());
    } else if (int(cells.size()) != p.steps) {
        error(line, "row has " + std::to_string(cells.size()) + " cells, the pattern's first row " +
                        std::to_string(p.steps));
        return;
    }
    p.rows.emplace_back(drum->second, cells);
}

void Parser::set_form(int line, const std::vector<std::string>& w) {
    if (form_line_ != 0)
        error(line, "form given twice");
    form_line_ = line;
    form_words_.assign(w.begin() + 1, w.end());
}

} // namespace contavoce::tune::detail
