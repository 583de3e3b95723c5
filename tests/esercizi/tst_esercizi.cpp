// SPDX-License-Identifier: GPL-3.0-or-later
// The practice's logic over every level and kind: what is drawn, the
// questions made of it, the checking of typed answers and a round's score.
#include "esercizi/esercizi.h"
#include "esercizi/lezione.h"
#include "esercizi/progressi.h"
#include "spelling/decimale.h"

#include <QtTest>
#include <set>

using namespace contavoce;

Q_DECLARE_METATYPE(contavoce::Tipo)

namespace {

// A number's value in units of the level's last decimal place.
std::uint64_t in_unita(const Decimale& n, int decimali) {
    std::uint64_t v = 0;
    for (const char c : n.intera + n.decimali)
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    for (std::size_t k = n.decimali.size(); k < static_cast<std::size_t>(decimali); ++k)
        v *= 10;
    return v;
}

Decimale dec(const char* testo) {
    return leggi_decimale(testo).numero;
}

std::string gruppo(const std::string& testo, const Verifica& v) {
    if (!v.gruppo_sbagliato)
        return "(nessuno)";
    return testo.substr(v.gruppo_sbagliato->first,
                        v.gruppo_sbagliato->second - v.gruppo_sbagliato->first);
}

std::string segnate(const std::string& testo, const Verifica& v) {
    std::string s;
    for (const std::size_t i : v.cifre_sbagliate)
        s += testo[i];
    return s;
}

Impostazioni impostazioni(const Livello& l, Tipo tipo, std::uint64_t seme, std::size_t n = 10) {
    Impostazioni imp;
    imp.classe = l.classe;
    imp.livello = l.livello;
    imp.tipo = tipo;
    imp.seme = seme;
    imp.domande = n;
    return imp;
}

} // namespace

class TstEsercizi : public QObject {
    Q_OBJECT

private slots:
    void estrazione_data();
    void estrazione();
    void seme_fisso_su_ogni_piattaforma();
    void domande_data();
    void domande();
    void controllo_data();
    void controllo();
    void giro();
    void stelle_data();
    void stelle();
    void impostazioni_sbagliate();
    void prossimo_passo_data();
    void prossimo_passo();
    void giro_di_piu_tipi();
    void lezioni_data();
    void lezioni();
    void file_di_lezione();
};

void TstEsercizi::estrazione_data() {
    QTest::addColumn<int>("indice");
    for (std::size_t i = 0; i < livelli.size(); ++i)
        QTest::addRow("%s %d", nome_classe(livelli[i].classe), livelli[i].livello) << int(i);
}

// Over many seeds: inside the range, decimals as read (none ending in 0), no
// repeats, the zeros' share; the same seed the same numbers.
void TstEsercizi::estrazione() {
    QFETCH(int, indice);
    const Livello& l = livelli[static_cast<std::size_t>(indice)];
    QCOMPARE(trova_livello(l.classe, l.livello), &l);
    for (std::uint64_t seme = 0; seme < 40; ++seme) {
        for (const std::size_t quanti : {std::size_t{5}, std::size_t{10}, std::size_t{20}}) {
            Generatore gen(seme);
            const std::vector<Decimale> numeri = estrai_numeri(l, quanti, gen);
            const std::size_t nel_livello =
                l.decimali == 0 ? std::min<std::uint64_t>(quanti, l.massimo - l.minimo + 1)
                                : quanti;
            QCOMPARE(numeri.size(), nel_livello);
            std::set<std::uint64_t> visti;
            std::size_t con_zeri = 0, segnaposto = 0;
            for (const Decimale& n : numeri) {
                QVERIFY2(n.decimali.size() <= static_cast<std::size_t>(l.decimali),
                         n.intera.c_str());
                QVERIFY(l.decimali == 0 || (!n.decimali.empty() && n.decimali.back() != '0'));
                QVERIFY(n.intera == "0" || n.intera.front() != '0');
                const std::uint64_t v = in_unita(n, l.decimali);
                QVERIFY2(v >= l.minimo && v <= l.massimo, decimale_raggruppato(n).c_str());
                QVERIFY2(visti.insert(v).second, decimale_raggruppato(n).c_str());
                con_zeri += ha_zeri_dentro(n);
                segnaposto +=
                    n.intera != "0" && (n.intera + n.decimali).find('0') != std::string::npos;
            }
            const std::size_t voluti = l.zeri == Zeri::tutti      ? quanti
                                       : l.zeri == Zeri::un_terzo ? (quanti + 2) / 3
                                                                  : 0;
            // 0–100 has no zero between two digits: the zero holding a place stands in.
            const bool nessuno_possibile = l.massimo <= 100 && l.decimali == 0;
            QVERIFY2((nessuno_possibile ? segnaposto : con_zeri) >= voluti,
                     qPrintable(QString("seme %1: %2 di %3").arg(seme).arg(con_zeri).arg(quanti)));
            Generatore ancora(seme);
            const std::vector<Decimale> di_nuovo = estrai_numeri(l, quanti, ancora);
            for (std::size_t i = 0; i < numeri.size(); ++i)
                QCOMPARE(di_nuovo[i].intera + ',' + di_nuovo[i].decimali,
                         numeri[i].intera + ',' + numeri[i].decimali);
        }
    }
}

