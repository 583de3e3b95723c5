// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/images/formati.h"

#include <stdexcept>

namespace contavoce::immagini {

namespace {

constexpr std::uint32_t dimensione_intestazione_dir = 6;
constexpr std::uint32_t dimensione_voce_dir = 16;
constexpr std::uint32_t dimensione_bitmapinfo = 40;

class Byte {
public:
    void u8(unsigned v) { b_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void aggiungi(const std::vector<std::uint8_t>& altri) {
        b_.insert(b_.end(), altri.begin(), altri.end());
    }
    std::size_t size() const { return b_.size(); }
    std::vector<std::uint8_t> prendi() { return std::move(b_); }

private:
    std::vector<std::uint8_t> b_;
};

// Bytes in one bitmap row: rows are padded to whole 32-bit words.
std::uint32_t passo(int larghezza, int bit) {
    return static_cast<std::uint32_t>((larghezza * bit + 31) / 32 * 4);
}

// Packs one value per pixel, bottom row first, most significant bits first.
template <typename Valore> void maschera(Byte& out, const Arte& a, int bit, Valore valore) {
    const std::uint32_t n = passo(a.larghezza, bit);
    for (int y = a.altezza - 1; y >= 0; --y) {
        std::vector<std::uint8_t> riga(n, 0);
        for (int x = 0; x < a.larghezza; ++x) {
            const unsigned v = valore(a.at(x, y));
            const int bit_primo = x * bit;
            riga[static_cast<std::size_t>(bit_primo / 8)] |=
                static_cast<std::uint8_t>(v << (8 - bit - bit_primo % 8));
        }
        out.aggiungi(riga);
    }
}

// BITMAPINFOHEADER, palette, colour (XOR) mask and AND mask of one image.
std::vector<std::uint8_t> immagine(const Arte& a, int bit) {
    const std::uint32_t colori = 1u << bit;
    const std::uint32_t xor_byte = passo(a.larghezza, bit) * static_cast<std::uint32_t>(a.altezza);
    const std::uint32_t and_byte = passo(a.larghezza, 1) * static_cast<std::uint32_t>(a.altezza);
    Byte out;
    out.u32(dimensione_bitmapinfo);
    out.u32(static_cast<std::uint32_t>(a.larghezza));
    out.u32(static_cast<std::uint32_t>(a.altezza * 2)); // both masks count
    out.u16(1);                                         // planes
    out.u16(static_cast<unsigned>(bit));
    out.u32(0); // BI_RGB
    out.u32(xor_byte + and_byte);
    out.u32(0); // pixels per metre, x and y
    out.u32(0);
    out.u32(0); // colours used: all 2^bit
    out.u32(0); // colours important: all
    for (std::uint32_t i = 0; i < colori; ++i) {
        const Rgb c = bit == 1 ? tavolozza[i == 0 ? nero : bianco].rgb : tavolozza[i].rgb;
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
    if (bit == 1)
        maschera(out, a, 1, [](int p) { return p == bianco ? 1u : 0u; });
    else
        maschera(out, a, bit,
                 [](int p) { return p == trasparente ? 0u : static_cast<unsigned>(p); });
    maschera(out, a, 1, [](int p) { return p == trasparente ? 1u : 0u; });
    return out.prendi();
}

// A width or height as the directory stores it (a byte; 0 means 256).
unsigned lato_dir(int lato) {
    return static_cast<unsigned>(lato) & 0xFF;
}

} // namespace

std::vector<std::uint8_t> file_cur(const Arte& cursore) {
    if (cursore.tipo != Tipo::cursore || !cursore.hotspot)
        throw std::invalid_argument("file_cur needs cursor art with a hotspot");
    const auto img = immagine(cursore, 1);
    Byte out;
    out.u16(0);
    out.u16(2); // cursor
    out.u16(1);
    out.u8(lato_dir(cursore.larghezza));
    out.u8(lato_dir(cursore.altezza));
    out.u8(2); // colours
    out.u8(0);
    out.u16(static_cast<unsigned>(cursore.hotspot->x)); // where an icon has planes
    out.u16(static_cast<unsigned>(cursore.hotspot->y)); // where an icon has bits per pixel
    out.u32(static_cast<std::uint32_t>(img.size()));
    out.u32(dimensione_intestazione_dir + dimensione_voce_dir);
    out.aggiungi(img);
    return out.prendi();
}

std::vector<std::uint8_t> file_ico(const std::vector<Arte>& icone) {
    if (icone.empty())
        throw std::invalid_argument("file_ico needs at least one image");
    std::vector<std::vector<std::uint8_t>> immagini;
    for (const Arte& a : icone) {
        if (a.tipo != Tipo::icona)
            throw std::invalid_argument("file_ico needs icon art");
        immagini.push_back(immagine(a, 4));
    }
    Byte out;
    out.u16(0);
    out.u16(1); // icon
    out.u16(static_cast<unsigned>(icone.size()));
    auto posizione = static_cast<std::uint32_t>(dimensione_intestazione_dir +
                                                dimensione_voce_dir * icone.size());
    for (std::size_t i = 0; i < icone.size(); ++i) {
        out.u8(lato_dir(icone[i].larghezza));
        out.u8(lato_dir(icone[i].altezza));
        out.u8(16); // colours
        out.u8(0);
        out.u16(1); // planes
        out.u16(4); // bits per pixel
        out.u32(static_cast<std::uint32_t>(immagini[i].size()));
        out.u32(posizione);
        posizione += static_cast<std::uint32_t>(immagini[i].size());
    }
    for (const auto& img : immagini)
        out.aggiungi(img);
    return out.prendi();
}

} // namespace contavoce::immagini
