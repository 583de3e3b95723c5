// SPDX-License-Identifier: GPL-3.0-or-later
// Worked examples and boundaries of the number speller.
#include "spelling/decimale.h"
#include "spelling/grafia.h"
#include "spelling/numero.h"

#include <QtTest>
#include <random>

using namespace contavoce;

class TstSpelling : public QObject {
    Q_OBJECT

private slots:
    void gruppo_data();
    void gruppo();
    void gruppo_sovrascrive_il_risultato();
    void n_anomalo_toglie_l_ultima_lettera();

    void numero_data();
    void numero();
    void numero_senza_gruppi_lascia_il_risultato_data();
    void numero_senza_gruppi_lascia_il_risultato();
    void numero_con_argomenti_uguali();

    void zeri_data();
    void zeri();
    void formato_data();
    void formato();
    void gruppi_data();
    void gruppi();

    void scolastica_data();
    void scolastica();
    void scolastica_differisce_solo_per_accenti_blanchi_e_zero();
    void decimale_data();
    void decimale();
    void decimale_rifiutato_data();
    void decimale_rifiutato();
};

void TstSpelling::gruppo_data() {
    QTest::addColumn<int>("valore");
    QTest::addColumn<QString>("parole");
    const std::pair<int, const char*> righe[] = {
        {0, ""},
        {1, "uno"},
        {8, "otto"},
        {10, "dieci"},
        {17, "diciassette"},
        {19, "diciannove"},
        {20, "venti"},
        {21, "ventuno"},
        {22, "ventidue"},
        {23, "ventitre"},
        {28, "ventotto"},
        {30, "trenta"},
        {31, "trentuno"},
        {38, "trentotto"},
        {41, "quarantuno"},
        {58, "cinquantotto"},
        {61, "sessantuno"},
        {77, "settantasette"},
        {80, "ottanta"},
        {81, "ottantuno"},
        {88, "ottantotto"},
        {91, "novantuno"},
        {99, "novantanove"},
        {100, "cento"},
        {101, "centouno"},
        {103, "centotre"},
        {108, "centotto"},
        {111, "centoundici"},
        {118, "centodiciotto"},
        {121, "centoventuno"},
        {128, "centoventotto"},
        {170, "centosettanta"},
        {179, "centosettantanove"},
        {180, "centottanta"},
        {181, "centottantuno"},
        {188, "centottantotto"},
        {189, "centottantanove"},
        {190, "centonovanta"},
        {200, "duecento"},
        {208, "duecentotto"},
        {300, "trecento"},
        {381, "trecentottantuno"},
        {918, "novecentodiciotto"},
        {999, "novecentonovantanove"},
        {1000, " errore"},
        {32767, " errore"},
    };
    for (const auto& [valore, parole] : righe)
        QTest::addRow("%d", valore) << valore << QString::fromLatin1(parole);
}

void TstSpelling::gruppo() {
    QFETCH(int, valore);
    QFETCH(QString, parole);
    const auto n = static_cast<std::int16_t>(valore);
    std::string risultato;
    da_1_a_999(n, risultato);
    QCOMPARE(QString::fromStdString(risultato), parole);
}

void TstSpelling::gruppo_sovrascrive_il_risultato() {
    std::string risultato = "vecchio";
    const std::int16_t zero = 0;
    da_1_a_999(zero, risultato);
    QCOMPARE(risultato, std::string());
    const std::int16_t tre = 3;
    da_1_a_999(tre, risultato);
    QCOMPARE(risultato, std::string("tre"));
}

void TstSpelling::n_anomalo_toglie_l_ultima_lettera() {
    QCOMPARE(n_anomalo("venti"), std::string("vent"));
    QCOMPARE(n_anomalo("cento"), std::string("cent"));
    QCOMPARE(n_anomalo("a"), std::string());
    QCOMPARE(n_anomalo(""), std::string());
}

