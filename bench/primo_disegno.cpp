// SPDX-License-Identifier: GPL-3.0-or-later
// `contavoce` as process_bench starts it to time the start-up: the same program
// (its main, step for step) with a watch on the window's first paint, kept out
// of the shipped one; see orologio_disegno.h.
#include "orologio_disegno.h"
#include "platform/audio/suono_differito.h"
#include "window/programma.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* avvio = std::getenv("CONTAVOCE_PRIMO_DISEGNO");
    if (argc < 2 || !avvio) {
        std::fprintf(stderr, "usage: CONTAVOCE_PRIMO_DISEGNO=<steady_clock ns> primo_disegno "
                             "<folder of contavoce>\n");
        return 2;
    }
    // The program reads its clips, tune and sound module from its own folder;
    // this one lives elsewhere, so it is told where.
    const std::string cartella = argv[1];
    contavoce::platform::SuonoDifferito suono(cartella);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Contavoce");
    OrologioDisegno orologio(std::atoll(avvio));
    return contavoce::esegui_programma(
        cartella, suono, suono, [&](QWidget& finestra) { finestra.installEventFilter(&orologio); });
}
