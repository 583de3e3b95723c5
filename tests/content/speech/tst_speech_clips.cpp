// SPDX-License-Identifier: GPL-3.0-or-later
// The speech clips the program chains to say a number: all present in one
// format, tight at both ends, equally loud, free of clipping and of the
// synthesiser's clicks, and each holding a word of the right size.
#include "esercizi/esercizi.h"
#include "support/livelli.h"
#include "support/wav_info.h"

#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <numeric>
#include <vector>

using test_support::campioni;
using test_support::decibel;
using test_support::leggi_wav;
using test_support::potenze;
using test_support::rms_parlato;
using test_support::WavInfo;

namespace {

struct Clip {
    const char* file;
    const char* parole;
    double secondi_massimi = 1.5; // the practice's sentences are longer than a number's words
};

constexpr std::array<Clip, 87> clips = {{
    {"va1", "uno"},
    {"va2", "due"},
    {"va3", "tre"},
    {"va4", "quattro"},
    {"va5", "cinque"},
    {"va6", "sei"},
    {"va7", "sette"},
    {"va8", "otto"},
    {"va9", "nove"},
    {"va10", "dieci"},
    {"va11", "undici"},
    {"va12", "dodici"},
    {"va13", "tredici"},
    {"va14", "quattordici"},
    {"va15", "quindici"},
    {"va16", "sedici"},
    {"va17", "diciassette"},
    {"va18", "diciotto"},
    {"va19", "diciannove"},
    {"va20", "venti"},
    {"va30", "trenta"},
    {"va40", "quaranta"},
    {"va50", "cinquanta"},
    {"va60", "sessanta"},
    {"va70", "settanta"},
    {"va80", "ottanta"},
    {"va90", "novanta"},
    {"va100", "cento"},
    {"va1000", "mille"},
    {"va_mila", "mila"},
    {"va_mglne", "un milione"},
    {"va_mgloi", "milioni"},
    {"va_mgldo", "un miliardo"},
    {"va_mgldi", "miliardi"},
    {"va0", "zero"},
    {"va_unita", "unita"},
    {"va_decine", "decine"},
    {"va_centinaia", "centinaia"},
    {"va_migliaia", "migliaia"},
    {"va_decine_migliaia", "decine di migliaia"},
    {"va_centinaia_migliaia", "centinaia di migliaia"},
    {"va_decine_milioni", "decine di milioni"},
    {"va_centinaia_milioni", "centinaia di milioni"},
    {"va_decine_miliardi", "decine di miliardi"},
    {"va_centinaia_miliardi", "centinaia di miliardi"},
    {"va_un_unita", "ununita"},
    {"va_una_decina", "una decina"},
    {"va_un_centinaio", "un centinaio"},
    {"va_un_migliaio", "un migliaio"},
    {"va_una_decina_migliaia", "una decina di migliaia"},
    {"va_un_centinaio_migliaia", "un centinaio di migliaia"},
    {"va_una_decina_milioni", "una decina di milioni"},
    {"va_un_centinaio_milioni", "un centinaio di milioni"},
    {"va_una_decina_miliardi", "una decina di miliardi"},
    {"va_un_centinaio_miliardi", "un centinaio di miliardi"},
    {"va_virgola", "virgola"},
    {"va_e", "e"},
    {"va_di_unita", "di unita"},
    {"va_decimi", "decimi"},
    {"va_centesimi", "centesimi"},
    {"va_millesimi", "millesimi"},
    {"va_un_decimo", "un decimo"},
    {"va_un_centesimo", "un centesimo"},
    {"va_un_millesimo", "un millesimo"},
    {"es_ascolta", "ascolta e scrivi il numero", 2.5},
    {"es_cifre", "scrivi in cifre"},
    {"es_lettere", "scrivi in lettere"},
    {"es_valore", "quanto vale la cifra", 2.5},
    {"es_nel_numero", "nel numero"},
    {"es_componi", "componi il numero"},
    {"es_dopo", "che numero viene dopo", 2.5},
    {"es_prima", "che numero viene prima di", 2.5},
    {"es_quanto_fa", "quanto fa"},
    {"es_piu", "piu"},
    {"es_meno", "meno"},
    {"es_confronta", "quale segno va tra", 2.5},
    {"es_maggiore", "e maggiore di"},
    {"es_minore", "e minore di"},
    {"es_uguale", "vale quanto"},
    {"es_giusto", "giusto"},
    {"es_esatto", "esatto"},
    {"es_molto_bene", "molto bene"},
    {"es_ben_fatto", "ben fatto"},
    {"es_riprova", "riprova"},
    {"es_numero_era", "il numero era"},
    {"es_risposta_era", "la risposta era"},
    {"es_numero", "numero"},
}};

constexpr double soglia_silenzio = 0.005623413; // -45 dBFS
// Clean clips stay below -16 dB, the clicks of a badly set voice reach -5 to -12.
constexpr double soglia_click = -13.0;

WavInfo apri(const char* file) {
    return leggi_wav(qEnvironmentVariable("CONTAVOCE_BIN_DIR") + "/" + file + ".wav");
}

// Seconds of near-silence before the first sample at or above -45 dBFS.
template <typename It> double silenzio(It primo, It ultimo, int frequenza) {
    const auto voce =
        std::find_if(primo, ultimo, [](double x) { return std::abs(x) >= soglia_silenzio; });
    return double(std::distance(primo, voce)) / frequenza;
}

// Second-order section (RBJ cookbook). Qt has no filters and these two are all
// the click check needs.
class Biquad {
public:
    static Biquad passa_basso(double f, int frequenza) { return Biquad(f, frequenza, false); }
    static Biquad passa_alto(double f, int frequenza) { return Biquad(f, frequenza, true); }

