// SPDX-License-Identifier: GPL-3.0-or-later
// The session analyzer's sound matching: the decimation keeps what the ear
// hears and drops what would fold over, and correlation finds the right sound
// at the right place under noise, and not a similar one.
#include "tools/audio_match/audio_match.h"

#include <QTest>
#include <cmath>
#include <numbers>
#include <random>

using namespace contavoce::audio_match;

namespace {

// Two sines, as the key tones are made; `inizio` in samples of 11025 Hz.
void aggiungi_tono(std::vector<float>& v, std::size_t inizio, std::size_t durata, double f1,
                   double f2, double ampiezza) {
    for (std::size_t i = 0; i < durata && inizio + i < v.size(); ++i) {
        const double t = double(i) / frequenza_analisi;
        v[inizio + i] += float(
            ampiezza * 0.5 *
            (std::sin(2 * std::numbers::pi * f1 * t) + std::sin(2 * std::numbers::pi * f2 * t)));
    }
}

std::vector<float> tono(std::size_t durata, double f1, double f2) {
    std::vector<float> v(durata);
    aggiungi_tono(v, 0, durata, f1, f2, 0.5);
    return v;
}

std::vector<float> rumore(std::size_t n, double rms_voluto) {
    std::mt19937 gen(12345);
    std::normal_distribution<float> d(0.0f, float(rms_voluto));
    std::vector<float> v(n);
    for (float& x : v)
        x = d(gen);
    return v;
}

} // namespace

class TstAudioSessione : public QObject {
    Q_OBJECT

private slots:
    void decimazione_data();
    void decimazione();
    void ritrova_in_ordine_sotto_rumore();
    void distingue_toni_vicini();
    void silenzio_non_somiglia();
    void picco_dopo_soglia_data();
    void picco_dopo_soglia();
};

void TstAudioSessione::decimazione_data() {
    QTest::addColumn<double>("frequenza");
    QTest::addColumn<double>("guadagno_min");
    QTest::addColumn<double>("guadagno_max");
    QTest::newRow("key tone, low") << 697.0 << 0.98 << 1.02;
    QTest::newRow("key tone, high") << 1633.0 << 0.98 << 1.02;
    QTest::newRow("speech band top") << 4000.0 << 0.9 << 1.02;
    // Above 5512 Hz a tone would fold back into the band: it must be gone.
    QTest::newRow("would fold to 3 kHz") << 8025.0 << 0.0 << 0.01;
    QTest::newRow("would fold to 1 kHz") << 10025.0 << 0.0 << 0.01;
}

void TstAudioSessione::decimazione() {
    QFETCH(double, frequenza);
    QFETCH(double, guadagno_min);
    QFETCH(double, guadagno_max);
    const std::size_t frame = 44100;
    std::vector<float> stereo(2 * frame);
    for (std::size_t i = 0; i < frame; ++i) {
        const auto v = float(0.5 * std::sin(2 * std::numbers::pi * frequenza * double(i) / 44100));
        stereo[2 * i] = v;
        stereo[2 * i + 1] = v;
    }
    const std::vector<float> mono = a_mono_11025(stereo);
    QCOMPARE(mono.size(), frame / 4);
    // Away from the edges, where the filter runs off the signal.
    const double guadagno = rms(mono, 100, mono.size() - 100) / (0.5 / std::sqrt(2.0));
    QVERIFY2(guadagno >= guadagno_min && guadagno <= guadagno_max,
             qPrintable(QString("gain %1").arg(guadagno)));
}

void TstAudioSessione::ritrova_in_ordine_sotto_rumore() {
    // Three tones at known places under noise 20 dB below them.
    std::vector<float> segnale = rumore(5 * frequenza_analisi, 0.035);
    const std::size_t durata = frequenza_analisi / 4;
    const std::vector<std::size_t> posti = {3000, 20000, 41000};
    for (std::size_t p : posti)
        aggiungi_tono(segnale, p, durata, 697, 1336, 0.5);
    // A quieter copy is the same sound.
    aggiungi_tono(segnale, 50000, durata, 697, 1336, 0.1);

    Correlatore c(segnale);
    const std::vector<float> curva = c.ncc(tono(durata, 697, 1336));
    QCOMPARE(curva.size(), segnale.size() - durata + 1);
    std::size_t da = 0;
    for (std::size_t atteso :
         {std::size_t(3000), std::size_t(20000), std::size_t(41000), std::size_t(50000)}) {
        const auto p = primo_picco(curva, da, soglia_ncc, durata);
        QVERIFY(p);
        QVERIFY2(p->posizione + 2 >= atteso && p->posizione <= atteso + 2,
                 qPrintable(QString("found at %1, not %2").arg(p->posizione).arg(atteso)));
        QVERIFY2(p->valore > 0.8, qPrintable(QString("correlation %1").arg(p->valore)));
        da = p->posizione + durata;
    }
    QVERIFY(!primo_picco(curva, da, soglia_ncc, durata));
}

void TstAudioSessione::distingue_toni_vicini() {
    // The keys 2 and 3 share their low tone; only the high one differs.
    std::vector<float> segnale(2 * frequenza_analisi);
    const std::size_t durata = frequenza_analisi / 4;
    aggiungi_tono(segnale, 5000, durata, 697, 1477, 0.5);
    Correlatore c(segnale);
    const std::vector<float> con_2 = c.ncc(tono(durata, 697, 1336));
    const std::vector<float> con_3 = c.ncc(tono(durata, 697, 1477));
    QVERIFY(!primo_picco(con_2, 0, soglia_ncc, 0));
    const auto p = primo_picco(con_3, 0, soglia_ncc, durata);
    QVERIFY(p);
    QVERIFY(p->valore > 0.99);
}

void TstAudioSessione::silenzio_non_somiglia() {
    std::vector<float> segnale(frequenza_analisi, 0.0f);
    segnale[100] = 1e-7f; // far below any sound: still silence
    Correlatore c(segnale);
    for (float v : c.ncc(tono(1000, 697, 1209)))
        QCOMPARE(v, 0.0f);
    QCOMPARE(rms(segnale, 200, segnale.size()), 0.0);
}

void TstAudioSessione::picco_dopo_soglia_data() {
    QTest::addColumn<QList<float>>("curva");
    QTest::addColumn<int>("da");
    QTest::addColumn<int>("posizione"); // -1: none
    QTest::newRow("rises to its top") << QList<float>{0.1f, 0.65f, 0.8f, 0.95f, 0.7f} << 0 << 3;
    QTest::newRow("the first match, not the best")
        << QList<float>{0.9f, 0.2f, 0.1f, 0.1f, 0.1f, 0.99f} << 0 << 0;
    QTest::newRow("starts where told")
        << QList<float>{0.9f, 0.2f, 0.1f, 0.1f, 0.1f, 0.99f} << 1 << 5;
    QTest::newRow("below the threshold") << QList<float>{0.1f, 0.59f, 0.3f} << 0 << -1;
    QTest::newRow("start past the end") << QList<float>{0.9f} << 3 << -1;
}

void TstAudioSessione::picco_dopo_soglia() {
    QFETCH(QList<float>, curva);
    QFETCH(int, da);
    QFETCH(int, posizione);
    const std::vector<float> v(curva.begin(), curva.end());
    const auto p = primo_picco(v, std::size_t(da), soglia_ncc, 3);
    QCOMPARE(p ? int(p->posizione) : -1, posizione);
}

QTEST_APPLESS_MAIN(TstAudioSessione)
#include "tst_audio_sessione.moc"
