// SPDX-License-Identifier: GPL-3.0-or-later
// The window made, a number typed and confirmed, the start-up and the ending,
// and the music button.
#include "window/voce_cifre.h"

#include "spelling/grafia.h"
#include "spelling/numero.h"
#include "window/accesso.h"
#include "window/colori.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>

namespace contavoce {

VoceCifre::VoceCifre(Servizi servizi)
    : servizi_(std::move(servizi)),
      parlante_(
          servizi_.suono, servizi_.avvisi, [] { QCoreApplication::processEvents(); },
          servizi_.cartella),
      musica_(servizi_.media) {
    imposta_finestra(*this);
    ricrea_superficie();
    controlli_ = crea_controlli(*this);
    collega();
    collega_zoom();
    accesso_ = std::make_unique<Accesso>(*this);
    Form_Load();
}

VoceCifre::~VoceCifre() = default;

void VoceCifre::colore_testo(QWidget* w, std::uint32_t valore) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colore(valore, p));
    w->setPalette(p);
}

void VoceCifre::imposta_limite(int limite) {
    limite_text1_ = limite;
    // Qt cuts the text when the limit drops below it; the box keeps what it shows.
    controlli_.Text1->setMaxLength(std::max(limite, int(controlli_.Text1->text().size())));
}

void VoceCifre::imposta_testo(const QString& testo) {
    controlli_.Text1->setMaxLength(std::max(limite_text1_, 1));
    controlli_.Text1->setText(testo.left(limite_text1_));
}

void VoceCifre::Text1_KeyDown(std::int16_t KeyCode) {
    if (controlli_.Text1->isReadOnly()) {
        QApplication::beep();
        servizi_.avvisi.messaggio(
            "Premi il pulsante Nuovo Numero per continuare con un nuovo numero");
        return;
    }
    if (KeyCode == platform::tasto::invio) {
        if (!controlli_.Text1->text().isEmpty())
            preambolo_conferma();
        return;
    }
    if (KeyCode == platform::tasto::canc) {
        parlante_.suona_risorsa("sparo", "wav");
        return;
    }
    const int d = cifra_del_tasto(KeyCode);
    if (d < 0)
        return;
    const char cifra = char('0' + d);
    imposta_testo(controlli_.Text1->text() + QChar(cifra));
    parlante_.suona_risorsa(std::string{'g', cifra}, "wav");
    sfuma(std::string(1, cifra));
}

void VoceCifre::Text1_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == platform::tasto::backspace) {
        parlante_.suona_risorsa("sparo", "wav");
        return;
    }
    if (controlli_.Text1->isReadOnly()) {
        parlante_.suona_risorsa("sparo", "wav");
        servizi_.avvisi.messaggio("Premi il bottone CONTINUA per cambiare numero");
        return;
    }
    if (KeyAscii != platform::tasto::invio)
        sfuma(KeyAscii > 0 && KeyAscii < 128 ? std::string(1, char(KeyAscii)) : std::string("?"));
    parlante_.num_suoni(KeyAscii);
    if (KeyAscii == platform::tasto::invio && !controlli_.Text1->text().isEmpty()) {
        conferma();
    } else if (KeyAscii < '0' || KeyAscii > '9') {
        parlante_.suona_risorsa("asino", "wav");
        KeyAscii = 0;
    }
}

void VoceCifre::preambolo_conferma() {
    controlli_.Text3->show();
    // Qt would hand the focus of a control disabled here on to the next in
    // the tab order, the words box: keys typed during the confirmation would
    // go there. The window keeps it instead, and lets them fall.
    if (QWidget* fuoco = QApplication::focusWidget();
        fuoco == controlli_.Text1 || fuoco == controlli_.Command6)
        setFocus(Qt::OtherFocusReason);
    controlli_.Text1->setEnabled(false);
    controlli_.Frame2->show();
    controlli_.Command6->setEnabled(false);
}

void VoceCifre::conferma() {
    lettere_numero_.clear();
    numero_confermato_ = zeri_non_significativi(controlli_.Text1->text().toStdString());
    controlli_.Text1->setReadOnly(true);
    imposta_limite(15);
    std::string cifre = controlli_.Text1->text().toStdString();
    imposta_testo(QString::fromStdString(formatta_numero(cifre)));
    controlli_.Label1->setText("");
    controlli_.Label1->hide();
    parole_in_grafia(numero_confermato_, grafia_, lettere_numero_);
    if (!lettere_numero_.empty())
        lettere_numero_[0] = char(std::toupper(static_cast<unsigned char>(lettere_numero_[0])));
    animazione();
    controlli_.Text3->setEnabled(true);
    colori(controlli_.Text3, rgb(255, 255, 255), std::nullopt);
    controlli_.Text3->setReadOnly(true);
    parlante_.suona_risorsa("INIZIO", "wav");
    imposta_limite(12);
    controlli_.Command1->setEnabled(true);
    controlli_.Command2->setEnabled(true);
    controlli_.Command3->setEnabled(true);
    controlli_.Command1->setFocus();
}

