// SPDX-License-Identifier: GPL-3.0-or-later
// The inside of libcontavoce-scheda.so: the worksheet drawn with QPainter on
// Qt's PDF writer. Only contavoce_stampante is exported.
#include "cli/modulo_scheda.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace contavoce::cli {
namespace {

constexpr int dpi = 300;
constexpr double margine = 15; // mm
constexpr double larghezza_a4 = 210, altezza_a4 = 297;

constexpr double mm(double x) {
    return x * dpi / 25.4;
}

QString testo(const std::string& s) {
    return QString::fromStdString(s);
}

// Writes line after line down the pages, starting a new page when the next
// piece does not fit.
class Foglio {
public:
    Foglio(QPdfWriter& pdf, QPainter& p) : pdf_(pdf), p_(p) { piede(); }

    // Room for `altezza` mm from here, on this page or the next.
    void spazio(double altezza) {
        if (y_ + altezza > altezza_a4 - margine)
            pagina_nuova();
    }
    void pagina_nuova() {
        pdf_.newPage();
        y_ = margine;
        piede();
    }
    void scendi(double altezza) { y_ += altezza; }
    double y() const { return y_; }

    // Text with its baseline at `y` mm, from `x` mm, in `punti` points or
    // smaller so that it ends before the right margin: a number's words are
    // one word and must stay on one line.
    void scrivi(double x, double y, const QString& t, double punti, bool grassetto = false) {
        QFont f = carattere(punti, grassetto);
        const double spazio = mm(larghezza_a4 - margine - x);
        for (int i = 0; i < 8; ++i) {
            p_.setFont(f);
            const double largo = p_.fontMetrics().horizontalAdvance(t);
            if (largo <= spazio)
                break;
            f.setPointSizeF(f.pointSizeF() * spazio / largo * 0.98);
        }
        p_.drawText(QPointF(mm(x), mm(y)), t);
    }
    // How wide `t` is, in mm, at `punti` points.
    double larghezza(const QString& t, double punti, bool grassetto = false) {
        p_.setFont(carattere(punti, grassetto));
        return p_.fontMetrics().horizontalAdvance(t) * 25.4 / dpi;
    }
    // A line to write on, at `y` mm from `x1` to `x2` mm.
    void riga(double x1, double x2, double y) {
        p_.drawLine(QPointF(mm(x1), mm(y)), QPointF(mm(x2), mm(y)));
    }

private:
    static QFont carattere(double punti, bool grassetto) {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setBold(grassetto);
        f.setPointSizeF(punti);
        return f;
    }
    // The page's number at its foot, so that loose sheets go back in order.
    void piede() {
        ++pagina_;
        const QString t = QStringLiteral("Pagina %1").arg(pagina_);
        scrivi(larghezza_a4 / 2 - 8, altezza_a4 - margine / 2, t, 9);
    }

    QPdfWriter& pdf_;
    QPainter& p_;
    double y_ = margine;
    int pagina_ = 0;
};

// The type and the room to write by class year: a six-year-old's digits are
// large and want ruled lines, a ten-year-old writes in 12 points.
struct Corpo {
    double punti;   // the questions' type
    double riga;    // mm from one written line to the next
    double lettera; // mm a handwritten letter or digit takes
    bool rigata;    // a fainter line half way up, as on a first year's exercise book
};

Corpo corpo(Classe classe) {
    switch (classe) {
    case Classe::prima:
        return {18, 15, 6.0, true};
    case Classe::seconda:
        return {16, 13, 5.0, true};
    case Classe::terza:
        return {14, 11, 4.0, false};
    case Classe::quarta:
    case Classe::quinta:
        break;
    }
    return {12, 9.5, 3.3, false};
}

int lunghezza(const std::string& s) {
    return int(QString::fromStdString(s).size());
}

class StampantePdf final : public Stampante {
public:
    std::unique_ptr<QCoreApplication> applicazione() override {
        return std::make_unique<QGuiApplication>(argc_, argv_.data());
    }

