// SPDX-License-Identifier: GPL-3.0-or-later
// The MIDI player and the music control, against a recording media service
// and against the real FluidSynth-backed one rendering into a recording output.
#include "music/musica.h"
#include "platform/audio/suono_registrato.h"
#include "platform/audio/suono_sdl.h"
#include "support/dispositivo_in_ascolto.h"
#include "support/registri.h"

#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <cstring>

using namespace contavoce;
using namespace contavoce::platform;

namespace {

struct MediaRegistrata : test_support::MediaRegistrata {
    QStringList comandi;
    MediaRegistrata() : test_support::MediaRegistrata(comandi) {}
};

// A type-1 MIDI file: `note` piano notes of `quarti` quarter notes each at
// 120 bpm, one after the other, so it is short and audible throughout.
QByteArray midi_breve(int quarti, int note = 1) {
    auto be = [](quint32 v, int n) {
        QByteArray b;
        for (int i = n - 1; i >= 0; --i)
            b += char((v >> (8 * i)) & 0xff);
        return b;
    };
    // delta as a variable-length quantity
    QByteArray vlq;
    quint32 v = quint32(quarti) * 480;
    vlq.prepend(char(v & 0x7f));
    while (v >>= 7)
        vlq.prepend(char((v & 0x7f) | 0x80));
    QByteArray traccia = QByteArray::fromHex("00c000"); // program 0
    for (int i = 0; i < note; ++i)
        traccia += QByteArray::fromHex("00903c64") + vlq + QByteArray::fromHex("803c00"); // C4
    traccia += QByteArray::fromHex("00ff2f00");
    return "MThd" + be(6, 4) + be(1, 2) + be(1, 2) + be(480, 2) + "MTrk" +
           be(quint32(traccia.size()), 4) + traccia;
}

QString scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write(dati);
    return percorso;
}

double rms(const std::vector<float>& s, std::size_t da, std::size_t a) {
    double somma = 0;
    a = std::min(a, s.size());
    for (std::size_t i = da; i < a; ++i)
        somma += double(s[i]) * s[i];
    return a > da ? std::sqrt(somma / double(a - da)) : 0.0;
}

// Renders `secondi` more of the output and returns the RMS of that stretch.
double ascolta(SuonoRegistrato& r, double secondi) {
    const std::size_t prima = r.registrazione().size();
    r.avanza(int(secondi * 44100));
    return rms(r.registrazione(), prima, r.registrazione().size());
}

class SenzaUscita final : public VoceMusicale {
public:
    std::optional<std::pair<int, int>> formato_musica() override { return std::nullopt; }
    void imposta_musica(Musica) override {}
};

class Pulsante final : public PulsanteMusica {
public:
    std::string testo = caption_pausa;
    bool timer = true;
    std::string caption() const override { return testo; }
    void imposta_caption(const std::string& c) override { testo = c; }
    void abilita_timer(bool acceso) override { timer = acceso; }
};

const QString tune = qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/heidi-cartoon.mid";
constexpr double udibile = 0.003;

void suona(clsPlayMidi& p, const QString& file) {
    p.FileName(file.toStdString());
    p.mmPlay();
}

// A player on the real FluidSynth-backed service, started on `file`; the
// music goes to `r`, a recording output or the sound device. Unpacked as
// [r, m, p] by the tests.
template <typename Uscita> struct Riproduzione {
    Uscita r;
    MediaMidi m{r};
    clsPlayMidi p{m};

    explicit Riproduzione(const QString& file) { suona(p, file); }
};

} // namespace

class TstMusic : public QObject {
    Q_OBJECT

private slots:
    void comandi_del_lettore();
    void risposte_di_stato_data();
    void risposte_di_stato();
    void errori_del_servizio();
    void suona_pausa_e_fine_reali();
    void secondo_play_e_pausa_non_riprendono();
    void da_capo_dopo_stop_e_percorsi_con_spazi();
    void distruggere_il_lettore_ferma_la_musica();
    void sul_dispositivo_reale();
    void pausa_un_tono_e_ripresa();
    void riavvio_ogni_tre_minuti();
    void pulsante_musica();
};

