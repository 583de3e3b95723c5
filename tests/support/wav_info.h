// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a WAV file's format as stored, without converting it, so that tests
// can check encodings exactly; decodes PCM 8/16-bit samples for analysis.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace test_support {

struct WavInfo {
    bool ok = false;
    QString errore;
    int formato = 0; // 1 PCM, 2 Microsoft ADPCM
    int canali = 0;
    int frequenza = 0;
    int bit = 0;
    int block_align = 0;
    int campioni_per_blocco = 0; // ADPCM only
    qint64 frame = 0;            // sample frames in the data chunk
    QByteArray dati;             // the data chunk as stored

    double secondi() const { return frequenza > 0 ? double(frame) / frequenza : 0.0; }
};

// The format as stored; on a file that is not a readable WAV, ok is false and
// errore says why.
WavInfo leggi_wav_bytes(const QByteArray& b);
WavInfo leggi_wav(const QString& percorso);
// PCM samples of the first channel scaled to -1..1 (empty for other encodings).
std::vector<double> campioni(const WavInfo& w);

} // namespace test_support
