// SPDX-License-Identifier: GPL-3.0-or-later
// The background tune as a MIDI player meets it: file structure, paired notes,
// length from the tempo map, General MIDI use, the melody and the ending.
// The file is read with a reader of its own, not the generator's code, so a
// fault in the generator cannot hide itself.
#include <QtTest>
#include <map>
#include <optional>
#include <set>

namespace {

struct MidiEvent {
    qint64 tick = 0;
    int status = 0;   // 0x80..0xEF channel messages, 0xF0/0xF7 sysex, 0xFF meta
    int meta = -1;    // meta type
    int a = 0, b = 0; // data bytes of a channel message
    QByteArray data;  // meta or sysex payload

    int kind() const { return status & 0xf0; }
    int channel() const { return status & 0x0f; }
    bool channel_message() const { return status >= 0x80 && status < 0xf0; }
    bool note_on() const { return kind() == 0x90 && b > 0; }
    bool note_off() const { return kind() == 0x80 || (kind() == 0x90 && b == 0); }
};

struct MidiTrack {
    QString name;
    QList<MidiEvent> events;
};

struct Midi {
    QString error; // empty when the file was read
    int format = -1, declared_tracks = 0, division = 0;
    QList<MidiTrack> tracks;
};

quint32 be(const QByteArray& b, qsizetype at, int n) {
    quint32 v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | quint8(b[at + i]);
    return v;
}

QString read_track(const QByteArray& bytes, qsizetype pos, qsizetype end, MidiTrack& track) {
    auto varlen = [&]() -> std::optional<quint32> {
        quint32 v = 0;
        for (int i = 0; i < 4 && pos < end; ++i) { // SMF allows four bytes at most
            const int c = quint8(bytes[pos++]);
            v = v << 7 | quint32(c & 0x7f);
            if ((c & 0x80) == 0)
                return v;
        }
        return std::nullopt;
    };
    qint64 tick = 0;
    int running = 0;
    while (pos < end) {
        const auto delta = varlen();
        if (!delta || pos >= end)
            return "truncated delta time";
        MidiEvent e;
        e.tick = tick += *delta;
        int first = quint8(bytes[pos++]);
        if (first == 0xff || first == 0xf0 || first == 0xf7) {
            e.status = first;
            if (first == 0xff && pos < end)
                e.meta = quint8(bytes[pos++]);
            const auto len = varlen();
            if (!len || pos + *len > end || (first == 0xff && e.meta < 0))
                return "truncated meta or sysex event";
            e.data = bytes.mid(pos, *len);
            pos += *len;
            running = 0;
        } else {
            if (first < 0x80) { // running status: this byte is already data
                if (running == 0)
                    return "data byte without status";
                --pos;
                first = running;
            }
            if (first >= 0xf0)
                return QString("system message 0x%1 in a file").arg(first, 0, 16);
            e.status = running = first;
            const int n = (e.kind() == 0xc0 || e.kind() == 0xd0) ? 1 : 2;
            if (pos + n > end)
                return "truncated channel message";
            e.a = quint8(bytes[pos++]);
            e.b = n == 2 ? quint8(bytes[pos++]) : 0;
            if (e.a > 0x7f || e.b > 0x7f)
                return "data byte above 127";
        }
        if (e.meta == 0x03 && track.name.isEmpty())
            track.name = QString::fromLatin1(e.data);
        track.events.append(e);
    }
    return {};
}

Midi read_midi(const QByteArray& bytes) {
    Midi m;
    if (bytes.size() < 14 || !bytes.startsWith("MThd") || be(bytes, 4, 4) < 6) {
        m.error = "no MThd header";
        return m;
    }
    m.format = int(be(bytes, 8, 2));
    m.declared_tracks = int(be(bytes, 10, 2));
    m.division = int(be(bytes, 12, 2));
    for (qsizetype pos = 8 + be(bytes, 4, 4); pos < bytes.size();) {
        const qsizetype body = pos + 8;
        if (body > bytes.size() || body + be(bytes, pos + 4, 4) > bytes.size()) {
            m.error = "chunk runs past the end of the file";
            return m;
        }
        const qsizetype end = body + be(bytes, pos + 4, 4);
        if (bytes.mid(pos, 4) == "MTrk") { // other chunk types are skipped, as SMF asks
            MidiTrack t;
            const QString err = read_track(bytes, body, end, t);
            if (!err.isEmpty()) {
                m.error = QString("track %1: %2").arg(m.tracks.size()).arg(err);
                return m;
            }
            m.tracks.append(t);
        }
        pos = end;
    }
    return m;
}

struct Sounding {
    qint64 start, end;
    int key;
};

QList<Sounding> notes_of(const MidiTrack& t) {
    QList<Sounding> out;
    std::map<std::pair<int, int>, qsizetype> open;
    for (const MidiEvent& e : t.events) {
        if (e.note_on()) {
            open[{e.channel(), e.a}] = out.size();
            out.append({e.tick, -1, e.a});
        } else if (e.note_off() && open.count({e.channel(), e.a}) != 0) {
            out[open[{e.channel(), e.a}]].end = e.tick;
            open.erase({e.channel(), e.a});
        }
    }
    return out;
}

} // namespace

