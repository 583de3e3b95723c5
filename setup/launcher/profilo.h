// Values from a profile (.ini) file, read the way Windows' GetPrivateProfileString
// and GetPrivateProfileInt read them: setup.inf files are written for that reader.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace contavoce::setup {

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