// A teacher's seed gives the same round everywhere, the browser build
// included: the reduction is the library's own, not a distribution's.
void TstEsercizi::seme_fisso_su_ogni_piattaforma() {
    Generatore gen(2024);
    std::vector<std::uint64_t> visti;
    for (int i = 0; i < 6; ++i)
        visti.push_back(gen.entro(1000));
    visti.push_back(gen.tra(1'000'000'000, 999'999'999'999));
    const std::vector<std::uint64_t> attesi = {974, 969, 181, 714, 12, 877, 904523835416};
    QCOMPARE(visti, attesi);
    Impostazioni imp = impostazioni(*trova_livello(Classe::terza, 3), Tipo::ascolta, 7);
    QCOMPARE(QString::fromStdString(prepara_domande(imp).front().attesa), QStringLiteral("8.081"));
}

void TstEsercizi::domande_data() {
    QTest::addColumn<int>("indice");
    QTest::addColumn<Tipo>("tipo");
    for (std::size_t i = 0; i < livelli.size(); ++i)
        for (const Tipo t : tipi)
            QTest::addRow("%s %d %s", nome_classe(livelli[i].classe), livelli[i].livello,
                          chiave_tipo(t))
                << int(i) << t;
}

// Every question of every level and kind: its own right answer is right,
// the shown text carries the number, the kind's arithmetic holds, and the
// same seed makes the same round.
void TstEsercizi::domande() {
    QFETCH(int, indice);
    QFETCH(Tipo, tipo);
    const Livello& l = livelli[static_cast<std::size_t>(indice)];
    for (std::uint64_t seme = 0; seme < 8; ++seme) {
        const Impostazioni imp = impostazioni(l, tipo, seme, 20);
        const std::vector<Domanda> round = prepara_domande(imp);
        QVERIFY(!round.empty());
        std::set<std::string> numeri;
        std::size_t dopo = 0, prima = 0, attraverso = 0;
        for (const Domanda& d : round) {
            const std::string mostrato = decimale_raggruppato(d.numero).empty()
                                             ? std::string("0")
                                             : decimale_raggruppato(d.numero);
            QVERIFY2(numeri.insert(mostrato).second, mostrato.c_str());
            QVERIFY(!d.consegna.empty());
            QVERIFY(!d.da_dire.empty() && !d.attesa_detta.empty());
            const Verifica v = controlla(d, d.attesa);
            QVERIFY2(v.giusta && v.esito == Esito::giusta, (d.testo + " / " + d.attesa).c_str());
            if (d.risposta == Risposta::scelta) {
                QVERIFY(!d.scelte.empty());
                for (const Scelta& s : d.scelte)
                    QCOMPARE(controlla(d, s.sigla).giusta, s.sigla == d.attesa);
            }
            switch (tipo) {
            case Tipo::ascolta:
                QVERIFY(d.testo.empty()); // said only, never shown
                break;
            case Tipo::cifre:
                QCOMPARE(d.testo, decimale_in_lettere(d.numero, d.grafia, d.lettura).empty()
                                      ? std::string("zero")
                                      : decimale_in_lettere(d.numero, d.grafia, d.lettura));
                break;
            case Tipo::lettere:
                QCOMPARE(d.testo, mostrato);
                break;
            case Tipo::valore: {
                QCOMPARE(d.testo, mostrato);
                QCOMPARE(d.segnata_a, d.segnata_da + 1);
                const char c = d.testo[d.segnata_da];
                QVERIFY(c >= '0' && c <= '9');
                // The marked digit's place, counted in the number shown.
                std::size_t virgola = d.testo.find(',');
                int posto = 0;
                if (virgola != std::string::npos && d.segnata_da > virgola)
                    posto = -int(d.segnata_da - virgola);
                else
                    for (std::size_t i = d.segnata_da;
                         i < (virgola == std::string::npos ? d.testo.size() : virgola); ++i)
                        posto += d.testo[i] != '.';
                if (d.risposta == Risposta::scelta) {
                    QCOMPARE(d.attesa, std::string(sigla_posto(posto)));
                } else {
                    const Decimale atteso =
                        posto > 0 ? Decimale{std::string(1, c) + std::string(posto - 1, '0'), {}}
                                  : Decimale{"0", std::string(-posto - 1, '0') + c};
                    QCOMPARE(decimale_raggruppato(d.valore_atteso), decimale_raggruppato(atteso));
                }
                break;
            }
            case Tipo::componi: {
                // Adding up the parts as written gives the number; no zero part.
                std::uint64_t somma = 0;
                std::string t = d.testo;
                for (std::size_t at = 0; at < t.size();) {
                    const std::size_t fine = t.find_first_not_of("0123456789", at);
                    const int cifra = std::stoi(t.substr(at, fine - at));
                    QVERIFY(cifra > 0 || d.valore_atteso.intera == "0");
                    std::size_t dopo_nome = t.find_first_of("0123456789", fine);
                    std::string nome =
                        t.substr(fine + 1, dopo_nome == std::string::npos ? std::string::npos
                                                                          : dopo_nome - fine - 1);
                    for (const char* coda : {", ", " e "})
                        if (nome.size() > 3 && nome.ends_with(coda))
                            nome.resize(nome.size() - 3 + (std::string(coda) == ", "));
                    while (!nome.empty() && (nome.back() == ' ' || nome.back() == ','))
                        nome.pop_back();
                    int posto = 0;
                    for (int p = -3; p <= 12; ++p)
                        if (p != 0 && (nome == nome_posto(p) || nome == nome_posto_singolare(p)))
                            posto = p;
                    QVERIFY2(posto != 0, nome.c_str());
                    if (std::string(nome_posto(posto)) != nome_posto_singolare(posto)) // unità
                        QCOMPARE(cifra == 1, nome == nome_posto_singolare(posto));
                    std::uint64_t u = static_cast<std::uint64_t>(cifra);
                    for (int p = 0; p < (posto > 0 ? posto + 2 : posto + 3); ++p)
                        u *= 10;
                    somma += u;
                    at = dopo_nome == std::string::npos ? t.size() : dopo_nome;
                }
                QCOMPARE(somma, in_unita(d.numero, 3));
                break;
            }
            case Tipo::prima_dopo: {
                const std::uint64_t a = in_unita(d.numero, 3), s = in_unita(d.secondo, 3),
                                    r = in_unita(d.valore_atteso, 3);
                QVERIFY(r == a + s || r + s == a);
                (r > a ? dopo : prima)++;
                // A carry or a borrow at the step's place: 2.399 + 1, 3.045 - 100.
                const std::uint64_t cifra = (a / s) % 10;
                attraverso += r > a ? cifra == 9 : cifra == 0;
                break;
            }
            case Tipo::confronta: {
                const std::uint64_t a = in_unita(d.numero, 3), b = in_unita(d.secondo, 3);
                QCOMPARE(d.attesa, std::string(a < b ? "<" : a > b ? ">" : "="));
                const std::uint64_t bl = in_unita(d.secondo, l.decimali);
                QVERIFY(bl >= l.minimo && bl <= l.massimo);
                break;
            }
            }
        }
        if (tipo == Tipo::prima_dopo) {
            QVERIFY2(dopo > 0 && prima > 0, "before and after both in a round");
            // Crossing is what the exercise is for; prima's small numbers seldom can.
            if (l.classe != Classe::prima)
                QVERIFY2(attraverso * 5 >= round.size(),
                         qPrintable(QString("%1 of %2 cross").arg(attraverso).arg(round.size())));
        }
        const std::vector<Domanda> di_nuovo = prepara_domande(imp);
        QCOMPARE(di_nuovo.size(), round.size());
        for (std::size_t i = 0; i < round.size(); ++i) {
            QCOMPARE(di_nuovo[i].testo, round[i].testo);
            QCOMPARE(di_nuovo[i].attesa, round[i].attesa);
        }
    }
}