class TstTune : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void header();
    void tracks_data();
    void tracks();
    void timing_and_length();
    void drums_only_on_channel_10();
    void instruments_are_general_midi();
    void melody_is_singable();
    void ends_on_the_tonic();

private:
    const MidiTrack* named(const QString& prefix) const {
        for (const MidiTrack& t : midi.tracks)
            if (t.name.startsWith(prefix, Qt::CaseInsensitive))
                return &t;
        return nullptr;
    }
    qint64 end() const { return midi.tracks[0].events.last().tick; }

    Midi midi;
};

void TstTune::initTestCase() {
    const QString path = qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/heidi-cartoon.mid";
    QFile f(path);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(path + " is missing"));
    midi = read_midi(f.readAll());
    QVERIFY2(midi.error.isEmpty(), qPrintable(midi.error));
    QVERIFY(!midi.tracks.isEmpty() && !midi.tracks[0].events.isEmpty());
}

void TstTune::header() {
    QCOMPARE(midi.format, 1);
    QCOMPARE(midi.declared_tracks, int(midi.tracks.size()));
    QVERIFY2(midi.tracks.size() >= 5, "conductor, melody, harmony, bass and drums at least");
    QVERIFY2(midi.division > 0 && midi.division < 0x8000, "ticks per quarter, not SMPTE time");
}

void TstTune::tracks_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < midi.tracks.size(); ++i)
        QTest::newRow(qPrintable(QString("%1 %2").arg(i).arg(midi.tracks[i].name))) << i;
}

// Every track is named and closes with End-of-Track, all at the same tick;
// every note is released once, before that, and one key is never struck twice
// on a channel while it sounds.
void TstTune::tracks() {
    QFETCH(int, index);
    const MidiTrack& t = midi.tracks[index];
    QVERIFY(!t.events.isEmpty() && !t.name.isEmpty());
    for (int i = 0; i < t.events.size(); ++i)
        QVERIFY2((t.events[i].meta == 0x2f) == (i == t.events.size() - 1),
                 qPrintable(QString("event %1 of %2: End-of-Track comes last, and only there")
                                .arg(i + 1)
                                .arg(t.events.size())));
    QCOMPARE(t.events.last().tick, end());

    std::map<std::pair<int, int>, qint64> sounding;
    int notes = 0;
    for (const MidiEvent& e : t.events) {
        const std::pair<int, int> id{e.channel(), e.a};
        const QString at =
            QString("key %1 channel %2 tick %3: ").arg(e.a).arg(e.channel() + 1).arg(e.tick);
        if (e.note_on()) {
            QVERIFY2(sounding.count(id) == 0, qPrintable(at + "struck while sounding"));
            sounding[id] = e.tick;
            ++notes;
        } else if (e.note_off()) {
            QVERIFY2(sounding.count(id) == 1, qPrintable(at + "released, never struck"));
            QVERIFY2(e.tick > sounding[id], qPrintable(at + "released as it is struck"));
            sounding.erase(id);
        }
    }
    QVERIFY2(sounding.empty(), "notes still sounding at End-of-Track");
    QVERIFY2((notes > 0) == (index > 0), "the conductor plays nothing, the others play");
}

// The conductor holds time signature and tempo map; the tune lasts 2 to 2 3/4
// minutes at a lively pace for most of it.
void TstTune::timing_and_length() {
    bool time_signature = false;
    for (int i = 0; i < midi.tracks.size(); ++i)
        for (const MidiEvent& e : midi.tracks[i].events) {
            QVERIFY2(i == 0 || (e.meta != 0x51 && e.meta != 0x58), "timing in track 0 only");
            time_signature |= e.meta == 0x58 && e.tick == 0 && e.data.size() == 4;
        }
    QVERIFY(time_signature);

    double seconds = 0;
    qint64 at = 0;
    quint32 us = 500000; // the SMF default until the first tempo event
    std::map<quint32, double> time_at_tempo;
    auto advance = [&](qint64 to) {
        const double s = double(to - at) * us / 1e6 / midi.division;
        seconds += s;
        time_at_tempo[us] += s;
        at = to;
    };
    for (const MidiEvent& e : midi.tracks[0].events)
        if (e.meta == 0x51) {
            QCOMPARE(e.data.size(), 3);
            advance(e.tick);
            us = be(e.data, 0, 3);
        }
    advance(end());
    QVERIFY2(seconds >= 120 && seconds <= 165, qPrintable(QString("lasts %1 s").arg(seconds)));
    const auto main = std::max_element(time_at_tempo.begin(), time_at_tempo.end(),
                                       [](auto& x, auto& y) { return x.second < y.second; });
    const double bpm = 60e6 / main->first;
    QVERIFY2(bpm >= 110 && bpm <= 130, qPrintable(QString("main tempo %1 bpm").arg(bpm)));
}

