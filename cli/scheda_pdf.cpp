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
#include <array>

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
        QFont f(QStringLiteral("Liberation Sans"));
        f.setBold(grassetto);
        f.setPointSizeF(punti);
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
    // A line to write on, at `y` mm from `x1` to `x2` mm.
    void riga(double x1, double x2, double y) {
        p_.drawLine(QPointF(mm(x1), mm(y)), QPointF(mm(x2), mm(y)));
    }

private:
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

constexpr std::array<const char*, 3> consegne = {
    "A. Scrivi in lettere",
    "B. Scrivi in cifre",
    "C. Separa le migliaia con il punto",
};

class StampantePdf final : public Stampante {
public:
    std::unique_ptr<QCoreApplication> applicazione() override {
        return std::make_unique<QGuiApplication>(argc_, argv_.data());
    }

    bool scrivi_pdf(const Scheda& scheda, QIODevice& file) override {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(dpi);
        pdf.setTitle(testo(scheda.titolo));
        pdf.setCreator(QStringLiteral("contavoce-cli"));
        QPainter p;
        if (!p.begin(&pdf))
            return false;
        QPen penna(Qt::black);
        penna.setWidthF(mm(0.25));
        p.setPen(penna);
        Foglio foglio(pdf, p);
        const double destra = larghezza_a4 - margine;
        const double testo_x = margine + 12; // after the exercise's number

        foglio.scendi(8);
        foglio.scrivi(margine, foglio.y(), testo(scheda.titolo), 20, true);
        foglio.scendi(14);
        foglio.scrivi(margine, foglio.y(), QStringLiteral("Nome"), 12);
        foglio.riga(margine + 14, margine + 105, foglio.y() + 1);
        foglio.scrivi(margine + 112, foglio.y(), QStringLiteral("Data"), 12);
        foglio.riga(margine + 124, destra, foglio.y() + 1);
        foglio.scendi(6);

        int n = 0;
        for (std::size_t tipo = 0; tipo < consegne.size(); ++tipo) {
            bool titolato = false;
            for (const Voce& v : scheda.voci) {
                if (std::size_t(v.tipo) != tipo)
                    continue;
                // A section's heading stays with its first exercise.
                foglio.spazio(titolato ? 18 : 30);
                if (!titolato) {
                    foglio.scendi(12);
                    foglio.scrivi(margine, foglio.y(), QString::fromUtf8(consegne[tipo]), 13, true);
                    titolato = true;
                }
                ++n;
                foglio.scendi(9);
                foglio.scrivi(margine, foglio.y(), QString::number(n) + '.', 12);
                const std::string& chiesto = v.tipo == Esercizio::in_lettere ? v.raggruppata
                                             : v.tipo == Esercizio::in_cifre ? v.parole
                                                                             : v.cifre;
                foglio.scrivi(testo_x, foglio.y(), testo(chiesto), 12);
                // Words need the whole width; digits a short line.
                foglio.scendi(9);
                foglio.riga(testo_x, v.tipo == Esercizio::in_lettere ? destra : testo_x + 70,
                            foglio.y());
            }
        }

        // The answer key, from a page of its own so it can be kept apart.
        foglio.pagina_nuova();
        foglio.scendi(8);
        foglio.scrivi(margine, foglio.y(), QStringLiteral("Soluzioni"), 16, true);
        foglio.scendi(7);
        foglio.scrivi(margine, foglio.y(),
                      QStringLiteral("%1 - seme %2").arg(testo(scheda.titolo)).arg(scheda.seme), 9);
        foglio.scendi(3);
        n = 0;
        for (const Voce& v : scheda.voci) {
            foglio.spazio(7);
            foglio.scendi(6);
            foglio.scrivi(margine, foglio.y(), QString::number(++n) + '.', 10);
            foglio.scrivi(testo_x, foglio.y(), testo(v.raggruppata), 10);
            foglio.scrivi(testo_x + 32, foglio.y(), testo(v.parole), 10);
        }
        return p.end();
    }

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
