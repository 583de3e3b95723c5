// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer, WAV decoding, the recording output and the real SDL device
// (dummy driver, paced in real time).
#include "platform/audio/suono_registrato.h"
#include "platform/audio/suono_sdl.h"
#include "platform/qt/resources.h"
#include "speech/parlante.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <thread>

using namespace contavoce;
using namespace contavoce::platform;

namespace {

std::shared_ptr<const Clip> costante(std::size_t frame, float valore, int canali = 1) {
    auto c = std::make_shared<Clip>();
    c->canali = canali;
    c->campioni.assign(frame * std::size_t(canali), valore);
    return c;
}

// A mono 22050 Hz tone file of the given length, never exactly zero inside.
std::string tono(const QString& cartella, const QString& nome, double secondi) {
    const FormatoAudio f{22050, 1};
    std::vector<float> s(std::size_t(secondi * f.frequenza));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = float(0.5 + 0.25 * std::sin(double(i) * 0.05));
    const std::string percorso = (cartella + "/" + nome).toStdString();
    scrivi_wav(percorso, s, f);
    return percorso;
}

std::size_t arrotonda(std::size_t frame) {
    return (frame + frame_per_buffer - 1) / frame_per_buffer * frame_per_buffer;
}

class NessunAvviso final : public Avvisi {
public:
    void avviso(const std::string&, const std::string&) override { ++volte; }
    void messaggio(const std::string&) override { ++volte; }
    int volte = 0;
};

// SDL's dummy output that the test can unplug: from then on it reports itself
// gone, as SDL does for a removed headset, until a device is opened again.
class DispositivoStaccabile final : public DispositivoAudio {
public:
    struct Stato {
        std::atomic<bool> staccato = false;
        int aperture = 0;
        int chiusure = 0;
    };
    explicit DispositivoStaccabile(std::shared_ptr<Stato> stato)
        : vero_(dispositivo_sdl()), stato_(std::move(stato)) {}

    std::optional<FormatoAudio> apri(FormatoAudio voluto, int frame, bool esatto, Richiamo richiamo,
                                     void* dati) override {
        auto formato = vero_->apri(voluto, frame, esatto, richiamo, dati);
        if (formato) {
            ++stato_->aperture;
            stato_->staccato = false;
        }
        return formato;
    }
    void avvia() override { vero_->avvia(); }
    bool perso() override { return stato_->staccato || vero_->perso(); }
    bool puo_dormire() override { return vero_->puo_dormire(); }
    void chiudi() override {
        ++stato_->chiusure;
        vero_->chiudi();
    }

private:
    std::unique_ptr<DispositivoAudio> vero_;
    std::shared_ptr<Stato> stato_;
};

} // namespace

class TstSound : public QObject {
    Q_OBJECT

private slots:
    void un_suono_nuovo_sostituisce_il_vecchio();
    void la_musica_si_somma_e_non_satura();
    void la_musica_si_abbassa_sotto_gli_effetti();
    void decodifica_data();
    void decodifica();
    void la_registrazione_unisce_come_il_dispositivo();
    void un_file_mancante_suona_l_avviso_e_si_prosegue();
    void dispositivo_reale_sincrono_e_subito();
    void dispositivo_reale_nuovo_suono_taglia_il_vecchio();
    void senza_dispositivo_nessun_suono();
    void dispositivo_staccato_si_riapre();
    void nel_silenzio_il_dispositivo_dorme();
};

void TstSound::un_suono_nuovo_sostituisce_il_vecchio() {
    Mixer m({8000, 1});
    std::vector<float> out(frame_per_buffer);
    const auto a = m.avvia(costante(1000, 0.5f));
    m.mescola(out.data(), frame_per_buffer);
    QCOMPARE(out.front(), 0.5f);
    QVERIFY(!m.finito(a));

    const auto b = m.avvia(costante(100, -0.25f));
    QVERIFY(m.finito(a));
    m.mescola(out.data(), frame_per_buffer);
    QCOMPARE(out[0], -0.25f);
    QCOMPARE(out[99], -0.25f);
    QCOMPARE(out[100], 0.0f);
    QVERIFY(m.finito(b));
    QCOMPARE(m.inizio_ultimo()->frame, std::uint64_t(frame_per_buffer));

    // An empty clip is done at once rather than leaving a waiter hanging.
    QVERIFY(m.finito(m.avvia(costante(0, 0.0f))));
}

