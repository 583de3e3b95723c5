// SPDX-License-Identifier: GPL-3.0-or-later
// The tune's score compiler: the notation read correctly, and every mistake
// reported at its own line so the build can point at it.
#include "tools/tune/score.h"

#include <QtTest>
#include <set>
#include <tuple>

using namespace contavoce::tune;

namespace {

// Lines 1-9; a case's own lines start at line 10, inside section "s".
const QString header = "time 4/4\n"
                       "track mel notes channel=1 program=74 gate=100 vel=80\n"
                       "track ch chords channel=2 program=22 gate=100 around=C4\n"
                       "track dr drums vel=60\n"
                       "comp hold x---\n"
                       "comp offs .x.x\n"
                       "pattern p\n"
                       "  kick X... x... o... ....\n"
                       "section s\n";

Parsed parse_case(const QString& body) {
    QString text = header + body;
    if (!body.contains("form"))
        text += "\nform s\n";
    return parse_score(text.toStdString());
}

QString all_errors(const Parsed& p) {
    QStringList out;
    for (const Diagnostic& d : p.errors)
        out << QString("%1: %2").arg(d.line).arg(QString::fromStdString(d.message));
    return out.join("\n");
}

struct Heard {
    int start, length, key;
    bool operator==(const Heard&) const = default;
};

QList<Heard> heard(const Section& s, int track) {
    QList<Heard> out;
    for (const Note& n : s.notes)
        if (n.track == track)
            out.append({n.start, n.length, n.key});
    return out;
}

char* toString(const Heard& h) {
    return qstrdup(qPrintable(QString("{%1, %2, %3}").arg(h.start).arg(h.length).arg(h.key)));
}

const Section& only_section(const Parsed& p) {
    return p.score.sections.at(0);
}

} // namespace

class TstTuneScore : public QObject {
    Q_OBJECT

private slots:
    void pitches_data();
    void pitches();
    void durations_data();
    void durations();
    void chords_data();
    void chords();

    void errors_data();
    void errors();
    void errors_do_not_stop_the_reading();

    void notes_land_where_written();
    void chords_share_the_bar_and_follow_the_comp();
    void drum_patterns_and_accents();
    void derived_sections_and_tempo_changes();

    void compiler_fails_the_build_on_a_bad_score();
};

void TstTuneScore::pitches_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::newRow("middle C") << "C4" << 60;
    QTest::newRow("sharp") << "F#3" << 54;
    QTest::newRow("flat") << "Bb5" << 82;
    QTest::newRow("B# crosses the octave") << "B#3" << 60;
    QTest::newRow("highest") << "G9" << 127;
    QTest::newRow("above MIDI") << "Ab9" << -1;
    QTest::newRow("German H") << "H4" << -1;
    QTest::newRow("no octave") << "C" << -1;
}

void TstTuneScore::pitches() {
    QFETCH(QString, name);
    QFETCH(int, key);
    QCOMPARE(parse_pitch(name.toStdString()), key);
}

void TstTuneScore::durations_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ticks");
    QTest::newRow("dotted quarter") << ":4." << 720;
    QTest::newRow("double-dotted half") << ":2.." << 1680;
    QTest::newRow("triplet eighth") << ":8t" << 160;
    QTest::newRow("not a power of two") << ":3" << -1;
    QTest::newRow("no colon") << "4" << -1;
    QTest::newRow("three dots") << ":2..." << -1;
    QTest::newRow("junk after") << ":4x" << -1;
}

void TstTuneScore::durations() {
    QFETCH(QString, text);
    QFETCH(int, ticks);
    QCOMPARE(parse_duration(text.toStdString()), ticks);
}

