// SPDX-License-Identifier: GPL-3.0-or-later
// Values from a profile (.ini) file, read the way Windows' GetPrivateProfileString
// and GetPrivateProfileInt read them: setup.inf files are written for that reader.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace contavoce::setup {

// The most of a profile file that is read: setup.inf holds six short keys, so
// anything larger is not a setup.inf meant for this launcher.
inline constexpr std::size_t profilo_massimo = 64 * 1024;

// A profile file read once. A file that is missing, not a plain file or larger
// than `massimo` bytes reads as empty: every key is missing.
class Profilo {
public:
    explicit Profilo(const std::filesystem::path& file, std::size_t massimo = profilo_massimo);
    // As profilo_stringa and profilo_intero below, on this file's text.
    std::string stringa(std::string_view sezione, std::string_view chiave,
                        std::string_view predefinito, std::size_t lunghezza) const;
    int intero(std::string_view sezione, std::string_view chiave, int predefinito) const;

private:
    std::string testo_;
};

// The value of `chiave` in the first section named `sezione` (both names
// compared without regard to case), with the blanks around it and one pair of
// enclosing quotes (double or single) removed, cut to `lunghezza` characters.
// `predefinito` (cut the same way) when the file, the section or the key is
// missing. The bytes are returned as stored: setup.inf text is Windows-1252.
std::string profilo_stringa(std::string_view sezione, std::string_view chiave,
                            std::string_view predefinito, std::size_t lunghezza,
                            const std::filesystem::path& file);

// The integer the value begins with ("0x", "0o" and "0b" prefixes and a sign
// allowed, as Windows reads it), 0 when the value does not begin with one, and
// `predefinito` when the key is missing or its value is empty.
int profilo_intero(std::string_view sezione, std::string_view chiave, int predefinito,
                   const std::filesystem::path& file);

// Windows-1252 text as UTF-8, for display.
std::string da_windows_1252(std::string_view testo);

} // namespace contavoce::setup