void TstEsercizi::controllo_data() {
    QTest::addColumn<Tipo>("tipo");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("risposta");
    QTest::addColumn<bool>("giusta");
    // The digits marked, or the group marked; the hint's beginning.
    QTest::addColumn<QString>("segnato");
    QTest::addColumn<QString>("messaggio");
    const auto riga = [](const char* nome, Tipo t, const char* n, const char* r, bool g,
                         const char* s = "", const char* m = "") {
        QTest::newRow(nome) << t << QString(n) << QString::fromUtf8(r) << g << QString::fromUtf8(s)
                            << QString::fromUtf8(m);
    };
    const Tipo A = Tipo::ascolta, L = Tipo::lettere;
    riga("cifre raggruppate", A, "2304", "2.304", true);
    riga("cifre con blanco", A, "2304", " 2 304 ", true);
    riga("cifre semplici", A, "2304", "2304", true);
    riga("zeri in testa", A, "2304", "02304", true);
    riga("due cifre scambiate", A, "2304", "2.034", false, "03", "Guarda le cifre segnate");
    riga("zero in testa non segnato", A, "2304", "02034", false, "03", "Guarda le cifre");
    riga("una cifra in meno", A, "2304", "234", false, "23", "Manca una cifra");
    riga("una cifra in più", A, "2304", "23.040", false, "23040", "Ci sono cifre in più");
    riga("gruppo sbagliato", A, "2304", "2.30.4", false, ".", "Il punto separa");
    riga("punto per virgola", A, "3,05", "3.05", false, ".", "Per i decimali");
    riga("lettere per cifre", A, "2304", "duemila", false, "d", "Scrivi il numero solo");
    riga("decimali come detti", A, "3,5", "3,50", false, "0", "Ci sono cifre in più");
    riga("decimale sbagliato", A, "3,05", "3,5", false, "5", "Manca una cifra");
    riga("decimale giusto", A, "1234,567", "1 234,567", true);
    riga("ventitre", L, "23", "ventitre", true);
    riga("ventitré", L, "23", "ventitré", true);
    riga("maiuscole e trattini", L, "23", "VENTI-TRÉ", true);
    riga("grafie mescolate", L, "1003,023", "milletré virgola zero ventitre", true);
    riga("trè non è tré", L, "23", "ventitrè", false, "ventitrè", "Controlla la parte segnata");
    riga("un milione staccato", L, "1000000", "un milione", true);
    riga("unmilione", L, "1000000", "unmilione", true);
    riga("milione e", L, "1200000", "un milione e duecentomila", true);
    riga("milione senza e", L, "1200000", "un milione duecentomila", true);
    riga("e non dopo mila", L, "2300", "duemila e trecento", false, "e trecento");
    riga("blanchi dentro", L, "2304", "duemila trecento quattro", true);
    riga("primo gruppo sbagliato", L, "2304", "duemila trecento quatro", false, "trecento quatro",
         "Controlla la parte segnata");
    riga("gruppo delle migliaia", L, "2304", "tremilatrecentoquattro", false, "tremila");
    riga("manca la fine", L, "2304", "duemila", false, "", "Manca qualcosa alla fine");
    riga("qualcosa in più", L, "2304", "duemilatrecentoquattro uno", false, "uno",
         "C'è qualcosa in più");
    riga("gruppo dei milioni", L, "1001001001", "un miliardo un milone milleuno", false,
         "un milone");
    riga("cifre per lettere", L, "23", "23", false, "", "Scrivi il numero in lettere");
    riga("zero", L, "0", "Zero", true);
    riga("virgola", L, "3,05", "tre virgola zero cinque", true);
    riga("posti", L, "3,05", "tre unità e cinque centesimi", true);
    riga("posti, un'unità", L, "1,5", "un’unità e cinque decimi", true);
    riga("posti senza apostrofo", L, "1,5", "un unità e cinque decimi", true);
    riga("decimali sbagliati", L, "3,05", "tre virgola cinque", false, "virgola cinque");
    riga("unità senza accento", L, "3,05", "tre unita e cinque centesimi", false,
         "unita e cinque centesimi");
}

