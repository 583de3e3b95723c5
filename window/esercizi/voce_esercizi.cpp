// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/esercizi/voce_esercizi.h"

#include "platform/audio/suono.h"
#include "platform/qt/resources.h"
#include "speech/detto.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace contavoce {
namespace {

// The quiet mode's effects: about 12 dB below the others, still heard in a
// quiet room, never over the voice.
constexpr double fattore_piano = 0.25;

} // namespace

QByteArray wav_piu_piano(QByteArray wav, double fattore) {
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return wav;
    int bit = 0;
    bool pcm = false;
    for (qsizetype i = 12; i + 8 <= wav.size();) {
        const QByteArray id = wav.mid(i, 4);
        const auto n = qsizetype(qFromLittleEndian<quint32>(wav.constData() + i + 4));
        const qsizetype inizio = i + 8;
        const qsizetype fine = std::min(wav.size(), inizio + n);
        if (id == "fmt " && n >= 16) {
            pcm = qFromLittleEndian<quint16>(wav.constData() + inizio) == 1;
            bit = qFromLittleEndian<quint16>(wav.constData() + inizio + 14);
        } else if (id == "data" && pcm) {
            char* d = wav.data();
            if (bit == 16) {
                for (qsizetype k = inizio; k + 2 <= fine; k += 2) {
                    const auto s = qFromLittleEndian<qint16>(d + k);
                    qToLittleEndian<qint16>(qint16(std::lround(s * fattore)), d + k);
                }
            } else if (bit == 8) {
                for (qsizetype k = inizio; k < fine; ++k) {
                    const int s = static_cast<unsigned char>(d[k]) - 128;
                    d[k] = char(static_cast<unsigned char>(128 + std::lround(s * fattore)));
                }
            }
            return wav;
        }
        i = inizio + n + (n & 1); // chunks are padded to an even size
    }
    return wav;
}

VoceEsercizi::VoceEsercizi(platform::Suono& suono, std::string cartella)
    : cartella_(std::move(cartella)), frase_(suono) {
    // Looks often enough that the clips follow one another without a gap.
    giro_.setInterval(5);
    giro_.setTimerType(Qt::PreciseTimer);
    connect(&giro_, &QTimer::timeout, this, [this] { avanza(); });
}

std::string VoceEsercizi::clip(const char* nome) const {
    return cartella_ + "/" + nome + ".wav";
}

std::vector<std::string> VoceEsercizi::clip_di(const std::vector<Detto>& detto,
                                               Lettura lettura) const {
    return contavoce::clip_di(detto, lettura, cartella_);
}

std::string VoceEsercizi::effetto(const char* nome, bool piano) {
    const QString file =
        effetti_.filePath(QString::fromLatin1(nome) + (piano ? "_piano.wav" : ".wav"));
    if (!QFile::exists(file)) {
        const auto dati = platform::risorsa(nome, "wav");
        QFile f(file);
        if (!dati || !f.open(QIODevice::WriteOnly) ||
            f.write(piano
                        ? wav_piu_piano(QByteArray(dati->constData(), dati->size()), fattore_piano)
                        : *dati) < 0)
            return {};
    }
    return file.toStdString();
}

void VoceEsercizi::di(std::vector<std::string> clip, std::function<void()> poi) {
    poi_ = std::move(poi);
    // The first clip at once, over whatever still plays: "Ripeti" and the
    // next question do not wait for the last one's end.
    frase_.inizia(std::move(clip), Frase::Fine::ultima_finita, true);
    if (frase_.in_corso())
        giro_.start();
    else
        avanza();
}

void VoceEsercizi::ferma() {
    frase_.ferma();
    poi_ = {};
    giro_.stop();
}

void VoceEsercizi::avanza() {
    if (frase_.avanza())
        return;
    giro_.stop();
    if (auto poi = std::exchange(poi_, {}))
        poi();
}

} // namespace contavoce