    std::vector<double> filtra(const std::vector<double>& in) const {
        std::vector<double> out(in.size());
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const double y = b0 * in[i] + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = in[i];
            y2 = y1;
            y1 = y;
            out[i] = y;
        }
        return out;
    }

private:
    Biquad(double f, int frequenza, bool alto) {
        const double w = 2.0 * std::numbers::pi * f / frequenza;
        const double alfa = std::sin(w) / std::numbers::sqrt2; // Q = 1/sqrt(2)
        const double c = std::cos(w);
        const double a0 = 1.0 + alfa;
        b1 = (alto ? -(1.0 + c) : 1.0 - c) / a0;
        b0 = b2 = (alto ? (1.0 + c) : (1.0 - c)) / 2.0 / a0;
        a1 = -2.0 * c / a0;
        a2 = (1.0 - alfa) / a0;
    }
    double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// The diphone voice sometimes renders one pitch period as a flat-spectrum
// pulse: a click in the middle of a vowel. Speech keeps the two ends of the
// spectrum apart (vowels have little above 4 kHz, fricatives and bursts little
// below 1 kHz), so the worst ratio of the band above 4 kHz to the band below
// 1 kHz, over the 5 ms frames within 12 dB of the loudest low band, shows them.
double peggior_click(const std::vector<double>& s, int frequenza) {
    const auto bassi = Biquad::passa_basso(1000, frequenza);
    const auto alti = Biquad::passa_alto(4000, frequenza);
    const auto lungo = std::size_t(frequenza / 200);
    const auto pb = potenze(bassi.filtra(bassi.filtra(s)), lungo);
    const auto pa = potenze(alti.filtra(alti.filtra(s)), lungo);
    if (pb.empty())
        return -200;
    const double soglia = *std::max_element(pb.begin(), pb.end()) / 16.0;
    double peggiore = -200;
    for (std::size_t i = 0; i < pb.size(); ++i) {
        if (pb[i] >= soglia && pa[i] > 0)
            peggiore = std::max(peggiore, decibel(pa[i] / pb[i]));
    }
    return peggiore;
}

// Vowel groups: enough to tell a one-syllable word from a four-syllable one.
// An i between two vowels is sounded as a consonant and opens a syllable (na-ia).
int sillabe(const char* parole) {
    const auto vocale = [](char c) { return c != '\0' && std::strchr("aeiou", c) != nullptr; };
    int n = 0;
    bool in_vocale = false;
    for (const char* c = parole; *c; ++c) {
        const bool apre = *c == 'i' && in_vocale && vocale(c[1]);
        n += vocale(*c) && (!in_vocale || apre);
        in_vocale = vocale(*c);
    }
    return n;
}

void righe_per_clip() {
    QTest::addColumn<QString>("file");
    for (const Clip& c : clips)
        QTest::newRow(c.file) << QString::fromLatin1(c.file);
}

} // namespace