// Typed answers as a child types them: the leniency, both spellings and
// readings, and what the hint marks.
void TstEsercizi::controllo() {
    QFETCH(Tipo, tipo);
    QFETCH(QString, numero);
    QFETCH(QString, risposta);
    QFETCH(bool, giusta);
    QFETCH(QString, segnato);
    QFETCH(QString, messaggio);
    const Livello& l = *trova_livello(Classe::quinta, 3);
    Generatore gen(1);
    const Domanda d = fai_domanda(tipo, dec(numero.toUtf8().constData()), l, gen);
    const std::string r = risposta.toStdString();
    const Verifica v = controlla(d, r);
    QCOMPARE(v.giusta, giusta);
    QCOMPARE(v.esito, giusta ? Esito::giusta : Esito::riprova);
    if (giusta) {
        QVERIFY(v.messaggio.empty());
        return;
    }
    QVERIFY2(QString::fromStdString(v.messaggio).startsWith(messaggio), v.messaggio.c_str());
    if (tipo == Tipo::lettere) {
        if (!segnato.isEmpty() || v.gruppo_sbagliato)
            QCOMPARE(QString::fromStdString(gruppo(r, v)), segnato);
    } else {
        QCOMPARE(QString::fromStdString(segnate(r, v)), segnato);
    }
}