void TstSound::la_musica_si_somma_e_non_satura() {
    Mixer m({8000, 2});
    m.imposta_musica([](float* out, int frame) {
        std::fill(out, out + 2 * frame, 0.1f);
        return true;
    });
    m.avvia(costante(4, 0.95f, 2));
    std::vector<float> out(2 * 8);
    m.mescola(out.data(), 8);
    QCOMPARE(out[0], 1.0f); // 0.95 and the music, clamped
    QCOMPARE(out[7], 1.0f);
    // The music alone after the clip, already on its way down under it.
    QVERIFY(out[8] > 0.05f && out[8] < 0.1f);
}

void TstSound::la_musica_si_abbassa_sotto_gli_effetti() {
    // Levels and times as the knob gives them: bed -3 dB, -24 dB under a clip,
    // 30 ms down, 120 ms hold, 300 ms up.
    // At this rate a device buffer is 32 ms, so three of them stay within the hold.
    constexpr int fs = 16000;
    static_assert(3 * frame_per_buffer * 1000 / fs < 120);
    Mixer m({fs, 1}, {-3.0, -24.0, 30.0, 120.0, 300.0});
    // Constant music and silent clips: the output is the music's gain, times 0.1.
    m.imposta_musica([](float* out, int frame) {
        std::fill(out, out + frame, 0.1f);
        return true;
    });
    std::vector<float> uscita;
    const auto tira = [&](int buffer) {
        for (int i = 0; i < buffer; ++i) {
            uscita.resize(uscita.size() + frame_per_buffer);
            m.mescola(uscita.data() + uscita.size() - frame_per_buffer, frame_per_buffer);
        }
    };
    const auto db = [&](std::size_t frame) { return 20 * std::log10(uscita.at(frame) / 0.1); };
    const auto ms = [](double t) { return std::size_t(t * fs / 1000); };
    // A clip as the speaker plays them: started between two pulls, pulled to its end.
    const auto di = [&](std::size_t frame) {
        const std::size_t inizio = uscita.size();
        const auto b = m.avvia(costante(frame, 0.0f));
        while (!m.finito(b))
            tira(1);
        return std::pair{inizio, inizio + frame};
    };

    tira(4);
    const auto a = di(ms(125));
    tira(1); // the next clip comes one buffer late
    di(ms(125));
    tira(3); // then three buffers late: still within the hold
    const auto c = di(ms(125));
    tira(int(fs / frame_per_buffer) + 1);

    QVERIFY(std::abs(db(a.first - 1) + 3.0) < 1e-3);
    // Down within 30 ms, and down all along the chain and for the hold after it.
    for (std::size_t f = a.first + ms(30) + 1; f < c.second + ms(115); ++f)
        QVERIFY2(std::abs(db(f) + 24.0) < 1e-3,
                 qPrintable(QString("%1 dB at frame %2").arg(db(f)).arg(f)));
    // Back up 300 ms after the hold, and no sooner.
    QVERIFY(db(c.second + ms(120) + ms(250)) < -6.0);
    for (std::size_t f = c.second + ms(420) + 1; f < uscita.size(); ++f)
        QVERIFY2(std::abs(db(f) + 3.0) < 1e-3,
                 qPrintable(QString("%1 dB at frame %2").arg(db(f)).arg(f)));
    // Never a step: 21 dB in 30 ms is 0.09 dB a frame.
    for (std::size_t f = 1; f < uscita.size(); ++f)
        QVERIFY2(std::abs(db(f) - db(f - 1)) < 0.1, qPrintable(QString("jump at frame %1").arg(f)));
}

