// SPDX-License-Identifier: GPL-3.0-or-later
// Pointer images and icons from the program's resources, ready for widgets.
#pragma once

#include <QCursor>
#include <QIcon>
#include <optional>
#include <string_view>

namespace contavoce::platform {

// The monochrome pointer resource with this number (101 open hand, 102
// closed hand), loaded afresh on every call; nothing if it is missing or
// not a 1-bit cursor. On a screen of scale `scala` it is drawn that many
// times larger (to the nearest whole factor, pixels repeated, so it stays
// sharp), as the desktop's own pointers are.
std::optional<QCursor> puntatore(int numero, qreal scala = 1);

// An icon resource by name ("contavoce", "setup"); a null icon if missing.
QIcon icona(std::string_view nome);

} // namespace contavoce::platform