// A round: right, right at the second try, wrong twice, an empty answer
// that counts nothing; the missed ones and their round again.
void TstEsercizi::giro() {
    const Livello& l = *trova_livello(Classe::terza, 2);
    Giro giro(impostazioni(l, Tipo::valore, 5, 5));
    QCOMPARE(giro.totale(), std::size_t{5});
    QCOMPARE(giro.stati().front(), Stato::in_corso);

    QVERIFY(!giro.prossima()); // not before an answer
    QCOMPARE(giro.rispondi("  ").esito, Esito::vuota);
    QCOMPARE(giro.stati()[0], Stato::in_corso);
    const std::string primo = giro.domanda().attesa;
    QCOMPARE(giro.rispondi(primo).esito, Esito::giusta);
    QCOMPARE(giro.rispondi("sbagliata").esito, Esito::giusta); // closed: the verdict stays
    const char* lode = giro.lode();
    QVERIFY(giro.prossima());

    // The second: wrong, then right.
    const Domanda& seconda = giro.domanda();
    const std::string sbagliata = seconda.risposta == Risposta::scelta
                                      ? (seconda.attesa == "u" ? "da" : "u")
                                      : seconda.attesa + "1";
    QCOMPARE(giro.rispondi(sbagliata).esito, Esito::riprova);
    QVERIFY(!giro.risposta_chiusa());
    QCOMPARE(giro.rispondi(seconda.attesa).esito, Esito::giusta);
    QVERIFY(giro.lode() != lode); // the praise takes turns
    QCOMPARE(giro.stati()[1], Stato::giusta_al_secondo);
    QVERIFY(giro.prossima());

    // The third and fourth: wrong twice, the right answer told.
    for (int i = 2; i < 4; ++i) {
        const Domanda& d = giro.domanda();
        const std::string no =
            d.risposta == Risposta::scelta ? (d.attesa == "u" ? "da" : "u") : d.attesa + "1";
        QCOMPARE(giro.rispondi(no).esito, Esito::riprova);
        const Verifica v = giro.rispondi(no);
        QCOMPARE(v.esito, Esito::sbagliata);
        QVERIFY2(
            QString::fromStdString(v.messaggio).endsWith(QString::fromStdString(d.attesa) + '.'),
            v.messaggio.c_str());
        QVERIFY(giro.risposta_chiusa());
        QVERIFY(giro.prossima());
    }
    QCOMPARE(giro.rispondi(giro.domanda().attesa).esito, Esito::giusta);
    QVERIFY(!giro.prossima());
    QVERIFY(giro.finito());

    QCOMPARE(giro.giuste(), std::size_t{3});
    QCOMPARE(giro.giuste_al_primo(), std::size_t{2});
    QCOMPARE(giro.stelle(), 2);
    const std::vector<Errore> errori = giro.errori();
    QCOMPARE(errori.size(), std::size_t{2});
    QCOMPARE(errori[0].domanda.testo, giro.domande()[2].testo);
    const std::optional<Giro> ancora = giro.rifai_errori();
    QVERIFY(ancora);
    QCOMPARE(ancora->totale(), std::size_t{2});
    QCOMPARE(ancora->domanda().attesa, giro.domande()[2].attesa);
    QCOMPARE(ancora->stati()[0], Stato::in_corso);
}

void TstEsercizi::stelle_data() {
    QTest::addColumn<int>("giuste");
    QTest::addColumn<int>("totale");
    QTest::addColumn<int>("attese");
    QTest::newRow("10 di 10") << 10 << 10 << 3;
    QTest::newRow("8 di 10") << 8 << 10 << 3;
    QTest::newRow("7 di 10") << 7 << 10 << 2;
    QTest::newRow("5 di 10") << 5 << 10 << 2;
    QTest::newRow("4 di 10") << 4 << 10 << 1;
    QTest::newRow("0 di 10") << 0 << 10 << 1;
    QTest::newRow("4 di 5") << 4 << 5 << 3;
    QTest::newRow("3 di 7") << 3 << 7 << 1;
    QTest::newRow("16 di 20") << 16 << 20 << 3;
}

void TstEsercizi::stelle() {
    QFETCH(int, giuste);
    QFETCH(int, totale);
    QFETCH(int, attese);
    QCOMPARE(contavoce::stelle(std::size_t(giuste), std::size_t(totale)), attese);
}

