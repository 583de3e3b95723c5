// SPDX-License-Identifier: GPL-3.0-or-later
// Who plays: "Chi gioca?" before the choices, and, before each round, the
// stars of the child playing with the step the window proposes.
#include "window/esercizi/finestra_esercizi.h"

#include <QFile>
#include <QFileDialog>
#include <QTextDocumentFragment>
#include <variant>

namespace contavoce {
namespace {

const QColor oro(0x8a, 0x5a, 0x00);
const QColor grigio(0x50, 0x50, 0x50);

QString stelle_html(int n) {
    if (n <= 0)
        return QStringLiteral("<span style=\"color:%1\">–</span>").arg(grigio.name());
    return QStringLiteral("<span style=\"color:%1\">%2</span><span style=\"color:%3\">%4</span>")
        .arg(oro.name(), QString(n, QChar(0x2605)), grigio.name(), QString(3 - n, QChar(0x2606)));
}

const char* stelle_dette(int n) {
    switch (n) {
    case 1:
        return "una stella";
    case 2:
        return "due stelle";
    case 3:
        return "tre stelle";
    default:
        return "non ancora giocato";
    }
}

} // namespace

QString FinestraEsercizi::avviso_registro() {
    const auto a = diario_.avviso();
    return a ? QString::fromUtf8(*a) : QString();
}

void FinestraEsercizi::mostra_chi() {
    const ControlliEsercizi& c = controlli_;
    voce_.ferma();
    giro_.reset();
    in_attesa_ = false;
    for (QWidget* w : c.impostazioni)
        w->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{c.puntini, c.consegna, c.testo, c.risposta,
                                                      c.ripeti, c.esito, c.tastierino, c.lettere,
                                                      c.scelte, c.fine, c.progressi})
        w->hide();
    c.bambini->clear();
    for (const registro::Bambino& b : diario_.bambini()) {
        auto* voce = new QListWidgetItem(QString::fromUtf8(b.nome), c.bambini); // owned by the list
        voce->setData(Qt::UserRole, qlonglong(b.id));
    }
    const QString a = avviso_registro();
    if (!a.isEmpty())
        c.avviso->setText(a);
    else if (c.bambini->count() == 0 && c.avviso->text().isEmpty())
        c.avviso->setText("Nessun nome ancora: scrivi il tuo qui sotto e premi Invio.");
    c.avviso->setVisible(!c.avviso->text().isEmpty());
    c.avviso->setAccessibleName(c.avviso->text());
    c.gioca->setEnabled(c.bambini->count() > 0);
    c.nuovo->clear();
    c.chi->show();
    c.chi->raise();
    if (c.bambini->count() > 0) {
        c.bambini->setCurrentRow(0);
        c.bambini->setFocus(Qt::OtherFocusReason);
    } else {
        c.nuovo->setFocus(Qt::OtherFocusReason);
    }
}

void FinestraEsercizi::Gioca_Click() {
    const QListWidgetItem* scelto = controlli_.bambini->currentItem();
    if (!scelto)
        return;
    diario_.scegli({scelto->data(Qt::UserRole).toLongLong(), scelto->text().toStdString()});
    gioca();
}

void FinestraEsercizi::Aggiungi_Click() {
    const ControlliEsercizi& c = controlli_;
    if (const auto errore = diario_.aggiungi(c.nuovo->text().toStdString())) {
        c.avviso->setText(QString::fromUtf8(*errore));
        c.avviso->setAccessibleName(c.avviso->text());
        c.avviso->show();
        c.nuovo->selectAll();
        c.nuovo->setFocus(Qt::OtherFocusReason);
        return;
    }
    gioca();
}

void FinestraEsercizi::Ospite_Click() {
    diario_.ospite();
    gioca();
}

void FinestraEsercizi::Lezione_Click() {
    const ControlliEsercizi& c = controlli_;
    const QString file = QFileDialog::getOpenFileName(
        this, "Apri una lezione", {}, "Lezioni di Contavoce (*.ini *.txt);;Tutti i file (*)");
    if (file.isEmpty())
        return;
    const LezioneLetta letta = leggi_file_lezione(QFile::encodeName(file).toStdString());
    if (const auto* errore = std::get_if<ErroreLezione>(&letta)) {
        c.avviso->setText("Questa lezione non si apre. " + QString::fromUtf8(errore->messaggio));
        c.avviso->setAccessibleName(c.avviso->text());
        c.avviso->show();
        return;
    }
    apri_lezione(std::get<Lezione>(letta));
    c.avviso->setText(QStringLiteral("Lezione pronta: ora scegli chi gioca."));
    c.avviso->setAccessibleName(c.avviso->text());
    c.avviso->show();
}

