// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window: an instruction line, the entry box, the confirm
// button, the panel of action buttons, the words box and the green panel of
// twelve digit boxes. Handlers are named control_event, with the control's
// caption beside each; the controls and their layout are in controlli.h, the
// key table of the entry box in tastiera.h. Each group of members below names
// the file that defines it.
#pragma once

#include "music/musica.h"
#include "platform/base/avvisi.h"
#include "speech/parlante.h"
#include "spelling/forme.h"
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
    // voce_cifre.cpp: builds the controls, connects them and runs Form_Load.
    explicit VoceCifre(Servizi servizi);
    ~VoceCifre() override;

    // The controls, for tests and benchmarks to drive and inspect.
    const ControlliVoceCifre& controlli() const { return controlli_; }

    // Window-level state, read by tests and by the keyboard access.
    // The digits confirmed without their leading zeros ("" before Enter).
    const std::string& numero_confermato() const { return numero_confermato_; }
    // Its words, with a capital initial ("Duemilatrecentoquattro").
    const std::string& lettere_numero() const { return lettere_numero_; }
    // The chosen digit box (0..11): the one last clicked, or 11 (the units)
    // once the panel's button has been pressed.
    std::int16_t cifra_scelta() const { return cifra_scelta_; }
    // As if `numero` had been confirmed, without its words, sounds and
    // animation: the place-value panel's handlers driven on their own.
    void imposta_numero_confermato(std::string numero) { numero_confermato_ = std::move(numero); }

    // Handlers of the entry box and of confirming (voce_cifre.cpp).
    void Text1_KeyDown(std::int16_t KeyCode);    // the entry box: a key goes down
    void Text1_KeyPress(std::int16_t& KeyAscii); // the entry box: the character it types
    void Command6_Click();                       // "&INVIO": confirms the number
    void Command2_Click();                       // "&Ascolta il numero": says it aloud
    void Command1_Click();                       // "&Nuovo Numero": clears for the next one

    // Handlers of the place-value panel (scomposizione.cpp).
    void Command3_Click();                 // "&Scomponi il numero": opens or closes the panel
    void Label5_Click(std::int16_t Index); // a digit box (0 leftmost, 11 the units): its place
    void Timer2_Timer();                   // the chosen digit's blink: red turns white
    void Timer3_Timer();                   // the chosen digit's blink: white turns red

    // Handlers of start-up, shut-down and the music (voce_cifre.cpp).
    void Form_Load();      // before the window shows: the sound check, the tune, the gradient
    void Form_Unload();    // the window closed by its title bar: as "&Fine"
    void Command4_Click(); // "&Fine": ends the program
    void Label4_Click();   // "email: Bertoldino": a mail to the author
    void Timer1_Timer();   // every minute: the tune starts again every third tick
    void Command5_Click(); // "&Pausa musica" / "&Suona musica": pauses or resumes the tune
    // Starts with the music paused, as if the music button had been pressed.
    void parti_con_musica_in_pausa();
    // Whether the tune plays (the music button offers to pause it).
    bool musica_suona() const { return caption() == caption_pausa; }
    // The practice window's quiet mode: the tune paused or resumed as the
    // music button does, but not remembered as the child's own choice.
    void musica_in_silenzio(bool silenzio);
    // The spelling of the words box from the next number confirmed: the
    // program's own (the default) or the school's ("Ventitré milioni tre").
    void imposta_grafia(Grafia grafia) { grafia_ = grafia; }

    // Waits this long, letting the event loop run meanwhile (monotonic
    // clock; voce_cifre.cpp).
    void attesa(float secondi);

    Parlante& parlante() { return parlante_; }
    MusicaDiSottofondo& musica() { return musica_; }

    // The persistent drawing surface (sfumatura.cpp).
    // Inner size in twips: the form's own, at any zoom and in full screen.
    int ScaleWidth() const { return larghezza_form; }
    int ScaleHeight() const { return altezza_form; }
    // A filled box, border and inside in one colour, on the persistent surface (twips).
    void riempi(int x, int y, int larghezza, int altezza, std::uint32_t colore);
    // What has been drawn on the persistent surface.
    const QImage& superficie() const { return superficie_; }
    // Paints the background as 256 bands tinted by the digit in `carattere`.
    void sfuma(const std::string& carattere);

    // Zoom and full screen (disposizione.cpp).
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

signals:
    // "&Esercizi" or F2: the practice window is asked for.
    void esercizi_chiesti();
    void zoom_cambiato(int percento);
    void pausa_musica_cambiata(bool in_pausa);

protected:
    void resizeEvent(QResizeEvent* evento) override;             // disposizione.cpp
    void paintEvent(QPaintEvent* evento) override;               // sfumatura.cpp
    void mouseMoveEvent(QMouseEvent* evento) override;           // collegamenti.cpp
    void closeEvent(QCloseEvent* evento) override;               // voce_cifre.cpp
    bool eventFilter(QObject* oggetto, QEvent* evento) override; // collegamenti.cpp

private:
    // The music button as the music control sees it (voce_cifre.cpp).
    std::string caption() const override;
    void imposta_caption(const std::string& caption) override;
    void abilita_timer(bool acceso) override;

    // Confirming (voce_cifre.cpp).
    void conferma();
    void preambolo_conferma();
    void animazione();
    // Text1's character limit: assigned text is cut to it, as typed text is.
    void imposta_limite(int limite);
    void imposta_testo(const QString& testo);
    void colore_testo(QWidget* w, std::uint32_t valore);

    // Drops what is left to say of the chosen digit's place (scomposizione.cpp).
    void ferma_frase();

    // The controls' events to the handlers: clicks and timers by signals,
    // the pointer by the event filter (collegamenti.cpp).
    void collega();
    bool evento_mouse(QObject* oggetto, QEvent* evento);

    // Text1's keys, one at a time in the order typed (tasti_in_arrivo.cpp).
    // A key on Text1, handled now or queued behind the one being handled; true
    // when Text1 must not see it.
    bool tasto_in_arrivo(const QKeyEvent& tasto);
    // Routes a key on Text1 through the two handlers; true when it is discarded.
    bool tasto_su_text1(const QKeyEvent& tasto);
    void tasti_rimasti();

    // The layout at the zoom shown (disposizione.cpp).
    void collega_zoom();
    int zoom_che_entra_qui() const;
    // Lays the controls out and makes the surface again for the current size,
    // zoom and screen.
    void disponi();
    void ricrea_superficie();
    // Maps the form's twips onto the surface.
    void twip_su(QPainter& p) const;

    void dipingi_sfumatura(int rosso); // sfumatura.cpp

    Servizi servizi_;
    ControlliVoceCifre controlli_;
    Parlante parlante_;
    MusicaDiSottofondo musica_;
    std::string numero_confermato_;
    std::string lettere_numero_;
    Grafia grafia_ = Grafia::originale;
    std::int16_t cifra_scelta_ = 0;
    std::int16_t conta_timer_ = 0; // Timer1's ticks towards the tune's next restart
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