class TstSpeechClips : public QObject {
    Q_OBJECT

private slots:
    void formato_data() { righe_per_clip(); }
    void formato();
    void estremi_e_durata_data() { righe_per_clip(); }
    void estremi_e_durata();
    void senza_saturazione_ne_click_data() { righe_per_clip(); }
    void senza_saturazione_ne_click();
    void stesso_volume();
    void frasi_degli_esercizi();
    void parole_lunghe_durano_di_piu();
    void misure_sui_segnali_noti();
};

void TstSpeechClips::formato() {
    QFETCH(QString, file);
    const WavInfo w = apri(qPrintable(file));
    QVERIFY2(w.ok, qPrintable(w.errore));
    QCOMPARE(w.formato, 1);
    QCOMPARE(w.canali, 1);
    QCOMPARE(w.frequenza, 22050);
    QCOMPARE(w.bit, 16);
    QVERIFY(w.frame > 0);
}

void TstSpeechClips::estremi_e_durata() {
    QFETCH(QString, file);
    const auto riga = std::find_if(clips.begin(), clips.end(),
                                   [&](const Clip& c) { return file == QLatin1String(c.file); });
    const WavInfo w = apri(qPrintable(file));
    QVERIFY2(w.ok, qPrintable(w.errore));
    const auto s = campioni(w);
    const double testa = silenzio(s.begin(), s.end(), w.frequenza);
    const double coda = silenzio(s.rbegin(), s.rend(), w.frequenza);
    QVERIFY2(testa <= 0.020, qPrintable(QString("%1 s of silence at the start").arg(testa)));
    QVERIFY2(coda <= 0.020, qPrintable(QString("%1 s of silence at the end").arg(coda)));
    QVERIFY2(w.secondi() >= 0.2 && w.secondi() <= riga->secondi_massimi,
             qPrintable(QString("lasts %1 s").arg(w.secondi())));
}

