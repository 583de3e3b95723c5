// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/esercizi/controlli_esercizi.h"

#include "registro/registro.h"
#include "window/controlli.h"

#include <QPainter>
#include <array>

namespace contavoce {
namespace {

// The layout in pixels at 100%, kept in twips for the zoom.
void colloca(QWidget* w, int x, int y, int larghezza, int altezza) {
    w->setGeometry(x, y, larghezza, altezza);
    w->setProperty("twip", QRect(x * twip_per_pixel, y * twip_per_pixel, larghezza * twip_per_pixel,
                                 altezza * twip_per_pixel));
}

QFont carattere(double punti, bool grassetto = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    return f;
}

template <typename T, typename... Args>
T* crea(QWidget* genitore, const char* nome, QRect dove, double punti, Args&&... a) {
    auto* w = new T(std::forward<Args>(a)..., genitore); // owned by its Qt parent
    w->setObjectName(QString::fromLatin1(nome));
    colloca(w, dove.x(), dove.y(), dove.width(), dove.height());
    w->setFont(carattere(punti));
    return w;
}

QLabel* etichetta(QWidget* genitore, const char* testo, QRect dove, QWidget* di) {
    auto* l = crea<QLabel>(genitore, "", dove, 13, QString::fromUtf8(testo));
    l->setBuddy(di);
    return l;
}

QFrame* pannello(QWidget* genitore, const char* nome, QRect dove) {
    auto* f = crea<QFrame>(genitore, nome, dove, 13);
    f->hide();
    return f;
}

QPushButton* tasto(QWidget* genitore, QRect dove, const char* scritta, const char* nome,
                   const char* proprieta, const char* valore) {
    auto* b = crea<QPushButton>(genitore, "tasto", dove, 18, QString::fromUtf8(scritta));
    b->setAccessibleName(QString::fromUtf8(nome));
    b->setProperty(proprieta, QString::fromUtf8(valore));
    // A key types into the answer box: pressing one leaves the focus there.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(false);
    return b;
}

struct Tasto {
    const char* scritta;
    const char* nome; // for screen readers
    const char* azione;
    const char* inserisce;
};

} // namespace

void Puntini::imposta(const std::vector<Stato>& stati, std::size_t corrente) {
    stati_ = stati;
    corrente_ = corrente;
    setAccessibleName(stati_.empty() ? QString()
                                     : QStringLiteral("Domanda %1 di %2")
                                           .arg(std::min(corrente_ + 1, stati_.size()))
                                           .arg(stati_.size()));
    update();
}

void Puntini::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int n = int(stati_.size());
    if (n == 0)
        return;
    const double passo = std::min(height() * 1.4, double(width()) / n);
    const double r = std::min(passo * 0.36, height() * 0.42);
    const double x0 = (width() - passo * n) / 2 + passo / 2;
    for (int i = 0; i < n; ++i) {
        QColor c(0xc8, 0xc8, 0xc8); // still to come
        switch (stati_[std::size_t(i)]) {
        case Stato::giusta:
            c = QColor(0x00, 0x8a, 0x00);
            break;
        case Stato::giusta_al_secondo:
            c = QColor(0x9a, 0xc8, 0x00);
            break;
        case Stato::sbagliata:
            c = QColor(0xc0, 0x00, 0x00);
            break;
        case Stato::riprova:
            c = QColor(0xf0, 0x90, 0x00);
            break;
        default:
            break;
        }
        const QPointF centro(x0 + passo * i, height() / 2.0);
        p.setPen(std::size_t(i) == corrente_ ? QPen(QColor(0x00, 0x00, 0xa0), r * 0.45)
                                             : QPen(QColor(0x50, 0x50, 0x50), 1));
        p.setBrush(c);
        p.drawEllipse(centro, r, r);
    }
}

void disponi_scelte(const ControlliEsercizi& c, std::size_t quante) {
    // Rows of at most eight, as even as they can be, each one centred.
    constexpr std::size_t per_riga_max = 8;
    constexpr int lato = 84, passo = 96, larghezza = 784;
    quante = std::min(quante, c.tasti_scelta.size());
    const std::size_t righe = (quante + per_riga_max - 1) / per_riga_max;
    const std::size_t per_riga = righe ? (quante + righe - 1) / righe : 0;
    for (std::size_t i = 0; i < quante; ++i) {
        const std::size_t riga = i / per_riga,
                          in_riga = std::min(per_riga, quante - riga * per_riga);
        const int x0 = (larghezza - int(in_riga) * passo + (passo - lato)) / 2;
        colloca(c.tasti_scelta[i], x0 + int(i % per_riga) * passo, 16 + int(riga) * 80, lato, 64);
    }
}

