// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/inf/voce_menu.h"

#include "setup/inf/testo_inf.h"

#include <array>
#include <fstream>

namespace contavoce::inf {

std::string valore_desktop(std::string_view testo) {
    std::string r;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (c == '\\')
            r += "\\\\";
        else if (c == '\n')
            r += "\\n";
        else if (c == '\t')
            r += "\\t";
        else if (c == '\r')
            r += "\\r";
        else if (c == ' ' && i == 0)
            r += "\\s";
        else
            r += c;
    }
    return r;
}

std::string argomento_exec(std::string_view argomento) {
    constexpr std::string_view riservati = " \t\n\"'\\><~|&;$*?#()`";
    const bool virgolette =
        argomento.empty() || argomento.find_first_of(riservati) != argomento.npos;
    std::string r = virgolette ? "\"" : "";
    for (const char c : argomento) {
        if (virgolette && (c == '"' || c == '`' || c == '$' || c == '\\'))
            r += '\\';
        r += c;
        if (c == '%')
            r += '%';
    }
    if (virgolette)
        r += '"';
    return r;
}

std::string testo_desktop(const VoceMenu& voce) {
    std::string t = "[Desktop Entry]\nType=Application\nVersion=1.4\n";
    t += "Name=" + valore_desktop(voce.nome) + "\n";
    if (!voce.commento.empty())
        t += "Comment=" + valore_desktop(voce.commento) + "\n";
    t += "Exec=" + valore_desktop(argomento_exec(voce.eseguibile.string())) + "\n";
    t += "Path=" + valore_desktop(voce.eseguibile.parent_path().string()) + "\n";
    // By its name in the icon theme, where it was installed: a menu then picks
    // the size it needs, and the entry outlives a move of the theme folder.
    if (!voce.icona.empty())
        t += "Icon=" + valore_desktop(voce.icona.stem().string()) + "\n";
    t += "Terminal=false\n";
    if (!voce.categorie.empty())
        t += "Categories=" + valore_desktop(voce.categorie) + "\n";
    return t;
}

// Only the header is needed, so it is read by hand rather than through an
// image library: the 8-byte signature, then IHDR with width and height.
int lato_icona_png(const std::filesystem::path& png) {
    std::array<unsigned char, 24> t{};
    std::ifstream f(png, std::ios::binary);
    f.read(reinterpret_cast<char*>(t.data()), t.size());
    constexpr std::array<unsigned char, 16> inizio = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n',
                                                      0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    if (!f || !std::equal(inizio.begin(), inizio.end(), t.begin()))
        throw ErroreInf(png.filename().string() + ": a menu icon must be a PNG image");
    const auto be32 = [&](std::size_t at) {
        return (std::uint32_t(t[at]) << 24) | (std::uint32_t(t[at + 1]) << 16) |
               (std::uint32_t(t[at + 2]) << 8) | std::uint32_t(t[at + 3]);
    };
    const std::uint32_t larghezza = be32(16), altezza = be32(20);
    if (larghezza != altezza || larghezza == 0 || larghezza > 1024)
        throw ErroreInf(png.filename().string() +
                        ": a menu icon must be square, at most 1024 pixels wide");
    return int(larghezza);
}

} // namespace contavoce::inf