void TstSound::decodifica_data() {
    QTest::addColumn<QString>("effetto");
    QTest::addColumn<double>("secondi");
    QTest::newRow("VETRO adpcm stereo") << "VETRO" << 3.62;
    QTest::newRow("G5 8-bit 11025") << "G5" << 0.25;
    QTest::newRow("ASINO 16-bit 8000") << "ASINO" << 1.34;
    QTest::newRow("INIZIO 8-bit 7000") << "INIZIO" << 1.96;
}

void TstSound::decodifica() {
    QFETCH(QString, effetto);
    QFETCH(double, secondi);
    const auto wav = risorsa(effetto.toStdString(), "wav");
    QVERIFY(wav);
    const auto clip = decodifica_wav({wav->constData(), std::size_t(wav->size())}, {44100, 2});
    QVERIFY(clip);
    QCOMPARE(clip->canali, 2);
    QVERIFY2(std::abs(double(clip->frame()) / 44100 - secondi) < 0.02 * secondi,
             qPrintable(QString::number(double(clip->frame()) / 44100)));

    // A cut-off image or plain text is refused, not played as noise.
    const QByteArray tronco = wav->left(30);
    QVERIFY(!decodifica_wav({tronco.constData(), std::size_t(tronco.size())}, {44100, 2}));
    const std::string testo = "not a wave file at all";
    QVERIFY(!decodifica_wav({testo.data(), testo.size()}, {44100, 2}));
}

void TstSound::la_registrazione_unisce_come_il_dispositivo() {
    QTemporaryDir dir;
    const auto a = tono(dir.path(), "a.wav", 0.1);
    const auto b = tono(dir.path(), "b.wav", 0.2);
    SuonoRegistrato r;
    r.suona_file(a);
    r.suona_file(b);
    const std::size_t fa = 4410, fb = 8820; // 22050 Hz resampled to 44100
    const auto& reg = r.registrazione();
    QCOMPARE(reg.size() / 2, arrotonda(fa) + arrotonda(fb));

    // The only silence is the padding of a's last buffer: less than one buffer.
    std::size_t zeri = 0, piu_lunga = 0;
    for (std::size_t i = 0; i + 1 < reg.size() / 2; ++i) {
        zeri = reg[2 * i] == 0.0f ? zeri + 1 : 0;
        piu_lunga = std::max(piu_lunga, zeri);
    }
    QVERIFY2(piu_lunga < std::size_t(frame_per_buffer), qPrintable(QString::number(piu_lunga)));

    // A sound started without waiting: the recording goes on for as long as it
    // is waited for, and up to its end, not beyond.
    r.suona_file_subito(b);
    QVERIFY(!r.attendi_fine(std::chrono::milliseconds(50)));
    QVERIFY(r.attendi_fine(std::chrono::milliseconds(1000)));
    QCOMPARE(r.registrazione().size() / 2, arrotonda(fa) + 2 * arrotonda(fb));
}

void TstSound::un_file_mancante_suona_l_avviso_e_si_prosegue() {
    QTemporaryDir dir;
    tono(dir.path(), "va2.wav", 0.1);
    tono(dir.path(), "va4.wav", 0.1);
    SuonoRegistrato r;
    NessunAvviso avvisi;
    int giri = 0;
    Parlante(
        r, avvisi, [&] { ++giri; }, dir.path().toStdString())
        .num_parlante("2304");
    QCOMPARE(giri, 5);
    const std::size_t avviso = suono_di_avviso({44100, 2}).frame();
    QCOMPARE(r.registrazione().size() / 2, 2 * arrotonda(4410) + 3 * arrotonda(avviso));
    QCOMPARE(avvisi.volte, 0);
}