void TstTuneScore::chords_data() {
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QList<int>>("pitch_classes");
    QTest::newRow("major") << "G" << QList<int>{7, 11, 2};
    QTest::newRow("minor") << "Am" << QList<int>{9, 0, 4};
    QTest::newRow("dominant seventh") << "D7" << QList<int>{2, 6, 9, 0};
    QTest::newRow("flat root, major seventh") << "Bbmaj7" << QList<int>{10, 2, 5, 9};
    QTest::newRow("sharp root, diminished") << "F#dim" << QList<int>{6, 9, 0};
    QTest::newRow("unknown root") << "H" << QList<int>{};
}

// Close voicings: every chord note once, rising, within an octave and centred
// near the requested key, so that consecutive chords move little.
void TstTuneScore::chords() {
    QFETCH(QString, symbol);
    QFETCH(QList<int>, pitch_classes);
    const auto pcs = chord_pitch_classes(symbol.toStdString());
    QCOMPARE(QList<int>(pcs.begin(), pcs.end()), pitch_classes);
    for (int around : {55, 62, 67}) {
        const auto keys = voice_chord(pcs, around);
        QCOMPARE(keys.size(), pcs.size());
        std::set<int> classes;
        double mean = 0;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            classes.insert(keys[k] % 12);
            mean += keys[k] / double(keys.size());
            QVERIFY(k == 0 || keys[k] > keys[k - 1]);
        }
        QCOMPARE(classes, std::set<int>(pcs.begin(), pcs.end()));
        QVERIFY(keys.empty() || keys.back() - keys.front() < 12);
        QVERIFY2(keys.empty() || std::abs(mean - around) <= 6, qPrintable(QString::number(mean)));
    }
}

void TstTuneScore::errors_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("with_header");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("message");

    QTest::newRow("bad note name") << "mel | C4:4 H4 C4 C4 |" << true << 10 << "bad note 'H4'";
    QTest::newRow("bar too long")
        << "mel | C4:4 D4 E4 F4 | G4:2 A4 B4 |" << true << 10
        << "bar 2 of section 's' lasts 6 beats, but 4/4 wants 4 (bar too long)";
    QTest::newRow("the faulty line, not the first")
        << "mel | C4:1 |\nmel | C4:1 |\nmel | C4:2 D4:4 E4 F4:8 |" << true << 12
        << "bar 3 of section 's' lasts 4 1/2 beats";
    QTest::newRow("bad duration") << "mel | C4:3 D4:4 E4 F4 G4 |" << true << 10
                                  << "bad duration in 'C4:3'";
    QTest::newRow("line starts without a duration")
        << "mel | C4:1 |\nmel | C4 D4 E4 F4 |" << true << 11 << "'C4' needs a duration";
    QTest::newRow("unknown chord") << "ch | G Hm |" << true << 10 << "unknown chord 'Hm'";
    QTest::newRow("unknown drum pattern")
        << "dr | p | q |" << true << 10 << "bar 2 of section 's': unknown drum pattern 'q'";
    QTest::newRow("unknown track") << "sax | C4:1 |" << true << 10 << "unknown track 'sax'";
    QTest::newRow("tie to another note") << "mel | C4:2~ D4:2 |" << true << 10 << "tie from key 60";
    QTest::newRow("tie to nothing")
        << "mel | C4:1 |\nmel | C4:1~ |" << true << 11 << "ends on a tie";
    QTest::newRow("tracks of unequal length")
        << "mel | C4:1 | C4:1 |\ndr | p |" << true << 9 << "track 'dr' has 1 bars, track 'mel' 2";
    QTest::newRow("form names a missing section")
        << "mel | C4:1 |\nform s t" << true << 11 << "unknown section 't'";

    QTest::newRow("drums off channel 10")
        << "track d drums channel=9" << false << 1 << "drums play on channel 10";
    QTest::newRow("shared channel") << "track a notes channel=3\ntrack b notes channel=3" << false
                                    << 2 << "channel 3 is already used by track 'a'";
    QTest::newRow("pattern rows differ") << "pattern q\n  kick x...\n  hat x.x.x.x." << false << 3
                                         << "row has 8 cells, the pattern's first row 4";
    QTest::newRow("no form") << "track a notes\nsection s\na | C4:1 |" << false << 3
                             << "no form line";
}

