// SPDX-License-Identifier: GPL-3.0-or-later
// Worked examples and boundaries of the number speller.
#include "spelling/numero.h"

#include <QtTest>

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

QTEST_APPLESS_MAIN(TstSpelling)
#include "tst_spelling.moc"
