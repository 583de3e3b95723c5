#include "tools/tune/score.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace contavoce::tune {

namespace {

const std::set<std::string, std::less<>> keywords = {
    "title", "tempo", "time", "key", "track", "pattern", "section", "comp", "form", "from", "at"};

// General MIDI percussion keys by the names a drum pattern row uses.
const std::map<std::string, int, std::less<>> drum_keys = {
    {"kick", 36},    {"kick2", 35},     {"stick", 37},   {"snare", 38},  {"clap", 39},
    {"hat", 42},     {"pedal", 44},     {"ohat", 46},    {"tomlo", 45},  {"tommid", 47},
    {"tomhi", 50},   {"crash", 49},     {"ride", 51},    {"bell", 53},   {"tamb", 54},
    {"cowbell", 56}, {"cabasa", 69},    {"shaker", 70},  {"claves", 75}, {"woodhi", 76},
    {"woodlo", 77},  {"mtriangle", 80}, {"triangle", 81}};

const std::map<std::string, std::vector<int>, std::less<>> chord_qualities = {
    {"", {0, 4, 7}},          {"m", {0, 3, 7}},      {"7", {0, 4, 7, 10}},
    {"maj7", {0, 4, 7, 11}},  {"m7", {0, 3, 7, 10}}, {"6", {0, 4, 7, 9}},
    {"m6", {0, 3, 7, 9}},     {"sus2", {0, 2, 7}},   {"sus4", {0, 5, 7}},
    {"7sus4", {0, 5, 7, 10}}, {"dim", {0, 3, 6}},    {"dim7", {0, 3, 6, 9}},
    {"m7b5", {0, 3, 6, 10}},  {"aug", {0, 4, 8}},    {"add9", {0, 4, 7, 2}}};

// Key signatures: name -> number of sharps (negative: flats).
const std::map<std::string, int, std::less<>> major_keys = {
    {"C", 0},  {"G", 1},   {"D", 2},   {"A", 3},   {"E", 4},   {"B", 5},   {"F#", 6}, {"C#", 7},
    {"F", -1}, {"Bb", -2}, {"Eb", -3}, {"Ab", -4}, {"Db", -5}, {"Gb", -6}, {"Cb", -7}};
const std::map<std::string, int, std::less<>> minor_keys = {
    {"Am", 0},  {"Em", 1},  {"Bm", 2},   {"F#m", 3},  {"C#m", 4},
    {"G#m", 5}, {"D#m", 6}, {"A#m", 7},  {"Dm", -1},  {"Gm", -2},
    {"Cm", -3}, {"Fm", -4}, {"Bbm", -5}, {"Ebm", -6}, {"Abm", -7}};

std::string trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

// Drops a comment: '#' starts one only at the start of a word, so F#4 stays.
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

// Splits on blanks; a "quoted run" stays one word, without its quotes.
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

std::string beats_text(int ticks, int beat_ticks) {
    const int whole = ticks / beat_ticks, part = ticks % beat_ticks;
    std::string s = std::to_string(whole);
    if (part != 0) {
        // Fractions of a beat as the smallest reduced fraction, e.g. "4 1/2".
        int num = part, den = beat_ticks;
        int a = num, b = den;
        while (b != 0) {
            const int t = a % b;
            a = b;
            b = t;
        }
        s += " " + std::to_string(num / a) + "/" + std::to_string(den / a);
    }
    return s;
}

struct DrumPattern {
    int line = 0;
    int steps = 0;
    std::vector<std::pair<int, std::string>> rows; // key, cells
};

struct Comp {
    int steps = 0;
    std::string cells;
};

// What a section line may set for its own bars.
struct LineOptions {
    int velocity = 80;
    int gate = 100;
    std::string comp;
};

// One track's music within the section being read.
struct Voice {
    bool inherited = false; // still the copy from a `from` section
    int bars = 0;
    int tie = -1; // index in notes of a note tied to the next one
    int tie_line = 0;
    std::vector<Note> notes;
    std::vector<int> gates; // per note, applied when the section closes
    std::string last_bar;   // for '%'
    int last_bar_sticky = 0;
    LineOptions last_bar_options;
    bool has_last_bar = false;
};

struct Building {
    int index = 0; // into score.sections
    std::map<int, Voice> voices;
    bool tempi_inherited = false;
};

class Parser {
public:
    Parsed run(std::string_view text);

private:
    void error(int line, std::string message) { errors_.push_back({line, std::move(message)}); }

