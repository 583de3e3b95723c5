// Contavoce: the window, over the sound device and the music service.
#include "platform/media.h"
#include "platform/sound_sdl.h"
#include "window/avvisi_qt.h"
#include "window/voce_cifre.h"

#include <QApplication>
#include <QDesktopServices>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

// Start-up measurement (bench/process_bench): CONTAVOCE_PRIMO_DISEGNO holds the
// steady_clock time in ns taken just before exec. After the window's first paint
// the program prints the microseconds since then and the CPU microseconds it has
// used (the figure a loaded machine does not inflate), and ends.
class PrimoDisegno final : public QObject {
public:
    explicit PrimoDisegno(long long avvio_ns) : avvio_ns_(avvio_ns) {}

    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() != QEvent::Paint)
            return false;
        oggetto->removeEventFilter(this);
        QCoreApplication::sendEvent(oggetto, evento); // the paint itself, then the time
        const long long ora = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count();
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        std::printf("%lld %lld\n", (ora - avvio_ns_) / 1000,
                    (cpu.tv_sec * 1'000'000'000LL + cpu.tv_nsec) / 1000);
        std::fflush(stdout);
        std::_Exit(0);
    }

private:
    long long avvio_ns_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Contavoce");

    contavoce::platform::SuonoSdl suono;
    contavoce::platform::MediaMidi media(suono);
    contavoce::AvvisiQt avvisi;
    contavoce::VoceCifre finestra({
        suono,
        media,
        avvisi,
        QCoreApplication::applicationDirPath().toStdString(),
        // "Fine" ends the process on the spot: no handler runs after it and nothing
        // more reaches the music device; the system reclaims the sound device.
        [] {
            std::fflush(nullptr);
            std::_Exit(0);
        },
        [](const QUrl& url) { return QDesktopServices::openUrl(url); },
    });
    std::optional<PrimoDisegno> primo_disegno;
    if (const char* avvio = std::getenv("CONTAVOCE_PRIMO_DISEGNO")) {
        primo_disegno.emplace(std::atoll(avvio));
        finestra.installEventFilter(&*primo_disegno);
    }
    finestra.show();
    return app.exec();
}