void TstMusic::comandi_del_lettore() {
    QTemporaryDir dir;
    MediaRegistrata m;
    {
        clsPlayMidi p(m);
        QCOMPARE(p.FileName(), std::string());
        p.mmPlay(); // no file name
        p.FileName((dir.path() + "/manca.mid").toStdString());
        p.mmPlay();
        QVERIFY(m.comandi.isEmpty());
        QVERIFY(!p.mmOpen());

        p.FileName(scrivi(dir.path() + "/t.mid", midi_breve(1)).toStdString());
        p.mmPlay();
        QVERIFY(p.mmOpen());
        m.esito_open = 289;
        p.mmPlay();
        QVERIFY(!p.mmOpen());
        p.mmPausa();
        p.mmStop();
        QCOMPARE(m.comandi,
                 QStringList({"open " + dir.path() + "/t.mid type sequencer alias PlayMidi",
                              "play PlayMidi",
                              "open " + dir.path() + "/t.mid type sequencer alias PlayMidi",
                              "pause PlayMidi", "stop PlayMidi", "close PlayMidi"}));
        // A stop leaves the open flag as the last play set it.
        QVERIFY(!p.mmOpen());
        m.comandi.clear();
    }
    // Destruction stops and closes.
    QCOMPARE(m.comandi, QStringList({"stop PlayMidi", "close PlayMidi"}));
}

void TstMusic::risposte_di_stato_data() {
    QTest::addColumn<QByteArray>("risposta");
    QTest::addColumn<bool>("suona");
    QTest::newRow("playing") << QByteArray("playing") << true;
    QTest::newRow("italian") << QByteArray("in esecuzione") << true;
    QTest::newRow("paused") << QByteArray("paused") << false;
    QTest::newRow("stopped") << QByteArray("stopped") << false;
    QTest::newRow("play") << QByteArray("play") << false;
}

void TstMusic::risposte_di_stato() {
    QFETCH(QByteArray, risposta);
    QFETCH(bool, suona);
    MediaRegistrata m;
    clsPlayMidi p(m);
    m.risposta = risposta;
    QCOMPARE(p.IsPlaying(), suona);
    QCOMPARE(m.comandi.last(), "status PlayMidi mode [30]");
    // A failed query (nothing open) is not taken for the previous reply.
    m.stato_fallisce = true;
    QVERIFY(!p.IsPlaying());
}

void TstMusic::errori_del_servizio() {
    QTemporaryDir dir;
    const std::string buono =
        percorso_corto(scrivi(dir.path() + "/t.mid", midi_breve(1)).toStdString());
    const std::string rotto = scrivi(dir.path() + "/r.mid", "MThd\0\0\0\6garbage").toStdString();
    const std::string testo = scrivi(dir.path() + "/x.mid", "just text").toStdString();
    SuonoRegistrato r;
    MediaMidi m(r);
    const auto apri = [&](const std::string& p) {
        return m.invia("open " + p + " type sequencer alias a", nullptr, 0);
    };
    QCOMPARE(apri(dir.path().toStdString() + "/manca.mid"), int(media_file_mancante));
    QCOMPARE(apri(dir.path().toStdString()), int(media_file_mancante));
    QCOMPARE(apri(rotto), int(media_file_non_valido));
    QCOMPARE(apri(testo), int(media_file_non_valido));
    QCOMPARE(m.invia("play a", nullptr, 0), int(media_alias_sconosciuto));
    QCOMPARE(m.invia("status a mode", nullptr, 0), int(media_alias_sconosciuto));
    QCOMPARE(m.invia("open " + buono + " alias a", nullptr, 0), int(media_comando_sconosciuto));
    QCOMPARE(m.invia("rewind a", nullptr, 0), int(media_comando_sconosciuto));
    QCOMPARE(m.invia("", nullptr, 0), int(media_comando_sconosciuto));
    QCOMPARE(apri(buono), 0);
    QCOMPARE(apri(buono), int(media_alias_gia_aperto));
    // Trailing blanks (a blank-filled command buffer) and letter case do not matter.
    QCOMPARE(m.invia("CLOSE A      ", nullptr, 0), 0);

    SenzaUscita muta;
    MediaMidi senza_dispositivo(muta);
    QCOMPARE(senza_dispositivo.invia("open " + buono + " type sequencer alias a", nullptr, 0),
             int(media_senza_dispositivo));
    SuonoRegistrato r2;
    MediaMidi senza_font(r2, "/nessun/font.sf2");
    QCOMPARE(senza_font.invia("open " + buono + " type sequencer alias a", nullptr, 0),
             int(media_senza_soundfont));

    // A SoundFont that is there but does not load: a recording's open says so;
    // the device's does not wait for the load, so there the tune ends at once,
    // silently, and the opens after it say so.
    const std::string finta = scrivi(dir.path() + "/finta.sf2", "RIFF non proprio\n").toStdString();
    SuonoRegistrato r3;
    MediaMidi guasta(r3, finta);
    QCOMPARE(guasta.invia("open " + buono + " type sequencer alias a", nullptr, 0),
             int(media_senza_soundfont));
    SuonoSdl s;
    MediaMidi guasta_dal_vivo(s, finta);
    QCOMPARE(guasta_dal_vivo.invia("open " + buono + " type sequencer alias a", nullptr, 0), 0);
    QCOMPARE(guasta_dal_vivo.invia("play a", nullptr, 0), 0);
    std::array<char, 31> modo{};
    QTRY_COMPARE((guasta_dal_vivo.invia("status a mode", modo.data(), 30), QByteArray(modo.data())),
                 QByteArray("stopped"));
    QCOMPARE(guasta_dal_vivo.invia("open " + buono + " type sequencer alias b", nullptr, 0),
             int(media_senza_soundfont));

    QVERIFY(percorso_corto((dir.path() + "/manca.mid").toStdString()).empty());
}

