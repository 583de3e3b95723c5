// SPDX-License-Identifier: GPL-3.0-or-later
// The text notation of the background tune and its parser.
//
// A score declares tracks, drum and accompaniment patterns and named sections;
// a `form` line strings the sections together. Every bar is checked against the
// time signature as it is read, so a wrong duration is reported at its own line.
// The notation itself is described at the top of resources/tune/heidi-cartoon.score.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace contavoce::tune {

inline constexpr int ticks_per_quarter = 480;

struct Diagnostic {
    int line = 0; // 1-based line of the score
    std::string message;
};

enum class Kind { notes, chords, drums };

struct Track {
    std::string id; // the word section lines start with
    Kind kind = Kind::notes;
    std::string name; // stored as the track's name in the MIDI file
    int channel = 1;  // 1..16, drums on 10
    int program = 0;  // General MIDI 1..128; 0 sends no program change
    int volume = 100;
    int pan = 64;
    int reverb = 40;
    int velocity = 80;
    int gate = 90;   // percent of a note's written length that sounds
    int around = 67; // chords: voicings are centred on this key
};

struct Note {
    int track = 0; // index into Score::tracks
    int start = 0; // ticks from the start of the section
    int length = 0;
    int key = 60;
    int velocity = 80;
};

struct TempoMark {
    int tick = 0; // from the start of the section
    double bpm = 120;
};

struct Section {
    std::string name;
    int line = 0;
    int bars = 0;
    std::vector<Note> notes; // sorted by start, then track, then key
    std::vector<TempoMark> tempi;
};

struct Score {
    std::string title;
    double bpm = 120;
    int beats = 4;     // time signature numerator
    int beat_unit = 4; // and denominator
    bool has_key = false;
    int key_sharps = 0; // negative for flats
    bool key_minor = false;
    std::vector<Track> tracks;
    std::vector<Section> sections;
    std::vector<int> form; // indices into sections, in playing order

    int bar_ticks() const { return ticks_per_quarter * 4 * beats / beat_unit; }
};

struct Parsed {
    Score score;
    std::vector<Diagnostic> errors; // empty when the score is usable
};

Parsed parse_score(std::string_view text);

// Helpers the parser is built on, exposed for tests and error messages.

// "C4" -> 60, "F#3" -> 54, "Bb5" -> 82; -1 when the text is not a note name.
int parse_pitch(std::string_view text);

// ":4" -> 480, ":8." -> 360, ":8t" -> 160, ":1" -> 1920; -1 when malformed.
int parse_duration(std::string_view text);

// Chord symbol ("G", "Am", "D7", "Cmaj7", "F#dim") to pitch classes above its
// root, root first; empty when the symbol is unknown.
std::vector<int> chord_pitch_classes(std::string_view symbol);

// Close-position voicing of the chord whose mean key lies nearest to `around`.
std::vector<int> voice_chord(const std::vector<int>& pitch_classes, int around);

} // namespace contavoce::tune
