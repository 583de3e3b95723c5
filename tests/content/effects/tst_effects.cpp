// SPDX-License-Identifier: GPL-3.0-or-later
// The generated sound effects as the program will play them: exact formats and
// lengths, the keypad tones by ear (Goertzel), no clicks or clipping, similar
// loudness and none above the voice, and the shape that makes each one recognisable.
#include "support/livelli.h"
#include "support/wav_info.h"

#include <QtTest>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

namespace {

using test_support::WavInfo;
using Canale = std::vector<double>;

QString effetto(const QString& nome) {
    return QStringLiteral(EMBED_DIR "/wav/") + nome + ".wav";
}
QString laser() {
    return qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/laser.wav";
}

struct Suono {
    QString errore;
    int frequenza = 0;
    std::vector<Canale> canali;
};

// Compressed files go through SDL, which is what the program plays them with;
// "strict" makes SDL refuse a missing or wrong fact chunk instead of guessing.
Suono decodifica_con_sdl(const QString& percorso) {
    Suono s;
    SDL_SetHint(SDL_HINT_WAVE_FACT_CHUNK, "strict");
    SDL_AudioSpec uscita{};
    Uint8* dati = nullptr;
    Uint32 byte = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromFile(percorso.toLocal8Bit().constData(), "rb"), 1, &uscita, &dati,
                        &byte)) {
        s.errore = QString::fromUtf8(SDL_GetError());
        return s;
    }
    const std::unique_ptr<Uint8, decltype(&SDL_FreeWAV)> custode(dati, SDL_FreeWAV);
    if (uscita.format != AUDIO_S16LSB || uscita.channels < 1) {
        s.errore = "SDL decoded to an unexpected sample format";
        return s;
    }
    s.frequenza = uscita.freq;
    s.canali.resize(uscita.channels);
    const std::size_t frame = byte / (2u * uscita.channels);
    for (std::size_t i = 0; i < frame; ++i)
        for (std::size_t c = 0; c < uscita.channels; ++c) {
            Sint16 v;
            std::memcpy(&v, dati + 2 * (i * uscita.channels + c), 2);
            s.canali[c].push_back(v / 32768.0);
        }
    return s;
}

Suono carica(const QString& percorso) {
    const WavInfo w = test_support::leggi_wav(percorso);
    if (!w.ok)
        return {w.errore, 0, {}};
    if (w.formato != 1)
        return decodifica_con_sdl(percorso);
    if (w.canali != 1)
        return {"only mono PCM is expected", 0, {}};
    return {{}, w.frequenza, {test_support::campioni(w)}};
}

// Every sound the program uses, by path.
QStringList tutti() {
    QStringList p;
    for (const char* nome : {"ASINO", "CANE", "GALLO", "INIZIO", "SPARO", "UCCELLO", "VETRO"})
        p << effetto(nome);
    for (int d = 0; d <= 9; ++d)
        p << effetto(QStringLiteral("G%1").arg(d));
    return p << laser();
}

double picco(const Canale& x) {
    double p = 0.0;
    for (double v : x)
        p = std::max(p, std::abs(v));
    return p;
}

double picco(const Canale& x, std::size_t da, std::size_t a) {
    return picco(Canale(x.begin() + std::ptrdiff_t(da), x.begin() + std::ptrdiff_t(a)));
}

double db(double potenza) {
    return 10.0 * std::log10(std::max(potenza, 1e-20));
}

// Power at one frequency over the whole signal (Hann window against leakage).
double goertzel(const Canale& x, int fs, double f) {
    const double coeff = 2.0 * std::cos(2.0 * std::numbers::pi * f / fs);
    const double n = double(x.size());
    double s1 = 0.0, s2 = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / (n - 1));
        const double s0 = x[i] * hann + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// Mean power of the loudest 100 ms, all channels together.
double potenza_massima(const Suono& s) {
    const auto finestra = std::size_t(s.frequenza / 10);
    double migliore = 0.0, somma = 0.0;
    const std::size_t n = s.canali.front().size();
    for (std::size_t i = 0; i < n; ++i) {
        for (const Canale& c : s.canali) {
            somma += c[i] * c[i];
            if (i >= finestra)
                somma -= c[i - finestra] * c[i - finestra];
        }
        migliore = std::max(migliore, somma);
    }
    return migliore / double(finestra * s.canali.size());
}

struct Tratto {
    double inizio;
    double durata;
};

