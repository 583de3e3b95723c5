// SPDX-License-Identifier: GPL-3.0-or-later
// The file is written byte by byte: SMF is a tiny format (a header chunk and
// track chunks of delta-timed events), and doing it here keeps the generator
// free of a MIDI library for some sixty lines of work.
#include "tools/tune/smf.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace contavoce::tune {

namespace {

struct Event {
    int tick;
    int order; // at equal ticks: set-up, then note-offs, then note-ons
    std::vector<std::uint8_t> bytes;
};

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void put_varlen(std::vector<std::uint8_t>& out, std::uint32_t v) {
    std::uint8_t buf[5];
    int n = 0;
    buf[n++] = std::uint8_t(v & 0x7f);
    while ((v >>= 7) != 0)
        buf[n++] = std::uint8_t(0x80 | (v & 0x7f));
    while (n > 0)
        out.push_back(buf[--n]);
}

std::vector<std::uint8_t> meta(std::uint8_t type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> b{0xff, type};
    put_varlen(b, std::uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

std::vector<std::uint8_t> text_meta(std::uint8_t type, const std::string& text) {
    return meta(type, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> tempo_meta(double bpm) {
    const auto us = std::uint32_t(std::lround(60'000'000.0 / bpm));
    return meta(0x51, {std::uint8_t(us >> 16), std::uint8_t(us >> 8), std::uint8_t(us)});
}

void put_track(std::vector<std::uint8_t>& out, std::vector<Event> events, int end) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return std::tie(a.tick, a.order) < std::tie(b.tick, b.order);
    });
    events.push_back({end, 3, meta(0x2f, {})});
    std::vector<std::uint8_t> body;
    int now = 0;
    for (const Event& e : events) {
        put_varlen(body, std::uint32_t(e.tick - now));
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    put_u32(out, std::uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

int log2_of(int v) {
    int n = 0;
    while ((1 << n) < v)
        ++n;
    return n;
}

} // namespace

int total_ticks(const Score& score) {
    int ticks = 0;
    for (int s : score.form)
        ticks += score.sections[std::size_t(s)].bars * score.bar_ticks();
    return ticks;
}

std::vector<std::uint8_t> write_smf(const Score& score) {
    const int end = total_ticks(score);
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
    put_u32(out, 6);
    const std::size_t ntracks = score.tracks.size() + 1;
    out.insert(out.end(), {0, 1, std::uint8_t(ntracks >> 8), std::uint8_t(ntracks),
                           std::uint8_t(ticks_per_quarter >> 8), std::uint8_t(ticks_per_quarter)});

    std::vector<Event> conductor;
    conductor.push_back({0, 0, text_meta(0x03, score.title)});
    // Metronome clicks once per beat (24 MIDI clocks a quarter), 8 32nds a quarter.
    const int clocks = 24 * 4 / score.beat_unit;
    conductor.push_back(
        {0, 0,
         meta(0x58, {std::uint8_t(score.beats), std::uint8_t(log2_of(score.beat_unit)),
                     std::uint8_t(clocks), 8})});
    if (score.has_key)
        conductor.push_back(
            {0, 0, meta(0x59, {std::uint8_t(std::int8_t(score.key_sharps)), score.key_minor})});
    conductor.push_back({0, 0, tempo_meta(score.bpm)});

    std::vector<std::vector<Event>> tracks(score.tracks.size());
    for (std::size_t i = 0; i < score.tracks.size(); ++i) {
        const Track& t = score.tracks[i];
        const auto ch = std::uint8_t(t.channel - 1);
        auto& ev = tracks[i];
        ev.push_back({0, 0, text_meta(0x03, t.name)});
        if (t.program > 0)
            ev.push_back({0, 0, {std::uint8_t(0xc0 | ch), std::uint8_t(t.program - 1)}});
        ev.push_back({0, 0, {std::uint8_t(0xb0 | ch), 7, std::uint8_t(t.volume)}});
        ev.push_back({0, 0, {std::uint8_t(0xb0 | ch), 10, std::uint8_t(t.pan)}});
        ev.push_back({0, 0, {std::uint8_t(0xb0 | ch), 91, std::uint8_t(t.reverb)}});
    }

    int offset = 0;
    for (int index : score.form) {
        const Section& s = score.sections[std::size_t(index)];
        for (const TempoMark& m : s.tempi)
            conductor.push_back({offset + m.tick, 0, tempo_meta(m.bpm)});
        for (const Note& n : s.notes) {
            const auto ch = std::uint8_t(score.tracks[std::size_t(n.track)].channel - 1);
            auto& ev = tracks[std::size_t(n.track)];
            ev.push_back(
                {offset + n.start,
                 2,
                 {std::uint8_t(0x90 | ch), std::uint8_t(n.key), std::uint8_t(n.velocity)}});
            ev.push_back({offset + n.start + n.length,
                          1,
                          {std::uint8_t(0x80 | ch), std::uint8_t(n.key), 0x40}});
        }
        offset += s.bars * score.bar_ticks();
    }

    put_track(out, std::move(conductor), end);
    for (auto& ev : tracks)
        put_track(out, std::move(ev), end);
    return out;
}

} // namespace contavoce::tune
