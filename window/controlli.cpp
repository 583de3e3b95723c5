// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/controlli.h"

#include "music/musica.h"
#include "platform/qt/pointers.h"
#include "window/colori.h"

#include <QRegularExpressionValidator>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace contavoce {
namespace {

QFont carattere(const char* famiglia, double punti, bool grassetto = false, bool corsivo = false) {
    QFont f(QString::fromLatin1(famiglia));
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    f.setItalic(corsivo);
    return f;
}

void colloca(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
    w->setProperty("twip", QRect(left, top, width, height)); // for the zoom
}

template <typename T, typename... Args> T* crea(QWidget* genitore, const char* nome, Args&&... a) {
    auto* w = new T(std::forward<Args>(a)..., genitore); // owned by its Qt parent
    w->setObjectName(QString::fromLatin1(nome));
    return w;
}

QFrame* pannello(QWidget* genitore, const char* nome) {
    auto* f = crea<QFrame>(genitore, nome);
    f->setFrameShape(QFrame::NoFrame);
    colori(f, rgb(224, 224, 224), colore_testo_finestra);
    return f;
}

Pulsante* pulsante(QWidget* genitore, const char* nome, const char* testo, int top,
                   const QFont& font) {
    auto* b = crea<Pulsante>(genitore, nome, QString::fromUtf8(testo));
    colloca(b, 120, top, 1455, 735);
    b->setFont(font);
    return b;
}

QTimer* timer(QObject* genitore, const char* nome, int intervallo) {
    auto* t = new QTimer(genitore); // owned by its Qt parent
    t->setObjectName(QString::fromLatin1(nome));
    t->setInterval(intervallo);
    t->start();
    return t;
}

// Left edges of the twelve digit boxes: groups of three, 360 apart inside a
// group and 480 between groups.
constexpr std::array<int, 12> left_cifre = {600,  960,  1320, 1800, 2160, 2520,
                                            3000, 3360, 3720, 4200, 4560, 4920};

} // namespace

void Pulsante::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opzioni;
    initStyleOption(&opzioni);
    opzioni.text.clear();
    p.drawControl(QStyle::CE_PushButtonBevel, opzioni);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &opzioni, this);
    p.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(),
                   isEnabled(), text(), QPalette::ButtonText);
}

void colori(QWidget* w, std::optional<std::uint32_t> sfondo, std::optional<std::uint32_t> testo) {
    QPalette p = w->palette();
    if (sfondo) {
        const QColor c = colore(*sfondo, p);
        p.setColor(QPalette::Window, c);
        p.setColor(QPalette::Base, c);
        w->setAutoFillBackground(true);
    }
    if (testo) {
        const QColor c = colore(*testo, p);
        p.setColor(QPalette::WindowText, c);
        p.setColor(QPalette::Text, c);
    }
    w->setPalette(p);
}

void imposta_finestra(QWidget& finestra) {
    finestra.setObjectName("voce_cifre");
    finestra.setWindowTitle("Cifralia");
    finestra.setWindowIcon(platform::icona("contavoce"));
    // "MS Sans Serif" is not on Linux desktops; Liberation Sans has its proportions.
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    finestra.setFont(carattere("MS Sans Serif", 13.5));
    finestra.setFixedSize(px(larghezza_form), px(altezza_form));
}

