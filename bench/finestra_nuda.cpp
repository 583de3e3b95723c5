// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the start-up: the barest Qt window, one label in it, timed
// by process_bench exactly as primo_disegno times Contavoce (orologio_disegno.h).
#include "orologio_disegno.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// With --inattiva it stays open, unwatched: the yardstick for the idle CPU.
int main(int argc, char** argv) {
    const char* avvio = std::getenv("CONTAVOCE_PRIMO_DISEGNO");
    const bool inattiva = argc > 1 && std::strcmp(argv[1], "--inattiva") == 0;
    if (!avvio && !inattiva) {
        std::fprintf(stderr, "usage: CONTAVOCE_PRIMO_DISEGNO=<steady_clock ns> finestra_nuda\n"
                             "       finestra_nuda --inattiva\n");
        return 2;
    }
    QApplication app(argc, argv);
    QWidget finestra;
    QLabel etichetta("Contavoce", &finestra);
    OrologioDisegno orologio(avvio ? std::atoll(avvio) : 0);
    if (!inattiva)
        finestra.installEventFilter(&orologio);
    finestra.show();
    return QApplication::exec();
}
