// SPDX-License-Identifier: GPL-3.0-or-later
// How the controls' events reach the handlers: clicks and timers connected to
// them, Text1's keys and the pointer over the controls through this window's
// event filter.
#include "platform/qt/pointers.h"
#include "window/colori.h"
#include "window/voce_cifre.h"

#include <QMouseEvent>
#include <QShortcut>

namespace contavoce {

void VoceCifre::collega() {
    connect(controlli_.Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(controlli_.Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(controlli_.Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(controlli_.Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(controlli_.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(controlli_.Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(controlli_.Esercizi, &QPushButton::clicked, this, &VoceCifre::esercizi_chiesti);
    // Taken before the entry box sees the key, as the zoom's keys are.
    connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this,
            &VoceCifre::esercizi_chiesti); // owned by this
    connect(controlli_.Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(controlli_.Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(controlli_.Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
    // Looks often enough that the clips of a phrase follow one another without a gap.
    frase_.setInterval(5);
    frase_.setTimerType(Qt::PreciseTimer);
    connect(&frase_, &QTimer::timeout, this, [this] {
        if (!parlante_.avanza_frase())
            frase_.stop();
    });
    controlli_.Text1->installEventFilter(this);
    // Pointer movement is reported without a pressed button only with tracking on.
    setMouseTracking(true);
    for (QWidget* w : std::initializer_list<QWidget*>{
             controlli_.Command1, controlli_.Command2, controlli_.Command3, controlli_.Command4,
             controlli_.Command5, controlli_.Command6, controlli_.Esercizi, controlli_.Label4}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    for (QLabel* l : controlli_.Label5) {
        l->setMouseTracking(true);
        l->installEventFilter(this);
    }
}

bool VoceCifre::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == controlli_.Text1 && evento->type() == QEvent::KeyPress)
        return tasto_in_arrivo(static_cast<const QKeyEvent&>(*evento));
    if (evento_mouse(oggetto, evento))
        return !qobject_cast<QPushButton*>(oggetto); // a button still gets its own click
    return QWidget::eventFilter(oggetto, evento);
}

bool VoceCifre::evento_mouse(QObject* oggetto, QEvent* evento) {
    const auto tipo = evento->type();
    if (tipo != QEvent::MouseMove && tipo != QEvent::MouseButtonPress &&
        tipo != QEvent::MouseButtonRelease && tipo != QEvent::MouseButtonDblClick)
        return false;
    auto* w = qobject_cast<QWidget*>(oggetto);
    // The second press of a double-click on a label is a double-click, which
    // nothing answers: its release clicks nothing, and the pointer stays.
    const bool etichetta = oggetto == controlli_.Label4 || oggetto->property("Index").isValid();
    if (etichetta && tipo == QEvent::MouseButtonDblClick) {
        rilascio_di_doppio_clic_ = oggetto;
        return true;
    }
    if (etichetta && tipo == QEvent::MouseButtonRelease && rilascio_di_doppio_clic_ == oggetto) {
        rilascio_di_doppio_clic_ = nullptr;
        return true;
    }
    const auto mano = [&](int numero) {
        if (auto p = platform::puntatore(numero, w->devicePixelRatioF()))
            w->setCursor(*p);
    };
    if (qobject_cast<QPushButton*>(oggetto)) {
        if (tipo == QEvent::MouseMove || tipo == QEvent::MouseButtonPress)
            mano(101); // on move and on press alike
        return true;
    }
    if (oggetto == controlli_.Label4) {
        if (tipo == QEvent::MouseMove) {
            mano(101);
            colore_testo(controlli_.Label4, rgb(255, 255, 0));
        } else if (tipo == QEvent::MouseButtonRelease &&
                   controlli_.Label4->rect().contains(
                       static_cast<QMouseEvent*>(evento)->position().toPoint())) {
            Label4_Click();
        }
        return true;
    }
    const QVariant indice = oggetto->property("Index");
    if (qobject_cast<QLabel*>(oggetto) && indice.isValid()) {
        if (tipo == QEvent::MouseMove)
            mano(101);
        else if (tipo == QEvent::MouseButtonPress)
            mano(102);
        else if (w->rect().contains(static_cast<QMouseEvent*>(evento)->position().toPoint()))
            Label5_Click(std::int16_t(indice.toInt()));
        return true;
    }
    return false;
}

void VoceCifre::mouseMoveEvent(QMouseEvent* evento) {
    // Form_MouseMove: only over the window's own background, not over a label
    // whose unhandled movement Qt passes up to its parent.
    if (!childAt(evento->position().toPoint()))
        colore_testo(controlli_.Label4, rgb(0, 0, 255));
}

} // namespace contavoce