ControlliVoceCifre crea_controlli(QWidget& finestra) {
    ControlliVoceCifre c;
    const QFont bottoni = carattere("Arial", 12, true);

    c.Frame3 = pannello(&finestra, "Frame3");
    colloca(c.Frame3, 6720, 120, 1695, 975);
    c.Command6 = pulsante(c.Frame3, "Command6", "&INVIO", 120, carattere("Arial", 14.25));

    c.Frame2 = pannello(&finestra, "Frame2");
    colloca(c.Frame2, 6720, 960, 1695, 4335);
    c.Command1 = pulsante(c.Frame2, "Command1", "&Nuovo Numero", 120, bottoni);
    c.Command2 = pulsante(c.Frame2, "Command2", "&Ascolta il numero", 960, bottoni);
    c.Command3 = pulsante(c.Frame2, "Command3", "&Scomponi il numero", 1800, bottoni);
    c.Command4 = pulsante(c.Frame2, "Command4", "&Fine", 3480, bottoni);
    c.Command5 = pulsante(c.Frame2, "Command5", caption_pausa, 2640, bottoni);
    c.Frame2->hide();

    c.Text3 = crea<QPlainTextEdit>(&finestra, "Text3");
    colloca(c.Text3, 120, 1560, 6375, 855);
    c.Text3->setFont(carattere("Arial", 20.25));
    // The words of a twelve-digit number are one long word: break it anywhere.
    c.Text3->setWordWrapMode(QTextOption::WrapAnywhere);
    c.Text3->setTabChangesFocus(true);
    // Only the program writes the words: a click on the box while they slide
    // in must not open it to typing.
    c.Text3->setReadOnly(true);
    c.Text3->hide();

    c.Timer1 = timer(&finestra, "Timer1", 60000);

    c.Text1 = crea<QLineEdit>(&finestra, "Text1");
    colloca(c.Text1, 1320, 720, 3855, 615);
    c.Text1->setFont(carattere("Arial", 24, true));
    c.Text1->setMaxLength(12);
    // Typed keys are filtered by the handlers; a paste or a drop must not bring
    // anything but digits either.
    c.Text1->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), c.Text1)); // owned by Text1
    c.Text1->setDragEnabled(false);
    colori(c.Text1, rgb(0, 255, 0), std::nullopt);

    c.Frame1 = crea<QFrame>(&finestra, "Frame1");
    colloca(c.Frame1, 360, 2760, 5895, 2175);
    c.Frame1->setFont(carattere("MS Sans Serif", 8.25));
    colori(c.Frame1, rgb(0, 255, 0), std::nullopt);
    c.Timer3 = timer(c.Frame1, "Timer3", 1000);
    c.Timer2 = timer(c.Frame1, "Timer2", 1000);

    c.Label1 = crea<QLabel>(c.Frame1, "Label1", "Label1");
    colloca(c.Label1, 360, 1560, 5175, 495);
    c.Label1->setFont(carattere("Arial", 18));
    c.Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    colori(c.Label1, std::nullopt, colore_testo_finestra);

    c.Label6 = crea<QLabel>(c.Frame1, "Label6", "C L I C C A    S U I    N U M E R I");
    colloca(c.Label6, 1320, 240, 3015, 255);
    c.Label6->setFont(carattere("Arial", 9.75, true));
    colori(c.Label6, rgb(0, 255, 0), std::nullopt);

    for (std::size_t i = 0; i < c.Label5.size(); ++i) {
        const QByteArray nome = "Label5_" + QByteArray::number(int(i));
        c.Label5[i] = crea<QLabel>(c.Frame1, nome.constData(), "4");
        colloca(c.Label5[i], left_cifre[i], 720, 375, 615);
        c.Label5[i]->setFont(carattere("Arial", 26.25));
        c.Label5[i]->setProperty("Index", int(i));
        colori(c.Label5[i], colore_testo_titolo, std::nullopt);
    }

    c.Label4 = crea<QLabel>(&finestra, "Label4", "email: Bertoldino");
    colloca(c.Label4, 1800, 5040, 2775, 255);
    c.Label4->setFont(carattere("Times New Roman", 12, false, true));
    c.Label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    c.Label4->setToolTip(QString("un programma di Bertoldo, email: ") + indirizzo_autore);
    colori(c.Label4, std::nullopt, rgb(0, 0, 255));

    c.Label2 =
        crea<QLabel>(&finestra, "Label2", "Digita un numero (max 12 cifre) e poi premi INVIO");
    colloca(c.Label2, 120, 120, 8415, 375);
    c.Label2->setFont(carattere("Arial", 14.25));

    // Between the entry box and INVIO's panel, below the instruction line:
    // the one free place on the form wide enough for a caption and as tall
    // as the other buttons.
    c.Esercizi = pulsante(&finestra, "Esercizi", "&Esercizi", 660, bottoni);
    colloca(c.Esercizi, 5340, 660, 1260, 735);

    // Keyboard focus moves in the layout's tab order; labels and frames never take it.
    QWidget::setTabOrder(c.Text1, c.Text3);
    QWidget::setTabOrder(c.Text3, c.Command5);
    QWidget::setTabOrder(c.Command5, c.Command4);
    QWidget::setTabOrder(c.Command4, c.Command3);
    QWidget::setTabOrder(c.Command3, c.Command2);
    QWidget::setTabOrder(c.Command2, c.Command1);
    QWidget::setTabOrder(c.Command1, c.Command6);
    QWidget::setTabOrder(c.Command6, c.Esercizi);
    c.Text1->setFocus();
    return c;
}

} // namespace contavoce
