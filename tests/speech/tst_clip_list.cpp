// SPDX-License-Identifier: GPL-3.0-or-later
// The clips that say a number, in playing order.
#include "speech/clip_list.h"
#include "speech/decimale_detto.h"
#include "speech/detto.h"
#include "speech/ordini_detti.h"

#include <QtTest>

using namespace contavoce;

namespace {

// "va20 va1" style: clip names without folder and extension.
QString nomi(const std::vector<std::string>& percorsi) {
    QStringList n;
    for (const std::string& percorso : percorsi) {
        const QString p = QString::fromStdString(percorso);
        if (!p.startsWith("/cartella/") || !p.endsWith(".wav"))
            return "bad path " + p;
        n << p.mid(10).chopped(4);
    }
    return n.join(' ');
}

QString nomi(const ListaClip& lista) {
    return nomi(std::vector<std::string>(lista.Wave_name.begin() + 1,
                                         lista.Wave_name.begin() + 1 + lista.n_file));
}

} // namespace

class TstClipList : public QObject {
    Q_OBJECT

private slots:
    void lista_data();
    void lista();
    void slot_zero_e_capienza();
    void centinaia_fuori_intervallo();
    void ordine_fuori_intervallo();
    void decimale_data();
    void decimale();
    void detto_della_domanda();
};

void TstClipList::lista_data() {
    QTest::addColumn<QString>("cifre");
    QTest::addColumn<QString>("clip");
    const std::pair<const char*, const char*> righe[] = {
        {"7", "va7"},
        {"15", "va15"},
        {"20", "va20"},
        {"21", "va20 va1"},
        {"29", "va20 va9"},
        {"80", "va80"},
        {"100", "va100"},
        {"101", "va100 va1"},
        {"118", "va100 va18"},
        {"200", "va2 va100"},
        {"300", "va3 va100"},
        {"999", "va9 va100 va90 va9"},
        {"1000", "va1000"},
        {"1001", "va1000 va1"},
        {"1100", "va1000 va100"},
        {"2000", "va2 va_mila"},
        {"21345", "va20 va1 va_mila va3 va100 va40 va5"},
        {"100000", "va100 va_mila"},
        {"1000000", "va_mglne"},
        {"1000001", "va_mglne va1"},
        {"2500000", "va2 va_mgloi va5 va100 va_mila"},
        {"1001001", "va_mglne va1000 va1"},
        {"1000000000", "va_mgldo"},
        {"2000001000", "va2 va_mgldi va1000"},
        {"1001000000", "va_mgldo va_mglne"},
        {"100100100100", "va100 va_mgldi va100 va_mgloi va100 va_mila va100"},
        {"999999999999", "va9 va100 va90 va9 va_mgldi va9 va100 va90 va9 va_mgloi "
                         "va9 va100 va90 va9 va_mila va9 va100 va90 va9"},
        {"  2000  ", "va2 va_mila"},
        {"", ""},
        {"   ", ""},
        {"1234567890123", ""},
    };
    for (const auto& [cifre, clip] : righe)
        QTest::addRow("'%s'", cifre) << QString::fromLatin1(cifre) << QString::fromLatin1(clip);
}

void TstClipList::lista() {
    QFETCH(QString, cifre);
    QFETCH(QString, clip);
    QCOMPARE(nomi(lista_clip(cifre.toStdString(), "/cartella")), clip);
}

void TstClipList::slot_zero_e_capienza() {
    const ListaClip lunga = lista_clip("999999999999", "/cartella");
    QCOMPARE(lunga.n_file, std::int16_t(19));
    QVERIFY(lunga.Wave_name[0].empty());
    QVERIFY(lunga.Wave_name[20].empty());

    // Appending past the capacity must not write outside the list.
    ListaClip piena;
    piena.cartella = "/c";
    for (int i = 0; i < 10; ++i)
        centinaia(999, piena);
    QCOMPARE(piena.n_file, ListaClip::capacita);
}

void TstClipList::centinaia_fuori_intervallo() {
    ListaClip lista;
    centinaia(0, lista);
    centinaia(1000, lista);
    centinaia(-5, lista);
    QCOMPARE(lista.n_file, std::int16_t(0));
}

void TstClipList::ordine_fuori_intervallo() {
    // Not a digit, or no place of a twelve-digit number: nothing to say.
    for (const auto& [cifra, posto] : {std::pair{3, 0}, {3, 13}, {-1, 1}, {10, 1}})
        QCOMPARE(lista_ordine(cifra, std::size_t(posto), "/cartella").n_file, std::int16_t(0));
    QCOMPARE(nomi(lista_ordine(0, 12, "/cartella")), "va0 va_centinaia_miliardi");
}

