// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own resources, carried inside the executable: sound effects,
// pointer images and icons, looked up by name and type with letter case
// ignored in both ("gallo"/"wav" finds GALLO of type WAV).
#pragma once

#include <QByteArray>
#include <optional>
#include <string_view>

namespace contavoce::platform {

// The bytes of the resource exactly as stored (a complete WAV image for type
// "wav"), or nothing when there is no such resource. The bytes live in the
// executable image; the returned array does not copy them.
std::optional<QByteArray> risorsa(std::string_view nome, std::string_view tipo);

} // namespace contavoce::platform