void TstSpelling::numero_data() {
    QTest::addColumn<QString>("cifre");
    QTest::addColumn<QString>("parole");
    const std::pair<const char*, const char*> righe[] = {
        {"7", "sette"},
        {"12", "dodici"},
        {"1000", "mille"},
        {"1001", "milleuno"},
        {"1008", "milleotto"},
        {"1100", "millecento"},
        {"2000", "duemila"},
        {"2304", "duemilatrecentoquattro"},
        {"21000", "ventunomila"},
        {"101000", "centounomila"},
        {"999999", "novecentonovantanovemilanovecentonovantanove"},
        {"1000000", "unmilione"},
        {"1000001", "unmilioneuno"},
        {"1001000", "unmilionemille"},
        {"2001000", "duemilionimille"},
        {"21000000", "ventunomilioni"},
        {"100200300", "centomilioniduecentomilatrecento"},
        {"1000000000", "unmiliardo"},
        {"1000001000", "unmiliardomille"},
        {"1001000000", "unmiliardounmilione"},
        {"1001001001", "unmiliardounmilionemilleuno"},
        {"2000000000", "duemiliardi"},
        {"100000000000", "centomiliardi"},
        {"123456789012",
         "centoventitremiliardiquattrocentocinquantaseimilionisettecentottantanovemiladodici"},
    };
    for (const auto& [cifre, parole] : righe)
        QTest::addRow("%s", cifre) << QString::fromLatin1(cifre) << QString::fromLatin1(parole);
}

void TstSpelling::numero() {
    QFETCH(QString, cifre);
    QFETCH(QString, parole);
    std::string risultato;
    numero_in_lettere(cifre.toStdString(), risultato);
    QCOMPARE(QString::fromStdString(risultato), parole);
}

void TstSpelling::numero_senza_gruppi_lascia_il_risultato_data() {
    QTest::addColumn<QString>("cifre");
    QTest::newRow("empty") << "";
    QTest::newRow("13 digits") << "1234567890123";
    QTest::newRow("15 digits") << "100000000000000";
}

void TstSpelling::numero_senza_gruppi_lascia_il_risultato() {
    QFETCH(QString, cifre);
    std::string risultato = "quello di prima";
    numero_in_lettere(cifre.toStdString(), risultato);
    QCOMPARE(risultato, std::string("quello di prima"));
}

void TstSpelling::numero_con_argomenti_uguali() {
    std::string s = "2304";
    numero_in_lettere(s, s);
    QCOMPARE(s, std::string("duemilatrecentoquattro"));
}

void TstSpelling::zeri_data() {
    QTest::addColumn<QString>("ingresso");
    QTest::addColumn<QString>("uscita");
    QTest::newRow("0") << "0"
                       << "";
    QTest::newRow("000") << "000"
                         << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("0012") << "0012"
                          << "12";
    QTest::newRow("1000") << "1000"
                          << "1000";
    QTest::newRow("0100200") << "0100200"
                             << "100200";
}

void TstSpelling::zeri() {
    QFETCH(QString, ingresso);
    QFETCH(QString, uscita);
    QCOMPARE(QString::fromStdString(zeri_non_significativi(ingresso.toStdString())), uscita);
}

void TstSpelling::formato_data() {
    QTest::addColumn<QString>("ingresso");
    QTest::addColumn<QString>("mostrato");
    QTest::addColumn<QString>("senza_zeri");
    QTest::newRow("1") << "1"
                       << "1"
                       << "1";
    QTest::newRow("123") << "123"
                         << "123"
                         << "123";
    QTest::newRow("1234") << "1234"
                          << "1.234"
                          << "1234";
    QTest::newRow("2304") << "2304"
                          << "2.304"
                          << "2304";
    QTest::newRow("123456") << "123456"
                            << "123.456"
                            << "123456";
    QTest::newRow("1234567") << "1234567"
                             << "1.234.567"
                             << "1234567";
    QTest::newRow("12 digits") << "123456789012"
                               << "123.456.789.012"
                               << "123456789012";
    QTest::newRow("000123") << "000123"
                            << "123"
                            << "123";
    QTest::newRow("0012345") << "0012345"
                             << "12.345"
                             << "12345";
    QTest::newRow("zeros") << "0000"
                           << ""
                           << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("13 digits") << "0001234567890123"
                               << "1234567890123"
                               << "1234567890123";
}

void TstSpelling::formato() {
    QFETCH(QString, ingresso);
    QFETCH(QString, mostrato);
    QFETCH(QString, senza_zeri);
    std::string numero = ingresso.toStdString();
    QCOMPARE(QString::fromStdString(formatta_numero(numero)), mostrato);
    QCOMPARE(QString::fromStdString(numero), senza_zeri);
}

void TstSpelling::gruppi_data() {
    QTest::addColumn<int>("lunghezza");
    QTest::addColumn<int>("attesi");
    const std::pair<int, int> righe[] = {{0, 0},  {1, 1},  {3, 1},  {4, 2},  {6, 2},
                                         {7, 3},  {9, 3},  {10, 4}, {11, 4}, {12, 4},
                                         {13, 5}, {15, 5}, {16, 6}};
    for (const auto& [lunghezza, attesi] : righe)
        QTest::addRow("%d chars", lunghezza) << lunghezza << attesi;
}