    void top_level(int line, const std::vector<std::string>& w);
    void declare_track(int line, const std::vector<std::string>& w);
    void pattern_row(int line, const std::vector<std::string>& w);
    void start_section(int line, const std::vector<std::string>& w);
    void section_tempo(int line, const std::vector<std::string>& w);
    void voice_line(int line, const std::string& text);
    void finish_section();
    void resolve_form();

    void bar(int line, int track, Voice& v, const std::string& text, int& sticky,
             const LineOptions& options);
    void notes_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                   int& sticky, const LineOptions& options, int start, const std::string& where);
    void chords_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                    const LineOptions& options, int start, const std::string& where);
    void drums_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                   int velocity, int start, const std::string& where);
    bool check_length(int line, int ticks, const std::string& where);
    int accent(int position) const;

    int track_index(std::string_view id) const {
        for (std::size_t i = 0; i < score_.tracks.size(); ++i)
            if (score_.tracks[i].id == id)
                return int(i);
        return -1;
    }
    int section_index(std::string_view name) const {
        for (std::size_t i = 0; i < score_.sections.size(); ++i)
            if (score_.sections[i].name == name)
                return int(i);
        return -1;
    }

    Score score_;
    std::vector<Diagnostic> errors_;
    std::map<std::string, DrumPattern, std::less<>> patterns_;
    std::map<std::string, Comp, std::less<>> comps_;
    std::string open_pattern_; // pattern whose rows are being read
    std::optional<Building> open_section_;
    std::vector<std::string> form_words_;
    int form_line_ = 0;
    int last_line_ = 0;
};

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
        if (keywords.count(first) == 0 && open_section_) {
            voice_line(number, line);
            continue;
        }
        const auto w = words(line);
        if (!w) {
            error(number, "unterminated quote");
            continue;
        }
        if (keywords.count(first) == 0 && !open_pattern_.empty()) {
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

void Parser::top_level(int line, const std::vector<std::string>& w) {
    const std::string& k = w[0];
    if (k == "tempo" && open_section_) {
        section_tempo(line, w);
        return;
    }
    open_pattern_.clear();
    if (k != "title" && k != "tempo" && k != "time" && k != "key" && k != "track" && k != "comp" &&
        k != "pattern" && k != "section" && k != "form") {
        error(line, "unknown word '" + k + "'" +
                        (open_section_ ? "" : " (not a keyword, and no section is open)"));
        return;
    }
    if (open_section_ && k != "section")
        finish_section();
    if (k == "title") {
        if (w.size() != 2)
            error(line, "title wants one (quoted) text");
        else
            score_.title = w[1];
    } else if (k == "tempo") {
        const auto bpm = w.size() == 2 ? to_number(w[1]) : std::nullopt;
        if (!bpm || *bpm < 20 || *bpm > 300)
            error(line, "tempo wants beats per minute between 20 and 300");
        else
            score_.bpm = *bpm;
    } else if (k == "time") {
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
    } else if (k == "key") {
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
    } else if (k == "track") {
        declare_track(line, w);
    } else if (k == "comp") {
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
    } else if (k == "pattern") {
        if (w.size() != 2 || !valid_name(w[1]) || w[1] == "r" || w[1] == "%") {
            error(line, "pattern wants one name");
            return;
        }
        if (patterns_.count(w[1]) != 0)
            error(line, "pattern '" + w[1] + "' defined twice");
        patterns_[w[1]] = {line, 0, {}};
        open_pattern_ = w[1];
    } else if (k == "section") {
        if (open_section_)
            finish_section();
        start_section(line, w);
    } else if (k == "form") {
        if (form_line_ != 0)
            error(line, "form given twice");
        form_line_ = line;
        form_words_.assign(w.begin() + 1, w.end());
    }
}

void Parser::declare_track(int line, const std::vector<std::string>& w) {
    if (w.size() < 3) {
        error(line, "track wants an id, a kind (notes, chords, drums) and options");
        return;
    }
    Track t;
    t.id = w[1];
    if (!valid_name(t.id) || keywords.count(t.id) != 0) {
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

void Parser::start_section(int line, const std::vector<std::string>& w) {
    if (!(w.size() == 2 || (w.size() == 4 && w[2] == "from")) || !valid_name(w[1])) {
        error(line, "section wants a name, optionally 'from' another section");
        return;
    }
    if (section_index(w[1]) >= 0) {
        error(line, "section '" + w[1] + "' defined twice");
        return;
    }
    Section s;
    s.name = w[1];
    s.line = line;
    Building b;
    if (w.size() == 4) {
        const int base = section_index(w[3]);
        if (base < 0) {
            error(line, "section '" + w[3] + "' is not defined above");
            return;
        }
        const Section& from = score_.sections[std::size_t(base)];
        for (const Note& n : from.notes) {
            Voice& v = b.voices[n.track];
            v.notes.push_back(n);
        }
        for (auto& [track, v] : b.voices) {
            v.inherited = true;
            v.bars = from.bars;
        }
        s.tempi = from.tempi;
        b.tempi_inherited = true;
    }
    b.index = int(score_.sections.size());
    score_.sections.push_back(std::move(s));
    open_section_ = std::move(b);
}

void Parser::section_tempo(int line, const std::vector<std::string>& w) {
    const auto bpm = w.size() >= 2 ? to_number(w[1]) : std::nullopt;
    if (!bpm || *bpm < 20 || *bpm > 300 || !(w.size() == 2 || (w.size() == 4 && w[2] == "at"))) {
        error(line, "tempo wants beats per minute (20 to 300), optionally 'at' bar[.beat]");
        return;
    }
    int tick = 0;
    if (w.size() == 4) {
        const auto dot = w[3].find('.');
        const auto bar = to_int(w[3].substr(0, dot));
        const auto beat =
            dot == std::string::npos ? std::optional<int>(1) : to_int(w[3].substr(dot + 1));
        if (!bar || !beat || *bar < 1 || *beat < 1 || *beat > score_.beats) {
            error(line, "'" + w[3] + "' is not a bar[.beat] of this time signature");
            return;
        }
        tick = (*bar - 1) * score_.bar_ticks() + (*beat - 1) * (score_.bar_ticks() / score_.beats);
    }
    Section& s = score_.sections[std::size_t(open_section_->index)];
    if (open_section_->tempi_inherited) {
        s.tempi.clear();
        open_section_->tempi_inherited = false;
    }
    s.tempi.push_back({tick, *bpm});
}

void Parser::voice_line(int line, const std::string& text) {
    const auto first_bar = text.find('|');
    const auto head = words(text.substr(0, first_bar));
    if (!head || head->empty()) {
        error(line, "a section line starts with a track id");
        return;
    }
    const int track = track_index((*head)[0]);
    if (track < 0) {
        error(line, "unknown track '" + (*head)[0] + "'");
        return;
    }
    if (first_bar == std::string::npos) {
        error(line, "no bars: put the music between | bar lines");
        return;
    }
    const Track& t = score_.tracks[std::size_t(track)];
    LineOptions options{t.velocity, t.gate, {}};
    for (std::size_t i = 1; i < head->size(); ++i) {
        const std::string& o = (*head)[i];
        const auto eq = o.find('=');
        const std::string name = o.substr(0, eq), val = eq == o.npos ? "" : o.substr(eq + 1);
        if (name == "vel") {
            const auto v = to_int(val);
            if (!v || *v < 1 || *v > 127) {
                error(line, "vel wants a number from 1 to 127");
                return;
            }
            options.velocity = *v;
        } else if (name == "gate" && t.kind != Kind::drums) {
            const auto g = to_int(val);
            if (!g || *g < 1 || *g > 100) {
                error(line, "gate wants a number from 1 to 100");
                return;
            }
            options.gate = *g;
        } else if (name == "comp" && t.kind == Kind::chords) {
            if (comps_.count(val) == 0) {
                error(line, "unknown comp '" + val + "'");
                return;
            }
            options.comp = val;
        } else {
            error(line, "unknown option '" + o + "' for track '" + t.id + "'");
            return;
        }
    }
    Voice& v = open_section_->voices[track];
    if (v.inherited)
        v = Voice{};
    int sticky = 0; // a line's first note must say its duration
    std::size_t pos = first_bar + 1;
    while (pos <= text.size()) {
        auto end = text.find('|', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string b = trim(text.substr(pos, end - pos));
        const bool last = end == text.size();
        pos = end + 1;
        if (b.empty()) {
            if (!last)
                error(line, "empty bar in section '" +
                                score_.sections[std::size_t(open_section_->index)].name + "'");
            continue;
        }
        bar(line, track, v, b, sticky, options);
    }
}

void Parser::bar(int line, int track, Voice& v, const std::string& text, int& sticky,
                 const LineOptions& options) {
    const auto tokens = words(text).value_or(std::vector<std::string>{});
    const int start = v.bars * score_.bar_ticks();
    ++v.bars;
    const std::string where = "bar " + std::to_string(v.bars) + " of section '" +
                              score_.sections[std::size_t(open_section_->index)].name + "'";
    if (tokens.size() == 1 && tokens[0] == "%") {
        if (!v.has_last_bar) {
            error(line, where + ": '%' repeats the previous bar, and there is none");
            return;
        }
        int repeat_sticky = v.last_bar_sticky;
        const auto again = words(v.last_bar).value_or(std::vector<std::string>{});
        const Kind kind = score_.tracks[std::size_t(track)].kind;
        const LineOptions previous = v.last_bar_options;
        if (kind == Kind::notes)
            notes_bar(line, track, v, again, repeat_sticky, previous, start, where);
        else if (kind == Kind::chords)
            chords_bar(line, track, v, again, previous, start, where);
        else
            drums_bar(line, track, v, again, previous.velocity, start, where);
        sticky = repeat_sticky;
        return;
    }
    v.last_bar = text;
    v.last_bar_sticky = sticky;
    v.last_bar_options = options;
    v.has_last_bar = true;
    const Kind kind = score_.tracks[std::size_t(track)].kind;
    if (kind == Kind::notes)
        notes_bar(line, track, v, tokens, sticky, options, start, where);
    else if (kind == Kind::chords)
        chords_bar(line, track, v, tokens, options, start, where);
    else
        drums_bar(line, track, v, tokens, options.velocity, start, where);
}

bool Parser::check_length(int line, int ticks, const std::string& where) {
    if (ticks == score_.bar_ticks())
        return true;
    const int beat = score_.bar_ticks() / score_.beats;
    error(line, where + " lasts " + beats_text(ticks, beat) + " beats, but " +
                    std::to_string(score_.beats) + "/" + std::to_string(score_.beat_unit) +
                    " wants " + std::to_string(score_.beats) + " (bar too " +
                    (ticks > score_.bar_ticks() ? "long)" : "short)"));
    return false;
}

// Strong beats a little louder, off-beats a little softer, so a line does not
// sound typed in.
int Parser::accent(int position) const {
    const int bar = score_.bar_ticks(), beat = bar / score_.beats;
    const int p = position % bar;
    if (p == 0)
        return 8;
    if (score_.beats % 2 == 0 && score_.beats > 2 && p == bar / 2)
        return 4;
    return p % beat == 0 ? 0 : -6;
}

void Parser::notes_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                       int& sticky, const LineOptions& options, int start,
                       const std::string& where) {
    struct Item {
        int key, ticks;
        bool tie;
        std::string text;
    };
    std::vector<Item> items;
    int total = 0;
    for (const std::string& tok : tokens) {
        std::string_view s = tok;
        const bool tie = !s.empty() && s.back() == '~';
        if (tie)
            s.remove_suffix(1);
        const auto colon = s.find(':');
        const std::string_view name = s.substr(0, colon);
        int key = -1;
        if (name != "r") {
            key = parse_pitch(name);
            if (key < 0) {
                error(line, where + ": bad note '" + tok + "'");
                return;
            }
        } else if (tie) {
            error(line, where + ": a rest cannot be tied");
            return;
        }
        if (colon != std::string_view::npos) {
            const int d = parse_duration(s.substr(colon));
            if (d < 0) {
                error(line, where + ": bad duration in '" + tok + "'");
                return;
            }
            sticky = d;
        } else if (sticky == 0) {
            error(line, where + ": '" + tok + "' needs a duration (the first note of a line)");
            return;
        }
        items.push_back({key, sticky, tie, tok});
        total += sticky;
    }
    if (!check_length(line, total, where))
        return;
    int at = start;
    for (const Item& it : items) {
        if (v.tie >= 0) {
            Note& held = v.notes[std::size_t(v.tie)];
            if (it.key != held.key) {
                error(line, where + ": tie from key " + std::to_string(held.key) + " to '" +
                                it.text + "'; a tie joins two equal notes");
                v.tie = -1;
            } else {
                held.length += it.ticks;
                if (!it.tie)
                    v.tie = -1;
                at += it.ticks;
                continue;
            }
        }
        if (it.key >= 0) {
            const int vel = std::clamp(options.velocity + accent(at), 1, 127);
            v.notes.push_back({track, at, it.ticks, it.key, vel});
            v.gates.push_back(options.gate);
            if (it.tie) {
                v.tie = int(v.notes.size()) - 1;
                v.tie_line = line;
            }
        }
        at += it.ticks;
    }
}

void Parser::chords_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                        const LineOptions& options, int start, const std::string& where) {
    struct Span {
        std::vector<int> keys; // empty: silence
        int ticks;
    };
    std::vector<Span> spans;
    int given = 0, open = 0;
    const Track& t = score_.tracks[std::size_t(track)];
    for (const std::string& tok : tokens) {
        const auto colon = tok.find(':');
        const std::string sym = tok.substr(0, colon);
        Span s{{}, 0};
        if (sym != "r") {
            const auto pcs = chord_pitch_classes(sym);
            if (pcs.empty()) {
                error(line, where + ": unknown chord '" + sym + "'");
                return;
            }
            s.keys = voice_chord(pcs, t.around);
        }
        if (colon != std::string::npos) {
            s.ticks = parse_duration(tok.substr(colon));
            if (s.ticks < 0) {
                error(line, where + ": bad duration in '" + tok + "'");
                return;
            }
            given += s.ticks;
        } else {
            ++open;
        }
        spans.push_back(s);
    }
    // Chords without a duration share what is left of the bar, as in a chord chart.
    if (open > 0) {
        const int left = score_.bar_ticks() - given;
        if (left <= 0 || left % open != 0) {
            error(line, where + ": " + std::to_string(open) +
                            " chords without a duration cannot share the rest of the bar");
            return;
        }
        for (Span& s : spans)
            if (s.ticks == 0)
                s.ticks = left / open;
        given += left;
    }
    if (!check_length(line, given, where))
        return;

    struct Strike {
        int from, to, velocity;
    };
    std::vector<Strike> strikes;
    const int velocity = options.velocity;
    if (options.comp.empty()) {
        int at = 0;
        for (const Span& s : spans) {
            strikes.push_back({at, at + s.ticks, std::clamp(velocity + accent(at), 1, 127)});
            at += s.ticks;
        }
    } else {
        const Comp& c = comps_.at(options.comp);
        const int step = score_.bar_ticks() / c.steps;
        for (int i = 0; i < c.steps; ++i) {
            const char cell = c.cells[std::size_t(i)];
            if (cell == '-' && !strikes.empty() && strikes.back().to == i * step)
                strikes.back().to += step;
            else if (cell == 'X' || cell == 'x' || cell == 'o')
                strikes.push_back({i * step, (i + 1) * step,
                                   std::clamp(velocity + (cell == 'X'   ? 15
                                                          : cell == 'o' ? -20
                                                                        : 0),
                                              1, 127)});
        }
    }
    // A strike sounds whichever chords it overlaps, each for the overlap.
    for (const Strike& st : strikes) {
        int at = 0;
        for (const Span& s : spans) {
            const int from = std::max(at, st.from), to = std::min(at + s.ticks, st.to);
            if (from < to)
                for (int key : s.keys) {
                    v.notes.push_back({track, start + from, to - from, key, st.velocity});
                    v.gates.push_back(options.gate);
                }
            at += s.ticks;
        }
    }
}

void Parser::drums_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                       int velocity, int start, const std::string& where) {
    if (tokens.size() != 1) {
        error(line, where + ": a drum bar holds one pattern name (or r)");
        return;
    }
    if (tokens[0] == "r")
        return;
    const auto p = patterns_.find(tokens[0]);
    if (p == patterns_.end() || p->second.steps == 0) {
        error(line, where + ": unknown drum pattern '" + tokens[0] + "'");
        return;
    }
    const int step = score_.bar_ticks() / p->second.steps;
    // Short hits: a drum's sound does not depend on its length, and short notes
    // never overlap the next hit of the same drum.
    const int length = std::min(step, ticks_per_quarter / 8);
    for (const auto& [key, cells] : p->second.rows)
        for (int i = 0; i < p->second.steps; ++i) {
            const char c = cells[std::size_t(i)];
            if (c == '.')
                continue;
            const int vel = std::clamp(velocity + (c == 'X' ? 20 : c == 'o' ? -25 : 0), 1, 127);
            v.notes.push_back({track, start + i * step, length, key, vel});
        }
}

void Parser::finish_section() {
    Building b = std::move(*open_section_);
    open_section_.reset();
    Section& s = score_.sections[std::size_t(b.index)];
    int bars = 0;
    std::string longest;
    for (const auto& [track, v] : b.voices)
        if (v.bars > bars) {
            bars = v.bars;
            longest = score_.tracks[std::size_t(track)].id;
        }
    if (bars == 0)
        error(s.line, "section '" + s.name + "' has no bars");
    for (auto& [track, v] : b.voices) {
        const Track& t = score_.tracks[std::size_t(track)];
        if (v.bars != 0 && v.bars != bars)
            error(s.line, "section '" + s.name + "': track '" + t.id + "' has " +
                              std::to_string(v.bars) + " bars, track '" + longest + "' " +
                              std::to_string(bars));
        if (v.tie >= 0)
            error(v.tie_line, "section '" + s.name + "': track '" + t.id +
                                  "' ends on a tie with nothing to tie to");
        if (!v.inherited && t.kind != Kind::drums)
            for (std::size_t i = 0; i < v.notes.size(); ++i)
                v.notes[i].length = std::max(1, v.notes[i].length * v.gates[i] / 100);
        s.notes.insert(s.notes.end(), v.notes.begin(), v.notes.end());
    }
    for (const TempoMark& m : s.tempi)
        if (m.tick >= bars * score_.bar_ticks() && bars > 0)
            error(s.line, "section '" + s.name + "': a tempo change lies beyond its last bar");
    std::sort(s.notes.begin(), s.notes.end(), [](const Note& a, const Note& b) {
        return std::tie(a.start, a.track, a.key) < std::tie(b.start, b.track, b.key);
    });
    std::stable_sort(s.tempi.begin(), s.tempi.end(),
                     [](const TempoMark& a, const TempoMark& b) { return a.tick < b.tick; });
    s.bars = bars;
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
    const auto value = to_int(text.substr(0, digits));
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

Parsed parse_score(std::string_view text) {
    return Parser{}.run(text);
}

} // namespace contavoce::tune
