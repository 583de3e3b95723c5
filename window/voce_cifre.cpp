#include "window/voce_cifre.h"

#include "platform/pointers.h"
#include "spelling/numero.h"
#include "window/colori.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyleOptionButton>
#include <QStylePainter>
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

namespace {

// The keys the entry box answers to besides Enter, Backspace and Delete: the
// navigation keys (also the keypad's with Num Lock off), with their Windows key
// codes and the digit each one stands for.
struct TastoNavigazione {
    int qt;
    std::int16_t codice;
    int cifra;
};
constexpr std::array<TastoNavigazione, 10> tasti_navigazione = {{
    {Qt::Key_Insert, 45, 0},
    {Qt::Key_End, 35, 1},
    {Qt::Key_Down, 40, 2},
    {Qt::Key_PageDown, 34, 3},
    {Qt::Key_Left, 37, 4},
    {Qt::Key_Clear, 12, 5}, // keypad 5
    {Qt::Key_Right, 39, 6},
    {Qt::Key_Home, 36, 7},
    {Qt::Key_Up, 38, 8},
    {Qt::Key_PageUp, 33, 9},
}};

} // namespace

int cifra_del_tasto(std::int16_t codice) {
    for (const auto& t : tasti_navigazione)
        if (t.codice == codice)
            return t.cifra;
    return -1;
}

std::int16_t codice_tasto(int qt_key) {
    if (qt_key == Qt::Key_Return || qt_key == Qt::Key_Enter)
        return tasto::invio;
    if (qt_key == Qt::Key_Backspace)
        return tasto::backspace;
    if (qt_key == Qt::Key_Delete)
        return tasto::canc;
    for (const auto& t : tasti_navigazione)
        if (t.qt == qt_key)
            return t.codice;
    // Letters and digits have their ASCII codes as key codes.
    if ((qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) ||
        (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z))
        return std::int16_t(qt_key);
    return 0;
}

VoceCifre::VoceCifre(Servizi servizi)
    : servizi_(std::move(servizi)),
      parlante_(
          servizi_.suono, servizi_.avvisi, [] { QCoreApplication::processEvents(); },
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
    // Typed keys are filtered by the handlers; a paste or a drop must not bring
    // anything but digits either.
    Text1->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), Text1)); // owned by Text1
    Text1->setDragEnabled(false);
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
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
    Text1->installEventFilter(this);
    // Pointer movement is reported without a pressed button only with tracking on.
    setMouseTracking(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4,
                                                      Command5, Command6, Label4}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    for (QLabel* l : Label5) {
        l->setMouseTracking(true);
        l->installEventFilter(this);
    }
}

bool VoceCifre::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == Text1 && evento->type() == QEvent::KeyPress) {
        const auto& tasto = static_cast<const QKeyEvent&>(*evento);
        if (in_tasto_ || !tasti_in_attesa_.empty()) {
            tasti_in_attesa_.emplace_back(tasto.clone());
            return true;
        }
        in_tasto_ = true;
        const bool scartato = tasto_su_text1(tasto);
        in_tasto_ = false;
        if (!tasti_in_attesa_.empty())
            QTimer::singleShot(0, this, [this] { tasti_rimasti(); });
        return scartato;
    }
    if (evento_mouse(oggetto, evento))
        return !qobject_cast<QPushButton*>(oggetto); // a button still gets its own click
    return QWidget::eventFilter(oggetto, evento);
}

bool VoceCifre::evento_mouse(QObject* oggetto, QEvent* evento) {
    const auto tipo = evento->type();
    if (tipo != QEvent::MouseMove && tipo != QEvent::MouseButtonPress &&
        tipo != QEvent::MouseButtonRelease)
        return false;
    auto* w = qobject_cast<QWidget*>(oggetto);
    const auto mano = [&](int numero) {
        if (auto p = platform::puntatore(numero))
            w->setCursor(*p);
    };
    if (qobject_cast<QPushButton*>(oggetto)) {
        if (tipo != QEvent::MouseButtonRelease)
            mano(101); // on move and on press alike
        return true;
    }
    if (oggetto == Label4) {
        if (tipo == QEvent::MouseMove) {
            mano(101);
            colore_testo(Label4, rgb(255, 255, 0));
        } else if (tipo == QEvent::MouseButtonRelease &&
                   Label4->rect().contains(
                       static_cast<QMouseEvent*>(evento)->position().toPoint())) {
            Label4_Click();
        }
        return true;
    }
    const QVariant indice = oggetto->property("Index");
    if (qobject_cast<QLabel*>(oggetto) && indice.isValid()) {
        if (tipo == QEvent::MouseMove)
            mano(101);
        else if (tipo == QEvent::MouseButtonPress)
            mano(102);
        else if (w->rect().contains(static_cast<QMouseEvent*>(evento)->position().toPoint()))
            Label5_Click(std::int16_t(indice.toInt()));
        return true;
    }
    return false;
}

