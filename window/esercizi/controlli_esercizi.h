// SPDX-License-Identifier: GPL-3.0-or-later
// The practice window's controls and their layout, in twips like the main
// window's (so that the same zoom applies): the choice of class year, level
// and kind, the row of dots, the question, the answer box, and under it the
// keypad, the letter keyboard or the choice buttons; the end of a round.
#pragma once

#include "esercizi/esercizi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <vector>

namespace contavoce {

// The form's inner size in twips: 800 x 600 pixels at 100%.
inline constexpr int larghezza_esercizi = 12000;
inline constexpr int altezza_esercizi = 9000;
// Keys and buttons a child presses, at least this many pixels each way at 100%.
inline constexpr int lato_minimo_tasto = 48;

// Where each question of the round stands, as a row of dots.
class Puntini : public QWidget {
public:
    using QWidget::QWidget;
    void imposta(const std::vector<Stato>& stati, std::size_t corrente);

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    std::vector<Stato> stati_;
    std::size_t corrente_ = 0;
};

struct ControlliEsercizi {
    // "Chi gioca?", first: the children's names, a new one, a guest, a lesson.
    QFrame* chi = nullptr;
    QLabel* avviso = nullptr; // what the register could not do, in one sentence
    QListWidget* bambini = nullptr;
    QPushButton* gioca = nullptr;
    QPushButton* ospite = nullptr;
    QLineEdit* nuovo = nullptr;
    QPushButton* aggiungi = nullptr;
    QPushButton* lezione = nullptr;
    // The round's choices, hidden while "Chi gioca?" is asked.
    std::vector<QWidget*> impostazioni;
    QComboBox* classe = nullptr;
    QComboBox* livello = nullptr;
    QComboBox* tipo = nullptr;
    QComboBox* domande = nullptr; // questions in a round
    QPushButton* inizia = nullptr;
    QCheckBox* silenzio = nullptr;   // the quiet mode
    QCheckBox* scolastica = nullptr; // the school's spelling of the words
    Puntini* puntini = nullptr;
    QLabel* consegna = nullptr; // the instruction
    QLabel* testo = nullptr;    // the question: a number, its words, a sum
    QLineEdit* risposta = nullptr;
    QPushButton* ripeti = nullptr;
    QLabel* esito = nullptr; // "Giusto!", "Riprova" and the hint, the right answer
    // Under the answer box, one at a time: the keys type into the answer box
    // (property "inserisce") or clear it and check it (property "azione").
    QFrame* tastierino = nullptr;
    QFrame* lettere = nullptr;
    QFrame* scelte = nullptr;
    std::vector<QPushButton*> tasti;        // of the keypad and the letter keyboard
    std::vector<QPushButton*> tasti_scelta; // relabelled for each question
    // Before a round: the stars of the child playing in the chosen class
    // year, the step proposed, and a way back to "Chi gioca?".
    QFrame* progressi = nullptr;
    QLabel* giocatore = nullptr;
    QLabel* tabella = nullptr;
    QLabel* proposta = nullptr;
    QPushButton* cambia = nullptr;
    // The end of a round.
    QFrame* fine = nullptr;
    QLabel* stelle = nullptr;
    QLabel* punteggio = nullptr;
    QListWidget* errori = nullptr;
    QPushButton* rifai = nullptr;
    QPushButton* ancora = nullptr;
};

ControlliEsercizi crea_controlli_esercizi(QWidget& finestra);
// Places the first `quante` choice buttons in centred rows (the window then
// applies its zoom again).
void disponi_scelte(const ControlliEsercizi& c, std::size_t quante);

} // namespace contavoce
