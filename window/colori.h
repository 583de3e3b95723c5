// SPDX-License-Identifier: GPL-3.0-or-later
// Colours as the layout gives them: 32-bit values blue*65536 + green*256 + red,
// or, with the top bit set, the index of a system colour that the running
// desktop supplies.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace contavoce {

inline constexpr std::uint32_t colore_sfondo_finestra = 0x80000005; // window background
inline constexpr std::uint32_t colore_testo_finestra = 0x80000008;  // window text
inline constexpr std::uint32_t colore_testo_titolo = 0x80000009;    // title-bar text

constexpr std::uint32_t rgb(int r, int g, int b) {
    return std::uint32_t(b) << 16 | std::uint32_t(g) << 8 | std::uint32_t(r);
}

inline QColor colore(std::uint32_t valore, const QPalette& tavolozza) {
    if (valore & 0x80000000u) {
        switch (valore & 0xff) {
        case 5:
            return tavolozza.color(QPalette::Base);
        case 8:
            return tavolozza.color(QPalette::Text);
        case 9:
            return tavolozza.color(QPalette::HighlightedText);
        default:
            return tavolozza.color(QPalette::Window);
        }
    }
    return QColor(int(valore & 0xff), int(valore >> 8 & 0xff), int(valore >> 16 & 0xff));
}

} // namespace contavoce