void TstEsercizi::impostazioni_sbagliate() {
    const Livello& l = *trova_livello(Classe::prima, 1);
    for (const std::size_t n : {std::size_t{4}, std::size_t{21}})
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 prepara_domande(impostazioni(l, Tipo::cifre, 1, n)));
    Impostazioni imp = impostazioni(l, Tipo::cifre, 1);
    imp.livello = 4;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, prepara_domande(imp));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Giro(std::vector<Domanda>{}));
    // prima 1 holds 11 numbers: a round of 20 is as long as the level allows.
    QCOMPARE(prepara_domande(impostazioni(l, Tipo::cifre, 1, 20)).size(), std::size_t{11});
    QCOMPARE(tipo_da_chiave("prima-dopo"), std::optional<Tipo>(Tipo::prima_dopo));
    QCOMPARE(tipo_da_chiave("nessuno"), std::optional<Tipo>());
    QCOMPARE(classe_da_nome("quarta"), std::optional<Classe>(Classe::quarta));
}

void TstEsercizi::prossimo_passo_data() {
    QTest::addColumn<QString>("giri");   // oldest first: "classe livello tipo giuste/totale"
    QTest::addColumn<QString>("atteso"); // for cifre, from where it was last played
    QTest::addColumn<int>("stelle");     // the best there (terza 2 when never played)
    QTest::newRow("passed") << "terza 2 cifre 8/10"
                            << "terza 3 avanti" << 3;
    QTest::newRow("passed with 4 of 5") << "terza 2 cifre 4/5"
                                        << "terza 3 avanti" << 3;
    QTest::newRow("7 of 10 stays") << "terza 2 cifre 7/10"
                                   << "terza 2 resta" << 2;
    QTest::newRow("level 3 to the next year") << "terza 3 cifre 9/10"
                                              << "quarta 1 avanti" << 3;
    QTest::newRow("quinta 3 stays") << "quinta 3 cifre 10/10"
                                    << "quinta 3 resta" << 3;
    QTest::newRow("three bad rounds")
        << "terza 2 cifre 4/10, terza 2 cifre 3/10, terza 2 cifre 2/10"
        << "terza 1 indietro" << 1;
    QTest::newRow("not three in a row")
        << "terza 2 cifre 4/10, terza 2 cifre 5/10, terza 2 cifre 2/10, terza 2 cifre 1/10"
        << "terza 2 resta" << 2;
    QTest::newRow("other kinds and levels between")
        << "terza 2 cifre 3/10, terza 2 ascolta 9/10, terza 2 cifre 3/10, terza 1 cifre 10/10, "
           "terza 2 cifre 4/10"
        << "terza 1 indietro" << 1;
    QTest::newRow("level 1 to the year before")
        << "seconda 1 cifre 1/10, seconda 1 cifre 0/10, seconda 1 cifre 4/10"
        << "prima 3 indietro" << 1;
    QTest::newRow("prima 1 stays") << "prima 1 cifre 0/10, prima 1 cifre 0/10, prima 1 cifre 0/10"
                                   << "prima 1 resta" << 1;
    QTest::newRow("the best round's stars, the latest round's step")
        << "terza 2 cifre 9/10, terza 2 cifre 3/10"
        << "terza 2 resta" << 3;
    QTest::newRow("another kind only") << "terza 2 ascolta 9/10"
                                       << "nessuno" << 0;
}

void TstEsercizi::prossimo_passo() {
    QFETCH(QString, giri);
    QFETCH(QString, atteso);
    QFETCH(int, stelle);
    std::vector<EsitoGiro> esiti;
    for (const QString& g : giri.split(", ")) {
        const QStringList p = g.split(' ');
        QCOMPARE(p.size(), 4);
        EsitoGiro e;
        e.classe = *classe_da_nome(p[0].toStdString());
        e.livello = p[1].toInt();
        e.tipo = *tipo_da_chiave(p[2].toStdString());
        e.giuste = p[3].section('/', 0, 0).toUInt();
        e.totale = p[3].section('/', 1).toUInt();
        esiti.push_back(e);
    }
    const auto passo = contavoce::prossimo_passo(esiti, Tipo::cifre);
    const char* versi[] = {"resta", "avanti", "indietro"};
    const QString visto = passo ? QString("%1 %2 %3")
                                      .arg(nome_classe(passo->classe))
                                      .arg(passo->livello)
                                      .arg(versi[int(passo->verso)])
                                : QString("nessuno");
    QCOMPARE(visto, atteso);
    Classe classe = Classe::terza;
    int livello = 2;
    for (const EsitoGiro& e : esiti)
        if (e.tipo == Tipo::cifre)
            std::tie(classe, livello) = std::pair(e.classe, e.livello);
    QCOMPARE(stelle_migliori(esiti, classe, livello, Tipo::cifre), stelle);
}

