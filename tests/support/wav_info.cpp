// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/wav_info.h"

#include <QFile>
#include <QtEndian>

namespace test_support {

WavInfo leggi_wav_bytes(const QByteArray& b) {
    WavInfo w;
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") {
        w.errore = "not a RIFF/WAVE file";
        return w;
    }
    qint64 fact_frame = -1;
    bool ha_fmt = false;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const qint64 len = u32(at + 4);
        const qsizetype corpo = at + 8;
        if (corpo + len > b.size()) {
            w.errore = "chunk " + QString::fromLatin1(id) + " runs past the end";
            return w;
        }
        if (id == "fmt " && len >= 16) {
            ha_fmt = true;
            w.formato = u16(corpo);
            w.canali = u16(corpo + 2);
            w.frequenza = int(u32(corpo + 4));
            w.block_align = u16(corpo + 12);
            w.bit = u16(corpo + 14);
            if (w.formato == 2 && len >= 20)
                w.campioni_per_blocco = u16(corpo + 18);
        } else if (id == "fact" && len >= 4) {
            fact_frame = u32(corpo);
        } else if (id == "data") {
            w.dati = b.mid(corpo, len);
        }
        at = corpo + len + (len & 1);
    }
    if (!ha_fmt || w.dati.isNull()) {
        w.errore = "no fmt or data chunk";
        return w;
    }
    if (w.formato == 1 && w.block_align > 0) {
        w.frame = w.dati.size() / w.block_align;
    } else if (w.formato == 2 && w.block_align > 0 && w.canali > 0) {
        // A full ADPCM block holds campioni_per_blocco frames; the fact chunk, when
        // present, says how many of the last block's frames are real.
        const qint64 blocchi = w.dati.size() / w.block_align;
        w.frame = fact_frame >= 0 ? fact_frame : blocchi * w.campioni_per_blocco;
    }
    w.ok = true;
    return w;
}

WavInfo leggi_wav(const QString& percorso) {
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) {
        WavInfo w;
        w.errore = "cannot open " + percorso;
        return w;
    }
    return leggi_wav_bytes(f.readAll());
}

std::vector<double> campioni(const WavInfo& w) {
    std::vector<double> s;
    if (w.formato != 1 || w.canali < 1)
        return s;
    const auto* p = reinterpret_cast<const unsigned char*>(w.dati.constData());
    s.reserve(std::size_t(w.frame));
    for (qint64 i = 0; i < w.frame; ++i) {
        const auto* f = p + i * w.block_align;
        if (w.bit == 8)
            s.push_back((int(f[0]) - 128) / 128.0);
        else if (w.bit == 16)
            s.push_back(qFromLittleEndian<qint16>(f) / 32768.0);
    }
    return s;
}

} // namespace test_support
