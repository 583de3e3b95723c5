#include "window/voce_cifre.h"

#include "platform/pointers.h"
#include "window/colori.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

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
}

// Background and text colours of a widget, as layout values.
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

QPushButton* pulsante(QWidget* genitore, const char* nome, const char* testo, int top,
                      const QFont& font) {
    auto* b = crea<QPushButton>(genitore, nome, QString::fromUtf8(testo));
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

VoceCifre::VoceCifre(Servizi servizi)
    : servizi_(std::move(servizi)),
      parlante_(servizi_.suono, servizi_.avvisi, [] { QCoreApplication::processEvents(); },
                servizi_.cartella),
      musica_(servizi_.media) {
    crea_controlli();
    collega();
    Form_Load();
}

VoceCifre::~VoceCifre() = default;

void VoceCifre::crea_controlli() {
    setObjectName("voce_cifre");
    setWindowTitle("Cifralia");
    setWindowIcon(platform::icona("contavoce"));
    // "MS Sans Serif" is not on Linux desktops; Liberation Sans has its proportions.
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    setFont(carattere("MS Sans Serif", 13.5));
    setFixedSize(px(8505), px(5355));

    const qreal dpr = devicePixelRatioF();
    superficie_ = QImage(QSize(px(8505), px(5355)) * dpr, QImage::Format_RGB32);
    superficie_.setDevicePixelRatio(dpr);
    superficie_.fill(palette().color(QPalette::Window));

    const QFont bottoni = carattere("Arial", 12, true);

    Frame3 = pannello(this, "Frame3");
    colloca(Frame3, 6720, 120, 1695, 975);
    Command6 = pulsante(Frame3, "Command6", "&INVIO", 120, carattere("Arial", 14.25));

    Frame2 = pannello(this, "Frame2");
    colloca(Frame2, 6720, 960, 1695, 4335);
    Command1 = pulsante(Frame2, "Command1", "&Nuovo Numero", 120, bottoni);
    Command2 = pulsante(Frame2, "Command2", "&Ascolta il numero", 960, bottoni);
    Command3 = pulsante(Frame2, "Command3", "&Scomponi il numero", 1800, bottoni);
    Command4 = pulsante(Frame2, "Command4", "&Fine", 3480, bottoni);
    Command5 = pulsante(Frame2, "Command5", caption_pausa, 2640, bottoni);
    Frame2->hide();

    Text3 = crea<QPlainTextEdit>(this, "Text3");
    colloca(Text3, 120, 1560, 6375, 855);
    Text3->setFont(carattere("Arial", 20.25));
    // The words of a twelve-digit number are one long word: break it anywhere.
    Text3->setWordWrapMode(QTextOption::WrapAnywhere);
    Text3->setTabChangesFocus(true);
    Text3->hide();

    Timer1 = timer(this, "Timer1", 60000);

    Text1 = crea<QLineEdit>(this, "Text1");
    colloca(Text1, 1320, 720, 3855, 615);
    Text1->setFont(carattere("Arial", 24, true));
    Text1->setMaxLength(12);
    colori(Text1, rgb(0, 255, 0), std::nullopt);

    Frame1 = crea<QFrame>(this, "Frame1");
    colloca(Frame1, 360, 2760, 5895, 2175);
    Frame1->setFont(carattere("MS Sans Serif", 8.25));
    colori(Frame1, rgb(0, 255, 0), std::nullopt);
    Timer3 = timer(Frame1, "Timer3", 1000);
    Timer2 = timer(Frame1, "Timer2", 1000);

    Label1 = crea<QLabel>(Frame1, "Label1", "Label1");
    colloca(Label1, 360, 1560, 5175, 495);
    Label1->setFont(carattere("Arial", 18));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    colori(Label1, std::nullopt, colore_testo_finestra);

    Label6 = crea<QLabel>(Frame1, "Label6", "C L I C C A    S U I    N U M E R I");
    colloca(Label6, 1320, 240, 3015, 255);
    Label6->setFont(carattere("Arial", 9.75, true));
    colori(Label6, rgb(0, 255, 0), std::nullopt);

    for (std::size_t i = 0; i < Label5.size(); ++i) {
        const QByteArray nome = "Label5_" + QByteArray::number(int(i));
        Label5[i] = crea<QLabel>(Frame1, nome.constData(), "4");
        colloca(Label5[i], left_cifre[i], 720, 375, 615);
        Label5[i]->setFont(carattere("Arial", 26.25));
        Label5[i]->setProperty("Index", int(i));
        colori(Label5[i], colore_testo_titolo, std::nullopt);
    }

    Label4 = crea<QLabel>(this, "Label4", "email: Bertoldino");
    colloca(Label4, 1800, 5040, 2775, 255);
    Label4->setFont(carattere("Times New Roman", 12, false, true));
    Label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label4->setToolTip(QString("un programma di Bertoldo, email: ") + indirizzo_autore);
    colori(Label4, std::nullopt, rgb(0, 0, 255));

    Label2 = crea<QLabel>(this, "Label2", "Digita un numero (max 12 cifre) e poi premi INVIO");
    colloca(Label2, 120, 120, 8415, 375);
    Label2->setFont(carattere("Arial", 14.25));

    // Keyboard focus moves in the layout's tab order; labels and frames never take it.
    QWidget::setTabOrder(Text1, Text3);
    QWidget::setTabOrder(Text3, Command5);
    QWidget::setTabOrder(Command5, Command4);
    QWidget::setTabOrder(Command4, Command3);
    QWidget::setTabOrder(Command3, Command2);
    QWidget::setTabOrder(Command2, Command1);
    QWidget::setTabOrder(Command1, Command6);
    Text1->setFocus();
}

void VoceCifre::collega() {
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Label4->installEventFilter(this);
}

bool VoceCifre::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == Label4 && evento->type() == QEvent::MouseButtonRelease) {
        const auto* m = static_cast<QMouseEvent*>(evento);
        if (Label4->rect().contains(m->position().toPoint()))
            Label4_Click();
    }
    return QWidget::eventFilter(oggetto, evento);
}