void TstMusic::suona_pausa_e_fine_reali() {
    QTemporaryDir dir;
    // Four notes of half a second: a 2 s tune.
    Riproduzione<SuonoRegistrato> riproduzione(scrivi(dir.path() + "/t.mid", midi_breve(1, 4)));
    auto& [r, m, p] = riproduzione;
    QVERIFY(p.mmOpen());
    QVERIFY(p.IsPlaying());
    QVERIFY(ascolta(r, 1.0) > udibile);
    p.mmPausa();
    QVERIFY(!p.IsPlaying());
    ascolta(r, 0.1); // the reverb's tail
    QVERIFY(ascolta(r, 0.5) < udibile / 10);
    // The service itself resumes a paused alias where it stopped (the player
    // class never asks it to): the second half is heard and ends a second later,
    // where a tune started again would play on for two.
    QCOMPARE(m.invia("play PlayMidi", nullptr, 0), 0);
    QVERIFY(p.IsPlaying());
    QVERIFY(ascolta(r, 0.6) > udibile);
    ascolta(r, 0.9);
    QVERIFY(!p.IsPlaying());
    p.mmStop();
    p.mmPlay();
    ascolta(r, 2.5);
    QVERIFY(!p.IsPlaying()); // played to its end
    std::array<char, 31> modo{};
    QCOMPARE(m.invia("status PlayMidi mode", modo.data(), 30), 0);
    QCOMPARE(QByteArray(modo.data()), QByteArray("stopped"));
}

void TstMusic::secondo_play_e_pausa_non_riprendono() {
    Riproduzione<SuonoRegistrato> riproduzione(tune);
    auto& [r, m, p] = riproduzione;
    QVERIFY(p.mmOpen());
    ascolta(r, 1.0);
    p.mmPlay(); // the alias is open: refused, the tune goes on
    QVERIFY(!p.mmOpen());
    QVERIFY(p.IsPlaying());
    QVERIFY(ascolta(r, 1.0) > udibile);

    p.mmPausa();
    p.mmPlay();
    QVERIFY(!p.mmOpen());
    QVERIFY(!p.IsPlaying());
    ascolta(r, 0.1);
    QVERIFY(ascolta(r, 1.0) < udibile / 10);
    p.mmStop();
    p.mmStop();
    QVERIFY(!p.IsPlaying());
}