// Stretches of sound separated by quiet: 5 ms frames within 25 dB of the loudest
// frame; blips under 15 ms do not count.
std::vector<Tratto> tratti(const Canale& x, int fs) {
    const auto passo = std::size_t(fs / 200);
    std::vector<double> energia;
    for (std::size_t i = 0; i + passo <= x.size(); i += passo) {
        double e = 0.0;
        for (std::size_t k = i; k < i + passo; ++k)
            e += x[k] * x[k];
        energia.push_back(e);
    }
    const double soglia = *std::max_element(energia.begin(), energia.end()) * std::pow(10, -2.5);
    std::vector<Tratto> t;
    for (std::size_t i = 0; i < energia.size();) {
        if (energia[i] < soglia) {
            ++i;
            continue;
        }
        std::size_t fine = i;
        while (fine < energia.size() && energia[fine] >= soglia)
            ++fine;
        if ((fine - i) * 5 >= 15)
            t.push_back({double(i) * 0.005, double(fine - i) * 0.005});
        i = fine;
    }
    return t;
}

// Crossings of zero per second over [da, a) seconds: for a tone with a strong
// fundamental, twice its frequency.
double attraversamenti(const Canale& x, int fs, double da, double a) {
    int n = 0;
    const auto inizio = std::size_t(da * fs), fine = std::min(x.size(), std::size_t(a * fs));
    for (std::size_t i = inizio + 1; i < fine; ++i)
        n += (x[i - 1] < 0) != (x[i] < 0);
    return n / (a - da);
}

} // namespace

class TstEffects : public QObject {
    Q_OBJECT

private slots:
    void formato_data();
    void formato();
    void blocchi_adpcm();
    void tasti_dtmf_data();
    void tasti_dtmf();
    void senza_scatti_ne_saturazione_data();
    void senza_scatti_ne_saturazione();
    void volume_simile();
    void forma_degli_animali();
    void vetro_in_stereo();
    void laser_scende();
};

void TstEffects::formato_data() {
    QTest::addColumn<QString>("percorso");
    QTest::addColumn<int>("formato");
    QTest::addColumn<int>("canali");
    QTest::addColumn<int>("frequenza");
    QTest::addColumn<int>("bit");
    QTest::addColumn<double>("secondi");
    QTest::newRow("ASINO") << effetto("ASINO") << 1 << 1 << 8000 << 16 << 1.34;
    QTest::newRow("CANE") << effetto("CANE") << 1 << 1 << 22050 << 16 << 1.41;
    QTest::newRow("GALLO") << effetto("GALLO") << 1 << 1 << 22050 << 16 << 2.02;
    QTest::newRow("INIZIO") << effetto("INIZIO") << 1 << 1 << 7000 << 8 << 1.96;
    QTest::newRow("SPARO") << effetto("SPARO") << 1 << 1 << 11025 << 8 << 0.40;
    QTest::newRow("UCCELLO") << effetto("UCCELLO") << 1 << 1 << 11025 << 8 << 0.61;
    QTest::newRow("VETRO") << effetto("VETRO") << 2 << 2 << 22050 << 4 << 3.62;
    for (int d = 0; d <= 9; ++d) {
        const QString nome = QStringLiteral("G%1").arg(d);
        QTest::newRow(qPrintable(nome)) << effetto(nome) << 1 << 1 << 11025 << 8 << 0.25;
    }
}

void TstEffects::formato() {
    QFETCH(QString, percorso);
    QFETCH(int, formato);
    QFETCH(int, canali);
    QFETCH(int, frequenza);
    QFETCH(int, bit);
    QFETCH(double, secondi);
    const WavInfo w = test_support::leggi_wav(percorso);
    QVERIFY2(w.ok, qPrintable(w.errore));
    QCOMPARE(w.formato, formato);
    QCOMPARE(w.canali, canali);
    QCOMPARE(w.frequenza, frequenza);
    QCOMPARE(w.bit, bit);
    QVERIFY2(std::abs(w.secondi() - secondi) <= 0.02 * secondi,
             qPrintable(QStringLiteral("lasts %1 s").arg(w.secondi())));
}

void TstEffects::blocchi_adpcm() {
    const WavInfo w = test_support::leggi_wav(effetto("VETRO"));
    QVERIFY2(w.ok, qPrintable(w.errore));
    QCOMPARE(w.block_align, 1024);
    // Each block starts with a 7-byte header per channel holding two frames; the
    // rest are 4-bit codes. A mismatch makes decoders reject or garble the file.
    const int per_blocco = (w.block_align - 7 * w.canali) * 8 / (w.bit * w.canali) + 2;
    QCOMPARE(w.campioni_per_blocco, per_blocco);
    QCOMPARE(w.dati.size() % w.block_align, 0);
    const qint64 blocchi = w.dati.size() / w.block_align;
    QVERIFY(w.frame > (blocchi - 1) * per_blocco && w.frame <= blocchi * per_blocco);

    const Suono s = decodifica_con_sdl(effetto("VETRO"));
    QVERIFY2(s.errore.isEmpty(), qPrintable(s.errore));
    QCOMPARE(s.frequenza, 22050);
    QCOMPARE(int(s.canali.size()), 2);
    QCOMPARE(qint64(s.canali.front().size()), w.frame);
}

