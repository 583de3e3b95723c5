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
    const std::int16_t codice = codice_tasto(evento.key());
    Text1_KeyDown(codice);
    // Keys that type a character go on to the character handler; Enter and
    // Backspace count as characters, as do control characters such as Ctrl+V.
    std::int16_t carattere = 0;
    if (codice == platform::tasto::invio || codice == platform::tasto::backspace)
        carattere = codice;
    else if (evento.text().size() == 1 && evento.text()[0] != QChar('\t') &&
             evento.text()[0] != QChar(0x7f))
        carattere = std::int16_t(evento.text()[0].unicode());
    if (carattere == 0)
        return false; // navigation and other keys keep their own effect
    Text1_KeyPress(carattere);
    return carattere == 0 || carattere == platform::tasto::invio;
}

void VoceCifre::tasti_rimasti() {
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
