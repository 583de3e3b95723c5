// SPDX-License-Identifier: GPL-3.0-or-later
// The form laid out on the window: at a zoom (Ctrl+Plus, Ctrl+Minus,
// Ctrl+0) or in full screen (F11), with the surface made again for each size.
#include "window/voce_cifre.h"
#include "window/zoom.h"

#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

namespace contavoce {
namespace {

const QSize form(larghezza_form, altezza_form);

} // namespace

void VoceCifre::collega_zoom() {
    // Window shortcuts are taken before the focused control sees the key, so
    // the entry box's handlers never hear them.
    const auto tasti = [this](std::initializer_list<QKeySequence> sequenze, auto azione) {
        for (const QKeySequence& s : sequenze)
            connect(new QShortcut(s, this), &QShortcut::activated, this, azione); // owned by this
    };
    tasti({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
           QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))},
          [this] {
              if (!schermo_intero_)
                  imposta_zoom(zoom_piu(zoom_));
          });
    tasti({QKeySequence(Qt::CTRL | Qt::Key_Minus),
           QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))},
          [this] {
              if (!schermo_intero_)
                  imposta_zoom(zoom_meno(zoom_));
          });
    tasti({QKeySequence(Qt::CTRL | Qt::Key_0),
           QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_0))},
          [this] {
              if (!schermo_intero_)
                  imposta_zoom(zoom_minimo);
          });
    tasti({QKeySequence(Qt::Key_F11)}, [this] { commuta_schermo_intero(); });
}

int VoceCifre::zoom_che_entra_qui() const {
    const QScreen* schermo = screen();
    if (!schermo)
        return zoom_massimo;
    // The window is fixed in size: one larger than the screen would leave its
    // controls out of reach. Its frame counts once the window system has
    // drawn one.
    const QSize cornice = frameGeometry().size() - geometry().size();
    return zoom_che_entra(schermo->availableGeometry().size() - cornice, form);
}

void VoceCifre::imposta_zoom(int percento) {
    if (!zoom_valido(percento))
        return;
    percento = std::min(percento, zoom_che_entra_qui());
    if (percento == zoom_)
        return;
    zoom_ = percento;
    if (!schermo_intero_) {
        setFixedSize(dimensione_zoom(form, zoom_));
        disponi();
    }
    emit zoom_cambiato(zoom_);
}

void VoceCifre::commuta_schermo_intero() {
    schermo_intero_ = !schermo_intero_;
    if (schermo_intero_) {
        // Started in full screen, the window has no place of its own to go back to.
        geometria_finestra_ = isVisible() ? geometry() : QRect();
        const QRect schermo = screen()->geometry();
        setFixedSize(schermo.size());
        showFullScreen();
        // Without a window manager nothing else would make it cover the screen.
        setGeometry(schermo);
    } else {
        showNormal();
        setFixedSize(dimensione_zoom(form, zoom_));
        if (geometria_finestra_.isValid())
            setGeometry(QRect(geometria_finestra_.topLeft(), size()));
    }
    disponi();
}

void VoceCifre::disponi() {
    if (schermo_intero_) {
        zoom_mostrato_ = zoom_che_entra(size(), form);
        const QSize d = dimensione_zoom(form, zoom_mostrato_);
        origine_ = QPoint((width() - d.width()) / 2, (height() - d.height()) / 2);
    } else {
        zoom_mostrato_ = zoom_;
        origine_ = QPoint();
    }
    applica_zoom(*this, zoom_mostrato_, origine_);
    ricrea_superficie();
}

void VoceCifre::resizeEvent(QResizeEvent*) {
    disponi();
}

void VoceCifre::ricrea_superficie() {
    const qreal dpr = devicePixelRatioF();
    superficie_ = QImage(size() * dpr, QImage::Format_RGB32);
    superficie_.setDevicePixelRatio(dpr);
    superficie_.fill(palette().color(QPalette::Window));
    // The gradient again at the new size and scale, in the tint it had.
    if (rosso_)
        dipingi_sfumatura(*rosso_);
    update();
}

void VoceCifre::twip_su(QPainter& p) const {
    p.translate(origine_);
    const double scala = zoom_mostrato_ / (100.0 * twip_per_pixel);
    p.scale(scala, scala);
}

} // namespace contavoce
