// SPDX-License-Identifier: GPL-3.0-or-later
// Faults tried on purpose on the sound side: a speech clip missing or broken,
// or no plain file of clip size (a FIFO, a device, a huge file), the tune or
// the SoundFont missing or broken, no sound device at all. The
// number is still said, the window still works, and only the missing device
// is worth a message.
#include "platform/audio/media_midi.h"
#include "platform/audio/mixer.h"
#include "platform/audio/suono_registrato.h"
#include "platform/audio/suono_sdl.h"
#include "speech/clip_list.h"
#include "speech/parlante.h"
#include "support/registri.h"
#include "window/voce_cifre.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <SDL.h>
#include <atomic>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

using namespace contavoce;
using namespace contavoce::platform;
namespace fs = std::filesystem;

namespace {

constexpr const char* soundfont_di_sistema = "/usr/share/sounds/sf2/default-GM.sf2";

// The largest block SDL is asked for while a WAV is decoded: a length the
// file only claims must never become an allocation.
struct MemoriaSdl {
    static inline std::atomic<std::size_t> massimo{0};
    static inline SDL_malloc_func malloc_ = nullptr;
    static inline SDL_calloc_func calloc_ = nullptr;
    static inline SDL_realloc_func realloc_ = nullptr;
    static inline SDL_free_func free_ = nullptr;
    static void nota(std::size_t n) {
        for (std::size_t v = massimo; n > v && !massimo.compare_exchange_weak(v, n);) {
        }
    }
    // SDL's own functions stay underneath, so blocks from before stay valid.
    static void installa() {
        if (malloc_)
            return;
        SDL_GetMemoryFunctions(&malloc_, &calloc_, &realloc_, &free_);
        SDL_SetMemoryFunctions(
            [](std::size_t n) {
                nota(n);
                return malloc_(n);
            },
            [](std::size_t k, std::size_t n) {
                nota(k * n);
                return calloc_(k, n);
            },
            [](void* p, std::size_t n) {
                nota(n);
                return realloc_(p, n);
            },
            [](void* p) { free_(p); });
    }
};

QByteArray leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void scrivi(const QString& percorso, const QByteArray& byte) {
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(byte) != byte.size())
        qFatal("cannot write %s", qPrintable(percorso));
}

// A copy of the program's folder (clips, laser.wav, tune) that a test may damage.
struct Cartella {
    QTemporaryDir dir;
    QString percorso = dir.path();
    Cartella() {
        const QDir bin(qEnvironmentVariable("CONTAVOCE_BIN_DIR"));
        for (const QString& nome : bin.entryList({"*.wav", "*.mid"}, QDir::Files))
            QFile::copy(bin.filePath(nome), dir.filePath(nome));
    }
    QString file(const QString& nome) const { return percorso + "/" + nome; }
};

// Replaces a file with what the case names.
void danneggia(const QString& percorso, const QString& guasto) {
    const QByteArray sano = leggi(percorso);
    QFile::remove(percorso);
    if (guasto == "missing")
        return;
    if (guasto == "folder") {
        QDir().mkpath(percorso);
    } else if (guasto == "empty") {
        scrivi(percorso, {});
    } else if (guasto == "cut header") {
        scrivi(percorso, sano.left(30));
    } else if (guasto == "text") {
        scrivi(percorso, "questo non \xe8 un suono\n");
    } else if (guasto == "no samples") {
        QVERIFY(scrivi_wav(percorso.toStdString(), {}, FormatoAudio{}));
    } else if (guasto == "half") {
        scrivi(percorso, sano.left(sano.size() / 2));
    } else if (guasto == "fifo") {
        QCOMPARE(mkfifo(qPrintable(percorso), 0644), 0);
    } else if (guasto == "link to /dev/zero") {
        QVERIFY(QFile::link("/dev/zero", percorso));
    } else if (guasto == "oversize") {
        // The clip whole, then a hole up to one byte past the bound (truncate -s).
        scrivi(percorso, sano);
        fs::resize_file(percorso.toStdString(), clip_massima + 1);
    } else {
        qFatal("unknown fault %s", qPrintable(guasto));
    }
}