// Several kinds take turns over the numbers a single kind would draw; each
// kind's own alternation (the forms of "Che valore ha?") runs over its own
// questions.
void TstEsercizi::giro_di_piu_tipi() {
    Impostazioni imp = impostazioni(*trova_livello(Classe::quarta, 2), Tipo::ascolta, 7, 12);
    const std::vector<Domanda> soli = prepara_domande(imp);
    imp.tipi = {Tipo::valore, Tipo::confronta};
    const std::vector<Domanda> misti = prepara_domande(imp);
    QCOMPARE(misti.size(), soli.size());
    for (std::size_t i = 0; i < misti.size(); ++i) {
        QCOMPARE(misti[i].tipo, imp.tipi[i % 2]);
        QCOMPARE(misti[i].numero.intera, soli[i].numero.intera);
        if (misti[i].tipo == Tipo::valore)
            QCOMPARE(misti[i].risposta, i % 4 == 0 ? Risposta::scelta : Risposta::cifre);
    }
    const std::vector<Domanda> di_nuovo = prepara_domande(imp);
    for (std::size_t i = 0; i < misti.size(); ++i)
        QCOMPARE(di_nuovo[i].testo + di_nuovo[i].attesa, misti[i].testo + misti[i].attesa);
}

namespace {

const char* const lezione_tipo = "formato = 1\n"
                                 "classe = quarta\n"
                                 "livello = 2\n"
                                 "tipi = ascolta, lettere\n"
                                 "domande = 10\n"
                                 "seme = 7\n";

// The lesson above with its line `riga` (from 1) in place of the one there,
// or added after the last.
QByteArray con_riga(int riga, const QByteArray& testo) {
    QList<QByteArray> righe = QByteArray(lezione_tipo).split('\n');
    righe.removeLast();
    if (riga > righe.size())
        righe.append(testo);
    else
        righe[riga - 1] = testo;
    return righe.join('\n') + '\n';
}

} // namespace

void TstEsercizi::lezioni_data() {
    QTest::addColumn<QByteArray>("testo");
    QTest::addColumn<int>("riga"); // of the refusal; 0 for none; -1 accepted
    QTest::addColumn<QString>("motivo");
    const QByteArray tipo(lezione_tipo);
    QTest::newRow("as written") << tipo << -1 << "";
    QTest::newRow("by hand on Windows")
        << QByteArray("\xEF\xBB\xBF# Lezione\r\n\r\n  formato=1 \r\n\tclasse = quarta\r\n"
                      "livello = 2\r\ntipi=ascolta,lettere\r\ndomande = 10\r\nseme = 007")
        << -1 << "";
    QTest::newRow("title and spelling")
        << con_riga(7, "titolo = Le migliaia: 2.304 è più = di 2.034") + "grafia = originale\n"
        << -1 << "";
    QTest::newRow("largest seed") << con_riga(6, "seme = 18446744073709551615") << -1 << "";
    QTest::newRow("longest title")
        << con_riga(7, "titolo = " + QString(60, QChar(0x00e8)).toUtf8()) << -1 << "";
    QTest::newRow("level 4") << con_riga(3, "livello = 4") << 3 << "livello deve essere 1, 2 o 3";
    QTest::newRow("level 2.5") << con_riga(3, "livello = 2.5") << 3 << "livello deve";
    QTest::newRow("4 questions") << con_riga(5, "domande = 4") << 5 << "da 5 a 20";
    QTest::newRow("21 questions") << con_riga(5, "domande = 21") << 5 << "da 5 a 20";
    QTest::newRow("negative seed") << con_riga(6, "seme = -1") << 6 << "seme deve";
    QTest::newRow("seed past 64 bits")
        << con_riga(6, "seme = 18446744073709551616") << 6 << "18446744073709551615";
    QTest::newRow("unknown kind") << con_riga(4, "tipi = ascolta, disegna") << 4
                                  << "«disegna» non è un tipo";
    QTest::newRow("kind twice") << con_riga(4, "tipi = ascolta, lettere, ascolta") << 4
                                << "due volte";
    QTest::newRow("two commas") << con_riga(4, "tipi = ascolta,,lettere") << 4 << "tra due virgole";
    QTest::newRow("no kinds") << con_riga(4, "tipi =") << 4 << "manca l'elenco dei tipi";
    QTest::newRow("class in capitals") << con_riga(2, "classe = Quarta") << 2 << "classe deve";
    QTest::newRow("unknown key") << con_riga(7, "colore = rosso") << 7 << "non è una chiave";
    QTest::newRow("key twice") << con_riga(7, "seme = 8") << 7 << "già alla riga 6";
    QTest::newRow("no seed") << con_riga(6, "# seme = 7") << 0 << "Manca la riga «seme";
    QTest::newRow("no format") << con_riga(1, "") << 0 << "Manca la riga «formato = 1»";
    QTest::newRow("newer format") << "novità = sì\n" + con_riga(1, "formato = 2") << 2
                                  << "più nuovo";
    QTest::newRow("format 0") << con_riga(1, "formato = 0") << 1 << "formato deve essere 1";
    QTest::newRow("no equals sign") << con_riga(2, "classe quarta") << 2 << "manca il segno";
    QTest::newRow("section") << "[lezione]\n" + tipo << 1 << "manca il segno";
    QTest::newRow("no key") << con_riga(7, " = 3") << 7 << "manca la chiave";
    QTest::newRow("NUL") << con_riga(2, QByteArray("classe = quarta\0", 16)) << 2 << "nullo";
    QTest::newRow("Latin-1") << con_riga(7, "titolo = citt\xe0") << 7 << "UTF-8";
    QTest::newRow("overlong slash") << con_riga(7, "titolo = \xc0\xaf") << 7 << "UTF-8";
    QTest::newRow("surrogate") << con_riga(7, "titolo = \xed\xa0\x80") << 7 << "UTF-8";
    QTest::newRow("cut at the end") << tipo + "titolo = \xe2\x82" << 7 << "UTF-8";
    QTest::newRow("terminal escape") << con_riga(7, "titolo = a\x1b[2J") << 7 << "controllo";
    QTest::newRow("long line") << "# " + QByteArray(300, 'x') + "\n" + tipo << 1 << "troppo lunga";
    QTest::newRow("title too long")
        << con_riga(7, "titolo = " + QByteArray(61, 'x')) << 7 << "titolo è troppo lungo";
    QByteArray grande = tipo;
    while (grande.size() <= 4096)
        grande += "# un commento di riempimento\n";
    QTest::newRow("file too big") << grande << 0 << "troppo grande";
}

