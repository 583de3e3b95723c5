// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/verifica_midi.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace contavoce::platform {
namespace {

std::uint32_t be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

} // namespace

bool sembra_midi(std::string_view dati) {
    const auto* b = reinterpret_cast<const unsigned char*>(dati.data());
    const std::size_t n = dati.size();
    if (n < 14 || std::memcmp(b, "MThd", 4) != 0 || be32(b + 4) < 6)
        return false;
    const unsigned formato = unsigned(b[8]) << 8 | b[9];
    const unsigned tracce = unsigned(b[10]) << 8 | b[11];
    if (formato > 2 || tracce == 0)
        return false;
    std::size_t at = 8 + be32(b + 4);
    unsigned trovate = 0;
    while (at + 8 <= n) {
        const std::uint64_t lunghezza = be32(b + at + 4);
        if (at + 8 + lunghezza > n)
            return false;
        if (std::memcmp(b + at, "MTrk", 4) == 0)
            ++trovate;
        at += 8 + std::size_t(lunghezza);
    }
    return trovate > 0;
}

} // namespace contavoce::platform