void VoceCifre::mouseMoveEvent(QMouseEvent* evento) {
    // Form_MouseMove: only over the window's own background, not over a label
    // whose unhandled movement Qt passes up to its parent.
    if (!childAt(evento->position().toPoint()))
        colore_testo(Label4, rgb(0, 0, 255));
}

void VoceCifre::colore_testo(QWidget* w, std::uint32_t valore) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colore(valore, p));
    w->setPalette(p);
}

bool VoceCifre::tasto_su_text1(const QKeyEvent& evento) {
    const std::int16_t codice = codice_tasto(evento.key());
    Text1_KeyDown(codice);
    // Keys that type a character go on to the character handler; Enter and
    // Backspace count as characters, as do control characters such as Ctrl+V.
    std::int16_t carattere = 0;
    if (codice == tasto::invio || codice == tasto::backspace)
        carattere = codice;
    else if (evento.text().size() == 1 && evento.text()[0] != QChar('\t') &&
             evento.text()[0] != QChar(0x7f))
        carattere = std::int16_t(evento.text()[0].unicode());
    if (carattere == 0)
        return false; // navigation and other keys keep their own effect
    Text1_KeyPress(carattere);
    return carattere == 0 || carattere == tasto::invio;
}

void VoceCifre::tasti_rimasti() {
    // One at a time, each after the box has taken the one before.
    if (tasti_in_attesa_.empty() || in_tasto_)
        return;
    const std::unique_ptr<QKeyEvent> tasto = std::move(tasti_in_attesa_.front());
    tasti_in_attesa_.pop_front();
    in_tasto_ = true;
    const bool scartato = tasto_su_text1(*tasto);
    in_tasto_ = false;
    if (!scartato && Text1->isEnabled())
        Text1->event(tasto.get()); // the box's own handling, bypassing this filter
    if (!tasti_in_attesa_.empty())
        QTimer::singleShot(0, this, [this] { tasti_rimasti(); });
}

void VoceCifre::imposta_limite(int limite) {
    limite_text1_ = limite;
    // Qt cuts the text when the limit drops below it; the box keeps what it shows.
    Text1->setMaxLength(std::max(limite, int(Text1->text().size())));
}

void VoceCifre::imposta_testo(const QString& testo) {
    Text1->setMaxLength(std::max(limite_text1_, 1));
    Text1->setText(testo.left(limite_text1_));
}

void VoceCifre::Text1_KeyDown(std::int16_t KeyCode) {
    if (Text1->isReadOnly()) {
        QApplication::beep();
        servizi_.avvisi.messaggio(
            "Premi il pulsante Nuovo Numero per continuare con un nuovo numero");
        return;
    }
    if (KeyCode == tasto::invio) {
        if (!Text1->text().isEmpty())
            preambolo_conferma();
        return;
    }
    if (KeyCode == tasto::canc) {
        parlante_.suona_risorsa("sparo", "wav");
        return;
    }
    const int d = cifra_del_tasto(KeyCode);
    if (d < 0)
        return;
    const char cifra = char('0' + d);
    imposta_testo(Text1->text() + QChar(cifra));
    parlante_.suona_risorsa(std::string{'g', cifra}, "wav");
    sfuma(std::string(1, cifra));
}

void VoceCifre::Text1_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == tasto::backspace) {
        parlante_.suona_risorsa("sparo", "wav");
        return;
    }
    if (Text1->isReadOnly()) {
        parlante_.suona_risorsa("sparo", "wav");
        servizi_.avvisi.messaggio("Premi il bottone CONTINUA per cambiare numero");
        return;
    }
    if (KeyAscii != tasto::invio)
        sfuma(KeyAscii > 0 && KeyAscii < 128 ? std::string(1, char(KeyAscii)) : std::string("?"));
    parlante_.num_suoni(KeyAscii);
    if (KeyAscii == tasto::invio && !Text1->text().isEmpty()) {
        conferma();
    } else if (KeyAscii < '0' || KeyAscii > '9') {
        parlante_.suona_risorsa("asino", "wav");
        KeyAscii = 0;
    }
}

void VoceCifre::preambolo_conferma() {
    Text3->show();
    Text1->setEnabled(false);
    Frame2->show();
    Command6->setEnabled(false);
}

void VoceCifre::conferma() {
    lettere_numero.clear();
    numero_confermato = zeri_non_significativi(Text1->text().toStdString());
    Text1->setReadOnly(true);
    imposta_limite(15);
    std::string cifre = Text1->text().toStdString();
    imposta_testo(QString::fromStdString(formatta_numero(cifre)));
    Label1->setText("");
    Label1->hide();
    numero_in_lettere(numero_confermato, lettere_numero);
    if (!lettere_numero.empty())
        lettere_numero[0] = char(std::toupper(static_cast<unsigned char>(lettere_numero[0])));
    animazione();
    Text3->setEnabled(true);
    colori(Text3, rgb(255, 255, 255), std::nullopt);
    Text3->setReadOnly(true);
    parlante_.suona_risorsa("INIZIO", "wav");
    imposta_limite(12);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Command3->setEnabled(true);
    Command1->setFocus();
}