void TstTuneScore::errors() {
    QFETCH(QString, body);
    QFETCH(bool, with_header);
    QFETCH(int, line);
    QFETCH(QString, message);
    const Parsed p = with_header ? parse_case(body) : parse_score(body.toStdString());
    QVERIFY2(!p.errors.empty(), "the mistake went unnoticed");
    const Diagnostic& first = p.errors.front();
    QVERIFY2(first.line == line && QString::fromStdString(first.message).contains(message),
             qPrintable(all_errors(p)));
}

void TstTuneScore::errors_do_not_stop_the_reading() {
    const Parsed p = parse_case("mel | C4:4 D4 E4 |\n"
                                "mel | C4:1 |\n"
                                "ch | G Xyz |\n"
                                "dr | p | p |");
    QCOMPARE(p.errors.size(), std::size_t(3));
    QCOMPARE(p.errors[0].line, 10);
    QCOMPARE(p.errors[1].line, 12);
    QVERIFY(p.errors[2].message.find("has 1 bars") != std::string::npos);
    QCOMPARE(p.errors[2].line, 9);
}

// Durations carry over on a line; a tie joins across the bar line; '%'
// repeats a bar as written (without the tie into it); gate shortens the sound.
void TstTuneScore::notes_land_where_written() {
    const Parsed p =
        parse_case("mel | C4:4 D4:8 E4 F#4:4. G4:8 | Bb3:8t C4 D4 r:8t Eb4:4t G4:4 r |\n"
                   "mel | C4:2 E4:2~ | E4:4 r:2. | % |\n"
                   "mel gate=50 | G4:2 G4 |");
    QVERIFY2(p.errors.empty(), qPrintable(all_errors(p)));
    const QList<Heard> want{{0, 480, 60},    {480, 240, 62},  {720, 240, 64},  {960, 720, 66},
                            {1680, 240, 67}, {1920, 160, 58}, {2080, 160, 60}, {2240, 160, 62},
                            {2560, 320, 63}, {2880, 480, 67}, {3840, 960, 60}, {4800, 1440, 64},
                            {7680, 480, 64}, {9600, 480, 67}, {10560, 480, 67}};
    QCOMPARE(heard(only_section(p), 0), want);
    QCOMPARE(only_section(p).bars, 6);
}

void TstTuneScore::chords_share_the_bar_and_follow_the_comp() {
    // Around C4, C is voiced G3 C4 E4 and F as A3 C4 F4.
    const Parsed p = parse_case("ch comp=hold | C F |\n"
                                "ch comp=offs | C F |\n"
                                "ch | C:4. F:8 r:2 |");
    QVERIFY2(p.errors.empty(), qPrintable(all_errors(p)));
    const QList<int> c{55, 60, 64}, f{57, 60, 65};
    QList<Heard> want;
    auto add = [&](int start, int length, const QList<int>& keys) {
        for (int k : keys)
            want.append({start, length, k});
    };
    add(0, 960, c); // one strike held over the chord change sounds both chords
    add(960, 960, f);
    add(1920 + 480, 480, c); // off-beat strikes take the chord of the moment
    add(1920 + 1440, 480, f);
    add(3840, 720, c); // without a comp each chord sounds its own length
    add(3840 + 720, 240, f);
    std::sort(want.begin(), want.end(), [](const Heard& a, const Heard& b) {
        return std::tie(a.start, a.key) < std::tie(b.start, b.key);
    });
    QCOMPARE(heard(only_section(p), 1), want);
}

