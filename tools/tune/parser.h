// SPDX-License-Identifier: GPL-3.0-or-later
// The score parser's state, shared by the files that read each part of a score:
// lexing.cpp (words), declarations.cpp (top-level statements), sections.cpp
// (section lines), bars.cpp (the music in a bar) and score.cpp (the whole text).
#pragma once

#include "tools/tune/score.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace contavoce::tune::detail {

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
    using Statement = void (Parser::*)(int line, const std::vector<std::string>& w);

    void error(int line, std::string message) { errors_.push_back({line, std::move(message)}); }

    // declarations.cpp
    void top_level(int line, const std::vector<std::string>& w);
    static Statement statement(std::string_view keyword);
    void set_title(int line, const std::vector<std::string>& w);
    void set_tempo(int line, const std::vector<std::string>& w);
    void set_time(int line, const std::vector<std::string>& w);
    void set_key(int line, const std::vector<std::string>& w);
    void declare_track(int line, const std::vector<std::string>& w);
    void declare_comp(int line, const std::vector<std::string>& w);
    void start_pattern(int line, const std::vector<std::string>& w);
    void pattern_row(int line, const std::vector<std::string>& w);
    void set_form(int line, const std::vector<std::string>& w);

    // sections.cpp
    void start_section(int line, const std::vector<std::string>& w);
    void section_tempo(int line, const std::vector<std::string>& w);
    void voice_line(int line, const std::string& text);
    void finish_section();

    // score.cpp
    void resolve_form();

    // bars.cpp
    void bar(int line, int track, Voice& v, const std::string& text, int& sticky,
             const LineOptions& options);
    void kind_bar(int line, int track, Voice& v, const std::vector<std::string>& tokens,
                  int& sticky, const LineOptions& options, int start, const std::string& where);
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

} // namespace contavoce::tune::detail
