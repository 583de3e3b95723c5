// SPDX-License-Identifier: GPL-3.0-or-later
// The music inside one bar: notes, chords or a drum pattern, each checked
// against the time signature.
#include "tools/tune/lexing.h"
#include "tools/tune/parser.h"

#include <algorithm>

namespace contavoce::tune::detail {

namespace {

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

} // namespace

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
        const LineOptions previous = v.last_bar_options;
        kind_bar(line, track, v, again, repeat_sticky, previous, start, where);
        sticky = repeat_sticky;
        return;
    }
    v.last_bar = text;
    v.last_bar_sticky = sticky;
    v.last_bar_options = options;
    v.has_last_bar = true;
    kind_bar(line, track, v, tokens, sticky, options, start, where);
}

// A bar is read as its track's kind writes music; a repeated bar ('%') goes
// through here too, so it is checked exactly as if written out again.
void Parser::kind_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                      int& sticky, const LineOptions& options, int start,
                      const std::string& where) {
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

} // namespace contavoce::tune::detail