void VoceCifre::animazione() {
    const auto L = std::int16_t(lettere_numero.size());
    const auto primo = std::int16_t(190 + L % 2 - L);
    for (std::int16_t k = primo; k >= L; k = std::int16_t(k - 2)) {
        colori(Text3, k % 10 == 0 ? rgb(255, 255, 0) : rgb(255, 0, 0), std::nullopt);
        Text3->setPlainText(QString(k - L, ' ') + QString::fromStdString(lettere_numero));
        QCoreApplication::processEvents();
        attesa(0.02f);
    }
    // Words longer than 95 characters get no frame: they appear at once.
    if (primo < L)
        Text3->setPlainText(QString::fromStdString(lettere_numero));
}

void VoceCifre::attesa(float secondi) {
    QElapsedTimer orologio; // monotonic
    orologio.start();
    const qint64 ms = qint64(secondi * 1000);
    // Wait inside the event loop rather than spinning: events are handled meanwhile.
    while (orologio.elapsed() < ms) {
        QEventLoop giro;
        QTimer::singleShot(int(ms - orologio.elapsed()), &giro, &QEventLoop::quit);
        giro.exec();
    }
}

void VoceCifre::Command6_Click() {
    if (Text1->text().isEmpty())
        return;
    preambolo_conferma();
    std::int16_t invio = tasto::invio;
    Text1_KeyPress(invio);
}

void VoceCifre::Command2_Click() {
    parlante_.num_parlante(numero_confermato);
}

void VoceCifre::Command1_Click() {
    Command6->setEnabled(true);
    Text3->hide();
    Text1->setEnabled(true);
    parlante_.suona_risorsa("gallo", "wav");
    Text3->setPlainText("");
    Text1->setReadOnly(false);
    Text1->setFocus();
    imposta_testo("");
    Label1->setText("");
    sfuma(numero_confermato.substr(0, 1));
    numero_confermato.clear();
    QCoreApplication::processEvents();
    imposta_limite(12);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    Label1->hide();
    colori(Text3, rgb(255, 255, 255), std::nullopt);
    Frame1->hide();
    Timer2->stop();
    Timer3->stop();
}

void VoceCifre::Command3_Click() {
    cifra_scelta = 11;
    if (Frame1->isVisible()) {
        Frame1->hide();
        parlante_.laser();
        Timer2->stop();
        Timer3->stop();
        return;
    }
    parlante_.suona_risorsa("cane", "wav");
    for (QLabel* l : Label5)
        colore_testo(l, rgb(0, 0, 0));
    // The caller keeps the number to 12 digits; anything longer shows its last 12.
    const std::size_t n = std::min(numero_confermato.size(), Label5.size());
    for (std::size_t i = 1; i <= n; ++i) {
        QLabel* l = Label5[12 - i];
        l->show();
        l->setText(QString(QChar(numero_confermato[numero_confermato.size() - i])));
    }
    for (int k = 11 - int(n); k >= 0; --k) {
        Label5[std::size_t(k)]->setText("");
        Label5[std::size_t(k)]->hide();
    }
    Label1->show();
    Label1->setEnabled(true);
    Label1->setText("");
    Frame1->show();
}

void VoceCifre::Label5_Click(std::int16_t Index) {
    if (Index < 0 || Index > 11)
        return;
    parlante_.laser();
    for (QLabel* l : Label5)
        colore_testo(l, rgb(0, 0, 0));
    colore_testo(Label5[std::size_t(Index)], rgb(255, 0, 0));
    cifra_scelta = Index;
    Timer2->start();
    Label1->setText(Label5[std::size_t(Index)]->text() + " " +
                    QString::fromUtf8(nomi_ordini[std::size_t(12 - Index)]));
}

void VoceCifre::Timer2_Timer() {
    colore_testo(Label5[std::size_t(std::clamp<int>(cifra_scelta, 0, 11))], rgb(255, 255, 255));
    Timer2->stop();
    Timer3->start();
}

void VoceCifre::Timer3_Timer() {
    colore_testo(Label5[std::size_t(std::clamp<int>(cifra_scelta, 0, 11))], rgb(255, 0, 0));
    Timer2->start();
    Timer3->stop();
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
    const long long valore = std::min(valore_cifre(carattere), 1000LL);
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

void VoceCifre::Form_Unload() {
    Command4_Click();
}

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

void VoceCifre::Timer1_Timer() {
    musica_.timerLungo(2, conta_timer);
}

void VoceCifre::Command5_Click() {
    musica_.Command5_Click(*this);
}

std::string VoceCifre::caption() const {
    return Command5->text().toStdString();
}

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