void VoceCifre::riempi(int x, int y, int larghezza, int altezza, std::uint32_t valore) {
    QPainter p(&superficie_);
    p.scale(1.0 / twip_per_pixel, 1.0 / twip_per_pixel);
    p.fillRect(QRectF(x, y, larghezza, altezza), colore(valore, palette()));
    update();
}

void VoceCifre::sfuma(const std::string& carattere) {
    const std::int16_t h = std::int16_t(ScaleHeight() / 255);
    // The numeric value of the text's leading digits; anything else reads as 0.
    long valore = 0;
    for (char c : carattere) {
        if (c < '0' || c > '9' || valore > 1000)
            break;
        valore = valore * 10 + (c - '0');
    }
    const int r = std::clamp(int(valore * 25), 0, 255);
    const int g = std::clamp(255 - r, 0, 255);
    {
        QPainter p(&superficie_);
        p.scale(1.0 / twip_per_pixel, 1.0 / twip_per_pixel);
        for (int i = 0; i <= 255; ++i) {
            // Positions in int: a tall window would overflow 16 bits at the lowest bands.
            p.fillRect(QRectF(0, i * int(h), ScaleWidth(), h), QColor(r, g, 255 - i));
        }
    }
    update();
    QCoreApplication::processEvents();
}

void VoceCifre::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(QPoint(0, 0), superficie_);
}

void VoceCifre::Form_Load() {
    parlante_.scheda_audio();
    musica_.musica.FileName(servizi_.cartella + "/" + file_musica);
    musica_.riavvia_musica();
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    Label1->setEnabled(false);
    Text1->show();
    Frame1->hide();
    sfuma("5");
}

void VoceCifre::closeEvent(QCloseEvent* evento) {
    Form_Unload();
    evento->accept();
}

void VoceCifre::Form_Unload() { Command4_Click(); }

void VoceCifre::Command4_Click() {
    // A close arriving during the last pass of the event loop must not start a second ending.
    if (chiusura_in_corso_)
        return;
    chiusura_in_corso_ = true;
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

void VoceCifre::Timer1_Timer() { musica_.timerLungo(2, conta_timer); }

void VoceCifre::Command5_Click() { musica_.Command5_Click(*this); }

std::string VoceCifre::caption() const { return Command5->text().toStdString(); }

void VoceCifre::imposta_caption(const std::string& caption) {
    Command5->setText(QString::fromStdString(caption));
}

void VoceCifre::abilita_timer(bool acceso) {
    if (acceso)
        Timer1->start();
    else
        Timer1->stop();
}

} // namespace contavoce