void TstMusic::da_capo_dopo_stop_e_percorsi_con_spazi() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("con degli spazi"));
    const QString copia = dir.path() + "/con degli spazi/la mia musica.mid";
    QVERIFY(QFile::copy(tune, copia));
    Riproduzione<SuonoRegistrato> riproduzione(copia);
    auto& [r, m, p] = riproduzione;
    QVERIFY(p.mmOpen());
    ascolta(r, 3.0);
    const std::vector<float> prima(r.registrazione().begin(),
                                   r.registrazione().begin() + 2 * 44100 * 3);
    ascolta(r, 2.0);
    p.mmStop();
    p.mmPlay();
    const std::size_t da = r.registrazione().size();
    ascolta(r, 3.0);
    // From the beginning again: the loudness contour of the first seconds repeats.
    double simili = 0, coppie = 0;
    for (std::size_t b = 0; b + 4410 * 2 <= prima.size(); b += 4410 * 2) {
        const double x = rms(prima, b, b + 4410 * 2);
        const double y = rms(r.registrazione(), da + b, da + b + 4410 * 2);
        simili += std::abs(x - y) < 0.25 * std::max(x, y) + 1e-4;
        ++coppie;
    }
    QVERIFY2(simili / coppie > 0.9, qPrintable(QString::number(simili / coppie)));
    // The restart comes in with a fade, not a click: its first 10 ms are far
    // quieter than the 10 ms at 0.3 s.
    const auto& dopo = r.registrazione();
    const double attacco = rms(dopo, da, da + 2 * 441);
    const double pieno = rms(dopo, da + 2 * 13230, da + 2 * 13671);
    QVERIFY2(attacco < pieno / 10, qPrintable(QString("%1 %2").arg(attacco).arg(pieno)));
}

void TstMusic::distruggere_il_lettore_ferma_la_musica() {
    SuonoRegistrato r;
    MediaMidi m(r);
    {
        clsPlayMidi p(m);
        suona(p, tune);
        QVERIFY(ascolta(r, 1.0) > udibile);
    }
    ascolta(r, 0.1);
    QVERIFY(ascolta(r, 1.0) < udibile / 10);
    // The alias was closed: a new player can open it.
    clsPlayMidi altro(m);
    suona(altro, tune);
    QVERIFY(altro.mmOpen());
}

void TstMusic::sul_dispositivo_reale() {
    auto orecchio = std::make_shared<prova::DispositivoInAscolto::Orecchio>();
    SuonoSdl s(std::make_unique<prova::DispositivoInAscolto>(orecchio));
    MediaMidi m(s);
    clsPlayMidi p(m);
    suona(p, tune);
    QVERIFY(s.mixer());
    QVERIFY(p.mmOpen());
    // The device pulls the music in real time while the caller goes on.
    QTRY_VERIFY(orecchio->massimo > udibile);
    QVERIFY(p.IsPlaying());
    // A pause is heard at once: the music rendered ahead (a tenth of a second
    // or more) is dropped, not played out; only the reverb's tail follows.
    p.mmPausa();
    QTest::qWait(100);
    orecchio->azzera();
    QTest::qWait(300);
    QVERIFY2(orecchio->massimo < udibile / 10, qPrintable(QString::number(orecchio->massimo)));
    QCOMPARE(m.invia("play PlayMidi", nullptr, 0), 0);
    QTRY_VERIFY(orecchio->massimo > udibile);
    QVERIFY(p.IsPlaying());
    p.mmStop();
    QVERIFY(!p.IsPlaying());
}

// The first frame louder than `soglia` in the left channel of stereo samples, from `da`.
std::size_t primo_suono(const std::vector<float>& s, std::size_t da, double soglia) {
    for (std::size_t f = da; 2 * f < s.size(); ++f)
        if (std::abs(s[2 * f]) > soglia)
            return f;
    return s.size() / 2;
}

// The best match of `n` frames of `a` from `da` within `b` from `attorno`
// +- `lontano` frames, on the left channel: {lag, correlation}.
std::pair<int, double> allinea(const std::vector<float>& a, std::size_t da,
                               const std::vector<float>& b, std::size_t attorno, int lontano,
                               std::size_t n) {
    std::pair<int, double> meglio{0, -1.0};
    for (int lag = -lontano; lag <= lontano; ++lag) {
        double xy = 0, xx = 0, yy = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double x = a[2 * (da + i)];
            const double y = b[2 * std::size_t(std::int64_t(attorno + i) + lag)];
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
        const double c = xy / std::sqrt(xx * yy + 1e-30);
        if (c > meglio.second)
            meglio = {lag, c};
    }
    return meglio;
}

