// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher's one dialog, laid out from its template in dialog units and
// converted to pixels from the dialog font as Windows converts them.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QSize>
#include <functional>

namespace contavoce::setup {

// Windows' dialog base units: the average width of a letter and the height of
// the dialog font, in pixels.
struct UnitaBase {
    int larghezza;
    int altezza;
};
UnitaBase unita_base(const QFont& font);

// A rectangle in dialog units as pixels: x and widths times the base width
// over 4, y and heights times the base height over 8, each rounded (MulDiv).
QRect in_pixel(const QRect& unita, UnitaBase base);

// "MS Sans Serif" 8, the template's font, with Liberation Sans standing in.
QFont font_dialogo();

// Control ids of the template.
namespace controllo {
inline constexpr int installa = 1;
inline constexpr int annulla = 2;
inline constexpr int testo_inferiore = 1004;
inline constexpr int testo_superiore = 1005;
} // namespace controllo

// The template (resource 101), in dialog units.
namespace modello {
inline constexpr QSize dimensione{229, 102};
inline constexpr QRect installa{135, 81, 41, 14};
inline constexpr QRect annulla{181, 81, 41, 14};
inline constexpr QRect testo_inferiore{13, 43, 200, 33};
inline constexpr QRect icona{16, 14, 20, 20};
inline constexpr QRect testo_superiore{51, 17, 161, 19};
inline constexpr QRect arcolaio{15, 85, 49, 10};
inline constexpr const char* titolo = "Installazione di...";
inline constexpr const char* testo_inferiore_iniziale =
    "Questo programma provvederà all'installazione di un programma tramite file *.inf.\n"
    "Sembra che percorsi troppo lunghi non vengano supportati.";
inline constexpr const char* testo_superiore_iniziale = "Static";
} // namespace modello

// The dialog. Controls carry their ids as object names ("1", "2", "1004",
// "1005"); the icon is "icona" and the greyed caption "arcolaio".
class DialogoSetup : public QDialog {
    Q_OBJECT

public:
    // Every command reaches `comando` with its control id: the buttons, Enter
    // (the default button, 1), Esc and the close box (2).
    using Comando = std::function<void(DialogoSetup&, int)>;
    explicit DialogoSetup(Comando comando);

    // The text of the control with this id (SetDlgItemText).
    void imposta_testo(int id, const QString& testo);
    // Ends the dialog with this result (EndDialog); also before it is shown.
    void termina(int risultato);
    bool terminato() const { return terminato_; }

public slots:
    void reject() override;

private:
    Comando comando_;
    bool terminato_ = false;
};

} // namespace contavoce::setup
