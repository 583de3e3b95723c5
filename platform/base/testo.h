// SPDX-License-Identifier: GPL-3.0-or-later
// Small text routines the program, the setup launcher and installa-inf share:
// names compared as Windows compares them, blanks trimmed, Windows-1252 read.
// Plain bytes in and out, whatever the locale; no Qt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace contavoce::platform {

// ASCII letters in lower case; every other byte as it is.
constexpr char minuscola(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
std::string minuscolo(std::string_view s);

// Equal but for the case of ASCII letters, as Windows compares the names of
// sections, keys and files.
bool stesso_nome(std::string_view a, std::string_view b);

// The blanks of the C locale's isspace.
inline constexpr std::string_view blanchi = " \t\r\n\v\f";

// `s` without the characters of `quali` at both ends, at its start or at its end.
std::string_view senza_blanchi(std::string_view s, std::string_view quali = blanchi);
std::string_view senza_blanchi_in_testa(std::string_view s, std::string_view quali = blanchi);
std::string_view senza_blanchi_in_coda(std::string_view s, std::string_view quali = blanchi);

// What becomes of the five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D).
enum class Indefiniti {
    errore,    // the text is not Windows-1252: the conversion stops there
    controlli, // the C1 control characters of the same number, as Windows converts them
};

struct DaWindows1252 {
    std::string utf8;                         // up to `errore_a`, when there is an error
    std::size_t errore_a = std::string::npos; // offset of the first undefined byte
};

// Windows-1252 text as UTF-8 (at most 3 bytes for each byte).
DaWindows1252 da_windows_1252(std::string_view byte, Indefiniti indefiniti);

// The length in bytes of the UTF-8 character that starts `testo`, its code
// point in `punto`; 0 when the bytes are not one (RFC 3629: no overlong
// forms, no surrogates, nothing past U+10FFFF).
std::size_t carattere_utf8(std::string_view testo, char32_t& punto);

} // namespace contavoce::platform
