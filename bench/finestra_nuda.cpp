// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the start-up: the barest Qt window, one label in it, timed
// by process_bench exactly as primo_disegno times Contavoce (orologio_disegno.h).
#include "orologio_disegno.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* avvio = std::getenv("CONTAVOCE_PRIMO_DISEGNO");
    if (!avvio) {
        std::fprintf(stderr, "usage: CONTAVOCE_PRIMO_DISEGNO=<steady_clock ns> finestra_nuda\n");
        return 2;
    }
    QApplication app(argc, argv);
    QWidget finestra;
    QLabel etichetta("Contavoce", &finestra);
    OrologioDisegno orologio(std::atoll(avvio));
    finestra.installEventFilter(&orologio);
    finestra.show();
    return QApplication::exec();
}