void TstEffects::tasti_dtmf_data() {
    QTest::addColumn<int>("cifra");
    QTest::addColumn<double>("riga");
    QTest::addColumn<double>("colonna");
    const double righe[] = {697, 770, 852, 941};
    const double colonne[] = {1209, 1336, 1477};
    QTest::newRow("G0") << 0 << 941.0 << 1336.0;
    for (int d = 1; d <= 9; ++d)
        QTest::newRow(qPrintable(QStringLiteral("G%1").arg(d)))
            << d << righe[(d - 1) / 3] << colonne[(d - 1) % 3];
}

void TstEffects::tasti_dtmf() {
    QFETCH(int, cifra);
    QFETCH(double, riga);
    QFETCH(double, colonna);
    const Suono s = carica(effetto(QStringLiteral("G%1").arg(cifra)));
    QVERIFY2(s.errore.isEmpty(), qPrintable(s.errore));
    const Canale& x = s.canali.front();
    const double p_riga = db(goertzel(x, s.frequenza, riga));
    const double p_colonna = db(goertzel(x, s.frequenza, colonna));
    QVERIFY2(std::abs(p_riga - p_colonna) < 3.0,
             qPrintable(QStringLiteral("row %1 dB, column %2 dB").arg(p_riga).arg(p_colonna)));
    for (double f : {697.0, 770.0, 852.0, 941.0, 1209.0, 1336.0, 1477.0}) {
        if (f == riga || f == colonna)
            continue;
        const double p = db(goertzel(x, s.frequenza, f));
        QVERIFY2(p < std::min(p_riga, p_colonna) - 20.0,
                 qPrintable(QStringLiteral("%1 Hz only %2 dB below").arg(f).arg(p_riga - p)));
    }
}

void TstEffects::senza_scatti_ne_saturazione_data() {
    QTest::addColumn<QString>("percorso");
    for (const QString& p : tutti())
        QTest::newRow(qPrintable(QFileInfo(p).fileName())) << p;
}

void TstEffects::senza_scatti_ne_saturazione() {
    QFETCH(QString, percorso);
    const Suono s = carica(percorso);
    QVERIFY2(s.errore.isEmpty(), qPrintable(s.errore));
    const auto ms = std::size_t(s.frequenza / 1000);
    for (const Canale& x : s.canali) {
        QVERIFY(x.size() > 10 * ms);
        // About -1 dBFS at most: no sample near full scale.
        QVERIFY2(picco(x) < 0.9, qPrintable(QStringLiteral("peak %1").arg(picco(x))));
        QVERIFY2(picco(x) > 0.2, "nearly silent");
        // It starts and ends at rest and ramps in and out over a few milliseconds.
        QVERIFY(std::abs(x.front()) <= 0.02);
        QVERIFY(std::abs(x.back()) <= 0.02);
        QVERIFY(picco(x, 0, ms) <= 0.12);
        QVERIFY(picco(x, x.size() - ms, x.size()) <= 0.12);
    }
}

void TstEffects::volume_simile() {
    // The voice, by the measure its clips are levelled by.
    const QDir cartella(qEnvironmentVariable("CONTAVOCE_BIN_DIR"));
    double somma = 0;
    int clip = 0;
    for (const QString& f : cartella.entryList({"va*.wav"})) {
        const auto w = test_support::leggi_wav(cartella.filePath(f));
        QVERIFY2(w.ok, qPrintable(f + ": " + w.errore));
        somma += test_support::rms_parlato(test_support::campioni(w), w.frequenza);
        ++clip;
    }
    QVERIFY2(clip >= 30, "the speech clips are missing");
    const double voce = somma / clip;

    // Heard one after another, none should stand out or vanish, nor be louder
    // than the voice; a key's tone, heard right before a number is said, is as
    // loud as the voice.
    for (const QString& p : tutti()) {
        const Suono s = carica(p);
        QVERIFY2(s.errore.isEmpty(), qPrintable(p + ": " + s.errore));
        const double livello = db(potenza_massima(s));
        QVERIFY2(livello > -20.0 && livello < -9.0,
                 qPrintable(QStringLiteral("%1: loudest 100 ms at %2 dBFS").arg(p).arg(livello)));
        const bool tasto = QFileInfo(p).fileName().startsWith('G');
        for (const Canale& c : s.canali) {
            const double parlato = test_support::rms_parlato(c, s.frequenza);
            QVERIFY2(tasto ? std::abs(parlato - voce) <= 1.0 : parlato <= voce + 0.5,
                     qPrintable(QStringLiteral("%1: %2 dBFS against the voice's %3 dBFS")
                                    .arg(p)
                                    .arg(parlato)
                                    .arg(voce)));
        }
    }
}