// A pause, a key's tone while paused, then the service's own resume, on the
// real device: the status says "playing" again, and the tune goes on from the
// frame the output had reached, not from what had been made ahead of it.
void TstMusic::pausa_un_tono_e_ripresa() {
    using namespace std::chrono_literals;
    QTemporaryDir dir;
    const std::string tono = (dir.path() + "/tono.wav").toStdString();
    std::vector<float> campioni(4410);
    for (std::size_t i = 0; i < campioni.size(); ++i)
        campioni[i] = float(0.3 * std::sin(double(i) * 0.1));
    QVERIFY(scrivi_wav(tono, campioni, {44100, 1}));
    auto orecchio = std::make_shared<prova::DispositivoInAscolto::Orecchio>();
    orecchio->registra(2 * 44100 * 12);
    const auto frame_sentiti = [&] { return orecchio->registrati.load() / 2; };
    std::size_t pausa = 0, ripresa = 0;
    {
        SuonoSdl s(std::make_unique<prova::DispositivoInAscolto>(orecchio));
        MediaMidi m(s);
        clsPlayMidi p(m);
        suona(p, tune);
        QTRY_VERIFY(orecchio->massimo > udibile);
        QTest::qWait(1500);
        p.mmPausa();
        pausa = frame_sentiti();
        QVERIFY(!p.IsPlaying());
        s.suona_file(tono);
        QTest::qWait(500);
        ripresa = frame_sentiti();
        QCOMPARE(m.invia("play PlayMidi", nullptr, 0), 0);
        QVERIFY(p.IsPlaying());
        QTest::qWait(1200);
        QVERIFY(p.IsPlaying());
    }
    const std::vector<float>& sentito = orecchio->campioni;
    QVERIFY(frame_sentiti() > ripresa + 44100);

    // The same tune recorded straight through: frame for frame what the device
    // heard from its first sound on.
    SuonoRegistrato r;
    MediaMidi m(r);
    clsPlayMidi p(m);
    suona(p, tune);
    r.avanza(44100 * 6);
    const std::vector<float>& diritto = r.registrazione();
    const std::size_t inizio = primo_suono(sentito, 0, 1e-6);
    const std::size_t inizio_diritto = primo_suono(diritto, 0, 1e-6);
    const std::size_t ripreso = primo_suono(sentito, ripresa, 1e-6);
    QVERIFY(inizio < pausa && ripreso < frame_sentiti());
    // Past the resume's fade-in, half a second of it against where the output stood at the pause.
    const std::size_t fino_a = pausa - inizio + inizio_diritto;
    const auto [lag, somiglianza] =
        allinea(sentito, ripreso + 13230, diritto, fino_a + 13230, 3000, 22050);
    QVERIFY2(somiglianza > 0.9 && std::abs(lag) <= 1024,
             qPrintable(QString("lag %1 correlation %2").arg(lag).arg(somiglianza)));
}

void TstMusic::riavvio_ogni_tre_minuti() {
    MediaRegistrata m;
    MusicaDiSottofondo musica(m);
    musica.musica.FileName(tune.toStdString());
    std::int16_t conta_timer = 0;
    QStringList riavvii;
    for (int minuto = 1; minuto <= 9; ++minuto) {
        m.comandi.clear();
        musica.timerLungo(2, conta_timer);
        if (m.comandi.contains("play PlayMidi"))
            riavvii << QString::number(minuto);
    }
    QCOMPARE(riavvii, QStringList({"3", "6", "9"}));
    QCOMPARE(conta_timer, std::int16_t(0));
}

void TstMusic::pulsante_musica() {
    MediaRegistrata m;
    MusicaDiSottofondo musica(m);
    musica.musica.FileName(tune.toStdString());
    Pulsante b;
    musica.Command5_Click(b);
    QCOMPARE(b.testo, std::string("&Suona musica"));
    QVERIFY(!b.timer);
    QCOMPARE(m.comandi, QStringList({"pause PlayMidi"}));
    m.comandi.clear();
    musica.Command5_Click(b);
    QCOMPARE(b.testo, std::string("&Pausa musica"));
    QVERIFY(b.timer);
    QCOMPARE(m.comandi.mid(0, 2), QStringList({"stop PlayMidi", "close PlayMidi"}));
    QVERIFY(m.comandi.last() == "play PlayMidi");

    // Without the tune file the button still toggles, and nothing is opened.
    MediaRegistrata vuota;
    MusicaDiSottofondo senza(vuota);
    senza.musica.FileName("/non/esiste.mid");
    Pulsante c;
    senza.Command5_Click(c);
    senza.Command5_Click(c);
    QCOMPARE(c.testo, std::string("&Pausa musica"));
    QVERIFY(c.timer);
    QVERIFY(!vuota.comandi.join(' ').contains("open"));
}

QTEST_GUILESS_MAIN(TstMusic)
#include "tst_music.moc"
