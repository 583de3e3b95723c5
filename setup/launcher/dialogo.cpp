// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/dialogo.h"

#include "platform/qt/pointers.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace contavoce::setup {
namespace {

// Windows' MulDiv for the non-negative values of a template: a × b / c rounded.
int muldiv(int a, int b, int c) {
    return (a * b + c / 2) / c;
}

QLabel* etichetta(QWidget* dialogo, const char* nome, const QString& testo, const QRect& unita,
                  UnitaBase base) {
    auto* l = new QLabel(testo, dialogo); // owned by the dialog
    l->setObjectName(nome);
    // Texts come from setup.inf: shown as written, never as markup.
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(in_pixel(unita, base));
    return l;
}

QPushButton* pulsante(QWidget* dialogo, int id, const char* testo, const QRect& unita,
                      UnitaBase base) {
    auto* p = new QPushButton(testo, dialogo); // owned by the dialog
    p->setObjectName(QString::number(id));
    p->setGeometry(in_pixel(unita, base));
    return p;
}

} // namespace

UnitaBase unita_base(const QFont& font) {
    const QFontMetrics m(font);
    // GDI's average character width: the 52 letters' width over 52, rounded.
    const int lettere = m.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {(lettere / 26 + 1) / 2, m.height()};
}

QRect in_pixel(const QRect& unita, UnitaBase base) {
    return {muldiv(unita.x(), base.larghezza, 4), muldiv(unita.y(), base.altezza, 8),
            muldiv(unita.width(), base.larghezza, 4), muldiv(unita.height(), base.altezza, 8)};
}

QFont font_dialogo() {
    // MS Sans Serif is not on Linux; fontconfig would pick DejaVu Sans, which is
    // wider than the template was drawn for. Liberation Sans is the closest.
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    return QFont("MS Sans Serif", 8);
}

DialogoSetup::DialogoSetup(Comando comando)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      comando_(std::move(comando)) {
    setModal(true);
    setFont(font_dialogo());
    const UnitaBase base = unita_base(font());
    // The template gives the inner size; the frame comes on top, as on Windows.
    setFixedSize(in_pixel(QRect(QPoint(), modello::dimensione), base).size());
    setWindowTitle(modello::titolo);

    auto* installa = pulsante(this, controllo::installa, "Installa", modello::installa, base);
    auto* annulla = pulsante(this, controllo::annulla, "Annulla", modello::annulla, base);
    installa->setDefault(true);
    connect(installa, &QPushButton::clicked, this,
            [this] { comando_(*this, controllo::installa); });
    connect(annulla, &QPushButton::clicked, this, [this] { comando_(*this, controllo::annulla); });

    etichetta(this, "1004", QString::fromUtf8(modello::testo_inferiore_iniziale),
              modello::testo_inferiore, base)
        ->setWordWrap(true);

    // A Windows icon control takes the size of its icon, whatever the template says.
    auto* icona = etichetta(this, "icona", {}, modello::icona, base);
    icona->setPixmap(platform::icona("setup").pixmap(32, 32));
    icona->resize(32, 32);

    etichetta(this, "1005", modello::testo_superiore_iniziale, modello::testo_superiore, base)
        ->setWordWrap(true);
    etichetta(this, "arcolaio", "Arcolaio", modello::arcolaio, base)->setEnabled(false);

    // Installa is the first tab stop, so it has the focus when the dialog opens.
    setTabOrder(installa, annulla);
}

void DialogoSetup::imposta_testo(int id, const QString& testo) {
    if (auto* l = findChild<QLabel*>(QString::number(id)))
        l->setText(testo);
    else if (auto* p = findChild<QPushButton*>(QString::number(id)))
        p->setText(testo);
}

void DialogoSetup::termina(int risultato) {
    terminato_ = true;
    done(risultato);
}

void DialogoSetup::reject() {
    // Esc and the close box send the command of the "Annulla" button.
    comando_(*this, controllo::annulla);
}

} // namespace contavoce::setup
