// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window: an instruction line, the entry box, the confirm
// button, the panel of action buttons, the words box and the green panel of
// twelve digit boxes. Handlers are named control_event; the controls and
// their layout are in controlli.h, the keys of the entry box in tastiera.h.
#pragma once

#include "music/musica.h"
#include "platform/avvisi.h"
#include "speech/parlante.h"
#include "window/controlli.h"
#include "window/tastiera.h"

#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace contavoce {

class Accesso;

// What the window needs from outside; tests pass recording stand-ins.
struct Servizi {
    platform::Suono& suono;
    platform::ServizioMedia& media;
    platform::Avvisi& avvisi;
    std::string cartella;                      // the program's folder
    std::function<void()> termina;             // ends the process at once
    std::function<bool(const QUrl&)> apri_url; // hands a mailto: to the mail program
};

class VoceCifre : public QWidget, private PulsanteMusica {
    Q_OBJECT

public:
    explicit VoceCifre(Servizi servizi);
    ~VoceCifre() override;

    // The controls, for tests and benchmarks to drive and inspect.
    const ControlliVoceCifre& controlli() const { return controlli_; }

    // Window-level state.
    std::string numero_confermato;
    std::string lettere_numero;
    std::int16_t cifra_scelta = 0;
    std::int16_t conta_timer = 0;

    // Inner size in twips: the form's own, at any zoom and in full screen.
    int ScaleWidth() const { return larghezza_form; }
    int ScaleHeight() const { return altezza_form; }
    // A filled box, border and inside in one colour, on the persistent surface (twips).
    void riempi(int x, int y, int larghezza, int altezza, std::uint32_t colore);
    // What has been drawn on the persistent surface.
    const QImage& superficie() const { return superficie_; }

    // Paints the background as 256 bands tinted by the digit in `carattere`.
    void sfuma(const std::string& carattere);

    // Handlers.
    void Text1_KeyDown(std::int16_t KeyCode);
    void Text1_KeyPress(std::int16_t& KeyAscii);
    void Command6_Click();
    void Command2_Click();
    void Command1_Click();
    void Command3_Click();
    void Label5_Click(std::int16_t Index);
    void Timer2_Timer();
    void Timer3_Timer();
    void Form_Load();
    void Form_Unload();
    void Command4_Click();
    void Label4_Click();
    void Timer1_Timer();
    void Command5_Click();

    // Waits this long, letting the event loop run meanwhile (monotonic clock).
    void attesa(float secondi);

    Parlante& parlante() { return parlante_; }
    MusicaDiSottofondo& musica() { return musica_; }

    // The zoom of the form in the window (percent, 100..300 in steps of 25),
    // held to the largest that fits the available area of the window's
    // screen; other values are ignored. Ctrl+Plus, Ctrl+Minus and Ctrl+0
    // change it.
    int zoom() const { return zoom_; }
    void imposta_zoom(int percento);
    // F11: the form at the largest zoom that fits the screen, centred on the
    // gradient, and back to the window at its zoom.
    bool schermo_intero() const { return schermo_intero_; }
    void commuta_schermo_intero();
    // Starts with the music paused, as if the music button had been pressed.
    void parti_con_musica_in_pausa();

signals:
    void zoom_cambiato(int percento);
    void pausa_musica_cambiata(bool in_pausa);

protected:
    void resizeEvent(QResizeEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    // The music button as the music control sees it.
    std::string caption() const override;
    void imposta_caption(const std::string& caption) override;
    void abilita_timer(bool acceso) override;

    void collega();
    // Drops what is left to say of the chosen digit's place.
    void ferma_frase();
    void conferma();
    void preambolo_conferma();
    void animazione();
    // Text1's character limit: assigned text is cut to it, as typed text is.
    void imposta_limite(int limite);
    void imposta_testo(const QString& testo);
    void colore_testo(QWidget* w, std::uint32_t valore);
    // A key on Text1, handled now or queued behind the one being handled; true
    // when Text1 must not see it.
    bool tasto_in_arrivo(const QKeyEvent& tasto);
    // Routes a key on Text1 through the two handlers; true when it is discarded.
    bool tasto_su_text1(const QKeyEvent& tasto);
    void tasti_rimasti();
    bool evento_mouse(QObject* oggetto, QEvent* evento);

    void collega_zoom();
    int zoom_che_entra_qui() const;
    // Lays the controls out and makes the surface again for the current size,
    // zoom and screen.
    void disponi();
    void ricrea_superficie();
    // Maps the form's twips onto the surface.
    void twip_su(QPainter& p) const;
    void dipingi_sfumatura(int rosso);

    Servizi servizi_;
    ControlliVoceCifre controlli_;
    Parlante parlante_;
    MusicaDiSottofondo musica_;
    QImage superficie_;
    std::optional<int> rosso_; // the gradient's tint, once painted
    int zoom_ = 100;
    int zoom_mostrato_ = 100; // in full screen, the largest that fits
    QPoint origine_;          // the form's corner on the surface
    bool schermo_intero_ = false;
    QRect geometria_finestra_;
    int limite_text1_ = 12;
    // Keys that arrive while a key is being handled (its sounds and the gradient
    // yield to the event loop) wait here, so digits go into the box in the order
    // they were typed.
    std::deque<std::unique_ptr<QKeyEvent>> tasti_in_attesa_;
    bool in_tasto_ = false;
    // The label whose double-click's release is still to come (it clicks nothing).
    const QObject* rilascio_di_doppio_clic_ = nullptr;
    bool chiusura_in_corso_ = false;
    // The chosen digit's place said aloud: each clip started from the event
    // loop, so that the blink keeps its time; stopped when the digit is no
    // longer the chosen one.
    QTimer frase_;
    // Focus ring, keyboard and screen-reader access (accesso.h).
    std::unique_ptr<Accesso> accesso_;
};

} // namespace contavoce