void TstSpelling::gruppi() {
    QFETCH(int, lunghezza);
    QFETCH(int, attesi);
    std::int16_t g = -1;
    conta_gruppi(std::string(static_cast<std::size_t>(lunghezza), '7'), g);
    QCOMPARE(int(g), attesi);
}

void TstSpelling::scolastica_data() {
    QTest::addColumn<QString>("cifre");
    QTest::addColumn<QString>("parole");
    const std::pair<const char*, const char*> righe[] = {
        {"0", "zero"},
        {"", "zero"},
        {"000", "zero"},
        {"3", "tre"},
        {"13", "tredici"},
        {"23", "ventitré"},
        {"33", "trentatré"},
        {"103", "centotré"},
        {"300", "trecento"},
        {"1003", "milletré"},
        {"2003", "duemilatré"},
        {"3000", "tremila"},
        {"23000", "ventitremila"},
        {"323323", "trecentoventitremilatrecentoventitré"},
        {"1000000", "un milione"},
        {"1000001", "un milione uno"},
        {"1001000", "un milione mille"},
        {"2300000", "due milioni trecentomila"},
        {"3000003", "tre milioni tre"},
        {"23000003", "ventitré milioni tre"},
        {"21000000", "ventuno milioni"},
        {"31000000", "trentuno milioni"},
        {"101000000", "centouno milioni"},
        {"1000000000", "un miliardo"},
        {"1001001001", "un miliardo un milione milleuno"},
        {"1000000001", "un miliardo uno"},
        {"21021021021", "ventuno miliardi ventuno milioni ventunomilaventuno"},
        {"3003000000", "tre miliardi tre milioni"},
        {"100200300", "cento milioni duecentomilatrecento"},
        {"000023000003", "ventitré milioni tre"},
        {"999999999999", "novecentonovantanove miliardi novecentonovantanove milioni "
                         "novecentonovantanovemilanovecentonovantanove"},
    };
    for (const auto& [cifre, parole] : righe)
        QTest::addRow("%s", *cifre ? cifre : "empty")
            << QString::fromLatin1(cifre) << QString::fromUtf8(parole);
}

void TstSpelling::scolastica() {
    QFETCH(QString, cifre);
    QFETCH(QString, parole);
    std::string risultato = "quello di prima";
    parole_in_grafia(cifre.toStdString(), Grafia::scolastica, risultato);
    QCOMPARE(QString::fromStdString(risultato), parole);
    // The program's own spelling through the same door: nothing for 0.
    std::string originale = "quello di prima";
    parole_in_grafia(cifre.toStdString(), Grafia::originale, originale);
    std::string atteso;
    numero_in_lettere(zeri_non_significativi(cifre.toStdString()), atteso);
    QCOMPARE(originale, atteso);
}

// The school's spelling is the program's own with an accent on a final "tre",
// blanks on both sides of the scale nouns (after "un"), and "zero" for 0.
void TstSpelling::scolastica_differisce_solo_per_accenti_blanchi_e_zero() {
    std::mt19937_64 caso(25);
    const QRegularExpression parola("^[a-z]+\\x{e9}?$");
    const QSet<QString> scale = {"milione", "milioni", "miliardo", "miliardi"};
    for (int i = 0; i < 200000; ++i) {
        // Every length, and many zeros inside: each group 0, 1 or anything.
        std::string cifre(1 + caso() % 12, '0');
        for (char& c : cifre)
            c = caso() % 3 == 0 ? '0' : char('0' + caso() % 10);
        if (caso() % 4 == 0)
            for (std::size_t k = cifre.size() % 3; k < cifre.size(); k += 3)
                cifre.replace(k, 3, caso() % 2 ? "001" : "000");
        std::string scuola, originale;
        parole_in_grafia(cifre, Grafia::scolastica, scuola);
        parole_in_grafia(cifre, Grafia::originale, originale);
        const QString s = QString::fromStdString(scuola);
        const QString o = QString::fromStdString(originale);
        const QString dove = QString::fromStdString(cifre) + " -> " + s;
        if (o.isEmpty()) {
            QVERIFY2(s == "zero", qPrintable(dove));
            continue;
        }
        QVERIFY2(QString(s).remove(' ').replace(QChar(0xe9), 'e') == o, qPrintable(dove));
        const QStringList parole = s.split(' ');
        for (qsizetype k = 0; k < parole.size(); ++k) {
            const QString& p = parole[k];
            QVERIFY2(parola.match(p).hasMatch(), qPrintable(dove));
            // An accent only on the last letter, after "tr", of a word longer than "tre".
            const auto accento = p.indexOf(QChar(0xe9));
            QVERIFY2(accento < 0 || (accento == p.size() - 1 && p.endsWith(u"tré") && p.size() > 3),
                     qPrintable(dove));
            QVERIFY2(accento >= 0 || !p.endsWith("tre") || p == "tre", qPrintable(dove));
            // A blank only beside a scale noun: no other word is split.
            const bool accanto = parole.size() == 1 || scale.contains(p) ||
                                 (k > 0 && scale.contains(parole[k - 1])) ||
                                 (k + 1 < parole.size() && scale.contains(parole[k + 1]));
            QVERIFY2(accanto, qPrintable(dove));
            QVERIFY2(p != "un" || (k + 1 < parole.size() &&
                                   (parole[k + 1] == "milione" || parole[k + 1] == "miliardo")),
                     qPrintable(dove));
        }
    }
}