    bool scrivi_pdf(const Scheda& scheda, bool soluzioni, QIODevice& file) override {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(dpi);
        QString titolo = testo(scheda.titolo);
        if (!scheda.fila.empty())
            titolo += QStringLiteral(" - fila ") + testo(scheda.fila);
        pdf.setTitle(soluzioni ? QStringLiteral("Soluzioni - ") + titolo : titolo);
        pdf.setCreator(QStringLiteral("contavoce-cli"));
        QPainter p;
        if (!p.begin(&pdf))
            return false;
        QPen penna(Qt::black);
        penna.setWidthF(mm(0.25));
        p.setPen(penna);
        Foglio foglio(pdf, p);
        if (soluzioni)
            chiave(scheda, titolo, foglio);
        else
            esercizi(scheda, titolo, foglio, p, penna);
        return p.end();
    }

private:
    static void esercizi(const Scheda& scheda, const QString& titolo, Foglio& foglio, QPainter& p,
                         const QPen& penna) {
        const Corpo c = corpo(scheda.classe);
        const double destra = larghezza_a4 - margine;
        const double testo_x = margine + c.punti * 0.9; // after the exercise's number
        QPen tenue(QColor(150, 150, 150));
        tenue.setWidthF(mm(0.15));
        // A line to write on, with its guide half way up for the young ones.
        const auto scrivi_su = [&](double x1, double x2, double y) {
            foglio.riga(x1, x2, y);
            if (c.rigata) {
                p.setPen(tenue);
                foglio.riga(x1, x2, y - c.riga * 0.35);
                p.setPen(penna);
            }
        };

        foglio.scendi(8);
        foglio.scrivi(margine, foglio.y(), titolo, 20, true);
        foglio.scendi(14);
        foglio.scrivi(margine, foglio.y(), QStringLiteral("Nome"), 12);
        foglio.riga(margine + 14, margine + 105, foglio.y() + 1);
        foglio.scrivi(margine + 112, foglio.y(), QStringLiteral("Data"), 12);
        foglio.riga(margine + 124, destra, foglio.y() + 1);
        foglio.scendi(4);

        int n = 0;
        char lettera = 'A';
        for (const Sezione& s : scheda.sezioni) {
            if (s.voci.empty())
                continue;
            // Room for the longest answer of the section in a child's hand,
            // the same for every exercise so that the space tells nothing.
            int piu_lunga = 0;
            double piu_larga = 0;
            for (const Voce& v : s.voci) {
                if (v.su_riga)
                    piu_lunga = std::max(piu_lunga, lunghezza(v.risposta));
                piu_larga = std::max(piu_larga, foglio.larghezza(testo(v.domanda), c.punti));
            }
            const double serve = piu_lunga ? std::max(25.0, piu_lunga * c.lettera) : 0;
            const double pieno = destra - testo_x;
            // Beside the question when both fit on the line, else on lines under it.
            const bool accanto = piu_larga + 6 + serve <= pieno;
            const int righe = accanto || serve == 0 ? 0 : int(std::ceil(serve / pieno));
            const double alta = c.riga * (1 + righe);
            const double titolo_alto = 8 + c.riga * 0.5; // clear of the last line written on

            // A heading stays with its first exercise.
            foglio.spazio(titolo_alto + alta);
            foglio.scendi(titolo_alto);
            foglio.scrivi(margine, foglio.y(),
                          QStringLiteral("%1. %2").arg(QChar(lettera++)).arg(testo(s.consegna)),
                          c.punti * 0.8 + 2, true);
            for (const Voce& v : s.voci) {
                foglio.spazio(alta);
                foglio.scendi(c.riga);
                foglio.scrivi(margine, foglio.y(), QString::number(++n) + '.', c.punti);
                const QString domanda = testo(v.domanda);
                if (v.segnata_a > v.segnata_da) {
                    // The marked digit bold and underlined, in its place.
                    const auto parte = [&](std::size_t da, std::size_t a) {
                        return QString::fromStdString(v.domanda.substr(da, a - da));
                    };
                    const QString prima = parte(0, v.segnata_da),
                                  segnata = parte(v.segnata_da, v.segnata_a),
                                  dopo = parte(v.segnata_a, v.domanda.size());
                    double x = testo_x;
                    foglio.scrivi(x, foglio.y(), prima, c.punti);
                    x += foglio.larghezza(prima, c.punti);
                    foglio.scrivi(x, foglio.y(), segnata, c.punti, true);
                    const double larga = foglio.larghezza(segnata, c.punti, true);
                    foglio.riga(x, x + larga, foglio.y() + 1.2);
                    foglio.scrivi(x + larga, foglio.y(), dopo, c.punti);
                } else {
                    foglio.scrivi(testo_x, foglio.y(), domanda, c.punti);
                }
                if (accanto && serve > 0) {
                    const double da = domanda.isEmpty() ? testo_x : testo_x + piu_larga + 6;
                    scrivi_su(da, std::min(destra, da + serve), foglio.y() + 1);
                }
                for (int r = 0; r < righe; ++r) {
                    foglio.scendi(c.riga);
                    scrivi_su(testo_x, destra, foglio.y());
                }
            }
        }
    }

