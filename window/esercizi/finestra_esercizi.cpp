// SPDX-License-Identifier: GPL-3.0-or-later
// The window made and a round played: a question shown and said, the answer
// checked, praise or a hint, the right answer after a second miss, the end.
#include "window/esercizi/finestra_esercizi.h"

#include "window/voce_cifre.h"

#include <QCloseEvent>
#include <QTextDocumentFragment>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

namespace contavoce {
namespace {

const QColor verde(0x00, 0x5a, 0x00); // 8:1 on the window's cream, like the red
const QColor rosso(0xa0, 0x00, 0x00);

QString html(std::string_view testo) {
    return QString::fromUtf8(testo.data(), qsizetype(testo.size())).toHtmlEscaped();
}

QString colorato(const QString& html_, const QColor& c, bool sottolineato = false) {
    return QStringLiteral("<span style=\"color:%1;%2\">%3</span>")
        .arg(c.name(), sottolineato ? " text-decoration:underline;" : "", html_);
}

// `testo` with the bytes marked in `segnati` (each a whole character) in red,
// underlined.
QString segna(const std::string& testo, const std::vector<bool>& segnati) {
    QString fuori;
    std::size_t i = 0;
    while (i < testo.size()) {
        const bool s = i < segnati.size() && segnati[i];
        std::size_t j = i + 1;
        while (j < testo.size() && (j < segnati.size() && segnati[j]) == s)
            ++j;
        const QString pezzo = html(std::string_view(testo).substr(i, j - i));
        fuori += s ? QStringLiteral("<b>") + colorato(pezzo, rosso, true) + "</b>" : pezzo;
        i = j;
    }
    return fuori;
}

} // namespace

FinestraEsercizi::FinestraEsercizi(VoceCifre& principale, platform::Suono& suono,
                                   std::string cartella)
    : QWidget(&principale, Qt::Window), principale_(principale), voce_(suono, std::move(cartella)) {
    setObjectName("esercizi");
    setWindowTitle("Contavoce – Esercizi");
    setWindowIcon(principale.windowIcon());
    // The main window waits while the child practises: one voice, one round.
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Dark text on a light cream, 7:1 and more for every text of the window.
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xff, 0xfb, 0xea));
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Button, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::ButtonText, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);
    controlli_ = crea_controlli_esercizi(*this);
    collega();
    collega_tasti();
    accessibile();
    aggiorna_livelli();
    mostra_chi();
    setFixedSize(larghezza_esercizi / twip_per_pixel, altezza_esercizi / twip_per_pixel);
    imposta_zoom(principale_.zoom());
    connect(&principale_, &VoceCifre::zoom_cambiato, this, &FinestraEsercizi::imposta_zoom);
}

FinestraEsercizi::~FinestraEsercizi() = default;

void FinestraEsercizi::collega() {
    const ControlliEsercizi& c = controlli_;
    connect(c.classe, &QComboBox::currentIndexChanged, this, [this] {
        aggiorna_livelli();
        mostra_progressi();
    });
    connect(c.tipo, &QComboBox::currentIndexChanged, this, [this] {
        if (!proponendo_) {
            proponi();
            mostra_progressi();
        }
    });
    connect(c.gioca, &QPushButton::clicked, this, [this] { Gioca_Click(); });
    connect(c.bambini, &QListWidget::itemActivated, this, [this] { Gioca_Click(); });
    connect(c.ospite, &QPushButton::clicked, this, [this] { Ospite_Click(); });
    connect(c.aggiungi, &QPushButton::clicked, this, [this] { Aggiungi_Click(); });
    connect(c.nuovo, &QLineEdit::returnPressed, this, [this] { Aggiungi_Click(); });
    connect(c.cambia, &QPushButton::clicked, this, [this] { mostra_chi(); });
    connect(c.lezione, &QPushButton::clicked, this, [this] { Lezione_Click(); });
    connect(c.inizia, &QPushButton::clicked, this, [this] { Inizia_Click(); });
    connect(c.ripeti, &QPushButton::clicked, this, [this] { Ripeti_Click(); });
    connect(c.rifai, &QPushButton::clicked, this, [this] { Rifai_Click(); });
    connect(c.ancora, &QPushButton::clicked, this, [this] { Inizia_Click(); });
    connect(c.risposta, &QLineEdit::returnPressed, this,
            [this] { controlla(controlli_.risposta->text()); });
    connect(c.silenzio, &QCheckBox::toggled, this, [this](bool acceso) {
        imposta_silenzio(acceso);
        emit silenzio_cambiato(acceso);
    });
    connect(c.scolastica, &QCheckBox::toggled, this, [this](bool acceso) {
        const Grafia g = acceso ? Grafia::scolastica : Grafia::originale;
        principale_.imposta_grafia(g);
        emit grafia_cambiata(g);
    });
    for (QPushButton* t : c.tasti)
        connect(t, &QPushButton::clicked, this, [this, t] { premi_tasto(*t); });
    for (QPushButton* t : c.tasti_scelta)
        connect(t, &QPushButton::clicked, this,
                [this, t] { controlla(t->property("sigla").toString()); });
}