void TstTune::drums_only_on_channel_10() {
    int drum_tracks = 0;
    std::set<int> kit;
    for (const MidiTrack& t : midi.tracks) {
        std::set<int> channels;
        for (const MidiEvent& e : t.events)
            if (e.channel_message())
                channels.insert(e.channel());
        if (channels.count(9) == 0)
            continue;
        ++drum_tracks;
        QCOMPARE(channels, std::set<int>{9});
        for (const MidiEvent& e : t.events)
            if (e.note_on()) {
                QVERIFY2(e.a >= 35 && e.a <= 81, qPrintable(QString("no GM drum %1").arg(e.a)));
                kit.insert(e.a);
            }
    }
    QCOMPARE(drum_tracks, 1);
    // A light kit: a kick, a snare or side stick, and something on the off-beats.
    QVERIFY(kit.count(35) + kit.count(36) > 0);
    QVERIFY(kit.count(37) + kit.count(38) + kit.count(40) > 0);
    QVERIFY(kit.count(42) + kit.count(44) + kit.count(46) + kit.count(54) + kit.count(70) > 0);
}

// Plain General MIDI: each melodic channel picks its instrument before it
// plays, tracks keep to their own channels, no bank switching, no sysex other
// than "GM System On"; the melody has a bright, child-friendly voice.
void TstTune::instruments_are_general_midi() {
    std::map<int, int> program; // channel -> program
    std::set<int> taken;
    for (const MidiTrack& t : midi.tracks) {
        std::set<int> channels;
        for (const MidiEvent& e : t.events) {
            if (e.status == 0xf0)
                QCOMPARE(e.data, QByteArray("\x7e\x7f\x09\x01\xf7", 5));
            if (!e.channel_message())
                continue;
            channels.insert(e.channel());
            QVERIFY2(e.kind() != 0xb0 || (e.a != 0 && e.a != 32), "no bank select");
            if (e.kind() == 0xc0) {
                QVERIFY2(program.count(e.channel()) == 0, "one instrument per channel");
                program[e.channel()] = e.a;
            }
            if (e.note_on() && e.channel() != 9)
                QVERIFY2(program.count(e.channel()) == 1, qPrintable(t.name + ": no program"));
        }
        for (int ch : channels)
            QVERIFY2(taken.insert(ch).second, "tracks do not share a channel");
    }
    QVERIFY2(program.count(9) == 0 || program[9] == 0, "the standard drum kit");

    const MidiTrack* melody = named("Melody");
    QVERIFY2(melody, "a track named Melody...");
    const auto first = std::find_if(melody->events.begin(), melody->events.end(),
                                    [](const MidiEvent& e) { return e.note_on(); });
    QVERIFY(first != melody->events.end());
    // Celesta to xylophone, harmonica, clarinet, the flutes and whistles.
    const std::set<int> bright{8, 9, 10, 11, 12, 13, 22, 71, 72, 73, 74, 75, 78, 79};
    QVERIFY2(bright.count(program[first->channel()]) == 1,
             qPrintable(QString("melody on GM program %1").arg(program[first->channel()] + 1)));
}

// A child's voice: middle C to G5, no wider than a tenth, no leap past an octave.
void TstTune::melody_is_singable() {
    const MidiTrack* melody = named("Melody");
    QVERIFY(melody);
    const QList<Sounding> notes = notes_of(*melody);
    QVERIFY(notes.size() > 100);
    int low = 127, high = 0, leap = 0;
    for (int i = 0; i < notes.size(); ++i) {
        low = std::min(low, notes[i].key);
        high = std::max(high, notes[i].key);
        if (i > 0)
            leap = std::max(leap, std::abs(notes[i].key - notes[i - 1].key));
    }
    QVERIFY2(low >= 60 && high <= 79, qPrintable(QString("keys %1 to %2").arg(low).arg(high)));
    QVERIFY2(high - low <= 16, qPrintable(QString("span %1 semitones").arg(high - low)));
    QVERIFY2(leap <= 12, qPrintable(QString("a leap of %1 semitones").arg(leap)));
}

// A final cadence: the key signature names the tonic, and the last melody and
// bass notes land on it together and are held, not clipped.
void TstTune::ends_on_the_tonic() {
    std::optional<int> home;
    for (const MidiEvent& e : midi.tracks[0].events)
        if (e.meta == 0x59 && e.data.size() == 2)
            home = ((qint8(e.data[0]) * 7 + (e.data[1] != 0 ? 9 : 0)) % 12 + 12) % 12;
    QVERIFY2(home, "a key signature");
    QVERIFY(named("Melody") && named("Bass"));
    const auto tune = notes_of(*named("Melody")), low = notes_of(*named("Bass"));
    QVERIFY(!tune.isEmpty() && !low.isEmpty());
    QCOMPARE(tune.last().key % 12, *home);
    QCOMPARE(low.last().key % 12, *home);
    QCOMPARE(tune.last().start, low.last().start);
    QVERIFY(tune.last().end - tune.last().start >= midi.division);
}

QTEST_APPLESS_MAIN(TstTune)
#include "tst_tune.moc"