// The mix of these clips one after another, each rounded up to whole device
// buffers as the recording output pulls them.
std::vector<float> atteso(const std::vector<Clip>& clip) {
    std::vector<float> r;
    for (const Clip& c : clip) {
        r.insert(r.end(), c.campioni.begin(), c.campioni.end());
        const std::size_t blocco = std::size_t(frame_per_buffer) * std::size_t(c.canali);
        r.resize((r.size() + blocco - 1) / blocco * blocco, 0.0f);
    }
    for (float& v : r)
        v = std::clamp(v, -1.0f, 1.0f);
    return r;
}

Clip decodifica(const QString& percorso) {
    const QByteArray b = leggi(percorso);
    auto c = decodifica_wav(std::span<const char>(b.constData(), std::size_t(b.size())), {});
    if (!c)
        qFatal("%s does not decode", qPrintable(percorso));
    return std::move(*c);
}

// The window over the given outputs, messages and music commands in `log`.
struct Finestra {
    QStringList log;
    test_support::Registro avvisi{log};
    std::unique_ptr<VoceCifre> w;
    Finestra(Suono& suono, ServizioMedia& media, const QString& cartella) {
        w = std::make_unique<VoceCifre>(Servizi{suono, media, avvisi, cartella.toStdString(),
                                                [this] { log << "end"; },
                                                [](const QUrl&) { return false; }});
        w->show();
    }
    // Types a number, confirms it with Enter and has it said: the window at work.
    void usa(const QString& numero) {
        QTest::keyClicks(w->controlli().Text1, numero);
        QTest::keyClick(w->controlli().Text1, Qt::Key_Return);
        w->Command2_Click();
    }
    QStringList messaggi() const { return log.filter(QRegularExpression("^(warn|message) ")); }
};

} // namespace

class TstGuastiAudio : public QObject {
    Q_OBJECT

private slots:
    void clip_danneggiata_data();
    void clip_danneggiata();
    void clip_ostile_nel_dispositivo_data();
    void clip_ostile_nel_dispositivo();
    void wav_con_lunghezze_false();
    void musica_danneggiata_data();
    void musica_danneggiata();
    void senza_dispositivo_data();
    void senza_dispositivo();
};

void TstGuastiAudio::clip_danneggiata_data() {
    QTest::addColumn<QString>("guasto");
    QTest::addColumn<QString>("clip"); // the clip of 2304 that is damaged
    for (const char* g : {"missing", "folder", "empty", "cut header", "text", "no samples", "fifo",
                          "link to /dev/zero", "oversize"})
        QTest::newRow(g) << QString(g) << "va3.wav";
    QTest::newRow("first clip missing") << "missing"
                                        << "va2.wav";
    QTest::newRow("last clip text") << "text"
                                    << "va4.wav";
}

// 2304 is va2 va_mila va3 va100 va4: the damaged clip is replaced by the alert,
// the others are heard whole and in order, nothing is shown.
void TstGuastiAudio::clip_danneggiata() {
    QFETCH(QString, guasto);
    QFETCH(QString, clip);
    Cartella c;
    const ListaClip lista = lista_clip("2304", c.percorso.toStdString());
    QCOMPARE(lista.n_file, 5);
    std::vector<Clip> attese;
    for (int i = 1; i <= lista.n_file; ++i) {
        const QString p = QString::fromStdString(lista.Wave_name[std::size_t(i)]);
        attese.push_back(p.endsWith("/" + clip) ? suono_di_avviso({}) : decodifica(p));
    }
    danneggia(c.file(clip), guasto);

    SuonoRegistrato suono;
    QStringList log;
    test_support::Registro avvisi(log);
    Parlante parlante(suono, avvisi, {}, c.percorso.toStdString());
    parlante.num_parlante("2304");
    QVERIFY(suono.registrazione() == atteso(attese));
    QVERIFY2(log.isEmpty(), qPrintable(log.join('\n')));
}

