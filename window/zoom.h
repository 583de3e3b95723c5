// SPDX-License-Identifier: GPL-3.0-or-later
// The form drawn larger: a zoom in steps of 25% from 100% to 300%, applied to
// every position, size and font laid out in twips. The handlers keep seeing
// the form's own size in twips; only the drawing is scaled.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace contavoce {

inline constexpr int zoom_minimo = 100;
inline constexpr int zoom_massimo = 300;
inline constexpr int passo_zoom = 25;

bool zoom_valido(int percento);
// One step up or down, held within 100%..300%.
int zoom_piu(int percento);
int zoom_meno(int percento);

// Twips to logical pixels at a zoom (15 twips a pixel at 100%), to the nearest pixel.
int px_zoom(int twip, int percento);
QRect rettangolo_zoom(const QRect& twip, int percento);
QSize dimensione_zoom(const QSize& twip, int percento);
// The largest zoom at which a form of `twip` fits in `spazio` (logical pixels);
// 100% when not even that fits.
int zoom_che_entra(const QSize& spazio, const QSize& twip);

// Places the controls laid out on `finestra` at `percento`, the form's top-left
// corner at `origine`, and scales every font set on it or on its controls.
void applica_zoom(QWidget& finestra, int percento, QPoint origine);

} // namespace contavoce