void VoceCifre::animazione() {
    // Counted in characters: the school's "tré" is one character, two bytes.
    const QString parole = QString::fromStdString(lettere_numero_);
    const auto L = std::int16_t(parole.size());
    const auto primo = std::int16_t(190 + L % 2 - L);
    // The words slide along the first line: the leading blanks must not wrap
    // them onto a second one. They wrap once they have arrived.
    QPlainTextEdit& box = *controlli_.Text3;
    const auto a_capo = box.lineWrapMode();
    const auto barra = box.horizontalScrollBarPolicy();
    box.setLineWrapMode(QPlainTextEdit::NoWrap);
    box.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (std::int16_t k = primo; k >= L; k = std::int16_t(k - 2)) {
        colori(&box, k % 10 == 0 ? rgb(255, 255, 0) : rgb(255, 0, 0), std::nullopt);
        box.setPlainText(QString(k - L, ' ') + parole);
        QCoreApplication::processEvents();
        attesa(0.02f);
    }
    box.setLineWrapMode(a_capo);
    box.setHorizontalScrollBarPolicy(barra);
    // Words longer than 95 characters get no frame: they appear at once.
    if (primo < L)
        box.setPlainText(parole);
}

void VoceCifre::attesa(float secondi) {
    QElapsedTimer orologio; // monotonic
    orologio.start();
    const qint64 ms = qint64(secondi * 1000);
    // Wait inside the event loop rather than spinning: events are handled meanwhile.
    while (orologio.elapsed() < ms) {
        QEventLoop giro;
        QTimer::singleShot(int(ms - orologio.elapsed()), &giro, &QEventLoop::quit);
        giro.exec();
    }
}

void VoceCifre::Command6_Click() {
    if (controlli_.Text1->text().isEmpty())
        return;
    preambolo_conferma();
    std::int16_t invio = platform::tasto::invio;
    Text1_KeyPress(invio);
}

void VoceCifre::Command2_Click() {
    ferma_frase();
    parlante_.num_parlante(numero_confermato_);
}

void VoceCifre::Command1_Click() {
    ferma_frase();
    controlli_.Command6->setEnabled(true);
    controlli_.Text3->hide();
    controlli_.Text1->setEnabled(true);
    parlante_.suona_risorsa("gallo", "wav");
    controlli_.Text3->setPlainText("");
    controlli_.Text1->setReadOnly(false);
    controlli_.Text1->setFocus();
    imposta_testo("");
    controlli_.Label1->setText("");
    sfuma(numero_confermato_.substr(0, 1));
    numero_confermato_.clear();
    QCoreApplication::processEvents();
    imposta_limite(12);
    controlli_.Command1->setEnabled(false);
    controlli_.Command2->setEnabled(false);
    controlli_.Command3->setEnabled(false);
    controlli_.Label1->hide();
    colori(controlli_.Text3, rgb(255, 255, 255), std::nullopt);
    controlli_.Frame1->hide();
    controlli_.Timer2->stop();
    controlli_.Timer3->stop();
}

void VoceCifre::Form_Load() {
    parlante_.scheda_audio();
    musica_.musica.FileName(servizi_.cartella + "/" + file_musica);
    musica_.riavvia_musica();
    controlli_.Command1->setEnabled(false);
    controlli_.Command2->setEnabled(false);
    controlli_.Command3->setEnabled(false);
    controlli_.Label1->setEnabled(false);
    controlli_.Text1->show();
    controlli_.Frame1->hide();
    sfuma("5");
}

void VoceCifre::closeEvent(QCloseEvent* evento) {
    Form_Unload();
    evento->accept();
}

void VoceCifre::Form_Unload() {
    Command4_Click();
}

void VoceCifre::Command4_Click() {
    // A close arriving during the last pass of the event loop must not start a second ending.
    if (chiusura_in_corso_)
        return;
    chiusura_in_corso_ = true;
    ferma_frase();
    musica_.musica.mmStop();
    parlante_.suona_risorsa("vetro", "wav");
    QCoreApplication::processEvents();
    servizi_.termina();
}

void VoceCifre::Label4_Click() {
    // Without a mail program nothing happens; the child's window goes on.
    if (servizi_.apri_url)
        servizi_.apri_url(QUrl(QString("mailto:") + indirizzo_autore));
}

void VoceCifre::Timer1_Timer() {
    musica_.timerLungo(2, conta_timer_);
}

void VoceCifre::Command5_Click() {
    musica_.Command5_Click(*this);
    emit pausa_musica_cambiata(caption() == caption_suona);
}

void VoceCifre::parti_con_musica_in_pausa() {
    if (caption() == caption_pausa)
        musica_.Command5_Click(*this);
}

void VoceCifre::musica_in_silenzio(bool silenzio) {
    if (musica_suona() == silenzio)
        musica_.Command5_Click(*this);
}

std::string VoceCifre::caption() const {
    return controlli_.Command5->text().toStdString();
}

void VoceCifre::imposta_caption(const std::string& caption) {
    controlli_.Command5->setText(QString::fromStdString(caption));
}

void VoceCifre::abilita_timer(bool acceso) {
    if (acceso)
        controlli_.Timer1->start();
    else
        controlli_.Timer1->stop();
}

} // namespace contavoce