ControlliEsercizi crea_controlli_esercizi(QWidget& finestra) {
    ControlliEsercizi c;
    QWidget* f = &finestra;

    c.classe = crea<QComboBox>(f, "classe", {84, 8, 130, 48}, 14);
    const auto n_prima = f->children().size();
    for (std::size_t i = 0; i < n_classi; ++i)
        c.classe->addItem(QString::fromUtf8(nome_classe(Classe(i))));
    etichetta(f, "&Classe", {8, 8, 74, 48}, c.classe);
    c.livello = crea<QComboBox>(f, "livello", {306, 8, 230, 48}, 14);
    etichetta(f, "&Livello", {228, 8, 76, 48}, c.livello);
    c.silenzio = crea<QCheckBox>(f, "silenzio", {552, 8, 240, 48}, 13, "In s&ilenzio (classe)");
    c.tipo = crea<QComboBox>(f, "tipo", {116, 64, 300, 48}, 14);
    for (Tipo t : tipi)
        c.tipo->addItem(QString::fromUtf8(nome_tipo(t)));
    etichetta(f, "&Esercizio", {8, 64, 106, 48}, c.tipo);
    c.inizia = crea<QPushButton>(f, "inizia", {428, 64, 116, 48}, 14, "I&nizia");
    c.scolastica = crea<QCheckBox>(f, "scolastica", {552, 64, 240, 48}, 13, "&Grafia della scuola");

    // The teacher's choice, beside the dots it sets the number of.
    // A list like the other choices: the whole box answers a touch.
    c.domande = crea<QComboBox>(f, "domande", {106, 118, 80, 32}, 13);
    for (std::size_t n = domande_minime; n <= domande_massime; ++n)
        c.domande->addItem(QString::number(n), int(n));
    c.domande->setCurrentIndex(int(domande_di_norma - domande_minime));
    etichetta(f, "&Domande", {8, 118, 96, 32}, c.domande);
    for (QObject* o : f->children().mid(n_prima - 1))
        if (auto* w = qobject_cast<QWidget*>(o))
            c.impostazioni.push_back(w);
    c.puntini = crea<Puntini>(f, "puntini", {200, 122, 592, 26}, 13);
    c.consegna = crea<QLabel>(f, "consegna", {8, 152, 784, 34}, 15);
    c.consegna->setAlignment(Qt::AlignCenter);
    c.testo = crea<QLabel>(f, "testo", {8, 188, 784, 76}, 26);
    c.testo->setAlignment(Qt::AlignCenter);
    c.testo->setWordWrap(true);
    c.testo->setTextFormat(Qt::RichText);
    c.risposta = crea<QLineEdit>(f, "risposta", {8, 272, 620, 56}, 24);
    c.risposta->setFont(carattere(24, true));
    c.risposta->setMaxLength(160);
    c.ripeti = crea<QPushButton>(f, "ripeti", {640, 272, 152, 56}, 15, "&Ripeti");
    c.esito = crea<QLabel>(f, "esito", {8, 334, 784, 44}, 16);
    c.esito->setAlignment(Qt::AlignCenter);
    c.esito->setTextFormat(Qt::RichText);
    c.esito->setWordWrap(true);

    // The keypad: two rows of 64 x 64 keys.
    c.tastierino = pannello(f, "tastierino", {8, 386, 784, 206});
    static constexpr std::array<Tasto, 13> cifre = {{
        {"1", "uno", nullptr, "1"},
        {"2", "due", nullptr, "2"},
        {"3", "tre", nullptr, "3"},
        {"4", "quattro", nullptr, "4"},
        {"5", "cinque", nullptr, "5"},
        {"6", "sei", nullptr, "6"},
        {"7", "sette", nullptr, "7"},
        {"8", "otto", nullptr, "8"},
        {"9", "nove", nullptr, "9"},
        {"0", "zero", nullptr, "0"},
        {",", "virgola", nullptr, ","},
        {"⌫", "Cancella", "cancella", nullptr},
        {"OK", "OK, controlla", "ok", nullptr},
    }};
    for (std::size_t i = 0; i < cifre.size(); ++i) {
        const int riga = int(i) / 7, colonna = int(i) % 7;
        const int larghezza = i == cifre.size() - 1 ? 136 : 64;
        const Tasto& t = cifre[i];
        c.tasti.push_back(tasto(c.tastierino, {140 + colonna * 72, 16 + riga * 80, larghezza, 64},
                                t.scritta, t.nome, t.azione ? "azione" : "inserisce",
                                t.azione ? t.azione : t.inserisce));
    }

    // The letter keyboard: the Italian letters, the accented vowels, the
    // blank, apostrophe and hyphen; keys 56 x 48.
    c.lettere = pannello(f, "lettere", {8, 386, 784, 206});
    static constexpr std::array<const char*, 4> righe = {"qwertyuiop", "asdfghjkl'", "zxcvbnm-",
                                                         "àèéìòù"};
    for (std::size_t r = 0; r < righe.size(); ++r) {
        const QString riga = QString::fromUtf8(righe[r]);
        for (int k = 0; k < riga.size(); ++k) {
            const QByteArray l = riga.mid(k, 1).toUtf8();
            const QByteArray nome = l == "'"   ? QByteArray("apostrofo")
                                    : l == "-" ? QByteArray("trattino")
                                               : l;
            c.tasti.push_back(tasto(c.lettere, {60 + k * 62, 2 + int(r) * 52, 56, 48},
                                    l.constData(), nome.constData(), "inserisce", l.constData()));
        }
    }
    c.tasti.push_back(
        tasto(c.lettere, {60 + 8 * 62, 2 + 2 * 52, 118, 48}, "spazio", "spazio", "inserisce", " "));
    c.tasti.push_back(tasto(c.lettere, {60 + 6 * 62, 2 + 3 * 52, 118, 48}, "⌫", "Cancella",
                            "azione", "cancella"));
    c.tasti.push_back(tasto(c.lettere, {60 + 8 * 62, 2 + 3 * 52, 118, 48}, "OK", "OK, controlla",
                            "azione", "ok"));

    // The choices: up to fifteen places (hG .. u and d, c, m), or <, > and =.
    c.scelte = pannello(f, "scelte", {8, 386, 784, 206});
    for (int i = 0; i < 15; ++i) {
        auto* b = crea<QPushButton>(c.scelte, "scelta",
                                    {16 + (i % 8) * 96, 16 + (i / 8) * 80, 84, 64}, 20);
        // Reached by Tab, but a click leaves the focus where it is.
        b->setFocusPolicy(Qt::TabFocus);
        b->hide();
        c.tasti_scelta.push_back(b);
    }

    c.progressi = pannello(f, "progressi", {8, 190, 784, 402});
    c.giocatore = crea<QLabel>(c.progressi, "giocatore", {0, 0, 784, 36}, 16);
    c.giocatore->setAlignment(Qt::AlignCenter);
    c.tabella = crea<QLabel>(c.progressi, "tabella", {40, 40, 704, 266}, 14);
    c.tabella->setTextFormat(Qt::RichText);
    c.tabella->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    c.proposta = crea<QLabel>(c.progressi, "proposta", {0, 306, 784, 40}, 15);
    c.proposta->setAlignment(Qt::AlignCenter);
    c.proposta->setWordWrap(true);
    c.cambia =
        crea<QPushButton>(c.progressi, "cambia", {544, 350, 240, 48}, 14, "Cam&bia giocatore");

    // The end of a round, over the question and the keys.
    c.fine = pannello(f, "fine", {8, 152, 784, 440});
    c.stelle = crea<QLabel>(c.fine, "stelle", {0, 0, 784, 72}, 44);
    c.stelle->setAlignment(Qt::AlignCenter);
    c.punteggio = crea<QLabel>(c.fine, "punteggio", {0, 72, 784, 40}, 18);
    c.punteggio->setAlignment(Qt::AlignCenter);
    c.errori = crea<QListWidget>(c.fine, "errori", {40, 118, 704, 236}, 16);
    c.errori->setAccessibleName("Le domande sbagliate, con la risposta giusta");
    c.rifai = crea<QPushButton>(c.fine, "rifai", {152, 370, 230, 60}, 16, "Ri&fai gli errori");
    c.ancora = crea<QPushButton>(c.fine, "ancora", {402, 370, 230, 60}, 16, "&Un altro giro");

    // "Chi gioca?" over everything, until a child or a guest is chosen.
    c.chi = pannello(f, "chi", {0, 0, 800, 600});
    c.chi->setAutoFillBackground(true);
    auto* titolo =
        crea<QLabel>(c.chi, "titolo", {0, 14, 800, 56}, 26, QStringLiteral("Chi gioca?"));
    titolo->setAlignment(Qt::AlignCenter);
    titolo->setFont(carattere(26, true));
    c.avviso = crea<QLabel>(c.chi, "avviso", {40, 72, 720, 52}, 14);
    c.avviso->setAlignment(Qt::AlignCenter);
    c.avviso->setWordWrap(true);
    c.bambini = crea<QListWidget>(c.chi, "bambini", {150, 128, 500, 290}, 18);
    c.gioca = crea<QPushButton>(c.chi, "gioca", {150, 428, 240, 56}, 16, "&Gioca");
    c.ospite = crea<QPushButton>(c.chi, "ospite", {410, 428, 240, 56}, 16, "&Ospite");
    c.nuovo = crea<QLineEdit>(c.chi, "nuovo", {250, 494, 264, 48}, 18);
    c.nuovo->setMaxLength(int(registro::lunghezza_massima_nome));
    etichetta(c.chi, "&Nuovo", {150, 494, 98, 48}, c.nuovo)->setFont(carattere(16));
    c.aggiungi = crea<QPushButton>(c.chi, "aggiungi", {522, 494, 128, 48}, 15, "&Aggiungi");
    c.lezione = crea<QPushButton>(c.chi, "lezione", {150, 550, 500, 42}, 14, "Apri una &lezione…");
    return c;
}

} // namespace contavoce