void TstSpelling::decimale_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("mostrato");
    QTest::addColumn<QString>("virgola");    // originale
    QTest::addColumn<QString>("posti");      // originale
    QTest::addColumn<QString>("scolastica"); // by places
    struct Riga {
        const char *testo, *mostrato, *virgola, *posti, *scolastica;
    };
    const Riga righe[] = {
        {"3,05", "3,05", "tre virgola zero cinque", "tre unità e cinque centesimi",
         "tre unità e cinque centesimi"},
        {"3,25", "3,25", "tre virgola venticinque", "tre unità e venticinque centesimi",
         "tre unità e venticinque centesimi"},
        {"3,250", "3,250", "tre virgola duecentocinquanta",
         "tre unità e duecentocinquanta millesimi", "tre unità e duecentocinquanta millesimi"},
        {"0,5", "0,5", "zero virgola cinque", "cinque decimi", "cinque decimi"},
        {"0,001", "0,001", "zero virgola zero zero uno", "un millesimo", "un millesimo"},
        {"0,1", "0,1", "zero virgola uno", "un decimo", "un decimo"},
        {"0,01", "0,01", "zero virgola zero uno", "un centesimo", "un centesimo"},
        {"0,0", "0,0", "zero virgola zero", "zero decimi", "zero decimi"},
        {"2,75", "2,75", "due virgola settantacinque", "due unità e settantacinque centesimi",
         "due unità e settantacinque centesimi"},
        {"1,5", "1,5", "uno virgola cinque", "un'unità e cinque decimi",
         "un'unità e cinque decimi"},
        {"3,0", "3,0", "tre virgola zero", "tre unità e zero decimi", "tre unità e zero decimi"},
        {"3,00", "3,00", "tre virgola zero zero", "tre unità e zero centesimi",
         "tre unità e zero centesimi"},
        {"23,23", "23,23", "ventitre virgola ventitre", "ventitre unità e ventitre centesimi",
         "ventitré unità e ventitré centesimi"},
        {"21,021", "21,021", "ventuno virgola zero ventuno", "ventuno unità e ventuno millesimi",
         "ventuno unità e ventuno millesimi"},
        {"0012,5", "12,5", "dodici virgola cinque", "dodici unità e cinque decimi",
         "dodici unità e cinque decimi"},
        {"1.234,567", "1.234,567", "milleduecentotrentaquattro virgola cinquecentosessantasette",
         "milleduecentotrentaquattro unità e cinquecentosessantasette millesimi",
         "milleduecentotrentaquattro unità e cinquecentosessantasette millesimi"},
        {"1 234,5", "1.234,5", "milleduecentotrentaquattro virgola cinque",
         "milleduecentotrentaquattro unità e cinque decimi",
         "milleduecentotrentaquattro unità e cinque decimi"},
        {"2000000,5", "2.000.000,5", "duemilioni virgola cinque",
         "duemilioni di unità e cinque decimi", "due milioni di unità e cinque decimi"},
        {"1.000.000.000,25", "1.000.000.000,25", "unmiliardo virgola venticinque",
         "unmiliardo di unità e venticinque centesimi",
         "un miliardo di unità e venticinque centesimi"},
        {"1.000.001,1", "1.000.001,1", "unmilioneuno virgola uno", "unmilioneuno unità e un decimo",
         "un milione uno unità e un decimo"},
        {"999.999.999.999,999", "999.999.999.999,999",
         "novecentonovantanovemiliardinovecentonovantanovemilioninovecentonovantanovemila"
         "novecentonovantanove virgola novecentonovantanove",
         "novecentonovantanovemiliardinovecentonovantanovemilioninovecentonovantanovemila"
         "novecentonovantanove unità e novecentonovantanove millesimi",
         "novecentonovantanove miliardi novecentonovantanove milioni "
         "novecentonovantanovemilanovecentonovantanove unità e novecentonovantanove millesimi"},
        // Whole numbers are their words in either reading.
        {" 2.304\r", "2.304", "duemilatrecentoquattro", "duemilatrecentoquattro",
         "duemilatrecentoquattro"},
        {"3.050", "3.050", "tremilacinquanta", "tremilacinquanta", "tremilacinquanta"},
        {"000", "", "", "", "zero"},
    };
    for (const Riga& r : righe)
        QTest::addRow("%s", r.testo) << QString::fromUtf8(r.testo) << QString::fromUtf8(r.mostrato)
                                     << QString::fromUtf8(r.virgola) << QString::fromUtf8(r.posti)
                                     << QString::fromUtf8(r.scolastica);
}

