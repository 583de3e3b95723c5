// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/accesso.h"

#include "spelling/ordini.h"
#include "window/voce_cifre.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <initializer_list>
#include <memory>

namespace contavoce {

void anello(QPainter* p, const QRect& r) {
    const auto cornice = [p](const QRect& q, int s, const QColor& c) {
        p->fillRect(QRect(q.left(), q.top(), q.width(), s), c);
        p->fillRect(QRect(q.left(), q.bottom() - s + 1, q.width(), s), c);
        p->fillRect(QRect(q.left(), q.top() + s, s, q.height() - 2 * s), c);
        p->fillRect(QRect(q.right() - s + 1, q.top() + s, s, q.height() - 2 * s), c);
    };
    const int blu = spessore_anello - 1;
    cornice(r, blu, QColor(blu_anello));
    cornice(r.adjusted(blu, blu, -blu, -blu), 1, Qt::white);
}

namespace {

bool freccia_di_lato(const QKeyEvent& tasto) {
    return (tasto.key() == Qt::Key_Left || tasto.key() == Qt::Key_Right) &&
           (tasto.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool invio(const QKeyEvent& tasto) {
    return (tasto.key() == Qt::Key_Return || tasto.key() == Qt::Key_Enter) &&
           (tasto.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

Accesso::Accesso(VoceCifre& finestra) : finestra_(finestra) {
    const ControlliVoceCifre& c = finestra_.controlli();

    // The grouped number is what the child reads after Enter: the box is
    // disabled then, but its text keeps the ink it has while typing.
    QPalette p = c.Text1->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
    c.Text1->setPalette(p);

    c.Text1->setAccessibleName("Numero");
    c.Text1->setAccessibleDescription("Scrivi un numero di al massimo 12 cifre, poi premi Invio");
    c.Text3->setAccessibleName("Il numero in lettere");
    // The buttons are read by their captions (Qt leaves out the "&"), which
    // follow the music button's change; a description says what each does.
    c.Command6->setAccessibleDescription("Conferma il numero scritto");
    c.Command1->setAccessibleDescription("Cancella il numero per scriverne un altro");
    c.Command2->setAccessibleDescription("Fa sentire il numero a voce");
    c.Command3->setAccessibleDescription(
        "Apre e chiude il pannello delle cifre; a pannello aperto, le frecce portano alle cifre");
    c.Command5->setAccessibleDescription("Ferma o fa ripartire la musica");
    c.Command4->setAccessibleDescription("Chiude il programma");
    c.Esercizi->setAccessibleDescription(
        "Apre la finestra degli esercizi: il programma chiede, tu rispondi (anche con F2)");
    // Spaced out for the eye; a screen reader would spell it letter by letter.
    c.Label6->setAccessibleName("Clicca sui numeri");
    for (QLabel* l : c.Label5) {
        l->setAccessibleDescription(
            "Frecce destra e sinistra per le altre cifre, Invio per sapere il suo valore");
        // Reached from the decompose button, never by Tab: no focus policy.
        l->installEventFilter(this);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             c.Text1, c.Text3, c.Text3->viewport(), c.Command1, c.Command2, c.Command3, c.Command4,
             c.Command5, c.Command6, c.Esercizi})
        w->installEventFilter(this);
    c.Frame1->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* prima, QWidget* ora) {
        const ControlliVoceCifre& c = finestra_.controlli();
        // Qt repaints the words box's frame on a change of focus, not the
        // viewport that the ring also runs over.
        if (prima == c.Text3 || ora == c.Text3)
            c.Text3->viewport()->update();
        // A panel closed while one of its digits had the focus (Alt+S leaves
        // the focus where it is): back to the button that closed it. Qt moves
        // the focus on along its chain more than once while it hides the
        // panel, so this waits until it has done.
        if (prima && c.Frame1->isAncestorOf(prima) && c.Frame1->isHidden())
            QTimer::singleShot(0, this, [this] {
                const ControlliVoceCifre& c = finestra_.controlli();
                if (c.Frame1->isHidden() && c.Command3->isEnabled() && c.Command3->isVisible())
                    c.Command3->setFocus(Qt::OtherFocusReason);
            });
    });
}

Accesso::~Accesso() = default;

void Accesso::nomi_cifre(int scelta) {
    const auto& cifre = finestra_.controlli().Label5;
    for (int i = 0; i < int(cifre.size()); ++i) {
        // An empty name reads the caption, so a new number needs no renaming.
        cifre[std::size_t(i)]->setAccessibleName(
            i == scelta ? cifre[std::size_t(i)]->text() + ", " +
                              QString::fromUtf8(nomi_ordini[std::size_t(12 - i)])
                        : QString());
    }
}

bool Accesso::alle_cifre() {
    const ControlliVoceCifre& c = finestra_.controlli();
    if (!c.Frame1->isVisible() || c.Label5[11]->isHidden())
        return false;
    // The chosen digit, which is the one blinking, or else the units.
    const int k = std::clamp<int>(finestra_.cifra_scelta(), 0, 11);
    vai_a_cifra(c.Label5[std::size_t(k)]->isHidden() ? 11 : k);
    return true;
}

void Accesso::vai_a_cifra(int indice) {
    finestra_.controlli().Label5[std::size_t(indice)]->setFocus(Qt::OtherFocusReason);
}

bool Accesso::eventFilter(QObject* oggetto, QEvent* evento) {
    const ControlliVoceCifre& c = finestra_.controlli();
    const auto tipo = evento->type();
    if (tipo == QEvent::Paint && oggetto != dipinge_ && oggetto != c.Frame1) {
        // The ring goes on after the control has painted itself (a label
        // draws its text last, over anything a style puts on its frame),
        // inside its own rectangle: the digit boxes overlap their neighbours
        // by a pixel. The words box's frame is a pixel wide, so its ring goes
        // on over the edge of its viewport too.
        auto* w = static_cast<QWidget*>(oggetto);
        QWidget* controllo = w == c.Text3->viewport() ? c.Text3 : w;
        if (!controllo->hasFocus())
            return false;
        dipinge_ = oggetto;
        QCoreApplication::sendEvent(w, evento); // through the other filters, to the control
        dipinge_ = nullptr;
        QPainter p(w);
        anello(&p, controllo->rect().translated(-w->mapTo(controllo, QPoint(0, 0))));
        return true;
    }
    if (oggetto == c.Frame1) {
        if (tipo == QEvent::Show)
            nomi_cifre(-1); // a fresh panel: nothing chosen yet
        return false;
    }
    if (tipo != QEvent::KeyPress && tipo != QEvent::KeyRelease)
        return false;
    const auto& tasto = static_cast<const QKeyEvent&>(*evento);

    if (auto* b = qobject_cast<QPushButton*>(oggetto)) {
        // Enter presses a button as Space does: down on the key, clicked on its release.
        if (invio(tasto)) {
            QKeyEvent spazio(tipo, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                             tasto.isAutoRepeat());
            QCoreApplication::sendEvent(b, &spazio);
            return true;
        }
        // Into the row of digits: down from the button that opened it, and
        // left or right from any button.
        if (b == c.Command3 && tipo == QEvent::KeyPress && tasto.key() == Qt::Key_Down &&
            tasto.modifiers() == Qt::NoModifier)
            return alle_cifre();
        return tipo == QEvent::KeyPress && freccia_di_lato(tasto) && alle_cifre();
    }
    // The words box has no caret to move: its arrows go to the digits as well.
    if (oggetto == c.Text3 && tipo == QEvent::KeyPress && freccia_di_lato(tasto))
        return alle_cifre();

    const QVariant indice = oggetto->property("Index");
    if (tipo == QEvent::KeyPress && qobject_cast<QLabel*>(oggetto) && indice.isValid())
        return tasto_su_cifra(indice.toInt(), tasto);
    return false;
}

bool Accesso::tasto_su_cifra(int indice, const QKeyEvent& tasto) {
    const ControlliVoceCifre& c = finestra_.controlli();
    const auto mossa = [&](int passo) {
        for (int k = indice + passo; k >= 0 && k < 12; k += passo) {
            if (!c.Label5[std::size_t(k)]->isHidden()) {
                vai_a_cifra(k);
                return;
            }
        }
    };
    switch (tasto.key()) {
    case Qt::Key_Left:
        mossa(-1);
        return true;
    case Qt::Key_Right:
        mossa(+1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if ((tasto.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // Held down, the key chooses once, as a held mouse button clicks once.
        if (!tasto.isAutoRepeat())
            finestra_.Label5_Click(std::int16_t(indice));
        return true;
    case Qt::Key_Up:
    case Qt::Key_Escape:
        c.Command3->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        // The row is a part of the decompose button: Tab goes on from there.
        c.Command3->setFocus(Qt::OtherFocusReason);
        const std::unique_ptr<QKeyEvent> copia(tasto.clone());
        QCoreApplication::sendEvent(c.Command3, copia.get());
        return true;
    }
    default:
        return false;
    }
}

} // namespace contavoce
