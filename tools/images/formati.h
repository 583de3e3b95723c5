// SPDX-License-Identifier: GPL-3.0-or-later
// Windows pointer (.cur) and icon (.ico) files from text art.
//
// Hand-written on purpose: no library at hand writes these. Qt's ico plugin
// only reads, and ImageMagick offers no control over a cursor's hotspot or
// over the exact 1-bit/4-bit palette and masks. Both formats are small and fixed.
#pragma once

#include "tools/images/arte.h"

#include <cstdint>
#include <vector>

namespace contavoce::immagini {

// One 1-bit image: black/white palette, XOR mask then AND mask, the hotspot
// in the directory entry. Transparent is AND 1 XOR 0.
std::vector<std::uint8_t> file_cur(const Arte& cursore);

// One 4-bit image per icon art, in the order given, all with the standard
// 16-colour palette. Transparent is AND 1 with colour 0.
std::vector<std::uint8_t> file_ico(const std::vector<Arte>& icone);

} // namespace contavoce::immagini
