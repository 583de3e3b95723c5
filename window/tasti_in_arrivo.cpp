// SPDX-License-Identifier: GPL-3.0-or-later
// Text1's keys on their way to the two key handlers: one at a time, those that
// arrive while one is being handled queued behind it in the order typed.
#include "window/tastiera.h"
#include "window/voce_cifre.h"

#include <QTimer>

namespace contavoce {

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
