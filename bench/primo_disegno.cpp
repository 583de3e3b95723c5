// `contavoce` as process_bench starts it to time the start-up: the same program
// with a watch on the window's first paint, kept out of the shipped one.
// CONTAVOCE_PRIMO_DISEGNO holds the steady_clock time in ns taken just before
// exec. After the window's first paint this prints the microseconds since then
// and the CPU microseconds used (the figure a loaded machine does not inflate),
// and ends.
#include "window/programma.h"

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

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
    const char* avvio = std::getenv("CONTAVOCE_PRIMO_DISEGNO");
    if (argc < 2 || !avvio) {
        std::fprintf(stderr, "usage: CONTAVOCE_PRIMO_DISEGNO=<steady_clock ns> primo_disegno "
                             "<folder of contavoce>\n");
        return 2;
    }
    // The program reads its clips and tune from its own folder; this one lives
    // elsewhere, so it is told where.
    const std::string cartella = argv[1];
    QApplication app(argc, argv);
    QApplication::setApplicationName("Contavoce");
    PrimoDisegno primo_disegno(std::atoll(avvio));
    return contavoce::esegui_programma(
        cartella, [&](QWidget& finestra) { finestra.installEventFilter(&primo_disegno); });
}
