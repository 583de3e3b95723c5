// SPDX-License-Identifier: GPL-3.0-or-later
// The pointers and icons as the program loads them: the .cur files are read
// back with a reader of their own (not the writer's code), the icons through
// Qt's ico plugin, and the shapes are checked for what a child will see.
#include "tools/images/arte.h"

#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <algorithm>
#include <set>

using namespace contavoce::immagini;

namespace {

const QString cartella = QStringLiteral(EMBED_DIR);

// The 16 colours a 4-bit Windows bitmap may use.
const std::set<QRgb> sedici_colori = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr QRgb rosso = 0xFF0000, giallo = 0xFFFF00, nero_rgb = 0x000000, oliva = 0x808000,
               verde_acqua = 0x008080;

QByteArray leggi_tutto(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// ---- a small .cur reader ------------------------------------------------

enum class Px { trasparente, nero, bianco, invertito };

struct Cursore {
    QString errore;
    int tipo = 0, immagini = 0, larghezza = 0, altezza = 0, colori = 0;
    int hot_x = -1, hot_y = -1;
    qint64 byte_dichiarati = 0, posizione = 0, dimensione_file = 0;
    int bih = 0, bih_larghezza = 0, bih_altezza = 0, piani = 0, bit = 0, compressione = 0;
    QRgb colore0 = 1, colore1 = 1;
    std::vector<Px> px; // row by row from the top

    Px at(int x, int y) const { return px[static_cast<std::size_t>(y * larghezza + x)]; }
    bool pieno(int x, int y) const { return at(x, y) != Px::trasparente; }
};

Cursore leggi_cur(const QString& file) {
    Cursore c;
    const QByteArray b = leggi_tutto(file);
    c.dimensione_file = b.size();
    auto u8 = [&](qsizetype at) { return static_cast<quint8>(b[at]); };
    auto u16 = [&](qsizetype at) { return int(qFromLittleEndian<quint16>(b.constData() + at)); };
    auto u32 = [&](qsizetype at) { return qint64(qFromLittleEndian<quint32>(b.constData() + at)); };
    if (b.size() < 22) {
        c.errore = "shorter than a directory";
        return c;
    }
    c.tipo = u16(2);
    c.immagini = u16(4);
    c.larghezza = u8(6);
    c.altezza = u8(7);
    c.colori = u8(8);
    c.hot_x = u16(10);
    c.hot_y = u16(12);
    c.byte_dichiarati = u32(14);
    c.posizione = u32(18);
    const qint64 o = c.posizione;
    if (o + 48 > b.size()) {
        c.errore = "image header past the end";
        return c;
    }
    c.bih = int(u32(o));
    c.bih_larghezza = int(u32(o + 4));
    c.bih_altezza = int(u32(o + 8));
    c.piani = u16(o + 12);
    c.bit = u16(o + 14);
    c.compressione = int(u32(o + 16));
    c.colore0 = qRgb(u8(o + 42), u8(o + 41), u8(o + 40));
    c.colore1 = qRgb(u8(o + 46), u8(o + 45), u8(o + 44));
    const int w = c.larghezza, h = c.altezza;
    const qint64 passo = (w + 31) / 32 * 4;
    const qint64 maschera_xor = o + 48, maschera_and = maschera_xor + passo * h;
    if (c.bit != 1 || maschera_and + passo * h > b.size()) {
        c.errore = "masks missing or not 1 bit per pixel";
        return c;
    }
    auto bit = [&](qint64 inizio, int x, int y) {
        // Rows are stored from the bottom up.
        return (u8(inizio + (h - 1 - y) * passo + x / 8) >> (7 - x % 8)) & 1;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = bit(maschera_and, x, y), v = bit(maschera_xor, x, y);
            c.px.push_back(a ? (v ? Px::invertito : Px::trasparente) : (v ? Px::bianco : Px::nero));
        }
    return c;
}

// Pixels reached from the border through transparent ones (4-neighbours).
std::vector<bool> fuori(const Cursore& c) {
    const int w = c.larghezza, h = c.altezza;
    std::vector<bool> visto(static_cast<std::size_t>(w * h), false);
    std::vector<std::pair<int, int>> pila;
    for (int x = 0; x < w; ++x)
        pila.insert(pila.end(), {{x, 0}, {x, h - 1}});
    for (int y = 0; y < h; ++y)
        pila.insert(pila.end(), {{0, y}, {w - 1, y}});
    while (!pila.empty()) {
        const auto [x, y] = pila.back();
        pila.pop_back();
        if (x < 0 || y < 0 || x >= w || y >= h || c.pieno(x, y))
            continue;
        const auto i = static_cast<std::size_t>(y * w + x);
        if (visto[i])
            continue;
        visto[i] = true;
        pila.insert(pila.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    return visto;
}

// Separate stretches of non-transparent pixels in one row.
int tratti(const Cursore& c, int y) {
    int n = 0;
    for (int x = 0; x < c.larghezza; ++x)
        if (c.pieno(x, y) && (x == 0 || !c.pieno(x - 1, y)))
            ++n;
    return n;
}

int riga_piu_alta(const Cursore& c) {
    for (int y = 0; y < c.altezza; ++y)
        if (tratti(c, y) > 0)
            return y;
    return c.altezza;
}

// ---- icons ----------------------------------------------------------------

struct VoceIco {
    int larghezza, altezza, colori, bit, bih_bit, bih_altezza;
};

// The directory of an .ico file and each image's own header, as stored.
QList<VoceIco> directory_ico(const QByteArray& b, int* tipo) {
    QList<VoceIco> v;
    *tipo = -1;
    if (b.size() < 6)
        return v;
    auto u16 = [&](qsizetype at) { return int(qFromLittleEndian<quint16>(b.constData() + at)); };
    auto u32 = [&](qsizetype at) { return qint64(qFromLittleEndian<quint32>(b.constData() + at)); };
    *tipo = u16(2);
    const int n = u16(4);
    for (int i = 0; i < n && 6 + 16 * (i + 1) <= b.size(); ++i) {
        const qsizetype e = 6 + 16 * i;
        const qint64 o = u32(e + 12);
        if (o + 40 > b.size())
            break;
        v.append({static_cast<quint8>(b[e]), static_cast<quint8>(b[e + 1]),
                  static_cast<quint8>(b[e + 2]), u16(e + 6), u16(o + 14), int(u32(o + 8))});
    }
    return v;
}

QList<QImage> immagini_ico(const QString& file) {
    QList<QImage> v;
    QImageReader r(file, "ico");
    for (int i = 0; i < r.imageCount(); ++i) {
        if (!r.jumpToImage(i))
            break;
        v.append(r.read().convertToFormat(QImage::Format_ARGB32));
    }
    return v;
}

QRgb rgb(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFF;
}
bool opaco(const QImage& img, int x, int y) {
    return qAlpha(img.pixel(x, y)) == 255;
}

// Colours of the opaque pixels.
std::set<QRgb> colori_usati(const QImage& img) {
    std::set<QRgb> s;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (opaco(img, x, y))
                s.insert(rgb(img, x, y));
    return s;
}

struct Macchia {
    int n = 0;
    double cx = 0, cy = 0;
    int alto = 1 << 20, basso = -1;
};
Macchia macchia(const QImage& img, const std::set<QRgb>& colori, int bordo = 0) {
    Macchia m;
    for (int y = bordo; y < img.height() - bordo; ++y)
        for (int x = bordo; x < img.width() - bordo; ++x)
            if (opaco(img, x, y) && colori.count(rgb(img, x, y))) {
                ++m.n;
                m.cx += x;
                m.cy += y;
                m.alto = std::min(m.alto, y);
                m.basso = std::max(m.basso, y);
            }
    if (m.n) {
        m.cx /= m.n;
        m.cy /= m.n;
    }
    return m;
}

void controlla_sedici_colori(const QImage& img) {
    const auto usati = colori_usati(img);
    QVERIFY2(usati.size() <= 16, qPrintable(QString::number(usati.size()) + " colours"));
    for (QRgb c : usati)
        QVERIFY2(sedici_colori.count(c),
                 qPrintable("colour outside the 16-colour palette: " + QString::number(c, 16)));
}

void controlla_directory_4bit(const QString& file, const QList<int>& lati) {
    int tipo = 0;
    const auto voci = directory_ico(leggi_tutto(file), &tipo);
    QCOMPARE(tipo, 1);
    QCOMPARE(voci.size(), lati.size());
    for (int i = 0; i < voci.size(); ++i) {
        QCOMPARE(voci[i].larghezza, lati[i]);
        QCOMPARE(voci[i].altezza, lati[i]);
        QCOMPARE(voci[i].colori, 16);
        QCOMPARE(voci[i].bit, 4);
        QCOMPARE(voci[i].bih_bit, 4);
        QCOMPARE(voci[i].bih_altezza, 2 * lati[i]);
    }
}

QString messaggio_errore(const std::string& testo) {
    try {
        leggi_arte(testo, "prova.txt");
    } catch (const ErroreArte& e) {
        return QString::fromStdString(e.what());
    }
    return {};
}

} // namespace

class TstImages : public QObject {
    Q_OBJECT

private slots:
    void puntatore_formato_data();
    void puntatore_formato();
    void puntatore_forma_data();
    void puntatore_forma();
    void mano_aperta_e_mano_chiusa();

    void icona_del_programma();
    void icona_di_setup();
    void png_uguali_alle_icone();

    void arte_valida();
    void arte_malformata_data();
    void arte_malformata();
    void lo_strumento_rifiuta_arte_malformata();
};

void TstImages::puntatore_formato_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("hot_x");
    QTest::addColumn<int>("hot_y");
    QTest::newRow("101 open hand") << "cursor/101.cur" << 16 << 15;
    QTest::newRow("102 closed hand") << "cursor/102.cur" << 15 << 17;
}

void TstImages::puntatore_formato() {
    QFETCH(QString, file);
    QFETCH(int, hot_x);
    QFETCH(int, hot_y);
    const Cursore c = leggi_cur(cartella + "/" + file);
    QVERIFY2(c.errore.isEmpty(), qPrintable(c.errore));
    QCOMPARE(c.tipo, 2);
    QCOMPARE(c.immagini, 1);
    QCOMPARE(c.larghezza, 32);
    QCOMPARE(c.altezza, 32);
    QCOMPARE(c.colori, 2);
    QCOMPARE(c.hot_x, hot_x);
    QCOMPARE(c.hot_y, hot_y);
    QCOMPARE(c.posizione, 22);
    QCOMPARE(c.bih, 40);
    QCOMPARE(c.bih_larghezza, 32);
    QCOMPARE(c.bih_altezza, 64);
    QCOMPARE(c.piani, 1);
    QCOMPARE(c.bit, 1);
    QCOMPARE(c.compressione, 0);
    QCOMPARE(c.colore0, qRgb(0, 0, 0));
    QCOMPARE(c.colore1, qRgb(255, 255, 255));
    // header, palette, XOR and AND masks of 32 rows of 4 bytes, nothing else
    QCOMPARE(c.byte_dichiarati, 40 + 8 + 128 + 128);
    QCOMPARE(c.dimensione_file, c.posizione + c.byte_dichiarati);
}

void TstImages::puntatore_forma_data() {
    puntatore_formato_data();
}

void TstImages::puntatore_forma() {
    QFETCH(QString, file);
    const Cursore c = leggi_cur(cartella + "/" + file);
    QVERIFY2(c.errore.isEmpty(), qPrintable(c.errore));
    QCOMPARE(std::count(c.px.begin(), c.px.end(), Px::invertito), 0);

    for (int i = 0; i < 32; ++i) {
        QVERIFY2(!c.pieno(i, 0) && !c.pieno(i, 31), qPrintable(QString("column %1").arg(i)));
        QVERIFY2(!c.pieno(0, i) && !c.pieno(31, i), qPrintable(QString("row %1").arg(i)));
    }

    // The outline closes all round: no white pixel has a transparent one
    // beside it, not even corner to corner.
    for (int y = 1; y < 31; ++y)
        for (int x = 1; x < 31; ++x) {
            if (c.at(x, y) != Px::bianco)
                continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    QVERIFY2(
                        c.pieno(x + dx, y + dy),
                        qPrintable(QString("white (%1, %2) touches transparency").arg(x).arg(y)));
        }

    const auto esterno = fuori(c);
    QVERIFY2(c.pieno(c.hot_x, c.hot_y) ||
                 !esterno[static_cast<std::size_t>(c.hot_y * 32 + c.hot_x)],
             "hotspot outside the hand");

    // A white hand drawn in black, not a few stray dots.
    const auto bianchi = std::count(c.px.begin(), c.px.end(), Px::bianco);
    const auto neri = std::count(c.px.begin(), c.px.end(), Px::nero);
    QVERIFY2(bianchi >= 250, qPrintable(QString::number(bianchi) + " white pixels"));
    QVERIFY2(neri >= 80 && neri < bianchi, qPrintable(QString::number(neri) + " black pixels"));
}

void TstImages::mano_aperta_e_mano_chiusa() {
    const Cursore aperta = leggi_cur(cartella + "/cursor/101.cur");
    const Cursore chiusa = leggi_cur(cartella + "/cursor/102.cur");
    QVERIFY(aperta.errore.isEmpty() && chiusa.errore.isEmpty());
    // Spread fingers: above the hotspot some row crosses four fingers with
    // gaps between them.
    int dita = 0;
    for (int y = 0; y < aperta.hot_y; ++y)
        dita = std::max(dita, tratti(aperta, y));
    QVERIFY2(dita >= 4, qPrintable(QString::number(dita) + " separate fingers"));
    // Curled fingers lie together: no row shows more than two separate parts.
    for (int y = 0; y < 32; ++y)
        QVERIFY2(tratti(chiusa, y) <= 2, qPrintable(QString("closed hand, row %1").arg(y)));
    // Fingers pointing up make the open hand the taller of the two.
    QVERIFY(riga_piu_alta(aperta) + 4 <= riga_piu_alta(chiusa));
}

void TstImages::icona_del_programma() {
    const QString file = cartella + "/icon/contavoce.ico";
    controlla_directory_4bit(file, {48});
    const auto immagini = immagini_ico(file);
    QCOMPARE(immagini.size(), 1);
    const QImage& img = immagini[0];
    QCOMPARE(img.size(), QSize(48, 48));
    controlla_sedici_colori(img);

    for (int i = 0; i < 48; ++i) {
        QVERIFY2(opaco(img, i, 0) && rgb(img, i, 0) == rosso && rgb(img, i, 47) == rosso,
                 qPrintable(QString("frame, column %1").arg(i)));
        QVERIFY2(rgb(img, 0, i) == rosso && rgb(img, 47, i) == rosso,
                 qPrintable(QString("frame, row %1").arg(i)));
    }
    for (int i = 1; i < 47; ++i)
        QVERIFY2(rgb(img, i, 1) == giallo && rgb(img, i, 46) == giallo &&
                     rgb(img, 1, i) == giallo && rgb(img, 46, i) == giallo,
                 qPrintable(QString("yellow inside the frame, %1").arg(i)));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            QVERIFY2(opaco(img, x, y),
                     qPrintable(QString("see-through at (%1, %2)").arg(x).arg(y)));

    const Macchia sfondo = macchia(img, {giallo}, 1);
    QVERIFY2(sfondo.n > 46 * 46 / 2, "mostly yellow");
    // The 6: large and red, centred in the upper half.
    const Macchia sei = macchia(img, {rosso}, 1);
    QVERIFY2(sei.n >= 250, qPrintable(QString::number(sei.n) + " red pixels"));
    QVERIFY(sei.basso - sei.alto + 1 >= 20);
    QVERIFY2(sei.cy < 24, qPrintable(QString("red centred on row %1").arg(sei.cy)));
    // "Sei": small black letters, all of them under the 6.
    const Macchia parola = macchia(img, {nero_rgb}, 1);
    QVERIFY2(parola.n >= 40, qPrintable(QString::number(parola.n) + " black pixels"));
    QVERIFY(parola.alto > sei.basso);
    QVERIFY(parola.basso - parola.alto + 1 <= 12);
}

void TstImages::icona_di_setup() {
    const QString file = cartella + "/icon/setup.ico";
    controlla_directory_4bit(file, {16, 32});
    const auto immagini = immagini_ico(file);
    QCOMPARE(immagini.size(), 2);
    QCOMPARE(immagini[0].size(), QSize(16, 16));
    QCOMPARE(immagini[1].size(), QSize(32, 32));
    for (const QImage& img : immagini) {
        const QString lato = QString::number(img.width());
        controlla_sedici_colori(img);
        const int m = img.width() - 1;
        QVERIFY2(!opaco(img, 0, 0) && !opaco(img, m, 0) && !opaco(img, m, m),
                 qPrintable(lato + ": corners see-through"));
        // The package, yellow and brown, stands in front at the lower right;
        // the computer's screen is above it.
        const Macchia pacco = macchia(img, {giallo, oliva});
        const Macchia schermo = macchia(img, {verde_acqua});
        QVERIFY2(pacco.n >= img.width() * img.width() / 12, qPrintable(lato + ": package"));
        QVERIFY2(schermo.n >= img.width() * img.width() / 32, qPrintable(lato + ": screen"));
        QVERIFY2(pacco.cx > img.width() / 2.0 && pacco.cy > img.height() / 2.0,
                 qPrintable(lato + ": package at the lower right"));
        QVERIFY2(schermo.cy < img.height() / 2.0 && schermo.cy < pacco.alto,
                 qPrintable(lato + ": screen above the package"));
    }
}

void TstImages::png_uguali_alle_icone() {
    const QImage programma(cartella + "/icon/contavoce.png", "PNG");
    const QImage setup(cartella + "/icon/setup.png", "PNG");
    const auto ico_programma = immagini_ico(cartella + "/icon/contavoce.ico");
    const auto ico_setup = immagini_ico(cartella + "/icon/setup.ico");
    QVERIFY(!programma.isNull() && !setup.isNull());
    QCOMPARE(ico_programma.size(), 1);
    QCOMPARE(ico_setup.size(), 2);
    QVERIFY(programma.convertToFormat(QImage::Format_ARGB32) == ico_programma[0]);
    QVERIFY(setup.convertToFormat(QImage::Format_ARGB32) == ico_setup[1]);
}

void TstImages::arte_valida() {
    // Comments, blank lines, Windows line ends and a trailing blank line are fine.
    const std::string testo = "# a test\r\n\r\ncursor 3 2\r\nhotspot 2 1\r\n"
                              "colour . transparent\r\ncolour # black\r\ncolour o white\r\n"
                              "art\r\n.#o\r\no#.\r\n\r\n";
    const Arte a = leggi_arte(testo, "prova.txt");
    QVERIFY(a.tipo == Tipo::cursore);
    QCOMPARE(a.larghezza, 3);
    QCOMPARE(a.altezza, 2);
    QVERIFY(a.hotspot && *a.hotspot == (Punto{2, 1}));
    QCOMPARE(a.pixel, (std::vector<int>{trasparente, nero, bianco, bianco, nero, trasparente}));

    const Arte i = leggi_arte("icon 2 1\ncolour y yellow\ncolour m maroon\nart\nmy", "i.txt");
    QVERIFY(i.tipo == Tipo::icona && !i.hotspot);
    QCOMPARE(i.pixel, (std::vector<int>{1, 11}));
}

void TstImages::arte_malformata_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("messaggio");
    const auto riga = [](const char* nome, const QString& testo, const char* messaggio) {
        QTest::newRow(nome) << testo << QString(messaggio);
    };
    const QString cur = "cursor 4 2\nhotspot 1 1\ncolour . transparent\ncolour # black\n"
                        "colour o white\nart\n";
    const QString ico = "icon 4 2\ncolour r red\ncolour y yellow\nart\n";
    riga("empty", "", "prova.txt:1: empty art file");
    riga("no kind", "colour . black\n", "prova.txt:1: the art must begin with");
    riga("size zero", "icon 0 4\n", "prova.txt:1: size 0x4 is outside 1..256");
    riga("unknown line", "icon 4 2\npalette 16\n", "prova.txt:2: unknown line");
    riga("no art line", "icon 4 2\ncolour r red\n", "prova.txt:3: no 'art' line");
    riga("unknown colour", "icon 4 2\ncolour b brown\n", "prova.txt:2: unknown colour 'brown'");
    riga("colour twice", "icon 4 2\ncolour r red\ncolour r maroon\n",
         "prova.txt:3: character 'r' is given a colour twice");
    riga("cursor without hotspot", "cursor 4 2\ncolour . transparent\nart\n....\n....\n",
         "needs a 'hotspot X Y'");
    riga("hotspot outside", "cursor 4 2\nhotspot 4 0\n",
         "prova.txt:2: hotspot (4, 0) lies outside");
    riga("cursor in colour", "cursor 4 2\nhotspot 1 1\ncolour r red\n",
         "only black, white and transparent");
    riga("row too long", cur + "....\n.#o..\n", "prova.txt:8: row 1 has 5 characters, expected 4");
    riga("too few rows", cur + "....\n", "the art has 1 rows, expected 2");
    riga("too many rows", cur + "....\n....\n....\n", "prova.txt:9: the art has more than 2 rows");
    riga("unknown character", ico + "rrrr\nryxr\n",
         "prova.txt:6: unknown character 'x' at column 2");
}

void TstImages::arte_malformata() {
    QFETCH(QString, testo);
    QFETCH(QString, messaggio);
    const QString e = messaggio_errore(testo.toStdString());
    QVERIFY2(e.startsWith("prova.txt:"), qPrintable("no error or no place: " + e));
    QVERIFY2(e.contains(messaggio), qPrintable(e));
}

void TstImages::lo_strumento_rifiuta_arte_malformata() {
    // A broken art file must stop the build: exit status 1, the file and the
    // line named, and no output left behind.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile arte(dir.filePath("rotta.txt"));
    QVERIFY(arte.open(QIODevice::WriteOnly));
    arte.write("icon 2 2\ncolour y yellow\nart\nyy\nyq\n");
    arte.close();
    const QString uscita = dir.filePath("out/rotta.ico");
    QProcess p;
    p.start(QStringLiteral(IMAGES_TOOL), {"ico", uscita, arte.fileName()});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QString errori = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(errori.contains("rotta.txt:5: unknown character 'q'"), qPrintable(errori));
    QVERIFY(!QFile::exists(uscita));
}

QTEST_MAIN(TstImages)
#include "tst_images.moc"
