// SPDX-License-Identifier: GPL-3.0-or-later
// contavoce-images: turns the text art in resources/images into the pointer
// and icon files the program embeds, and PNGs of the icons.
#include "tools/images/arte.h"
#include "tools/images/formati.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace contavoce::immagini;

namespace {

constexpr const char* aiuto = R"(Usage: contavoce-images [--preview DIR] COMMAND ARGS

Commands:
  cur ART OUT.cur        a pointer from cursor art
  ico OUT.ico ART...     an icon holding one image per icon art, in that order
  png ART OUT.png [N]    the art as a PNG at its own size, or N times larger (every
                         pixel an N×N square, no smoothing), transparent where the art is
  svg ART OUT.svg        the art as a scalable SVG picture, one square per pixel

--preview DIR  also writes DIR/<art file name>.png, every art read drawn 8 times
               larger, see-through pixels as a grey check, a pointer's hotspot
               marked with a magenta dot.

Art that is malformed is refused with its file and line; the exit status is
then 1 (2 for bad usage).
)";

constexpr int scala_anteprima = 8;

class Errore : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Scaled by a whole factor, so that pixel art stays sharp at every icon size.
QImage in_immagine(const Arte& a, int scala = 1) {
    QImage img(a.larghezza * scala, a.altezza * scala, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int p = a.at(x / scala, y / scala);
            const Rgb c = p == trasparente ? Rgb{0, 0, 0} : tavolozza[p].rgb;
            img.setPixel(x, y, qRgba(c.r, c.g, c.b, p == trasparente ? 0 : 255));
        }
    return img;
}

QImage anteprima(const Arte& a) {
    const int s = scala_anteprima;
    QImage img(a.larghezza * s, a.altezza * s, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int p = a.at(x / s, y / s);
            QRgb c;
            if (p != trasparente)
                c = qRgb(tavolozza[p].rgb.r, tavolozza[p].rgb.g, tavolozza[p].rgb.b);
            else
                c = ((x / (s / 2) + y / (s / 2)) % 2) ? qRgb(0xB0, 0xB8, 0xC0)
                                                      : qRgb(0x98, 0xA0, 0xA8);
            img.setPixel(x, y, c);
        }
    if (a.hotspot) {
        const int cx = a.hotspot->x * s + s / 2, cy = a.hotspot->y * s + s / 2;
        for (int y = cy - 2; y < cy + 2; ++y)
            for (int x = cx - 2; x < cx + 2; ++x)
                img.setPixel(x, y, qRgb(0xFF, 0x00, 0xFF));
    }
    return img;
}

// Each row's runs of one colour become rectangles; crispEdges keeps the
// squares' borders sharp however far the picture is scaled.
std::string in_svg(const Arte& a) {
    std::string t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(a.larghezza) + "\" height=\"" + std::to_string(a.altezza) +
                    "\" viewBox=\"0 0 " + std::to_string(a.larghezza) + " " +
                    std::to_string(a.altezza) + "\" shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < a.altezza; ++y)
        for (int x = 0; x < a.larghezza;) {
            const int p = a.at(x, y);
            int fine = x + 1;
            while (fine < a.larghezza && a.at(fine, y) == p)
                ++fine;
            if (p != trasparente) {
                char colore[8];
                const Rgb c = tavolozza[static_cast<std::size_t>(p)].rgb;
                std::snprintf(colore, sizeof colore, "#%02x%02x%02x", c.r, c.g, c.b);
                t += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
                     "\" width=\"" + std::to_string(fine - x) + "\" height=\"1\" fill=\"" + colore +
                     "\"/>\n";
            }
            x = fine;
        }
    return t + "</svg>\n";
}

void prepara_cartella(const QString& file) {
    const QString cartella = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(cartella))
        throw Errore("cannot create " + cartella.toStdString());
}

void scrivi_byte(const QString& file, const std::vector<std::uint8_t>& byte) {
    prepara_cartella(file);
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(reinterpret_cast<const char*>(byte.data()), static_cast<qint64>(byte.size())) !=
            static_cast<qint64>(byte.size()) ||
        !f.commit())
        throw Errore("cannot write " + file.toStdString());
}

void scrivi_png(const QString& file, const QImage& img) {
    prepara_cartella(file);
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly) || !img.save(&f, "PNG") || !f.commit())
        throw Errore("cannot write " + file.toStdString());
}

class Programma {
public:
    explicit Programma(QString cartella_anteprime) : anteprime_(std::move(cartella_anteprime)) {}

    Arte leggi(const std::string& percorso, std::optional<Tipo> atteso = std::nullopt) const {
        Arte a = leggi_file_arte(percorso);
        if (atteso && a.tipo != *atteso)
            throw Errore(percorso + ": expected " + (*atteso == Tipo::cursore ? "cursor" : "icon") +
                         " art");
        if (!anteprime_.isEmpty())
            scrivi_png(anteprime_ + "/" + QFileInfo(QString::fromStdString(percorso)).baseName() +
                           ".png",
                       anteprima(a));
        return a;
    }

private:
    QString anteprime_;
};

int esegui(const std::vector<std::string>& arg) {
    std::size_t i = 0;
    QString anteprime;
    if (arg.size() >= 2 && arg[0] == "--preview") {
        anteprime = QString::fromStdString(arg[1]);
        i = 2;
    }
    const Programma prog(anteprime);
    const auto resto = arg.size() - i;
    if (resto == 3 && arg[i] == "cur") {
        scrivi_byte(QString::fromStdString(arg[i + 2]),
                    file_cur(prog.leggi(arg[i + 1], Tipo::cursore)));
    } else if (resto >= 3 && arg[i] == "ico") {
        std::vector<Arte> icone;
        for (std::size_t k = i + 2; k < arg.size(); ++k)
            icone.push_back(prog.leggi(arg[k], Tipo::icona));
        scrivi_byte(QString::fromStdString(arg[i + 1]), file_ico(icone));
    } else if ((resto == 3 || resto == 4) && arg[i] == "png") {
        int scala = 1;
        if (resto == 4) {
            const std::string& n = arg[i + 3];
            const auto [fine, errore] = std::from_chars(n.data(), n.data() + n.size(), scala);
            if (errore != std::errc() || fine != n.data() + n.size() || scala < 1 || scala > 64)
                throw Errore("the scale must be a whole number from 1 to 64, not \"" + n + "\"");
        }
        scrivi_png(QString::fromStdString(arg[i + 2]), in_immagine(prog.leggi(arg[i + 1]), scala));
    } else if (resto == 3 && arg[i] == "svg") {
        const std::string t = in_svg(prog.leggi(arg[i + 1], Tipo::icona));
        scrivi_byte(QString::fromStdString(arg[i + 2]),
                    std::vector<std::uint8_t>(t.begin(), t.end()));
    } else {
        std::fputs(aiuto, stderr);
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arg(argv + 1, argv + argc);
    if (arg.size() == 1 && (arg[0] == "--help" || arg[0] == "-h")) {
        std::fputs(aiuto, stdout);
        return 0;
    }
    try {
        return esegui(arg);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contavoce-images: %s\n", e.what());
        return 1;
    }
}