void TstSound::dispositivo_reale_sincrono_e_subito() {
    QTemporaryDir dir;
    const auto mezzo = tono(dir.path(), "mezzo.wav", 0.5);
    SuonoSdl s;
    QCOMPARE(s.dispositivi(), 1);
    QVERIFY(s.mixer());

    QElapsedTimer t;
    t.start();
    s.suona_file(mezzo);
    const qint64 sincrono = t.elapsed();
    // The call returns once the whole clip has been handed over, and no later than
    // the buffer that carried its last sample. (The dummy driver paces a 5.8 ms
    // buffer in 5 ms, and a loaded machine delays wake-ups, so wall time is only
    // checked loosely: the upper bounds catch a hang or a clip that was not cut.)
    const std::uint64_t suonati = s.mixer()->frame_mescolati() - s.mixer()->inizio_ultimo()->frame;
    QVERIFY2(suonati >= 22050 && suonati <= 22050 + 2 * frame_per_buffer,
             qPrintable(QString::number(suonati)));
    QVERIFY2(sincrono >= 400 && sincrono < 1500, qPrintable(QString::number(sincrono)));

    t.restart();
    s.suona_file_subito(mezzo);
    QVERIFY2(t.elapsed() < 200, qPrintable(QString::number(t.elapsed())));
    // Waiting for its end, a slice at a time, sees it played whole.
    bool finito = false;
    for (int i = 0; i < 30 && !finito; ++i)
        finito = s.attendi_fine(std::chrono::milliseconds(100));
    QVERIFY(finito);
    const std::uint64_t subito_suonati =
        s.mixer()->frame_mescolati() - s.mixer()->inizio_ultimo()->frame;
    QVERIFY2(subito_suonati >= 22050, qPrintable(QString::number(subito_suonati)));

    // ADPCM stereo plays its whole length.
    const auto vetro = risorsa("vetro", "wav");
    t.restart();
    s.suona_memoria({vetro->constData(), std::size_t(vetro->size())});
    const std::uint64_t vetro_suonati =
        s.mixer()->frame_mescolati() - s.mixer()->inizio_ultimo()->frame;
    QVERIFY2(vetro_suonati >= std::uint64_t(3.58 * 44100),
             qPrintable(QString::number(vetro_suonati)));
    QVERIFY2(t.elapsed() >= 3000 && t.elapsed() < 6000, qPrintable(QString::number(t.elapsed())));
}

void TstSound::dispositivo_reale_nuovo_suono_taglia_il_vecchio() {
    QTemporaryDir dir;
    const auto lungo = tono(dir.path(), "lungo.wav", 2.0);
    const auto corto = tono(dir.path(), "corto.wav", 0.2);
    SuonoSdl s;
    QElapsedTimer t;
    t.start();
    s.suona_file_subito(lungo);
    s.suona_file(corto);
    QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
    // The long one is gone: nothing is playing once the short one ended.
    QVERIFY(s.mixer()->finito(s.mixer()->avvia(nullptr)));

    // A missing file plays the short alert, to its end, and returns.
    t.restart();
    s.suona_file(dir.path().toStdString() + "/nessuno.wav");
    QVERIFY2(t.elapsed() >= 180 && t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
}

void TstSound::senza_dispositivo_nessun_suono() {
    const QByteArray prima = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "nessun_driver");
    {
        SuonoSdl s;
        QCOMPARE(s.dispositivi(), 0);
        QVERIFY(!s.mixer());
        QElapsedTimer t;
        t.start();
        s.suona_file("/nessuno.wav");
        QVERIFY(t.elapsed() < 200);

        NessunAvviso avvisi;
        Parlante p(s, avvisi, nullptr, "/prog");
        p.num_parlante("12");
        p.num_parlante("12");
        QCOMPARE(avvisi.volte, 2);
    }
    qputenv("SDL_AUDIODRIVER", prima);
}