// What a teacher may write is read, what would mislead is refused with the
// line to mend; whatever is read writes back to the same lesson.
void TstEsercizi::lezioni() {
    QFETCH(QByteArray, testo);
    QFETCH(int, riga);
    QFETCH(QString, motivo);
    const LezioneLetta letta = leggi_lezione(std::string_view(testo.constData(), testo.size()));
    if (riga < 0) {
        const Lezione* l = std::get_if<Lezione>(&letta);
        QVERIFY2(l, l ? "" : std::get<ErroreLezione>(letta).messaggio.c_str());
        QVERIFY(l->classe == Classe::quarta && l->livello == 2 && l->domande == 10);
        QVERIFY(l->tipi == (std::vector<Tipo>{Tipo::ascolta, Tipo::lettere}));
        QVERIFY(!controlla_lezione(*l));
        const LezioneLetta di_nuovo = leggi_lezione(scrivi_lezione(*l));
        QVERIFY(std::holds_alternative<Lezione>(di_nuovo));
        QVERIFY(std::get<Lezione>(di_nuovo) == *l);
        return;
    }
    const ErroreLezione* e = std::get_if<ErroreLezione>(&letta);
    QVERIFY(e);
    const QString messaggio = QString::fromStdString(e->messaggio);
    QCOMPARE(int(e->riga), riga);
    QVERIFY2(messaggio.startsWith(riga ? QString("Riga %1: ").arg(riga) : QString()) &&
                 messaggio.contains(motivo),
             qPrintable(messaggio));
}

void TstEsercizi::file_di_lezione() {
    QTemporaryDir cartella;
    const auto scrivi = [&](const char* nome, const QByteArray& testo) {
        QFile f(cartella.filePath(nome));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testo);
    };
    scrivi("buona.txt", lezione_tipo);
    scrivi("grande.txt", QByteArray(lezione_tipo) + QByteArray(1 << 20, '#'));
    const auto perche = [&](const QString& percorso) {
        const LezioneLetta l = leggi_file_lezione(percorso.toStdString());
        return std::holds_alternative<Lezione>(l)
                   ? QString()
                   : QString::fromStdString(std::get<ErroreLezione>(l).messaggio);
    };
    QCOMPARE(perche(cartella.filePath("buona.txt")), QString());
    QVERIFY(perche(cartella.filePath("grande.txt")).contains("troppo grande"));
    QVERIFY(perche(cartella.path()).contains("è una cartella"));
    QVERIFY(perche("/dev/zero").contains("non è un file"));
    QVERIFY(perche(cartella.filePath("nessuna.txt")).startsWith("Non trovo"));
}

QTEST_APPLESS_MAIN(TstEsercizi)
#include "tst_esercizi.moc"