void TstClipList::decimale_data() {
    QTest::addColumn<QString>("intera");
    QTest::addColumn<QString>("decimali");
    QTest::addColumn<QString>("virgola");
    QTest::addColumn<QString>("posti");
    struct Riga {
        const char *intera, *decimali, *virgola, *posti;
    };
    const Riga righe[] = {
        {"3", "05", "va3 va_virgola va0 va5", "va3 va_unita va_e va5 va_centesimi"},
        {"3", "25", "va3 va_virgola va20 va5", "va3 va_unita va_e va20 va5 va_centesimi"},
        {"3", "250", "va3 va_virgola va2 va100 va50",
         "va3 va_unita va_e va2 va100 va50 va_millesimi"},
        {"3", "205", "va3 va_virgola va2 va100 va5",
         "va3 va_unita va_e va2 va100 va5 va_millesimi"},
        {"2", "50", "va2 va_virgola va50", "va2 va_unita va_e va50 va_centesimi"},
        {"0", "5", "va0 va_virgola va5", "va5 va_decimi"},
        {"0", "001", "va0 va_virgola va0 va0 va1", "va_un_millesimo"},
        {"0", "01", "va0 va_virgola va0 va1", "va_un_centesimo"},
        {"1", "1", "va1 va_virgola va1", "va_un_unita va_e va_un_decimo"},
        {"21", "010", "va20 va1 va_virgola va0 va10", "va20 va1 va_unita va_e va10 va_millesimi"},
        {"3", "00", "va3 va_virgola va0 va0", "va3 va_unita va_e va0 va_centesimi"},
        {"0", "0", "va0 va_virgola va0", "va0 va_decimi"},
        {"1000", "5", "va1000 va_virgola va5", "va1000 va_unita va_e va5 va_decimi"},
        {"1000000", "5", "va_mglne va_virgola va5", "va_mglne va_di_unita va_e va5 va_decimi"},
        {"2000000000", "25", "va2 va_mgldi va_virgola va20 va5",
         "va2 va_mgldi va_di_unita va_e va20 va5 va_centesimi"},
        {"1001000", "5", "va_mglne va1000 va_virgola va5",
         "va_mglne va1000 va_unita va_e va5 va_decimi"},
        {"2000001", "5", "va2 va_mgloi va1 va_virgola va5",
         "va2 va_mgloi va1 va_unita va_e va5 va_decimi"},
        {"999999999999", "999",
         "va9 va100 va90 va9 va_mgldi va9 va100 va90 va9 va_mgloi va9 va100 va90 va9 va_mila "
         "va9 va100 va90 va9 va_virgola va9 va100 va90 va9",
         "va9 va100 va90 va9 va_mgldi va9 va100 va90 va9 va_mgloi va9 va100 va90 va9 va_mila "
         "va9 va100 va90 va9 va_unita va_e va9 va100 va90 va9 va_millesimi"},
        // No decimals: the whole number as it is always said, 0 silent.
        {"2304", "", "va2 va_mila va3 va100 va4", "va2 va_mila va3 va100 va4"},
        {"0", "", "", ""},
        // Not a number the reading knows: nothing rather than a wrong phrase.
        {"", "5", "", ""},
        {"03", "5", "", ""},
        {"3", "0005", "", ""},
        {"3", "5a", "", ""},
        {"1234567890123", "5", "", ""},
    };
    for (const Riga& r : righe)
        QTest::addRow("%s,%s", r.intera, r.decimali)
            << r.intera << r.decimali << r.virgola << r.posti;
}

void TstClipList::decimale() {
    QFETCH(QString, intera);
    QFETCH(QString, decimali);
    QFETCH(QString, virgola);
    QFETCH(QString, posti);
    const Decimale d{intera.toStdString(), decimali.toStdString()};
    QCOMPARE(nomi(lista_decimale(d, Lettura::virgola, "/cartella")), virgola);
    QCOMPARE(nomi(lista_decimale(d, Lettura::posti, "/cartella")), posti);
}

// A practice question said piece by piece: a clip, numbers, places. A whole
// 0 is said, although a number's own list is silent for it: a child asked
// to write what they hear must hear something.
void TstClipList::detto_della_domanda() {
    const auto numero = [](const char* intera, const char* decimali = "") {
        return Detto{Detto::Cosa::numero, {}, Decimale{intera, decimali}, 0, 0};
    };
    const auto ordine = [](int cifra, int posto) {
        return Detto{Detto::Cosa::ordine, {}, {}, cifra, posto};
    };
    const std::vector<Detto> detto = {{Detto::Cosa::clip, "es_ascolta", {}, 0, 0},
                                      numero("0"),
                                      numero("2304"),
                                      numero("0", "5"),
                                      ordine(3, 3),
                                      ordine(1, 5),
                                      ordine(1, -2),
                                      ordine(7, -1),
                                      ordine(4, 13)};
    QCOMPARE(nomi(clip_di(detto, Lettura::virgola, "/cartella")),
             "es_ascolta va0 va2 va_mila va3 va100 va4 va0 va_virgola va5 va3 va_centinaia "
             "va_una_decina_migliaia va_un_centesimo va7 va_decimi");
}

QTEST_APPLESS_MAIN(TstClipList)
#include "tst_clip_list.moc"
