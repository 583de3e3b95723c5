// SPDX-License-Identifier: GPL-3.0-or-later
// The practice window by keyboard and screen reader, and drawn larger: its
// shortcuts, the names a screen reader reads, the focus ring, Enter on a
// button, the zoom shared with the main window and full screen.
#include "window/accesso.h"
#include "window/controlli.h"
#include "window/esercizi/finestra_esercizi.h"
#include "window/voce_cifre.h"
#include "window/zoom.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <vector>

namespace contavoce {
namespace {

const QSize form(larghezza_esercizi, altezza_esercizi);

} // namespace

void FinestraEsercizi::collega_tasti() {
    const auto tasti = [this](std::initializer_list<QKeySequence> sequenze, auto azione) {
        for (const QKeySequence& s : sequenze)
            connect(new QShortcut(s, this), &QShortcut::activated, this, azione); // owned by this
    };
    tasti({QKeySequence(Qt::Key_Escape)}, [this] { close(); });
    tasti({QKeySequence(Qt::Key_F11)}, [this] { commuta_schermo_intero(); });
    // The zoom is the main window's: a step here is remembered there.
    tasti({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
           QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))},
          [this] {
              if (!schermo_intero_)
                  principale_.imposta_zoom(zoom_piu(zoom_mostrato_));
          });
    tasti({QKeySequence(Qt::CTRL | Qt::Key_Minus),
           QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))},
          [this] {
              if (!schermo_intero_)
                  principale_.imposta_zoom(zoom_meno(zoom_mostrato_));
          });
    tasti({QKeySequence(Qt::CTRL | Qt::Key_0),
           QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_0))},
          [this] {
              if (!schermo_intero_)
                  principale_.imposta_zoom(zoom_minimo);
          });
}

void FinestraEsercizi::accessibile() {
    const ControlliEsercizi& c = controlli_;
    // Qt reads a combo box by its current choice ("terza"): what it chooses
    // goes in its description, and in its label beside it.
    c.classe->setAccessibleDescription("Classe");
    c.livello->setAccessibleDescription("Livello");
    c.tipo->setAccessibleDescription("Esercizio");
    c.inizia->setAccessibleDescription("Comincia un giro di domande");
    c.domande->setAccessibleDescription("Domande per giro, da 5 a 20");
    c.silenzio->setAccessibleDescription("Senza musica e con suoni più piani, per la classe");
    c.scolastica->setAccessibleDescription("Le parole scritte come a scuola: ventitré, un milione");
    c.risposta->setAccessibleName("Risposta");
    c.bambini->setAccessibleName("Chi gioca?");
    c.bambini->setAccessibleDescription("Scegli il tuo nome e premi Invio");
    c.nuovo->setAccessibleName("Nuovo nome");
    c.nuovo->setAccessibleDescription("Scrivi il tuo nome e premi Invio");
    c.ospite->setAccessibleDescription("Gioca senza conservare i progressi");
    c.lezione->setAccessibleDescription("Il giro preparato dall'insegnante, da un file");
    c.ripeti->setAccessibleDescription("Fa sentire di nuovo la domanda");
    c.esito->setAccessibleName({});
    c.rifai->setAccessibleDescription("Un giro con le domande sbagliate");
    c.ancora->setAccessibleDescription("Un giro nuovo con le stesse scelte");
    c.stelle->setAccessibleDescription("Il punteggio del giro");
    // Tab: the choices first, then the question's box and its buttons.
    std::vector<QWidget*> ordine{
        c.bambini, c.gioca,   c.ospite, c.nuovo,    c.aggiungi,   c.lezione, c.classe,   c.livello,
        c.tipo,    c.domande, c.inizia, c.silenzio, c.scolastica, c.cambia,  c.risposta, c.ripeti};
    ordine.insert(ordine.end(), c.tasti_scelta.begin(), c.tasti_scelta.end());
    ordine.insert(ordine.end(), {c.errori, c.rifai, c.ancora});
    for (std::size_t i = 1; i < ordine.size(); ++i)
        QWidget::setTabOrder(ordine[i - 1], ordine[i]);
    for (QWidget* w : findChildren<QWidget*>())
        if (w->focusPolicy() & Qt::TabFocus)
            w->installEventFilter(this);
}

bool FinestraEsercizi::eventFilter(QObject* oggetto, QEvent* evento) {
    auto* w = qobject_cast<QWidget*>(oggetto);
    if (!w)
        return false;
    if (evento->type() == QEvent::Paint && w->hasFocus() && !w->property("dipinge").toBool()) {
        // The ring after the control has painted itself, as in the main window.
        w->setProperty("dipinge", true);
        QCoreApplication::sendEvent(w, evento);
        w->setProperty("dipinge", false);
        QPainter p(w);
        anello(&p, w->rect());
        return true;
    }
    if ((evento->type() == QEvent::KeyPress || evento->type() == QEvent::KeyRelease) &&
        qobject_cast<QPushButton*>(w)) {
        const auto& tasto = static_cast<const QKeyEvent&>(*evento);
        // Enter presses a button as Space does.
        if ((tasto.key() == Qt::Key_Return || tasto.key() == Qt::Key_Enter) &&
            (tasto.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            QKeyEvent spazio(evento->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                             tasto.isAutoRepeat());
            QCoreApplication::sendEvent(w, &spazio);
            return true;
        }
    }
    return false;
}

void FinestraEsercizi::imposta_zoom(int percento) {
    if (!zoom_valido(percento))
        return;
    // Never larger than the screen: the keys would be out of reach.
    if (const QScreen* schermo = screen()) {
        const QSize cornice = frameGeometry().size() - geometry().size();
        percento =
            std::min(percento, zoom_che_entra(schermo->availableGeometry().size() - cornice, form));
    }
    zoom_mostrato_ = percento;
    if (!schermo_intero_)
        setFixedSize(dimensione_zoom(form, zoom_mostrato_));
    disponi();
}

void FinestraEsercizi::commuta_schermo_intero() {
    schermo_intero_ = !schermo_intero_;
    if (schermo_intero_) {
        geometria_finestra_ = geometry();
        const QRect schermo = screen()->geometry();
        setFixedSize(schermo.size());
        showFullScreen();
        setGeometry(schermo); // without a window manager nothing else would
    } else {
        showNormal();
        setFixedSize(dimensione_zoom(form, zoom_mostrato_));
        setGeometry(QRect(geometria_finestra_.topLeft(), size()));
    }
    disponi();
}

void FinestraEsercizi::disponi() {
    int z = zoom_mostrato_;
    QPoint origine;
    if (schermo_intero_) {
        z = zoom_che_entra(size(), form);
        const QSize d = dimensione_zoom(form, z);
        origine = QPoint((width() - d.width()) / 2, (height() - d.height()) / 2);
    }
    applica_zoom(*this, z, origine);
    // The style draws a check box's square at one size: it grows with the
    // text, so that it can still be seen and touched on a whiteboard.
    const int lato = std::max(13, 13 * z / 100);
    for (QCheckBox* c : {controlli_.silenzio, controlli_.scolastica})
        c->setStyleSheet(
            QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(lato));
}

void FinestraEsercizi::resizeEvent(QResizeEvent*) {
    disponi();
}

} // namespace contavoce
