// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/profilo.h"

#include "platform/base/file.h"
#include "platform/base/testo.h"

#include <cstdint>
#include <optional>

namespace contavoce::setup {
namespace {

using platform::minuscola;
using platform::senza_blanchi;
// Section and key names are compared as Windows compares them, without regard
// to case; the names the launcher asks for are ASCII.
using platform::stesso_nome;

// The raw value of the key: nothing when the key is missing. Lines end with LF
// or CR LF; only the first section of the name is searched, as Windows does.
std::optional<std::string_view> valore(std::string_view testo, std::string_view sezione,
                                       std::string_view chiave) {
    bool dentro = false;
    while (!testo.empty()) {
        const auto a_capo = testo.find('\n');
        const auto riga = senza_blanchi(testo.substr(0, a_capo));
        testo = a_capo == std::string_view::npos ? std::string_view{} : testo.substr(a_capo + 1);
        if (riga.empty() || riga.front() == ';')
            continue;
        if (riga.front() == '[') {
            if (dentro)
                return std::nullopt;
            const auto chiusa = riga.find(']');
            dentro = stesso_nome(senza_blanchi(riga.substr(
                                     1, chiusa == std::string_view::npos ? chiusa : chiusa - 1)),
                                 sezione);
            continue;
        }
        if (!dentro)
            continue;
        const auto uguale = riga.find('=');
        if (stesso_nome(senza_blanchi(riga.substr(0, uguale)), chiave))
            return uguale == std::string_view::npos ? std::string_view{}
                                                    : senza_blanchi(riga.substr(uguale + 1));
    }
    return std::nullopt;
}

} // namespace

Profilo::Profilo(const std::filesystem::path& file, std::size_t massimo)
    : testo_(platform::contenuto_file_limitato(file, massimo).value_or(std::string{})) {}

std::string Profilo::stringa(std::string_view sezione, std::string_view chiave,
                             std::string_view predefinito, std::size_t lunghezza) const {
    auto v = valore(testo_, sezione, chiave);
    if (!v)
        return std::string(predefinito.substr(0, lunghezza));
    if (v->size() >= 2 && (v->front() == '"' || v->front() == '\'') && v->back() == v->front())
        *v = v->substr(1, v->size() - 2);
    return std::string(v->substr(0, lunghezza));
}

int Profilo::intero(std::string_view sezione, std::string_view chiave, int predefinito) const {
    // Windows reads the value into a 30-character buffer first.
    const std::string testo = stringa(sezione, chiave, "", 29);
    if (testo.empty())
        return predefinito;
    std::string_view v = senza_blanchi(testo);
    bool negativo = false;
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
        negativo = v.front() == '-';
        v.remove_prefix(1);
    }
    unsigned base = 10;
    if (v.size() >= 2 && v[0] == '0') {
        switch (minuscola(v[1])) {
        case 'x':
            base = 16;
            break;
        case 'o':
            base = 8;
            break;
        case 'b':
            base = 2;
            break;
        }
        if (base != 10)
            v.remove_prefix(2);
    }
    // Unsigned arithmetic: an overlong number wraps as Windows' 32-bit one does.
    std::uint32_t n = 0;
    for (const char c : v) {
        const char m = minuscola(c);
        const unsigned cifra = m >= '0' && m <= '9'   ? unsigned(m - '0')
                               : m >= 'a' && m <= 'z' ? unsigned(m - 'a' + 10)
                                                      : base;
        if (cifra >= base)
            break;
        n = n * base + cifra;
    }
    return static_cast<int>(negativo ? 0u - n : n);
}

std::string profilo_stringa(std::string_view sezione, std::string_view chiave,
                            std::string_view predefinito, std::size_t lunghezza,
                            const std::filesystem::path& file) {
    return Profilo(file).stringa(sezione, chiave, predefinito, lunghezza);
}

int profilo_intero(std::string_view sezione, std::string_view chiave, int predefinito,
                   const std::filesystem::path& file) {
    return Profilo(file).intero(sezione, chiave, predefinito);
}

std::string da_windows_1252(std::string_view testo) {
    // The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
    // 0x9D) become the control characters of the same number, as Windows
    // converts them.
    return platform::da_windows_1252(testo, platform::Indefiniti::controlli).utf8;
}

} // namespace contavoce::setup
