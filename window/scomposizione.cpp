// SPDX-License-Identifier: GPL-3.0-or-later
// The place-value panel: the confirmed number's digits in the twelve boxes, a
// click on one naming its place, written and said aloud, and its blink.
#include "speech/ordini_detti.h"
#include "spelling/ordini.h"
#include "window/accesso.h"
#include "window/colori.h"
#include "window/voce_cifre.h"

#include <algorithm>

namespace contavoce {

void VoceCifre::Command3_Click() {
    cifra_scelta_ = 11;
    if (controlli_.Frame1->isVisible()) {
        ferma_frase();
        controlli_.Frame1->hide();
        parlante_.laser();
        controlli_.Timer2->stop();
        controlli_.Timer3->stop();
        return;
    }
    parlante_.suona_risorsa("cane", "wav");
    for (QLabel* l : controlli_.Label5)
        colore_testo(l, rgb(0, 0, 0));
    // The caller keeps the number to 12 digits; anything longer shows its last 12.
    const std::size_t n = std::min(numero_confermato_.size(), controlli_.Label5.size());
    for (std::size_t i = 1; i <= n; ++i) {
        QLabel* l = controlli_.Label5[12 - i];
        l->show();
        l->setText(QString(QChar(numero_confermato_[numero_confermato_.size() - i])));
    }
    for (int k = 11 - int(n); k >= 0; --k) {
        controlli_.Label5[std::size_t(k)]->setText("");
        controlli_.Label5[std::size_t(k)]->hide();
    }
    controlli_.Label1->show();
    controlli_.Label1->setEnabled(true);
    controlli_.Label1->setText("");
    controlli_.Frame1->show();
}

void VoceCifre::Label5_Click(std::int16_t Index) {
    if (Index < 0 || Index > 11)
        return;
    ferma_frase();
    parlante_.laser();
    for (QLabel* l : controlli_.Label5)
        colore_testo(l, rgb(0, 0, 0));
    colore_testo(controlli_.Label5[std::size_t(Index)], rgb(255, 0, 0));
    cifra_scelta_ = Index;
    // The blink's clock starts at the click: a white phase already under way
    // must not hold back the next one.
    controlli_.Timer3->stop();
    controlli_.Timer2->start();
    controlli_.Label1->setText(controlli_.Label5[std::size_t(Index)]->text() + " " +
                               QString::fromUtf8(nomi_ordini[std::size_t(12 - Index)]));
    accesso_->nomi_cifre(Index);
    // Then, once the laser has ended, the digit and its place said aloud,
    // while the window goes on.
    const QString cifra = controlli_.Label5[std::size_t(Index)]->text();
    if (cifra.size() != 1 || cifra[0] < u'0' || cifra[0] > u'9')
        return;
    parlante_.inizia_frase(
        lista_ordine(cifra[0].unicode() - u'0', std::size_t(12 - Index), parlante_.cartella()));
    frase_.start();
}

void VoceCifre::ferma_frase() {
    // The sound that follows (a laser, the rooster, a number) cuts off a clip
    // still playing; what is left of the phrase is dropped here.
    parlante_.ferma_frase();
    frase_.stop();
}

void VoceCifre::Timer2_Timer() {
    colore_testo(controlli_.Label5[std::size_t(std::clamp<int>(cifra_scelta_, 0, 11))],
                 rgb(255, 255, 255));
    controlli_.Timer2->stop();
    controlli_.Timer3->start();
}

void VoceCifre::Timer3_Timer() {
    colore_testo(controlli_.Label5[std::size_t(std::clamp<int>(cifra_scelta_, 0, 11))],
                 rgb(255, 0, 0));
    controlli_.Timer2->start();
    controlli_.Timer3->stop();
}

} // namespace contavoce