void FinestraEsercizi::aggiorna_livelli() {
    QComboBox& l = *controlli_.livello;
    const int scelto = std::max(l.currentIndex(), 0);
    l.clear();
    for (int n = 1; n <= n_livelli; ++n) {
        const Livello* v = trova_livello(Classe(controlli_.classe->currentIndex()), n);
        l.addItem(QStringLiteral("%1: %2").arg(n).arg(QString::fromUtf8(v ? v->descrizione : "")));
    }
    l.setCurrentIndex(scelto);
}

void FinestraEsercizi::imposta_silenzio(bool silenzio) {
    silenzio_ = silenzio;
    if (controlli_.silenzio->isChecked() != silenzio)
        controlli_.silenzio->setChecked(silenzio); // emits, and comes back here once
    if (!isVisible())
        return;
    // No music in the quiet mode; the tune the child had playing comes back after.
    if (silenzio && principale_.musica_suona()) {
        principale_.musica_in_silenzio(true);
        musica_fermata_ = true;
    } else if (!silenzio && musica_fermata_) {
        principale_.musica_in_silenzio(false);
        musica_fermata_ = false;
    }
}

void FinestraEsercizi::imposta_grafia(Grafia grafia) {
    const QSignalBlocker zitto(controlli_.scolastica);
    controlli_.scolastica->setChecked(grafia == Grafia::scolastica);
}

void FinestraEsercizi::apri_lezione(const Lezione& lezione) {
    // One made in a program rather than read from a file may not hold.
    if (const auto perche = controlla_lezione(lezione)) {
        controlli_.esito->setText(colorato(html(*perche), rosso));
        return;
    }
    lezione_ = lezione;
    controlli_.classe->setCurrentIndex(int(lezione.classe));
    controlli_.livello->setCurrentIndex(lezione.livello - 1);
    controlli_.tipo->setCurrentIndex(
        int(std::find(tipi.begin(), tipi.end(), lezione.tipi.front()) - tipi.begin()));
    // For this lesson only: the spelling the teacher keeps is the command line's.
    if (lezione.grafia)
        imposta_grafia(*lezione.grafia);
    setWindowTitle(lezione.titolo.empty() ? QStringLiteral("Contavoce – Esercizi")
                                          : QStringLiteral("Contavoce – Esercizi – ") +
                                                QString::fromUtf8(lezione.titolo));
    // Each child says who they are first, then gets the lesson's round.
    if (diario_.scelto())
        Inizia_Click();
    else
        mostra_chi();
}

void FinestraEsercizi::Inizia_Click() {
    Impostazioni i;
    i.classe = Classe(controlli_.classe->currentIndex());
    i.livello = controlli_.livello->currentIndex() + 1;
    i.tipo = tipi[std::size_t(controlli_.tipo->currentIndex())];
    i.domande = std::size_t(controlli_.domande->currentData().toInt());
    i.seme = seme_ ? *seme_ : seme_casuale();
    i.grafia = controlli_.scolastica->isChecked() ? Grafia::scolastica : Grafia::originale;
    // Another class year, level or kind chosen: the child's own round.
    if (lezione_ && (lezione_->classe != i.classe || lezione_->livello != i.livello ||
                     lezione_->tipi.front() != i.tipo)) {
        lezione_.reset();
        setWindowTitle("Contavoce – Esercizi");
    }
    if (lezione_)
        i = impostazioni_lezione(*lezione_, i.grafia);
    try {
        giro_.emplace(i);
    } catch (const std::exception& e) {
        controlli_.esito->setText(colorato(html(e.what()), rosso));
        return;
    }
    impostazioni_ = i;
    diario_.inizia_giro(i, giro_->totale(),
                        lezione_ ? (lezione_->titolo.empty() ? "lezione" : lezione_->titolo)
                                 : std::string());
    mostra_domanda();
}

