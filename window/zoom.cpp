// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/zoom.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace contavoce {
namespace {

// Dynamic properties: the layout's rectangle in twips (set where a control is
// placed) and a font's size at 100% (kept at the first zoom).
constexpr const char* proprieta_twip = "twip";
constexpr const char* proprieta_punti = "punti_100";

void scala_font(QWidget& w, int percento) {
    if (!w.testAttribute(Qt::WA_SetFont))
        return; // inherits its parent's, already scaled
    QVariant base = w.property(proprieta_punti);
    if (!base.isValid()) {
        base = w.font().pointSizeF();
        w.setProperty(proprieta_punti, base);
    }
    QFont f = w.font();
    f.setPointSizeF(base.toDouble() * percento / 100.0);
    w.setFont(f);
}

} // namespace

bool zoom_valido(int percento) {
    return percento >= zoom_minimo && percento <= zoom_massimo &&
           (percento - zoom_minimo) % passo_zoom == 0;
}

int zoom_piu(int percento) {
    return std::min(percento + passo_zoom, zoom_massimo);
}

int zoom_meno(int percento) {
    return std::max(percento - passo_zoom, zoom_minimo);
}

int px_zoom(int twip, int percento) {
    return int(std::lround(double(twip) * percento / (15.0 * 100.0)));
}

QRect rettangolo_zoom(const QRect& twip, int percento) {
    return {px_zoom(twip.x(), percento), px_zoom(twip.y(), percento),
            px_zoom(twip.width(), percento), px_zoom(twip.height(), percento)};
}

QSize dimensione_zoom(const QSize& twip, int percento) {
    return {px_zoom(twip.width(), percento), px_zoom(twip.height(), percento)};
}

int zoom_che_entra(const QSize& spazio, const QSize& twip) {
    for (int z = zoom_massimo; z > zoom_minimo; z -= passo_zoom) {
        const QSize d = dimensione_zoom(twip, z);
        if (d.width() <= spazio.width() && d.height() <= spazio.height())
            return z;
    }
    return zoom_minimo;
}

void applica_zoom(QWidget& finestra, int percento, QPoint origine) {
    scala_font(finestra, percento);
    for (QWidget* w : finestra.findChildren<QWidget*>()) {
        const QVariant twip = w->property(proprieta_twip);
        if (twip.isValid()) {
            QRect r = rettangolo_zoom(twip.toRect(), percento);
            if (w->parentWidget() == &finestra)
                r.translate(origine);
            w->setGeometry(r);
            scala_font(*w, percento);
        }
    }
}

} // namespace contavoce