void TstSpeechClips::senza_saturazione_ne_click() {
    QFETCH(QString, file);
    const WavInfo w = apri(qPrintable(file));
    QVERIFY2(w.ok, qPrintable(w.errore));
    const auto s = campioni(w);
    QVERIFY(!s.empty());
    const double picco = std::abs(*std::max_element(
        s.begin(), s.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
    QVERIFY2(picco <= 0.8913, qPrintable(QString("peak %1 dBFS").arg(20 * std::log10(picco))));
    const double click = peggior_click(s, w.frequenza);
    QVERIFY2(click < soglia_click, qPrintable(QString("click: high/low band %1 dB").arg(click)));
}

void TstSpeechClips::stesso_volume() {
    std::vector<double> livelli;
    for (const Clip& c : clips) {
        const WavInfo w = apri(c.file);
        QVERIFY2(w.ok, qPrintable(w.errore));
        livelli.push_back(rms_parlato(campioni(w), w.frequenza));
    }
    const double media = std::accumulate(livelli.begin(), livelli.end(), 0.0) / livelli.size();
    for (std::size_t i = 0; i < clips.size(); ++i) {
        QVERIFY2(std::abs(livelli[i] - media) <= 1.5,
                 qPrintable(QString("%1: %2 dBFS, the clips average %3 dBFS")
                                .arg(clips[i].file)
                                .arg(livelli[i])
                                .arg(media)));
    }
}

// Every sentence and praise the practice says is made and checked here.
void TstSpeechClips::frasi_degli_esercizi() {
    for (const char* nome : contavoce::clip_delle_frasi)
        QVERIFY2(std::any_of(clips.begin(), clips.end(),
                             [&](const Clip& c) { return std::strcmp(c.file, nome) == 0; }),
                 nome);
}

// Catches a table whose rows are shifted or swapped: a word two syllables
// longer than another must take longer to say.
void TstSpeechClips::parole_lunghe_durano_di_piu() {
    std::vector<double> durate;
    for (const Clip& c : clips) {
        const WavInfo w = apri(c.file);
        QVERIFY2(w.ok, qPrintable(w.errore));
        durate.push_back(w.secondi());
    }
    for (std::size_t i = 0; i < clips.size(); ++i) {
        for (std::size_t j = 0; j < clips.size(); ++j) {
            if (sillabe(clips[i].parole) >= sillabe(clips[j].parole) + 2) {
                QVERIFY2(durate[i] > durate[j],
                         qPrintable(QString("%1 \"%2\" (%3 s) is not longer than %4 \"%5\" (%6 s)")
                                        .arg(clips[i].file, clips[i].parole)
                                        .arg(durate[i])
                                        .arg(clips[j].file, clips[j].parole)
                                        .arg(durate[j])));
            }
        }
    }
}

// The measures above on signals whose answer is known, so that a broken
// measure cannot pass every clip.
void TstSpeechClips::misure_sui_segnali_noti() {
    constexpr int fs = 22050;
    std::vector<double> vocale(50 * (fs / 100)); // fifty whole 10 ms frames
    for (std::size_t i = 0; i < vocale.size(); ++i) {
        const double t = double(i) / fs;
        vocale[i] = 0.3 * std::cos(2 * std::numbers::pi * 200 * t) +
                    0.1 * std::cos(2 * std::numbers::pi * 600 * t);
    }
    // Faded in and out over 5 ms like the clips, for the click measure only:
    // a sudden start is itself a click.
    std::vector<double> sfumata = vocale;
    for (std::size_t i = 0; i < 110; ++i) {
        const double g = 0.5 - 0.5 * std::cos(std::numbers::pi * double(i) / 110);
        sfumata[i] *= g;
        sfumata[sfumata.size() - 1 - i] *= g;
    }

    // 441 zero samples (20 ms) then the tone; the tail starts at full level.
    std::vector<double> con_pausa(441, 0.0);
    con_pausa.insert(con_pausa.end(), vocale.begin(), vocale.end());
    QCOMPARE(silenzio(con_pausa.begin(), con_pausa.end(), fs), 0.020);
    QVERIFY(silenzio(con_pausa.rbegin(), con_pausa.rend(), fs) < 0.003);

    // RMS of 0.3 and 0.1 cosines: 10*log10(0.045 + 0.005) = -13.0 dBFS; a pause of
    // equal length does not lower the spoken level.
    QVERIFY(std::abs(rms_parlato(vocale, fs) - (-13.01)) < 0.05);
    std::vector<double> con_silenzio = vocale;
    con_silenzio.insert(con_silenzio.end(), vocale.size(), 0.0);
    QVERIFY(std::abs(rms_parlato(con_silenzio, fs) - rms_parlato(vocale, fs)) < 0.01);

    // A harmonic vowel is far below the click line; a few sharp pulses inside
    // one 5 ms frame (samples 4950-5059) rise above it.
    QVERIFY(peggior_click(sfumata, fs) < -40);
    std::vector<double> con_click = sfumata;
    for (std::size_t i : {4960, 4990, 5020, 5050})
        con_click[i] += 0.6;
    QVERIFY(peggior_click(con_click, fs) > soglia_click);

    QCOMPARE(sillabe("tre"), 1);
    QCOMPARE(sillabe("diciassette"), 4);
    QCOMPARE(sillabe("un miliardo"), 4);
    QCOMPARE(sillabe("centinaia"), 4);
}

QTEST_APPLESS_MAIN(TstSpeechClips)
#include "tst_speech_clips.moc"
