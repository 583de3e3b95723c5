// The program's one window: an instruction line, the entry box, the confirm
// button, the panel of action buttons, the words box and the green panel of
// twelve digit boxes. Controls keep their layout names as member and object
// names; handlers are named control_event. Positions are laid out in twips
// (15 to a logical pixel; Qt scales logical pixels on HiDPI screens).
#pragma once

#include "music/musica.h"
#include "speech/parlante.h"

#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace contavoce {

inline constexpr int twip_per_pixel = 15;
constexpr int px(int twip) {
    return twip / twip_per_pixel;
}

inline constexpr const char* indirizzo_autore = "bertoldo@example.org";

// A push button whose caption wraps onto two lines when it does not fit, as the
// captions of the action panel need ("Nuovo / Numero"); QPushButton never wraps.
class Pulsante : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* evento) override;
};

// Names of the places of a digit, counted from the right starting at 1.
inline constexpr std::array<const char*, 13> nomi_ordini = {" ",
                                                            "unità",
                                                            "decine",
                                                            "centinaia",
                                                            "migliaia",
                                                            "decine di migliaia",
                                                            "centinaia di migliaia",
                                                            "milioni",
                                                            "decine di milioni",
                                                            "centinaia di milioni",
                                                            "miliardi",
                                                            "decine di miliardi",
                                                            "centinaia di miliardi"};

// Windows key codes of the keys the entry box answers to.
namespace tasto {
inline constexpr std::int16_t invio = 13, backspace = 8, canc = 46;
}

// The digit a navigation key (or a keypad key with Num Lock off) stands for, or -1.
int cifra_del_tasto(std::int16_t codice);
// The Windows key code for a Qt key; 0 for keys the handlers never look at.
std::int16_t codice_tasto(int qt_key);

// What the window needs from outside; tests pass recording stand-ins.
struct Servizi {
    platform::Suono& suono;
    platform::ServizioMedia& media;
    Avvisi& avvisi;
    std::string cartella;                      // the program's folder
    std::function<void()> termina;             // ends the process at once
    std::function<bool(const QUrl&)> apri_url; // hands a mailto: to the mail program
};

class VoceCifre : public QWidget, private PulsanteMusica {
    Q_OBJECT

public:
    explicit VoceCifre(Servizi servizi);
    ~VoceCifre() override;

    // Controls (owned by their Qt parents), in the layout's stacking order.
    QFrame* Frame3;
    Pulsante* Command6;
    QFrame* Frame2;
    Pulsante* Command1;
    Pulsante* Command2;
    Pulsante* Command3;
    Pulsante* Command4;
    Pulsante* Command5;
    QPlainTextEdit* Text3;
    QTimer* Timer1;
    QLineEdit* Text1;
    QFrame* Frame1;
    QTimer* Timer3;
    QTimer* Timer2;
    QLabel* Label1;
    QLabel* Label6;
    std::array<QLabel*, 12> Label5;
    QLabel* Label4;
    QLabel* Label2;

    // Window-level state.
    std::string numero_confermato;
    std::string lettere_numero;
    std::int16_t cifra_scelta = 0;
    std::int16_t conta_timer = 0;

    // Inner size in twips.
    int ScaleWidth() const { return width() * twip_per_pixel; }
    int ScaleHeight() const { return height() * twip_per_pixel; }
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

protected:
    void paintEvent(QPaintEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    // The music button as the music control sees it.
    std::string caption() const override;
    void imposta_caption(const std::string& caption) override;
    void abilita_timer(bool acceso) override;

    void crea_controlli();
    void collega();
    void conferma();
    void preambolo_conferma();
    void animazione();
    // Text1's character limit: assigned text is cut to it, as typed text is.
    void imposta_limite(int limite);
    void imposta_testo(const QString& testo);
    void colore_testo(QWidget* w, std::uint32_t valore);
    // Routes a key on Text1 through the two handlers; true when it is discarded.
    bool tasto_su_text1(const QKeyEvent& tasto);
    void tasti_rimasti();
    bool evento_mouse(QObject* oggetto, QEvent* evento);

    Servizi servizi_;
    Parlante parlante_;
    MusicaDiSottofondo musica_;
    QImage superficie_;
    int limite_text1_ = 12;
    // Keys that arrive while a key is being handled (its sounds and the gradient
    // yield to the event loop) wait here, so digits go into the box in the order
    // they were typed.
    std::deque<std::unique_ptr<QKeyEvent>> tasti_in_attesa_;
    bool in_tasto_ = false;
    bool chiusura_in_corso_ = false;
};

} // namespace contavoce
