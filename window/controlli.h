// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls, held together as a form designer's generated class
// holds them, and their layout. Controls keep their layout names as member and
// object names. Positions are laid out in twips (15 to a logical pixel; Qt
// scales logical pixels on HiDPI screens).
#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

namespace contavoce {

inline constexpr int twip_per_pixel = 15;
constexpr int px(int twip) {
    return twip / twip_per_pixel;
}
// The form's inner size in twips, whatever size it is drawn at.
inline constexpr int larghezza_form = 8505;
inline constexpr int altezza_form = 5355;

inline constexpr const char* indirizzo_autore = "bertoldo@example.org";

// A push button whose caption wraps onto two lines when it does not fit, as the
// captions of the action panel need ("Nuovo / Numero"); QPushButton never wraps.
class Pulsante : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* evento) override;
};

// The controls (owned by their Qt parents), in the layout's stacking order.
struct ControlliVoceCifre {
    QFrame* Frame3 = nullptr;         // the grey panel of the confirm button
    Pulsante* Command6 = nullptr;     // "&INVIO"
    QFrame* Frame2 = nullptr;         // the grey panel of the action buttons
    Pulsante* Command1 = nullptr;     // "&Nuovo Numero"
    Pulsante* Command2 = nullptr;     // "&Ascolta il numero"
    Pulsante* Command3 = nullptr;     // "&Scomponi il numero"
    Pulsante* Command4 = nullptr;     // "&Fine"
    Pulsante* Command5 = nullptr;     // "&Pausa musica" / "&Suona musica"
    QPlainTextEdit* Text3 = nullptr;  // the number in words
    QTimer* Timer1 = nullptr;         // the tune's minute timer
    QLineEdit* Text1 = nullptr;       // the entry box
    QFrame* Frame1 = nullptr;         // the green place-value panel
    QTimer* Timer3 = nullptr;         // the blink's white phase
    QTimer* Timer2 = nullptr;         // the blink's red phase
    QLabel* Label1 = nullptr;         // the chosen digit's place ("3 centinaia")
    QLabel* Label6 = nullptr;         // "C L I C C A    S U I    N U M E R I"
    std::array<QLabel*, 12> Label5{}; // the digit boxes, 11 the units
    QLabel* Label4 = nullptr;         // "email: Bertoldino"
    QLabel* Label2 = nullptr;         // the instruction line
    // Added to the form, after the rest in the tab order and clear of every
    // other control: "&Esercizi", the practice window (also F2).
    Pulsante* Esercizi = nullptr;
};

// The window's own name, title, icon, font and fixed size.
void imposta_finestra(QWidget& finestra);
// Creates the controls on `finestra` as laid out, puts them in the layout's tab
// order and gives Text1 the focus.
ControlliVoceCifre crea_controlli(QWidget& finestra);

// Background and text colours of a widget, as layout values.
void colori(QWidget* w, std::optional<std::uint32_t> sfondo, std::optional<std::uint32_t> testo);

} // namespace contavoce