    static void chiave(const Scheda& scheda, const QString& titolo, Foglio& foglio) {
        const double testo_x = margine + 10;
        const double destra = larghezza_a4 - margine;
        foglio.scendi(8);
        foglio.scrivi(margine, foglio.y(), QStringLiteral("Soluzioni - ") + titolo, 16, true);
        foglio.scendi(2);
        // The command line that remakes the sheet wrapped at its blanks, in
        // type that can be read and copied.
        for (const std::string& nota : scheda.note) {
            QString riga;
            for (const QString& parola : testo(nota).split(' ')) {
                const QString con = riga.isEmpty() ? parola : riga + ' ' + parola;
                if (!riga.isEmpty() && foglio.larghezza(con, 9) > destra - margine) {
                    foglio.scendi(4.5);
                    foglio.scrivi(margine, foglio.y(), riga, 9);
                    riga = QStringLiteral("    ") + parola;
                } else {
                    riga = con;
                }
            }
            foglio.scendi(4.5);
            foglio.scrivi(margine, foglio.y(), riga, 9);
        }
        int n = 0;
        char lettera = 'A';
        for (const Sezione& s : scheda.sezioni) {
            if (s.voci.empty())
                continue;
            foglio.spazio(18);
            foglio.scendi(11);
            foglio.scrivi(margine, foglio.y(),
                          QStringLiteral("%1. %2").arg(QChar(lettera++)).arg(testo(s.consegna)), 11,
                          true);
            for (const Voce& v : s.voci) {
                const QString domanda = testo(v.domanda);
                // "3.756 = 3 uk + ...": a decomposition follows its own sign.
                const QString tra = domanda.isEmpty()       ? QString()
                                    : domanda.endsWith('=') ? " "
                                                            : "  →  ";
                // The answer wrapped at its blanks to the width of the page,
                // beside the question when it fits.
                const double largo = destra - testo_x;
                QStringList righe{domanda + tra};
                bool sola_domanda = !domanda.isEmpty();
                for (const QString& parola : testo(v.risposta).split(' ')) {
                    const QString con = righe.last().isEmpty() || righe.last().endsWith(' ')
                                            ? righe.last() + parola
                                            : righe.last() + ' ' + parola;
                    if (foglio.larghezza(con, 10) <= largo || righe.last().trimmed().isEmpty())
                        righe.last() = con;
                    else
                        righe << (sola_domanda ? QStringLiteral("→  ") : QString()) + parola;
                    sola_domanda = false;
                }
                foglio.spazio(6.0 * double(righe.size()) + 1);
                foglio.scendi(6);
                foglio.scrivi(margine, foglio.y(), QString::number(++n) + '.', 10);
                for (qsizetype r = 0; r < righe.size(); ++r) {
                    if (r > 0)
                        foglio.scendi(5);
                    foglio.scrivi(testo_x, foglio.y(), righe[r].trimmed(), 10);
                }
            }
        }
    }

public:
    bool scrivi_rapporto_pdf(const Rapporto& rapporto, QIODevice& file) override {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(dpi);
        pdf.setTitle(QStringLiteral("Registro dei progressi"));
        pdf.setCreator(QStringLiteral("contavoce-cli"));
        QPainter p;
        if (!p.begin(&pdf))
            return false;
        QPen penna(Qt::black);
        penna.setWidthF(mm(0.3));
        Foglio foglio(pdf, p);
        const double barra_x = margine + 60, barra_largo = 60, barra_alto = 4.5;
        bool prima = true;
        for (const PaginaRapporto& pagina : rapporto.pagine) {
            if (!prima)
                foglio.pagina_nuova();
            prima = false;
            const auto titolo = [&](bool segue) {
                foglio.scendi(8);
                foglio.scrivi(margine, foglio.y(),
                              QStringLiteral("Registro dei progressi - classe %1%2")
                                  .arg(testo(pagina.classe), segue ? " (segue)" : ""),
                              16, true);
                foglio.scendi(6);
                foglio.scrivi(margine, foglio.y(),
                              QStringLiteral("%1 - giuste sulle domande di ogni tipo")
                                  .arg(testo(rapporto.data)),
                              9);
                foglio.scendi(4);
            };
            titolo(false);
            std::string ultimo;
            for (const BarraRapporto& b : pagina.barre) {
                if (foglio.y() + 15 > altezza_a4 - margine - 25) {
                    foglio.pagina_nuova();
                    titolo(true);
                    ultimo.clear();
                }
                // The child's name on a line of its own, their kinds under it.
                if (b.bambino != ultimo) {
                    foglio.scendi(9);
                    foglio.scrivi(margine, foglio.y(), testo(b.bambino), 11, true);
                }
                foglio.scendi(6);
                ultimo = b.bambino;
                foglio.scrivi(margine + 6, foglio.y(), testo(b.tipo), 9);
                // The share right as a grey bar in a black frame, and in figures
                // beside it: both survive a black-and-white copy.
                const double quota = b.totale ? double(b.giuste) / double(b.totale) : 0;
                const QRectF cornice(mm(barra_x), mm(foglio.y() - barra_alto + 0.8),
                                     mm(barra_largo), mm(barra_alto));
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(110, 110, 110));
                p.drawRect(
                    QRectF(cornice.topLeft(), QSizeF(cornice.width() * quota, cornice.height())));
                p.setPen(penna);
                p.setBrush(Qt::NoBrush);
                p.drawRect(cornice);
                foglio.scrivi(barra_x + barra_largo + 3, foglio.y(),
                              QStringLiteral("%1/%2 (%3%)")
                                  .arg(b.giuste)
                                  .arg(b.totale)
                                  .arg(b.totale ? (b.giuste * 100 + b.totale / 2) / b.totale : 0),
                              9);
            }
            foglio.spazio(20);
            foglio.scendi(12);
            foglio.scrivi(margine, foglio.y(), QStringLiteral("Numeri più difficili"), 12, true);
            foglio.scendi(6);
            QStringList difficili;
            for (const auto& [numero, volte] : pagina.difficili)
                difficili << QStringLiteral("%1 (%2 %3)")
                                 .arg(testo(numero))
                                 .arg(volte)
                                 .arg(volte == 1 ? "volta" : "volte");
            if (difficili.isEmpty())
                difficili << QStringLiteral("nessuno sbagliato");
            // Five to a line, so that they stay large enough to read.
            for (qsizetype i = 0; i < difficili.size(); i += 5) {
                foglio.scrivi(margine, foglio.y(), difficili.mid(i, 5).join(QStringLiteral(", ")),
                              10);
                foglio.scendi(5);
            }
        }
        return p.end();
    }

private:
    // Qt's own arguments only: the user's are contavoce-cli's business.
    int argc_ = 3;
    std::string nome_ = "contavoce-cli";
    std::string opzione_ = "-platform";
    std::string piattaforma_ = "offscreen";
    std::array<char*, 4> argv_{nome_.data(), opzione_.data(), piattaforma_.data(), nullptr};
};

} // namespace

CONTAVOCE_MODULO(contavoce_stampante, funzione_modulo_scheda, versione_modulo_scheda, Stampante,
                 StampantePdf);

} // namespace contavoce::cli
