// SPDX-License-Identifier: GPL-3.0-or-later
// The watch that process_bench reads on a program it starts: the program is
// given CONTAVOCE_PRIMO_DISEGNO, the steady_clock time in ns taken just before
// exec; after its window's first paint it prints the microseconds since then
// and the CPU microseconds used by all its threads (the figure a loaded machine
// does not inflate), and ends.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

class OrologioDisegno final : public QObject {
public:
    explicit OrologioDisegno(long long avvio_ns) : avvio_ns_(avvio_ns) {}

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
