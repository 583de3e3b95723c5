// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/base/testo.h"

#include <array>

namespace contavoce::platform {
namespace {

// 0x80 to 0x9F, the only bytes where Windows-1252 is not Latin-1; 0 where it
// leaves the byte undefined. The bytes from 0xA0 up are U+00A0 to U+00FF.
constexpr std::array<char16_t, 32> da_0x80 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void aggiungi_utf8(std::string& s, char16_t c) {
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string minuscolo(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = minuscola(c);
    return r;
}

bool stesso_nome(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (minuscola(a[i]) != minuscola(b[i]))
            return false;
    return true;
}

std::string_view senza_blanchi_in_testa(std::string_view s, std::string_view quali) {
    const auto inizio = s.find_first_not_of(quali);
    return inizio == std::string_view::npos ? std::string_view{} : s.substr(inizio);
}

std::string_view senza_blanchi_in_coda(std::string_view s, std::string_view quali) {
    const auto fine = s.find_last_not_of(quali);
    return fine == std::string_view::npos ? std::string_view{} : s.substr(0, fine + 1);
}

std::string_view senza_blanchi(std::string_view s, std::string_view quali) {
    return senza_blanchi_in_coda(senza_blanchi_in_testa(s, quali), quali);
}

DaWindows1252 da_windows_1252(std::string_view byte, Indefiniti indefiniti) {
    DaWindows1252 r;
    r.utf8.reserve(byte.size());
    for (std::size_t i = 0; i < byte.size(); ++i) {
        const auto b = static_cast<unsigned char>(byte[i]);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0 && da_0x80[b - 0x80] != 0) {
            c = da_0x80[b - 0x80];
        } else if (b >= 0x80 && b < 0xA0 && indefiniti == Indefiniti::errore) {
            r.errore_a = i;
            break;
        }
        aggiungi_utf8(r.utf8, c);
    }
    return r;
}

std::size_t carattere_utf8(std::string_view testo, char32_t& punto) {
    if (testo.empty())
        return 0;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(testo[i]); };
    const unsigned char c = b(0);
    std::size_t n = 0;
    if (c < 0x80) {
        punto = c;
        return 1;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        punto = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        punto = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        punto = c & 0x07u;
    } else {
        return 0;
    }
    if (testo.size() < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0u) != 0x80u)
            return 0;
        punto = (punto << 6) | (b(i) & 0x3Fu);
    }
    if ((n == 3 && punto < 0x800) || (n == 4 && punto < 0x10000) || punto > 0x10FFFF ||
        (punto >= 0xD800 && punto <= 0xDFFF))
        return 0;
    return n;
}

} // namespace contavoce::platform
