// SPDX-License-Identifier: GPL-3.0-or-later
// The key table of the entry box: which key stands for which digit, and what
// each key types as the handlers see it.
#include "window/tastiera.h"

#include <QKeyEvent>
#include <array>

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

} // namespace

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

} // namespace contavoce
