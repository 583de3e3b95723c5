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
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace contavoce {

inline constexpr int twip_per_pixel = 15;
constexpr int px(int twip) { return twip / twip_per_pixel; }

inline constexpr const char* indirizzo_autore = "bertoldo@example.org";

// What the window needs from outside; tests pass recording stand-ins.
struct Servizi {
    platform::Suono& suono;
    platform::ServizioMedia& media;
    Avvisi& avvisi;
    std::string cartella;                       // the program's folder
    std::function<void()> termina;              // ends the process at once
    std::function<bool(const QUrl&)> apri_url;  // hands a mailto: to the mail program
};

class VoceCifre : public QWidget, private PulsanteMusica {
    Q_OBJECT

public:
    explicit VoceCifre(Servizi servizi);
    ~VoceCifre() override;

    // Controls (owned by their Qt parents), in the layout's stacking order.
    QFrame* Frame3;
    QPushButton* Command6;
    QFrame* Frame2;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
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
    void Form_Load();
    void Form_Unload();
    void Command4_Click();
    void Label4_Click();
    void Timer1_Timer();
    void Command5_Click();

    Parlante& parlante() { return parlante_; }
    MusicaDiSottofondo& musica() { return musica_; }

protected:
    void paintEvent(QPaintEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    // The music button as the music control sees it.
    std::string caption() const override;
    void imposta_caption(const std::string& caption) override;
    void abilita_timer(bool acceso) override;

    void crea_controlli();
    void collega();

    Servizi servizi_;
    Parlante parlante_;
    MusicaDiSottofondo musica_;
    QImage superficie_;
    bool chiusura_in_corso_ = false;
};

} // namespace contavoce
