// The window for a child who cannot use the mouse or the screen: a focus ring
// that shows on every control, Enter on a button, the digits of the panel by
// the arrow keys, and Italian names for a screen reader.
#pragma once

#include <QObject>
#include <QProxyStyle>
#include <memory>

class QKeyEvent;

namespace contavoce {

class VoceCifre;

// Draws a thick two-tone ring on the control that has the focus; the rest is
// left to the style underneath.
class StileFuoco : public QProxyStyle {
public:
    // Outer dark blue, inner white: one of the two contrasts with every
    // background of the window (green, grey, white, the gradient).
    static constexpr QRgb blu_anello = 0x0000a0;
    static constexpr int spessore = 3;

    void drawPrimitive(PrimitiveElement elemento, const QStyleOption* opzione, QPainter* p,
                       const QWidget* w = nullptr) const override;
    void drawControl(ControlElement elemento, const QStyleOption* opzione, QPainter* p,
                     const QWidget* w = nullptr) const override;
};

class Accesso : public QObject {
public:
    explicit Accesso(VoceCifre& finestra);
    ~Accesso() override;

    // The digit just chosen reads with its place ("3, centinaia"), the others
    // with their digit only.
    void cifra_scelta(int indice);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    bool tasto_su_cifra(int indice, const QKeyEvent& tasto);
    void vai_a_cifra(int indice);
    void nomi_cifre(int scelta);

    VoceCifre& finestra_;
    std::unique_ptr<StileFuoco> stile_;
};

} // namespace contavoce
