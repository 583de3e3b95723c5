// SPDX-License-Identifier: GPL-3.0-or-later
// An INF file read the way setupapi reads one: sections and key names with
// letter case ignored, ";" comments, double-quoted fields ("" is a quote),
// comma-separated fields, %name% replaced from [Strings] (%% is a percent
// sign). The text may be UTF-8 or Windows-1252; it is held as UTF-8.
//
// Anything it cannot read for certain is refused with an ErroreInf that names
// the file and the line, because a misread INF would install the wrong thing.
#pragma once

#include "platform/base/testo.h"

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::inf {

class ErroreInf : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "key = field, field" or a bare "field, field".
struct Riga {
    std::optional<std::string> chiave;
    std::vector<std::string> campi; // never empty: "key =" holds one empty field
    int numero = 0;                 // line in the file
};

class TestoInf {
public:
    static TestoInf da_byte(std::string_view byte, std::string nome);
    static TestoInf leggi(const std::filesystem::path& percorso);

    bool ha_sezione(std::string_view sezione) const;
    // The lines of a section in file order (a section written twice is one);
    // none when it is missing.
    const std::vector<Riga>& righe(std::string_view sezione) const;
    std::vector<const Riga*> con_chiave(std::string_view sezione, std::string_view chiave) const;
    // The first field of the first line with that key.
    std::optional<std::string> valore(std::string_view sezione, std::string_view chiave) const;

    const std::string& nome() const { return nome_; }
    // "file:line", to begin a message about that line.
    std::string dove(const Riga& riga) const;

private:
    std::string nome_;
    std::map<std::string, std::vector<Riga>> sezioni_; // by lower-case name
};

// ASCII letters compared without case, as setupapi compares names.
using platform::stesso_nome;

// The text as UTF-8: a UTF-8 file (with or without its byte-order mark) as it
// is, any other file converted from Windows-1252.
std::string testo_utf8(std::string_view byte, const std::string& nome);

} // namespace contavoce::inf