void TstSound::dispositivo_staccato_si_riapre() {
    QTemporaryDir dir;
    const auto corto = tono(dir.path(), "corto.wav", 0.2);
    const auto lungo = tono(dir.path(), "lungo.wav", 3.0);
    auto stato = std::make_shared<DispositivoStaccabile::Stato>();
    SuonoSdl s(std::make_unique<DispositivoStaccabile>(stato));
    QCOMPARE(stato->aperture, 1);
    std::atomic<int> musica = 0;
    s.imposta_musica([&](float* out, int frame) {
        std::fill(out, out + 2 * frame, 0.0f);
        ++musica;
        return true;
    });
    const auto formato = s.formato_musica();

    // Unplugged while idle: the next sound opens the default device again and
    // plays there to its end, and the music goes on through the new device (the
    // old one is closed, so its callback no longer counts).
    stato->staccato = true;
    s.suona_file(corto);
    QCOMPARE(stato->aperture, 2);
    QVERIFY(s.mixer());
    QVERIFY(s.mixer()->inizio_ultimo());
    const std::uint64_t suonati = s.mixer()->frame_mescolati() - s.mixer()->inizio_ultimo()->frame;
    QVERIFY2(suonati >= 8820, qPrintable(QString::number(suonati)));
    QCOMPARE(s.formato_musica(), formato);
    const int prima = musica;
    QTest::qWait(100);
    QVERIFY(musica > prima);

    // Unplugged in the middle of a long sound: the wait ends then, not after the
    // clip's 3 s, and the new device is already open.
    QElapsedTimer t;
    t.start();
    std::jthread stacca([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stato->staccato = true;
    });
    s.suona_file(lungo);
    QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
    stacca.join();
    QCOMPARE(stato->aperture, 3);
    QVERIFY(s.mixer());
}

// With nothing to play the device is closed, so that no thread wakes; a sound
// opens it again and plays whole, and music that says it plays keeps it awake.
void TstSound::nel_silenzio_il_dispositivo_dorme() {
    using namespace std::chrono_literals;
    QTemporaryDir dir;
    const auto corto = tono(dir.path(), "corto.wav", 0.2);
    auto stato = std::make_shared<DispositivoStaccabile::Stato>();
    SuonoSdl s(std::make_unique<DispositivoStaccabile>(stato), 300ms);
    std::atomic<bool> suona = false;
    std::atomic<int> richiami = 0;
    s.imposta_musica([&](float* out, int frame) {
        std::fill(out, out + 2 * frame, 0.0f);
        ++richiami;
        return suona.load();
    });
    QTRY_VERIFY_WITH_TIMEOUT(s.addormentato(), 3000);
    QCOMPARE(stato->chiusure, 1);
    richiami = 0;
    QTest::qWait(100);
    QCOMPARE(richiami.load(), 0);

    // Woken by a sound: played whole on the same mixer, its first sample soon after the call.
    Mixer* const mixer = s.mixer();
    const auto t0 = std::chrono::steady_clock::now();
    s.suona_file(corto);
    QCOMPARE(stato->aperture, 2);
    QCOMPARE(s.mixer(), mixer);
    const auto inizio = s.mixer()->inizio_ultimo();
    QVERIFY(inizio);
    QVERIFY2(inizio->istante - t0 < 100ms,
             qPrintable(QString::number((inizio->istante - t0) / 1ms)));
    QVERIFY(s.mixer()->frame_mescolati() - inizio->frame >= 8820);
    QTRY_VERIFY_WITH_TIMEOUT(s.addormentato(), 3000);

    // Woken for the music, and kept awake while it plays.
    suona = true;
    s.sveglia();
    QCOMPARE(stato->aperture, 3);
    QTest::qWait(1000);
    QVERIFY(!s.addormentato());
    QVERIFY(richiami > 100);
    suona = false;
    QTRY_VERIFY_WITH_TIMEOUT(s.addormentato(), 3000);
    QCOMPARE(stato->chiusure, 3);
}

QTEST_GUILESS_MAIN(TstSound)
#include "tst_sound.moc"