void TstGuastiAudio::clip_ostile_nel_dispositivo_data() {
    QTest::addColumn<QString>("guasto");
    for (const char* g : {"fifo", "link to /dev/zero", "oversize"})
        QTest::newRow(g) << QString(g);
}

// The window's device (the dummy driver, paced in real time): the longest clip
// replaced by something that is no clip plays the alert, promptly, both when
// waited for and when started without waiting, as a missing clip does.
void TstGuastiAudio::clip_ostile_nel_dispositivo() {
    QFETCH(QString, guasto);
    Cartella c;
    const QFileInfoList clip = QDir(c.percorso).entryInfoList({"va*.wav"}, QDir::Files, QDir::Size);
    QVERIFY(!clip.isEmpty());
    const std::string lunga = clip.front().filePath().toStdString();
    danneggia(clip.front().filePath(), guasto);

    SuonoSdl suono;
    QCOMPARE(suono.dispositivi(), 1);
    const std::uint64_t avviso = suono_di_avviso(suono.mixer()->formato()).frame();
    QElapsedTimer t;
    t.start();
    suono.suona_file(lunga);
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    const std::uint64_t suonati =
        suono.mixer()->frame_mescolati() - suono.mixer()->inizio_ultimo()->frame;
    QVERIFY2(suonati >= avviso && suonati <= avviso + 2 * frame_per_buffer,
             qPrintable(QString::number(suonati)));

    t.restart();
    suono.suona_file_subito(lunga);
    QVERIFY2(t.elapsed() < 200, qPrintable(QString::number(t.elapsed())));
    QVERIFY(suono.attendi_fine(std::chrono::milliseconds(1000)));
}

// A chunk that claims more bytes than the file has (a cut download, a damaged
// disk) decodes to what is there, without reserving what it claims, with or
// without the RIFF header (SDL also reads a file that starts at "WAVE"); a
// file whose data is empty counts as broken.
void TstGuastiAudio::wav_con_lunghezze_false() {
    Cartella c;
    const QByteArray con_riff = leggi(c.file("va3.wav"));
    const Clip intera = decodifica(c.file("va3.wav"));
    MemoriaSdl::installa();
    for (const QByteArray& sano : {con_riff, con_riff.mid(8)})
        for (const QByteArray& lunghezza :
             {QByteArray("\xff\xff\xff\xff", 4), QByteArray("\x00\x00\x00\xd0", 4)}) {
            const qsizetype dati = sano.indexOf("data");
            QVERIFY(dati > 0);
            QByteArray rotto = sano;
            rotto.replace(dati + 4, 4, lunghezza);
            MemoriaSdl::massimo = 0;
            const auto clip = decodifica_wav(
                std::span<const char>(rotto.constData(), std::size_t(rotto.size())), {});
            QVERIFY(clip);
            QVERIFY2(MemoriaSdl::massimo <= std::size_t(8 * sano.size()),
                     qPrintable(QString::number(MemoriaSdl::massimo)));
            QCOMPARE(clip->campioni.size(), intera.campioni.size());
            // Cut in half: about half the sound, never more than the whole.
            rotto = rotto.left(rotto.size() / 2);
            const auto meta = decodifica_wav(
                std::span<const char>(rotto.constData(), std::size_t(rotto.size())), {});
            if (meta)
                QVERIFY(meta->campioni.size() < intera.campioni.size());
        }
    const qsizetype dati = con_riff.indexOf("data");
    QByteArray vuoto = con_riff.left(dati + 8);
    vuoto.replace(dati + 4, 4, QByteArray(4, '\0'));
    QVERIFY(
        !decodifica_wav(std::span<const char>(vuoto.constData(), std::size_t(vuoto.size())), {}));
}

