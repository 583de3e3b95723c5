// SPDX-License-Identifier: GPL-3.0-or-later
// What is painted on the window's persistent surface, in the form's twips:
// the background gradient tinted by a digit, and filled boxes; and the surface
// shown.
#include "spelling/numero.h"
#include "window/colori.h"
#include "window/voce_cifre.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

namespace contavoce {

void VoceCifre::riempi(int x, int y, int larghezza, int altezza, std::uint32_t valore) {
    QPainter p(&superficie_);
    twip_su(p);
    p.fillRect(QRectF(x, y, larghezza, altezza), colore(valore, palette()));
    update();
}

void VoceCifre::sfuma(const std::string& carattere) {
    // The numeric value of the text's leading digits; anything else reads as 0.
    const long long valore = std::min(valore_cifre(carattere), 1000LL);
    const int r = std::clamp(int(valore * 25), 0, 255);
    rosso_ = r;
    dipingi_sfumatura(r);
    update();
    QCoreApplication::processEvents();
}

void VoceCifre::dipingi_sfumatura(int r) {
    const std::int16_t h = std::int16_t(ScaleHeight() / 255);
    const int g = std::clamp(255 - r, 0, 255);
    QPainter p(&superficie_);
    twip_su(p);
    // Around a form centred on the screen the bands go on to the edges: the
    // first up to the top, the last down to the bottom, each across.
    const QRectF tutto = p.transform().inverted().mapRect(
        QRectF(QPointF(0, 0), QSizeF(superficie_.size()) / superficie_.devicePixelRatio()));
    const double sinistra = std::min(0.0, tutto.left());
    const double larghezza = std::max(tutto.right(), double(ScaleWidth())) - sinistra;
    for (int i = 0; i <= 255; ++i) {
        // Positions in int: a tall window would overflow 16 bits at the lowest bands.
        double alto = i * int(h);
        double basso = alto + h;
        if (i == 0)
            alto = std::min(alto, tutto.top());
        if (i == 255)
            basso = std::max(basso, tutto.bottom());
        p.fillRect(QRectF(sinistra, alto, larghezza, basso - alto), QColor(r, g, 255 - i));
    }
}

void VoceCifre::paintEvent(QPaintEvent*) {
    // Moved to a screen of another scale: the surface is made again for it.
    if (superficie_.devicePixelRatio() != devicePixelRatioF())
        ricrea_superficie();
    QPainter p(this);
    p.drawImage(QPoint(0, 0), superficie_);
}

} // namespace contavoce
