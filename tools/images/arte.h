// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures drawn as text: one character per pixel, a legend that gives each
// character a colour of the standard 16-colour Windows palette (or makes it
// transparent), and for pointers the hotspot.
//
//   # comment
//   cursor 32 32          kind (cursor or icon) and size in pixels
//   hotspot 16 15         pointers only: the pixel that does the pointing
//   colour . transparent  one line per character of the picture
//   colour # black
//   art                   then exactly <height> lines of exactly <width> characters
//
// Malformed art is refused with an ErroreArte naming the file and the line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::immagini {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

// The palette of 4-bit Windows bitmaps, in its customary order.
struct ColoreNominato {
    std::string_view nome;
    Rgb rgb;
};
inline constexpr std::array<ColoreNominato, 16> tavolozza = {{
    {"black", {0x00, 0x00, 0x00}},
    {"maroon", {0x80, 0x00, 0x00}},
    {"green", {0x00, 0x80, 0x00}},
    {"olive", {0x80, 0x80, 0x00}},
    {"navy", {0x00, 0x00, 0x80}},
    {"purple", {0x80, 0x00, 0x80}},
    {"teal", {0x00, 0x80, 0x80}},
    {"silver", {0xC0, 0xC0, 0xC0}},
    {"grey", {0x80, 0x80, 0x80}},
    {"red", {0xFF, 0x00, 0x00}},
    {"lime", {0x00, 0xFF, 0x00}},
    {"yellow", {0xFF, 0xFF, 0x00}},
    {"blue", {0x00, 0x00, 0xFF}},
    {"fuchsia", {0xFF, 0x00, 0xFF}},
    {"aqua", {0x00, 0xFF, 0xFF}},
    {"white", {0xFF, 0xFF, 0xFF}},
}};
inline constexpr int nero = 0;
inline constexpr int bianco = 15;
// Pixel value of a see-through pixel (palette indices are 0..15).
inline constexpr int trasparente = -1;

enum class Tipo { cursore, icona };

struct Punto {
    int x = 0, y = 0;
    bool operator==(const Punto&) const = default;
};

struct Arte {
    Tipo tipo = Tipo::icona;
    int larghezza = 0;
    int altezza = 0;
    std::optional<Punto> hotspot; // always set for a cursor, never for an icon
    std::vector<int> pixel;       // row by row from the top, palette index or trasparente

    int at(int x, int y) const { return pixel[static_cast<std::size_t>(y * larghezza + x)]; }
};

class ErroreArte : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses art text; nome (usually the file's path) prefixes every message.
Arte leggi_arte(std::string_view testo, const std::string& nome);

// Reads and parses a file.
Arte leggi_file_arte(const std::string& percorso);

} // namespace contavoce::immagini
