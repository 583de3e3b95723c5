// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the real window in this process, over the real sound device (SDL's
// dummy driver, which pulls in real time) with the tune playing: the time of
// `sfuma` (256 bands, the repaint it asks for included) and the time from a
// digit key reaching the entry box to the key's sound's first sample in the mix;
// and the time to open the practice window, made and shown to its first paint.
#include "platform/audio/media_midi.h"
#include "platform/audio/mixer.h"
#include "platform/audio/suono_sdl.h"
#include "platform/qt/resources.h"
#include "window/esercizi/finestra_esercizi.h"
#include "window/voce_cifre.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace contavoce;
using Orologio = std::chrono::steady_clock;

namespace {

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Whether a paint event has reached the object it watches.
class Dipinto final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* evento) override {
        fatto = fatto || evento->type() == QEvent::Paint;
        return false;
    }
    bool fatto = false;
};

double ms_da(Orologio::time_point t0, Orologio::time_point t1) {
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

// A message box would stop the run; the bench only counts them.
class AvvisiContati final : public platform::Avvisi {
public:
    void avviso(const std::string&, const std::string&) override { ++quanti; }
    void messaggio(const std::string&) override { ++quanti; }
    int quanti = 0;
};

void lascia_girare(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string cartella = argc > 1 ? argv[1] : ".";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);

    // A short hold before the device sleeps, so that the keys from asleep below
    // take seconds; the hold does not change what waking costs.
    platform::SuonoSdl suono(platform::dispositivo_sdl(), std::chrono::milliseconds(500));
    if (!suono.mixer()) {
        std::printf("window: no dummy sound device\n");
        return 1;
    }
    platform::MediaMidi media(suono);
    AvvisiContati avvisi;
    VoceCifre finestra({suono, media, avvisi, cartella, [] {}, {}});
    finestra.show();
    lascia_girare(1000); // shown, painted, the tune under way

    std::vector<double> sfuma_ms;
    for (int i = 0; i < 100; ++i) {
        const auto t0 = Orologio::now();
        finestra.sfuma(std::string(1, char('0' + i % 10)));
        sfuma_ms.push_back(ms_da(t0, Orologio::now()));
    }
    std::printf("sfuma (256 bands and the window's repaint, %s, %zu calls): median %.3f ms, max "
                "%.3f ms; target <= 2 ms\n",
                qPrintable(QGuiApplication::platformName()), sfuma_ms.size(), mediana(sfuma_ms),
                *std::max_element(sfuma_ms.begin(), sfuma_ms.end()));

    // Where a key's time goes besides waiting for the device: decoding its sound.
    std::vector<double> decodifica_ms;
    const auto g5 = platform::risorsa("g5", "wav");
    for (int i = 0; g5 && i < 50; ++i) {
        const auto t0 = Orologio::now();
        const auto clip = platform::decodifica_wav(
            std::span<const char>(g5->constData(), std::size_t(g5->size())),
            suono.mixer()->formato());
        decodifica_ms.push_back(ms_da(t0, Orologio::now()));
        if (!clip)
            return 1;
    }

    std::mt19937 caso(5);
    const double buffer_ms =
        1000.0 * platform::frame_per_buffer / suono.mixer()->formato().frequenza;
    // A random digit typed into Text1: the time from the key press to its
    // sound's first sample in the mix (returns once the sound has ended).
    const auto tasto_a_caso = [&]() -> std::optional<double> {
        const int cifra = int(caso() % 10);
        QKeyEvent premuto(QEvent::KeyPress, Qt::Key_0 + cifra, Qt::NoModifier,
                          QString(QChar('0' + cifra)));
        const auto t0 = Orologio::now();
        QApplication::sendEvent(finestra.controlli().Text1, &premuto);
        const auto inizio = suono.mixer()->inizio_ultimo();
        if (inizio && inizio->istante >= t0)
            return ms_da(t0, inizio->istante);
        return std::nullopt;
    };
    std::vector<double> tasto_ms;
    int cifre_entrate = 0;
    for (int i = 0; i < 40; ++i) {
        if (finestra.controlli().Text1->text().size() >= 12)
            finestra.controlli().Text1->clear();
        const auto prima = finestra.controlli().Text1->text().size();
        // Keys land at random points of the device's buffer cycle.
        std::this_thread::sleep_for(std::chrono::microseconds(caso() % unsigned(buffer_ms * 1000)));
        if (const auto ms = tasto_a_caso())
            tasto_ms.push_back(*ms);
        cifre_entrate += finestra.controlli().Text1->text().size() == prima + 1 ? 1 : 0;
        QCoreApplication::processEvents();
    }
    if (tasto_ms.empty() || cifre_entrate != 40 || avvisi.quanti != 0) {
        std::printf("key to first sample: %zu of 40 keys measured, %d typed, %d messages\n",
                    tasto_ms.size(), cifre_entrate, avvisi.quanti);
        return 1;
    }
    std::printf("key press to its sound's first sample in the mix (digits sent to Text1, dummy "
                "driver, music playing, %zu keys): median %.2f ms, max %.2f ms; target median "
                "<= 8 ms\n"
                "  of which sfuma %.2f ms and decoding the sound %.2f ms (medians); the rest is "
                "the wait for the next %.2f ms buffer\n",
                tasto_ms.size(), mediana(tasto_ms),
                *std::max_element(tasto_ms.begin(), tasto_ms.end()), mediana(sfuma_ms),
                mediana(decodifica_ms), buffer_ms);

    // The same keys with the music paused, each once the device has fallen asleep.
    media.invia("pause PlayMidi", nullptr, 0);
    std::vector<double> dal_sonno_ms;
    for (int i = 0; i < 12; ++i) {
        if (finestra.controlli().Text1->text().size() >= 12)
            finestra.controlli().Text1->clear();
        for (int j = 0; j < 300 && !suono.addormentato(); ++j)
            lascia_girare(10);
        if (!suono.addormentato())
            break;
        if (const auto ms = tasto_a_caso())
            dal_sonno_ms.push_back(*ms);
        QCoreApplication::processEvents();
    }
    if (dal_sonno_ms.empty()) {
        std::printf("key to first sample from asleep: the device never fell asleep\n");
        return 1;
    }
    std::printf("key press to its sound's first sample, the device asleep (music paused, %zu "
                "keys): median %.2f ms, max %.2f ms; target median <= 8 ms\n",
                dal_sonno_ms.size(), mediana(dal_sonno_ms),
                *std::max_element(dal_sonno_ms.begin(), dal_sonno_ms.end()));

    // The practice window as F2 opens it the first time: made over the main
    // window, shown, painted.
    std::vector<double> apertura_ms;
    for (int i = 0; i < 10; ++i) {
        const auto t0 = Orologio::now();
        FinestraEsercizi esercizi(finestra, suono, cartella);
        Dipinto dipinto;
        esercizi.installEventFilter(&dipinto);
        esercizi.show();
        while (!dipinto.fatto && ms_da(t0, Orologio::now()) < 2000)
            QCoreApplication::processEvents();
        apertura_ms.push_back(ms_da(t0, Orologio::now()));
        if (!dipinto.fatto)
            return 1;
        esercizi.close();
        lascia_girare(50);
    }
    std::printf("opening the practice window (made, shown and first painted, %s, %zu times): "
                "median %.1f ms, max %.1f ms; target <= 100 ms\n",
                qPrintable(QGuiApplication::platformName()), apertura_ms.size(),
                mediana(apertura_ms), *std::max_element(apertura_ms.begin(), apertura_ms.end()));
}
