// SPDX-License-Identifier: GPL-3.0-or-later
// The key table of the entry box and the queue its keys wait in while one is
// being handled.
#include "window/tastiera.h"

#include "window/voce_cifre.h"

#include <QTimer>

namespace contavoce {
namespace {

// The keys the entry box answers to besides Enter, Backspace and Delete: the
// navigation keys (also the keypad's with Num Lock off), with their Windows key
// codes and the digit each one stands for.
struct TastoNavigazione {
    int qt;
    std::int16_t codice;
    int cifra;
};
constexpr std::array<TastoNavigazione, 10> tasti_navigazione = {{
    {Qt::Key_Insert, 45, 0},
    {Qt::Key_End, 35, 1},
    {Qt::Key_Down, 40, 2},
    {Qt::Key_PageDown, 34, 3},
    {Qt::Key_Left, 37, 4},
    {Qt::Key_Clear, 12, 5}, // keypad 5
    {Qt::Key_Right, 39, 6},
    {Qt::Key_Home, 36, 7},
    {Qt::Key_Up, 38, 8},
    {Qt::Key_PageUp, 33, 9},
}};

// The character a key types as the character handler sees it, or 0.
std::int16_t carattere_del_tasto(const QKeyEvent& evento) {
    const int tasto = evento.key();
    const auto modificatori = evento.modifiers();
    // With Alt or Ctrl too: their key-down has already locked the box for the
    // confirmation, which only the character can bring.
    if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter)
        return platform::tasto::invio;
    if (tasto == Qt::Key_Backspace)
        return platform::tasto::backspace;
    // Alt with anything, and Ctrl with anything but a letter, type nothing: the
    // key-down handler alone sees them.
    if (modificatori & Qt::AltModifier)
        return 0;
    if (modificatori & Qt::ControlModifier)
        return tasto >= Qt::Key_A && tasto <= Qt::Key_Z ? std::int16_t(tasto - Qt::Key_A + 1) : 0;
    const QString testo = evento.text();
    if (testo.size() == 1 && testo[0] != QChar('\t') && testo[0] != QChar(0x7f))
        return std::int16_t(testo[0].unicode());
    return 0;
}

} // namespace

int cifra_del_tasto(std::int16_t codice) {
    for (const auto& t : tasti_navigazione)
        if (t.codice == codice)
            return t.cifra;
    return -1;
}

std::int16_t codice_tasto(int qt_key) {
    if (qt_key == Qt::Key_Return || qt_key == Qt::Key_Enter)
        return platform::tasto::invio;
    if (qt_key == Qt::Key_Backspace)
        return platform::tasto::backspace;
    if (qt_key == Qt::Key_Delete)
        return platform::tasto::canc;
    for (const auto& t : tasti_navigazione)
        if (t.qt == qt_key)
            return t.codice;
    // Letters and digits have their ASCII codes as key codes.
    if ((qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) ||
        (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z))
        return std::int16_t(qt_key);
    return 0;
}

bool VoceCifre::tasto_in_arrivo(const QKeyEvent& tasto) {
    if (in_tasto_ || !tasti_in_attesa_.empty()) {
        tasti_in_attesa_.emplace_back(tasto.clone());
        return true;
    }
    in_tasto_ = true;
    const bool scartato = tasto_su_text1(tasto);
    in_tasto_ = false;
    if (!tasti_in_attesa_.empty())
        QTimer::singleShot(0, this, [this] { tasti_rimasti(); });
    return scartato;
}

bool VoceCifre::tasto_su_text1(const QKeyEvent& evento) {
    Text1_KeyDown(codice_tasto(evento.key()));
    // Keys that type a character go on to the character handler, once; Enter and
    // Backspace count as characters, as do Ctrl+letter's control characters (Ctrl+V
    // is refused there rather than pasting).
    std::int16_t carattere = carattere_del_tasto(evento);
    if (carattere == 0)
        // A chord types nothing; navigation and other keys keep their own effect.
        return evento.modifiers().testAnyFlags(Qt::AltModifier | Qt::ControlModifier);
    Text1_KeyPress(carattere);
    return carattere == 0 || carattere == platform::tasto::invio;
}

void VoceCifre::tasti_rimasti() {
    // A box that has been confirmed meanwhile takes no more keys: those typed
    // after Enter are dropped, not answered with the locked-box messages.
    if (!controlli_.Text1->isEnabled() || controlli_.Text1->isReadOnly())
        tasti_in_attesa_.clear();
    // One at a time, each after the box has taken the one before.
    if (tasti_in_attesa_.empty() || in_tasto_)
        return;
    const std::unique_ptr<QKeyEvent> tasto = std::move(tasti_in_attesa_.front());
    tasti_in_attesa_.pop_front();
    in_tasto_ = true;
    const bool scartato = tasto_su_text1(*tasto);
    in_tasto_ = false;
    if (!scartato && controlli_.Text1->isEnabled())
        controlli_.Text1->event(tasto.get()); // the box's own handling, bypassing this filter
    if (!tasti_in_attesa_.empty())
        QTimer::singleShot(0, this, [this] { tasti_rimasti(); });
}

} // namespace contavoce
