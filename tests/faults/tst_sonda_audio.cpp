// SPDX-License-Identifier: GPL-3.0-or-later
// The thread that pulls the mix only copies: over a whole number said with the
// tune playing, and the music's commands after it, it neither allocates nor
// frees nor opens a file. A program of its own, for it replaces the allocator.
#include "platform/audio/mixer.h"
#include "sonda_audio.h"

#include <QtTest>

class TstSondaAudio : public QObject {
    Q_OBJECT

private slots:
    void il_filo_audio_copia_soltanto();
};

void TstSondaAudio::il_filo_audio_copia_soltanto() {
    if (!contavoce::sonda::sonda_possibile())
        QSKIP("AddressSanitizer replaces the allocator the probe counts in");
    const auto r = contavoce::sonda::misura_filo_audio(
        qEnvironmentVariable("CONTAVOCE_BIN_DIR").toStdString());
    QVERIFY(r.dispositivo);
    QVERIFY(r.addormentato);
    // Something was played: the tune alone, then the voice over it, through
    // several seconds of callbacks.
    QVERIFY2(r.musica > 0.003, qPrintable(QString::number(r.musica)));
    QVERIFY2(r.voce > 0.003, qPrintable(QString::number(r.voce)));
    // Over 5 s of callbacks, whatever the buffer's size.
    QVERIFY2(r.richiami * contavoce::platform::frame_per_buffer > 5 * 44100,
             qPrintable(QString::number(r.richiami)));
    QCOMPARE(r.allocazioni, std::uint64_t(0));
    QCOMPARE(r.liberazioni, std::uint64_t(0));
    QCOMPARE(r.aperture, std::uint64_t(0));
}

QTEST_GUILESS_MAIN(TstSondaAudio)
#include "tst_sonda_audio.moc"
