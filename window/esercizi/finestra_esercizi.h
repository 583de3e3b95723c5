// SPDX-License-Identifier: GPL-3.0-or-later
// The practice window: the program asks, the child answers, the program
// checks. A front end over the practice's logic (esercizi/esercizi.h) with
// the main window's voice, effects, zoom and settings: choose a class year, a
// level and a kind, then a round of questions, each shown and said aloud,
// answered by keyboard, on-screen keys or buttons.
#pragma once

#include "esercizi/esercizi.h"
#include "esercizi/lezione.h"
#include "window/esercizi/controlli_esercizi.h"
#include "window/esercizi/diario.h"
#include "window/esercizi/voce_esercizi.h"

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

namespace contavoce {

class VoceCifre;
namespace platform {
class Suono;
}

class FinestraEsercizi : public QWidget {
    Q_OBJECT

public:
    // A window of its own over `principale`, whose voice, music and zoom it
    // shares; `cartella` holds the clips.
    FinestraEsercizi(VoceCifre& principale, platform::Suono& suono, std::string cartella);
    ~FinestraEsercizi() override;

    const ControlliEsercizi& controlli() const { return controlli_; }
    // The round under way, if any (tests and benchmarks look at it).
    const Giro* giro() const { return giro_ ? &*giro_ : nullptr; }

    // What the teacher set: the seed of the next rounds (none: a fresh one
    // each time), the quiet mode and the school's spelling.
    void imposta_seme(std::optional<std::uint64_t> seme) { seme_ = seme; }
    void imposta_silenzio(bool silenzio);
    void imposta_grafia(Grafia grafia);

    // "Chi gioca?": a child of the list plays, a new one is added, or a
    // guest plays without anything kept.
    void mostra_chi();
    void Gioca_Click();
    void Aggiungi_Click();
    void Ospite_Click();
    void Lezione_Click(); // a lesson file chosen in a dialog
    // A teacher's lesson (contavoce --lezione FILE): its class year, level,
    // first kind and spelling on the controls, a round of its kinds, count
    // and seed at once, and the same round again each time. The child's
    // choosing another class year, level or kind leaves the lesson.
    void apri_lezione(const Lezione& lezione);

    // A round of the chosen class year, level and kind ("Inizia").
    void Inizia_Click();
    // The answer given (OK, Enter, a choice button).
    void controlla(const QString& risposta);
    void Ripeti_Click();
    void Rifai_Click();

    // The zoom of the main window, held to what fits this window's screen;
    // F11 toggles full screen.
    int zoom() const { return zoom_mostrato_; }
    void imposta_zoom(int percento);
    void commuta_schermo_intero();

signals:
    void silenzio_cambiato(bool silenzio);
    void grafia_cambiata(Grafia grafia);

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void collega();
    void collega_tasti();
    void accessibile();
    void aggiorna_livelli();
    void mostra_domanda();
    void di_domanda();
    void avanti();
    void mostra_fine();
    void premi_tasto(const QPushButton& tasto);
    void gioca();
    void mostra_progressi();
    void proponi();
    QString avviso_registro();
    void disponi();

    VoceCifre& principale_;
    ControlliEsercizi controlli_;
    VoceEsercizi voce_;
    Diario diario_;
    std::optional<Giro> giro_;
    Impostazioni impostazioni_; // of the round under way
    bool proponendo_ = false;   // the proposal is being put in the choices
    std::optional<std::uint64_t> seme_;
    std::optional<Lezione> lezione_;
    bool silenzio_ = false;
    bool musica_fermata_ = false; // paused by the quiet mode, resumed on closing
    bool in_attesa_ = false;      // answered: the next question is on its way
    int effetti_ = 0;             // the cheerful effects take turns
    int zoom_mostrato_ = 100;
    bool schermo_intero_ = false;
    QRect geometria_finestra_;
};

} // namespace contavoce