// Drum hits fall on their pattern's steps, X above x above o; in a melody the
// downbeat leads, beat three follows, an off-beat eighth is softest.
void TstTuneScore::drum_patterns_and_accents() {
    const Parsed p = parse_case("dr | p | r |\nmel | C4:8 C4 C4:4 C4:2 | r:1 |");
    QVERIFY2(p.errors.empty(), qPrintable(all_errors(p)));
    QList<int> drums, velocities[3];
    for (const Note& n : only_section(p).notes) {
        if (n.track == 2)
            drums << n.start;
        velocities[n.track] << n.velocity;
    }
    QCOMPARE(drums, (QList<int>{0, 480, 960})); // the silent bar stays silent
    QCOMPARE(velocities[2], (QList<int>{80, 60, 35}));
    const QList<int>& m = velocities[0];
    QCOMPARE(m.size(), 4);
    QVERIFY(m[0] > m[3] && m[3] > m[2] && m[2] > m[1]);
}

// A derived section keeps its base's tracks and tempo changes unless it
// writes its own.
void TstTuneScore::derived_sections_and_tempo_changes() {
    const Parsed p = parse_case("tempo 100 at 2\n"
                                "tempo 90 at 2.3\n"
                                "mel | C4:1 | D4:1 |\n"
                                "dr | p | % |\n"
                                "section t from s\n"
                                "mel | E4:1 | F4:1 |\n"
                                "form s t");
    QVERIFY2(p.errors.empty(), qPrintable(all_errors(p)));
    QCOMPARE(p.score.sections.size(), std::size_t(2));
    const Section &s = p.score.sections[0], &t = p.score.sections[1];
    QCOMPARE(t.bars, 2);
    QCOMPARE(heard(t, 2), heard(s, 2));
    QCOMPARE(heard(t, 0), (QList<Heard>{{0, 1920, 64}, {1920, 1920, 65}}));
    QCOMPARE(p.score.form, (std::vector<int>{0, 1}));
    for (const Section* x : {&s, &t}) {
        QCOMPARE(x->tempi.size(), std::size_t(2));
        QCOMPARE(x->tempi[0].tick, 1920);
        QCOMPARE(x->tempi[0].bpm, 100.0);
        QCOMPARE(x->tempi[1].tick, 1920 + 960);
        QCOMPARE(x->tempi[1].bpm, 90.0);
    }
}

void TstTuneScore::compiler_fails_the_build_on_a_bad_score() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto run = [&](const QString& score_text, const QString& out) {
        QFile f(dir.filePath("tune.score"));
        if (!f.open(QIODevice::WriteOnly))
            return std::pair{-2, QString()};
        f.write(score_text.toUtf8());
        f.close();
        QProcess p;
        p.start(TUNE_COMPILER, {f.fileName(), dir.filePath(out)});
        p.waitForFinished(30000);
        const int code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return std::pair{code, QString::fromUtf8(p.readAllStandardError())};
    };

    const auto bad = run(header + "mel | C4:4 D4 |\nmel | C4:1 |\nmel | X4:1 |\nform s\n", "a.mid");
    QCOMPARE(bad.first, 1);
    QVERIFY2(bad.second.contains("tune.score:10: error: bar 1 of section 's' lasts 2 beats"),
             qPrintable(bad.second));
    QVERIFY2(bad.second.contains("tune.score:12: error:"), qPrintable(bad.second));
    QVERIFY(!QFile::exists(dir.filePath("a.mid")));

    const QString good = header + "mel | C4:4 D4 E4 F4 |\ndr | p |\nform s\n";
    QCOMPARE(run(good, "b.mid").first, 0);
    QCOMPARE(run(good, "c.mid").first, 0);
    QFile b(dir.filePath("b.mid")), c(dir.filePath("c.mid"));
    QVERIFY(b.open(QIODevice::ReadOnly) && c.open(QIODevice::ReadOnly));
    const QByteArray first = b.readAll();
    QVERIFY(first.startsWith("MThd"));
    QCOMPARE(first, c.readAll()); // the same score always gives the same bytes
}

QTEST_APPLESS_MAIN(TstTuneScore)
#include "tst_tune_score.moc"