void TstSpelling::decimale() {
    QFETCH(QString, testo);
    QFETCH(QString, mostrato);
    QFETCH(QString, virgola);
    QFETCH(QString, posti);
    QFETCH(QString, scolastica);
    const DecimaleLetto letto = leggi_decimale(testo.toStdString());
    QVERIFY(!letto.difetto);
    const auto parole = [&](Grafia g, Lettura l) {
        return QString::fromStdString(decimale_in_lettere(letto.numero, g, l));
    };
    QCOMPARE(QString::fromStdString(decimale_raggruppato(letto.numero)), mostrato);
    QCOMPARE(parole(Grafia::originale, Lettura::virgola), virgola);
    QCOMPARE(parole(Grafia::originale, Lettura::posti), posti);
    QCOMPARE(parole(Grafia::scolastica, Lettura::posti), scolastica);
    // With the comma, the school's spelling changes only the numbers' words as
    // it does for whole numbers.
    const QString scuola = parole(Grafia::scolastica, Lettura::virgola);
    QCOMPARE(QString(scuola).remove(' ').replace(QChar(0xe9), 'e'),
             virgola.isEmpty() ? "zero" : QString(virgola).remove(' '));
}

void TstSpelling::decimale_rifiutato_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("difetto");
    QTest::addColumn<int>("colonna");
    const auto riga = [](const char* testo, Difetto d, int colonna) {
        QTest::addRow("%s", testo) << QString::fromLatin1(testo) << int(d) << colonna;
    };
    riga("", Difetto::vuoto, 0);
    riga(" \t", Difetto::vuoto, 0);
    riga("3.05", Difetto::punto_decimale, 1);
    riga("  12.5", Difetto::punto_decimale, 4);
    riga("1234.56", Difetto::punto_decimale, 4);
    riga("3.0501", Difetto::gruppo, 1);
    riga("1.234.56", Difetto::gruppo, 5);
    riga("1.23,5", Difetto::gruppo, 1);
    riga("1.000 000,5", Difetto::gruppo, 5);
    riga("3,1234", Difetto::troppi_decimali, 5);
    riga("0,0001", Difetto::troppi_decimali, 5);
    riga(",5", Difetto::virgola, 0);
    riga("3,", Difetto::virgola, 1);
    riga("1,2,3", Difetto::carattere, 3);
    riga("3,5a", Difetto::carattere, 3);
    riga("3,.5", Difetto::carattere, 2);
    riga("-3,5", Difetto::carattere, 0);
    riga("1000000000000,5", Difetto::troppe_cifre, 0);
}

void TstSpelling::decimale_rifiutato() {
    QFETCH(QString, testo);
    QFETCH(int, difetto);
    QFETCH(int, colonna);
    const DecimaleLetto letto = leggi_decimale(testo.toStdString());
    QVERIFY(letto.difetto);
    QCOMPARE(int(*letto.difetto), difetto);
    QCOMPARE(int(letto.colonna), colonna);
}

QTEST_APPLESS_MAIN(TstSpelling)
#include "tst_spelling.moc"