void FinestraEsercizi::mostra_domanda() {
    const ControlliEsercizi& c = controlli_;
    const Domanda& d = giro_->domanda();
    in_attesa_ = false;
    c.fine->hide();
    c.progressi->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{c.consegna, c.testo, c.risposta, c.ripeti,
                                                      c.esito, c.puntini})
        w->show();
    c.puntini->imposta(giro_->stati(), giro_->indice());
    c.consegna->setText(QString::fromUtf8(d.consegna));
    if (d.testo.empty()) {
        c.testo->setText(QStringLiteral("? ? ?"));
    } else if (d.segnata_a > d.segnata_da && d.segnata_a <= d.testo.size()) {
        const std::string_view t(d.testo);
        c.testo->setText(
            html(t.substr(0, d.segnata_da)) + "<b>" +
            colorato(html(t.substr(d.segnata_da, d.segnata_a - d.segnata_da)), rosso, true) +
            "</b>" + html(t.substr(d.segnata_a)));
    } else {
        c.testo->setText(html(d.testo));
    }
    c.testo->setAccessibleName(d.testo.empty() ? QStringLiteral("Ascolta: premi Ripeti")
                                               : QString::fromUtf8(d.testo));
    c.esito->clear();
    c.esito->setAccessibleName({});
    c.risposta->clear();
    c.risposta->setReadOnly(false);
    c.risposta->setAccessibleDescription(QString::fromUtf8(d.consegna));
    c.tastierino->setVisible(d.risposta == Risposta::cifre);
    c.lettere->setVisible(d.risposta == Risposta::lettere);
    c.scelte->setVisible(d.risposta == Risposta::scelta);
    for (std::size_t i = 0; i < c.tasti_scelta.size(); ++i) {
        QPushButton* b = c.tasti_scelta[i];
        if (d.risposta == Risposta::scelta && i < d.scelte.size()) {
            b->setText(QString::fromUtf8(d.scelte[i].sigla));
            b->setProperty("sigla", QString::fromUtf8(d.scelte[i].sigla));
            b->setAccessibleName(QString::fromUtf8(d.scelte[i].nome));
            b->show();
        } else {
            b->hide();
        }
    }
    if (d.risposta == Risposta::scelta) {
        disponi_scelte(c, d.scelte.size());
        disponi();
    }
    c.risposta->setFocus(Qt::OtherFocusReason);
    diario_.domanda_mostrata();
    di_domanda();
}

void FinestraEsercizi::di_domanda() {
    const Domanda& d = giro_->domanda();
    voce_.di(voce_.clip_di(d.da_dire, d.lettura));
}

void FinestraEsercizi::Ripeti_Click() {
    if (giro_ && !giro_->finito() && !in_attesa_)
        di_domanda();
    controlli_.risposta->setFocus(Qt::OtherFocusReason);
}

void FinestraEsercizi::premi_tasto(const QPushButton& tasto) {
    QLineEdit& r = *controlli_.risposta;
    const QString azione = tasto.property("azione").toString();
    if (azione == "ok")
        controlla(r.text());
    else if (azione == "cancella")
        r.backspace();
    else if (!r.isReadOnly())
        r.insert(tasto.property("inserisce").toString());
}

void FinestraEsercizi::controlla(const QString& risposta) {
    if (!giro_ || giro_->finito() || in_attesa_)
        return;
    const std::string data = risposta.toStdString();
    const int tentativo = giro_->stati()[giro_->indice()] == Stato::riprova ? 2 : 1;
    const Verifica v = giro_->rispondi(data);
    const Domanda& d = giro_->domanda();
    // Kept before the child sees the verdict: a program killed now has it.
    if (v.esito != Esito::vuota)
        diario_.risposta(d, giro_->indice(), data, v.giusta, tentativo);
    const ControlliEsercizi& c = controlli_;
    c.puntini->imposta(giro_->stati(), giro_->indice());
    QString testo;
    switch (v.esito) {
    case Esito::vuota:
        return;
    case Esito::giusta: {
        in_attesa_ = true;
        c.risposta->setReadOnly(true);
        const char* lode = giro_->lode();
        testo = "<b>" + colorato(QString::fromUtf8(testo_lode(lode)), verde) + "</b>";
        const char* effetto = effetti_++ % 2 ? "uccello" : "gallo";
        voce_.di({voce_.effetto(effetto, silenzio_), voce_.clip(lode)},
                 [this] { QTimer::singleShot(300, this, [this] { avanti(); }); });
        break;
    }
    case Esito::riprova: {
        std::vector<bool> segnati(data.size(), false);
        for (std::size_t k : v.cifre_sbagliate)
            if (k < segnati.size())
                segnati[k] = true;
        std::string mostrato = data;
        if (v.gruppo_sbagliato) {
            auto [da, a] = *v.gruppo_sbagliato;
            a = std::min(a, data.size());
            if (a == da) { // what is missing is at the end
                mostrato += " …";
                segnati.resize(mostrato.size(), false);
                a = mostrato.size();
                da = data.size();
            }
            for (std::size_t k = da; k < a; ++k)
                segnati[k] = true;
        }
        if (v.mancano) {
            // A mark the child sees for each digit still to type.
            mostrato += std::string(v.mancano, '?');
            segnati.resize(mostrato.size(), true);
        }
        testo = "<b>" + colorato("Riprova.", rosso) + "</b> " + html(v.messaggio);
        if (!mostrato.empty())
            testo += "<br>" + segna(mostrato, segnati);
        c.risposta->selectAll();
        voce_.di({voce_.clip(clip_esercizi::riprova)});
        break;
    }
    case Esito::sbagliata: {
        in_attesa_ = true;
        c.risposta->setReadOnly(true);
        testo = html(d.clip_attesa == std::string_view(clip_esercizi::il_numero_era)
                         ? "Il numero era "
                         : "La risposta era ") +
                "<b>" + colorato(html(d.attesa), verde) + "</b>";
        std::vector<std::string> clip{voce_.clip(d.clip_attesa)};
        const auto detta = voce_.clip_di(d.attesa_detta, d.lettura);
        clip.insert(clip.end(), detta.begin(), detta.end());
        // Time to read it before the next question comes.
        voce_.di(clip, [this] { QTimer::singleShot(1500, this, [this] { avanti(); }); });
        break;
    }
    }
    if (const QString a = avviso_registro(); !a.isEmpty())
        testo += "<br>" + colorato(a.toHtmlEscaped(), rosso);
    c.esito->setText(testo);
    c.esito->setAccessibleName(QTextDocumentFragment::fromHtml(testo).toPlainText());
}

