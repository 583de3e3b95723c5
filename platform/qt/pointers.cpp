// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/pointers.h"

#include "platform/qt/resources.h"

#include <QBitmap>
#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>

namespace contavoce::platform {
namespace {

// Windows .cur image: Qt's ico reader decodes the pixels but drops the hot
// spot, so the few fields of a 1-bit cursor are read here.
constexpr int lato = 32;
constexpr int riga_byte = lato / 8;
constexpr int intestazione = 6 + 16; // ICONDIR + one ICONDIRENTRY

} // namespace

std::optional<QCursor> puntatore(int numero, qreal scala) {
    const auto dati = risorsa(std::to_string(numero), "cursor");
    if (!dati || dati->size() < intestazione)
        return std::nullopt;
    const auto* b = reinterpret_cast<const uchar*>(dati->constData());
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(b + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(b + at); };
    if (u16(0) != 0 || u16(2) != 2 || u16(4) < 1 || b[6] != lato || b[7] != lato)
        return std::nullopt;
    const int hx = u16(10);
    const int hy = u16(12);
    const qsizetype bmp = u32(18);
    // BITMAPINFOHEADER, a 2-entry palette, then the XOR and AND masks bottom-up.
    const qsizetype xor_at = bmp + 40 + 2 * 4;
    const qsizetype and_at = xor_at + lato * riga_byte;
    if (bmp < intestazione || and_at + lato * riga_byte > dati->size() ||
        qFromLittleEndian<quint16>(b + bmp + 14) != 1)
        return std::nullopt;

    // QBitmap bit 1 is black; a mask bit 1 is opaque. On Windows AND=1 is
    // transparent and XOR=1 (with AND=0) is white.
    std::array<uchar, lato * riga_byte> nero{};
    std::array<uchar, lato * riga_byte> maschera{};
    for (int y = 0; y < lato; ++y) {
        const int da = (lato - 1 - y) * riga_byte;
        for (int k = 0; k < riga_byte; ++k) {
            const uchar x = b[xor_at + da + k];
            const uchar a = b[and_at + da + k];
            maschera[y * riga_byte + k] = uchar(~a);
            nero[y * riga_byte + k] = uchar(~a & ~x);
        }
    }
    const QSize size(lato, lato);
    QBitmap immagine = QBitmap::fromData(size, nero.data(), QImage::Format_Mono);
    QBitmap contorno = QBitmap::fromData(size, maschera.data(), QImage::Format_Mono);
    const int fattore = std::max(1, int(std::lround(scala)));
    if (fattore > 1) {
        const auto ingrandita = [&](const QBitmap& b) {
            QBitmap r = QBitmap::fromImage(
                b.toImage().scaled(size * fattore, Qt::IgnoreAspectRatio, Qt::FastTransformation));
            r.setDevicePixelRatio(fattore);
            return r;
        };
        immagine = ingrandita(immagine);
        contorno = ingrandita(contorno);
    }
    // The hot spot in the image's own pixels: Qt's X11 platform hands it to the
    // server as it is (measured with XFixes on Qt 6.4 at a scale of 2).
    return QCursor(immagine, contorno, hx * fattore, hy * fattore);
}

QIcon icona(std::string_view nome) {
    const auto dati = risorsa(nome, "icon");
    QIcon risultato;
    if (!dati)
        return risultato;
    // Every size stored in the .ico becomes one pixmap of the icon.
    QBuffer buffer;
    buffer.setData(*dati);
    QImageReader lettore(&buffer, "ico");
    for (int i = 0; i < lettore.imageCount(); ++i) {
        if (!lettore.jumpToImage(i))
            break;
        const QImage immagine = lettore.read();
        if (!immagine.isNull())
            risultato.addPixmap(QPixmap::fromImage(immagine));
    }
    return risultato;
}

} // namespace contavoce::platform
