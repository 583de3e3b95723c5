// SPDX-License-Identifier: GPL-3.0-or-later
// Sections: where one starts, its tempo changes, its lines of bars per track,
// and what is checked when it closes.
#include "tools/tune/lexing.h"
#include "tools/tune/parser.h"

#include <algorithm>
#include <tuple>

namespace contavoce::tune::detail {

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

} // namespace contavoce::tune::detail