void FinestraEsercizi::avanti() {
    if (!giro_ || !in_attesa_)
        return;
    if (giro_->prossima())
        mostra_domanda();
    else
        mostra_fine();
}

void FinestraEsercizi::mostra_fine() {
    const ControlliEsercizi& c = controlli_;
    in_attesa_ = false;
    for (QWidget* w : std::initializer_list<QWidget*>{c.consegna, c.testo, c.risposta, c.ripeti,
                                                      c.esito, c.tastierino, c.lettere, c.scelte})
        w->hide();
    c.puntini->imposta(giro_->stati(), giro_->totale());
    diario_.fine_giro(giro_->giuste(), giro_->stelle());
    const int n = giro_->stelle();
    c.stelle->setText(colorato(QString(n, QChar(0x2605)), QColor(0x8a, 0x5a, 0x00)) +
                      colorato(QString(3 - n, QChar(0x2606)), QColor(0x50, 0x50, 0x50)));
    c.stelle->setAccessibleName(n == 1 ? QStringLiteral("Una stella su tre")
                                       : QStringLiteral("%1 stelle su tre").arg(n));
    c.punteggio->setText(
        QStringLiteral("%1 giuste su %2").arg(giro_->giuste()).arg(giro_->totale()));
    c.errori->clear();
    const auto errori = giro_->errori();
    for (const Errore& e : errori) {
        const Domanda& d = e.domanda;
        const std::string domanda = d.testo.empty() ? d.consegna : d.testo;
        c.errori->addItem(
            QString::fromUtf8(domanda) + QStringLiteral("  →  ") + QString::fromUtf8(d.attesa) +
            (e.data.empty()
                 ? QString()
                 : QStringLiteral("   (avevi scritto: %1)").arg(QString::fromUtf8(e.data))));
    }
    if (errori.empty())
        c.errori->addItem("Nessun errore!");
    c.rifai->setEnabled(!errori.empty());
    c.fine->show();
    (errori.empty() ? c.ancora : c.rifai)->setFocus(Qt::OtherFocusReason);
    voce_.di({voce_.effetto("inizio", silenzio_)});
}

void FinestraEsercizi::Rifai_Click() {
    if (!giro_ || !giro_->finito())
        return;
    if (auto di_nuovo = giro_->rifai_errori()) {
        giro_.emplace(std::move(*di_nuovo));
        diario_.inizia_giro(impostazioni_, giro_->totale(), "Rifai gli errori", false);
        mostra_domanda();
    }
}

void FinestraEsercizi::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    imposta_silenzio(silenzio_);
}

void FinestraEsercizi::closeEvent(QCloseEvent* evento) {
    voce_.ferma();
    in_attesa_ = false;
    // The next child at this computer says who they are.
    diario_.lascia();
    mostra_chi();
    if (musica_fermata_) {
        principale_.musica_in_silenzio(false);
        musica_fermata_ = false;
    }
    evento->accept();
    principale_.activateWindow();
}

} // namespace contavoce