void TstEffects::forma_degli_animali() {
    // The dog barks two or three times.
    const Suono cane = carica(effetto("CANE"));
    QVERIFY2(cane.errore.isEmpty(), qPrintable(cane.errore));
    const auto latrati = tratti(cane.canali.front(), cane.frequenza);
    QVERIFY2(latrati.size() == 2 || latrati.size() == 3,
             qPrintable(QStringLiteral("%1 barks").arg(latrati.size())));
    for (const Tratto& t : latrati)
        QVERIFY(t.durata < 0.4);

    // The rooster's call has four syllables, and the last one is the long one.
    const Suono gallo = carica(effetto("GALLO"));
    QVERIFY2(gallo.errore.isEmpty(), qPrintable(gallo.errore));
    const auto sillabe = tratti(gallo.canali.front(), gallo.frequenza);
    QCOMPARE(int(sillabe.size()), 4);
    for (int i = 0; i < 3; ++i)
        QVERIFY(sillabe.back().durata > 2 * sillabe[std::size_t(i)].durata);

    // The bird chirps several times, high up: a whistle well above 2 kHz.
    const Suono uccello = carica(effetto("UCCELLO"));
    QVERIFY2(uccello.errore.isEmpty(), qPrintable(uccello.errore));
    const auto cinguettii = tratti(uccello.canali.front(), uccello.frequenza);
    QVERIFY(cinguettii.size() >= 3);
    for (const Tratto& t : cinguettii) {
        QVERIFY(t.durata < 0.15);
        const double f = attraversamenti(uccello.canali.front(), uccello.frequenza, t.inizio,
                                         t.inizio + t.durata) /
                         2;
        QVERIFY2(f > 2000, qPrintable(QStringLiteral("chirp at %1 Hz").arg(f)));
    }
}

void TstEffects::vetro_in_stereo() {
    const Suono s = carica(effetto("VETRO"));
    QVERIFY2(s.errore.isEmpty(), qPrintable(s.errore));
    QCOMPARE(int(s.canali.size()), 2);
    // Shards land all over the stereo field, so the two sides differ clearly.
    double somma = 0.0, differenza = 0.0;
    for (std::size_t i = 0; i < s.canali[0].size(); ++i) {
        const double l = s.canali[0][i], r = s.canali[1][i];
        somma += (l + r) * (l + r);
        differenza += (l - r) * (l - r);
    }
    QVERIFY2(differenza > 0.2 * somma,
             qPrintable(QStringLiteral("side/mid %1").arg(differenza / somma)));
    // Most of it is the shower of bright shards, not the crash: it lasts.
    const auto tratto = tratti(s.canali[0], s.frequenza);
    QVERIFY(!tratto.empty());
    QVERIFY(tratto.back().inizio + tratto.back().durata > 0.5);
}

void TstEffects::laser_scende() {
    const WavInfo w = test_support::leggi_wav(laser());
    QVERIFY2(w.ok, qPrintable(w.errore));
    QCOMPARE(w.formato, 1);
    QCOMPARE(w.canali, 1);
    QCOMPARE(w.frequenza, 22050);
    QCOMPARE(w.bit, 16);
    QVERIFY(w.secondi() >= 0.2 && w.secondi() <= 0.6);
    const Canale x = test_support::campioni(w);
    const auto suono = tratti(x, w.frequenza);
    QVERIFY(!suono.empty());
    const double fine = suono.back().inizio + suono.back().durata;
    const double alto = attraversamenti(x, w.frequenza, 0.01, 0.06);
    const double basso = attraversamenti(x, w.frequenza, fine - 0.08, fine - 0.03);
    QVERIFY2(alto > 2 * basso, qPrintable(QStringLiteral("%1 then %2").arg(alto).arg(basso)));
}

QTEST_APPLESS_MAIN(TstEffects)
#include "tst_effects.moc"