void TstGuastiAudio::musica_danneggiata_data() {
    QTest::addColumn<QString>("tune");      // fault of heidi-cartoon.mid, or ""
    QTest::addColumn<QString>("soundfont"); // "system", "missing", "text", "cut"
    QTest::newRow("tune missing") << "missing"
                                  << "system";
    QTest::newRow("tune empty") << "empty"
                                << "system";
    QTest::newRow("tune a folder") << "folder"
                                   << "system";
    QTest::newRow("tune text") << "text"
                               << "system";
    QTest::newRow("tune cut") << "half"
                              << "system";
    QTest::newRow("SoundFont missing") << ""
                                       << "missing";
    QTest::newRow("SoundFont text") << ""
                                    << "text";
    QTest::newRow("SoundFont cut") << ""
                                   << "cut";
}

// The window starts and works with no music and says nothing about it.
void TstGuastiAudio::musica_danneggiata() {
    QFETCH(QString, tune);
    QFETCH(QString, soundfont);
    if (!QFileInfo::exists(soundfont_di_sistema))
        QSKIP("the GM SoundFont (timgm6mb-soundfont) is not installed");
    Cartella c;
    if (!tune.isEmpty())
        danneggia(c.file(file_musica), tune);
    QString sf2 = soundfont_di_sistema;
    if (soundfont == "missing") {
        sf2 = c.file("manca.sf2");
    } else if (soundfont == "text") {
        sf2 = c.file("testo.sf2");
        scrivi(sf2, "RIFF non proprio\n");
    } else if (soundfont == "cut") {
        sf2 = c.file("tagliata.sf2");
        scrivi(sf2, leggi(soundfont_di_sistema).left(200000));
    }

    SuonoRegistrato suono;
    MediaMidi media(suono, sf2.toStdString());
    Finestra f(suono, media, c.percorso);
    QVERIFY(f.w->isVisible());
    QVERIFY(!f.w->musica().musica.IsPlaying());
    suono.avanza(44100 / 10);
    f.usa("2304");
    QCOMPARE(f.w->controlli().Text1->text(), "2.304");
    QCOMPARE(QString::fromStdString(f.w->lettere_numero()), "Duemilatrecentoquattro");
    QVERIFY(!f.w->musica().musica.IsPlaying());
    QVERIFY2(f.messaggi().isEmpty(), qPrintable(f.messaggi().join('\n')));
}

void TstGuastiAudio::senza_dispositivo_data() {
    QTest::addColumn<QByteArray>("driver");
    QTest::newRow("no such driver") << QByteArray("nessuno");
    QTest::newRow("ALSA without a card") << QByteArray("alsa");
}

// One warning as the window opens (and one for each number it is asked to
// say, not one per clip); everything else works without sound.
void TstGuastiAudio::senza_dispositivo() {
    QFETCH(QByteArray, driver);
    const QByteArray prima = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", driver);
    Cartella c;
    {
        SuonoSdl suono;
        if (suono.dispositivi() > 0) {
            qputenv("SDL_AUDIODRIVER", prima);
            QSKIP("this machine has a working sound device for that driver");
        }
        MediaMidi media(suono);
        Finestra f(suono, media, c.percorso);
        const QString avviso = "warn " + QString::fromUtf8(titolo_scheda_audio.data()) + ": " +
                               QString::fromUtf8(testo_scheda_audio.data());
        QCOMPARE(f.messaggi(), QStringList{avviso});
        QVERIFY(!f.w->musica().musica.IsPlaying());
        f.usa("2304");
        QCOMPARE(f.w->controlli().Text1->text(), "2.304");
        QCOMPARE(QString::fromStdString(f.w->lettere_numero()), "Duemilatrecentoquattro");
        QCOMPARE(f.messaggi(), (QStringList{avviso, avviso}));
        // A key sound with no device: nothing, no hang.
        QTest::keyClick(f.w->controlli().Text1, Qt::Key_5);
    }
    qputenv("SDL_AUDIODRIVER", prima);
}

QTEST_MAIN(TstGuastiAudio)
#include "tst_guasti_audio.moc"
