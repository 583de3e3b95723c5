// SPDX-License-Identifier: GPL-3.0-or-later
// The window for a child who cannot use the mouse or see the screen well: a
// focus ring plain to see on whichever control has the focus, Enter on a
// button, the digits of the open panel by the arrow keys, and Italian names for a
// screen reader.
#pragma once

#include <QColor>
#include <QObject>

class QKeyEvent;
class QPainter;
class QRect;

namespace contavoce {

class VoceCifre;

// The focus ring: outer dark blue, inner white, so that one of the two
// contrasts with every background of the window (green, grey, white, the
// gradient).
inline constexpr QRgb blu_anello = 0x0000a0;
inline constexpr int spessore_anello = 3;
// The ring inside `r`, painted over what the control has drawn.
void anello(QPainter* p, const QRect& r);

class Accesso : public QObject {
public:
    explicit Accesso(VoceCifre& finestra);
    ~Accesso() override;

    // The digit `scelta` (just chosen) reads with its place ("3, centinaia"),
    // the others with their digit only; -1 for none.
    void nomi_cifre(int scelta);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    bool tasto_su_cifra(int indice, const QKeyEvent& tasto);
    // The focus onto the chosen digit of the open panel; false when it is closed or empty.
    bool alle_cifre();
    void vai_a_cifra(int indice);

    VoceCifre& finestra_;
    // The control whose paint event is being passed on, so that this filter
    // lets it through the second time.
    QObject* dipinge_ = nullptr;
};

} // namespace contavoce