void FinestraEsercizi::gioca() {
    const ControlliEsercizi& c = controlli_;
    c.chi->hide();
    c.avviso->clear();
    for (QWidget* w : c.impostazioni)
        w->show();
    c.consegna->show();
    c.consegna->setText("Scegli la classe, il livello e l'esercizio, poi premi Inizia.");
    if (lezione_) { // the teacher's round, the same for every child
        Inizia_Click();
        return;
    }
    proponi();
    mostra_progressi();
    c.tipo->setFocus(Qt::OtherFocusReason);
}

void FinestraEsercizi::proponi() {
    const ControlliEsercizi& c = controlli_;
    if (!diario_.bambino()) {
        c.proposta->clear();
        return;
    }
    const Tipo tipo = tipi[std::size_t(std::max(c.tipo->currentIndex(), 0))];
    const auto passo = prossimo_passo(diario_.esiti(), tipo);
    if (!passo) {
        c.proposta->setText("Scegli da dove cominciare.");
        return;
    }
    proponendo_ = true;
    c.classe->setCurrentIndex(int(passo->classe));
    c.livello->setCurrentIndex(passo->livello - 1);
    proponendo_ = false;
    const QString dove = QStringLiteral("%1, livello %2")
                             .arg(QString::fromUtf8(nome_classe(passo->classe)))
                             .arg(passo->livello);
    switch (passo->verso) {
    case Passo::Verso::avanti:
        c.proposta->setText("Ottimo lavoro! Ti propongo il passo dopo: " + dove + ".");
        break;
    case Passo::Verso::indietro:
        c.proposta->setText("Ti propongo di esercitarti un po' su: " + dove + ".");
        break;
    case Passo::Verso::resta:
        c.proposta->setText("Ti propongo di continuare con: " + dove + ".");
        break;
    }
}

void FinestraEsercizi::mostra_progressi() {
    const ControlliEsercizi& c = controlli_;
    if (giro_ && !giro_->finito())
        return;
    c.fine->hide();
    const auto& bambino = diario_.bambino();
    if (!bambino) {
        c.giocatore->setText("Gioca un ospite: questa volta i progressi non vengono conservati.");
        c.tabella->clear();
        c.tabella->setAccessibleName({});
        c.proposta->clear();
    } else {
        const Classe classe = Classe(std::max(c.classe->currentIndex(), 0));
        const QString nome_c = QString::fromUtf8(nome_classe(classe));
        c.giocatore->setText(QStringLiteral("<b>%1</b>: le stelle in %2")
                                 .arg(QString::fromUtf8(bambino->nome).toHtmlEscaped(), nome_c));
        const auto esiti = diario_.esiti();
        QString t =
            QStringLiteral("<table align=\"center\" cellspacing=\"0\" cellpadding=\"3\"><tr><th "
                           "align=\"left\">Esercizio</th>");
        QString detto;
        for (int l = 1; l <= n_livelli; ++l)
            t += QStringLiteral("<th>&nbsp;Livello %1&nbsp;</th>").arg(l);
        t += "</tr>";
        for (Tipo tipo : tipi) {
            const QString nome = QString::fromUtf8(nome_tipo(tipo));
            t += "<tr><td>" + nome.toHtmlEscaped() + "</td>";
            detto += nome + ":";
            for (int l = 1; l <= n_livelli; ++l) {
                const int n = stelle_migliori(esiti, classe, l, tipo);
                t += "<td align=\"center\">" + stelle_html(n) + "</td>";
                detto += QStringLiteral(" livello %1 %2;").arg(l).arg(stelle_dette(n));
            }
            t += "</tr>";
            detto += " ";
        }
        c.tabella->setText(t + "</table>");
        c.tabella->setAccessibleName(QStringLiteral("Le stelle in %1").arg(nome_c));
        c.tabella->setAccessibleDescription(detto.trimmed());
    }
    c.giocatore->setAccessibleName(
        QTextDocumentFragment::fromHtml(c.giocatore->text()).toPlainText());
    c.progressi->show();
}

} // namespace contavoce
