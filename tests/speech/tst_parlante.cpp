// SPDX-License-Identifier: GPL-3.0-or-later
// Speaking a number and the effects, with a recording stand-in for the device.
#include "speech/parlante.h"
#include "support/registri.h"

#include <QtTest>

using namespace contavoce;

namespace {

// The recording device with its own log.
struct Registro : test_support::Registro {
    QStringList log;
    Registro() : test_support::Registro(log) {}
};

} // namespace

class TstParlante : public QObject {
    Q_OBJECT

private slots:
    void clip_e_giri_in_ordine();
    void richiesta_annidata_finisce_prima();
    void la_lista_e_fissata_alla_chiamata();
    void senza_dispositivo_avvisa_ogni_volta();
    void suoni_dei_tasti_data();
    void suoni_dei_tasti();
    void effetto_sconosciuto_non_suona();
    void laser_non_aspetta();
};

void TstParlante::clip_e_giri_in_ordine() {
    Registro r;
    Parlante p(
        r, r, [&] { r.log << "pass"; }, "/prog");
    p.num_parlante("2304");
    QCOMPARE(r.log, QStringList({"play va2.wav", "pass", "play va_mila.wav", "pass", "play va3.wav",
                                 "pass", "play va100.wav", "pass", "play va4.wav", "pass"}));
    r.log.clear();
    p.num_parlante("");
    QVERIFY(r.log.isEmpty());

    // A decimal is played the same way, its list longer than a whole number's.
    p.num_parlante(Decimale{"999999999999", "999"}, Lettura::posti);
    QCOMPARE(r.log.size(), 2 * 26);
    QCOMPARE(r.log.mid(38, 6), QStringList({"play va_unita.wav", "pass", "play va_e.wav", "pass",
                                            "play va9.wav", "pass"}));
    QCOMPARE(r.log.last(2), QStringList({"play va_millesimi.wav", "pass"}));
}

void TstParlante::richiesta_annidata_finisce_prima() {
    Registro r;
    bool annidata = false;
    std::unique_ptr<Parlante> p;
    p = std::make_unique<Parlante>(
        r, r,
        [&] {
            // A click between the clips starts a second request, once.
            if (!annidata) {
                annidata = true;
                p->num_parlante("7");
            }
        },
        "/prog");
    p->num_parlante("21");
    QCOMPARE(r.log, QStringList({"play va20.wav", "play va7.wav", "play va1.wav"}));
}

void TstParlante::la_lista_e_fissata_alla_chiamata() {
    Registro r;
    std::string numero = "999";
    std::string altro = "1";
    Parlante p(
        r, r, [&] { numero.swap(altro); }, "/prog");
    p.num_parlante(numero);
    QCOMPARE(r.log,
             QStringList({"play va9.wav", "play va100.wav", "play va90.wav", "play va9.wav"}));
}

void TstParlante::senza_dispositivo_avvisa_ogni_volta() {
    Registro r;
    r.dispositivi_presenti = 0;
    Parlante p(r, r, nullptr, "/prog");
    p.num_parlante("5");
    p.num_parlante(Decimale{"0", "5"}, Lettura::virgola);
    const QString avviso =
        QString::fromUtf8("warn scheda audio: Non è possibile riprodurre suoni ne tantomeno "
                          "il numero");
    // The plays are still attempted; the device layer makes them silent.
    QCOMPARE(r.log, QStringList({avviso, "play va5.wav", avviso, "play va0.wav",
                                 "play va_virgola.wav", "play va5.wav"}));

    r.log.clear();
    p.scheda_audio();
    QCOMPARE(r.log, QStringList({avviso}));
    r.dispositivi_presenti = 1;
    r.log.clear();
    p.scheda_audio();
    QVERIFY(r.log.isEmpty());
}

void TstParlante::suoni_dei_tasti_data() {
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("effetto");
    QTest::newRow("Enter") << 13 << "UCCELLO";
    QTest::newRow("Backspace") << 8 << "SPARO";
    for (int d = 0; d <= 9; ++d)
        QTest::addRow("digit %d", d) << ('0' + d) << QString("G%1").arg(d);
    QTest::newRow("letter") << int('a') << "ASINO";
    QTest::newRow("slash") << int('/') << "ASINO";
    QTest::newRow("colon") << int(':') << "ASINO";
    QTest::newRow("escape") << 27 << "ASINO";
    QTest::newRow("accented") << 0xe8 << "ASINO";
}

void TstParlante::suoni_dei_tasti() {
    QFETCH(int, codice);
    QFETCH(QString, effetto);
    Registro r;
    Parlante p(r, r, nullptr, "/prog");
    p.num_suoni(std::int16_t(codice));
    QCOMPARE(r.log, QStringList({"effect " + effetto}));
}

void TstParlante::effetto_sconosciuto_non_suona() {
    Registro r;
    Parlante p(r, r, nullptr, "/prog");
    p.suona_risorsa("gatto", "wav");
    QVERIFY(r.log.isEmpty());
    p.suona_risorsa("INIZIO", "wav");
    p.suona_risorsa("Gallo", "WAV");
    QCOMPARE(r.log, QStringList({"effect INIZIO", "effect GALLO"}));
}

void TstParlante::laser_non_aspetta() {
    Registro r;
    Parlante p(r, r, nullptr, "/prog");
    p.laser();
    QCOMPARE(r.log, QStringList({"async /prog/laser.wav"}));
}

QTEST_GUILESS_MAIN(TstParlante)
#include "tst_parlante.moc"
