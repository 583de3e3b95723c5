// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/inf/testo_inf.h"

#include "platform/base/file.h"
#include "platform/base/testo.h"

#include <algorithm>
#include <iconv.h>
#include <memory>
#include <sstream>

namespace contavoce::inf {
namespace {

using platform::minuscolo;

// The blanks around names, fields and lines of an INF.
constexpr std::string_view spazi = " \t";

bool spazio(char c) {
    return c == ' ' || c == '\t';
}

std::string_view senza_spazi(std::string_view s) {
    return platform::senza_blanchi(s, spazi);
}

struct ChiudiIconv {
    void operator()(void* d) const { iconv_close(static_cast<iconv_t>(d)); }
};

struct Conversione {
    std::string testo;
    std::size_t errore_a = std::string::npos; // offset of the first byte it could not read
};

// glibc's iconv checks UTF-8 strictly (overlong forms, surrogates), which a
// hand-written check would have to get right again.
Conversione da_utf8(std::string_view byte) {
    const iconv_t d = iconv_open("UTF-8", "UTF-8");
    if (d == reinterpret_cast<iconv_t>(-1))
        throw ErroreInf("no converter from UTF-8");
    const std::unique_ptr<void, ChiudiIconv> chiudi(d);
    Conversione c;
    c.testo.resize(byte.size() * 3 + 4);
    char* da = const_cast<char*>(byte.data());
    std::size_t da_leggere = byte.size();
    char* a = c.testo.data();
    std::size_t spazio_libero = c.testo.size();
    if (iconv(d, &da, &da_leggere, &a, &spazio_libero) == static_cast<std::size_t>(-1))
        c.errore_a = std::size_t(da - byte.data());
    c.testo.resize(c.testo.size() - spazio_libero);
    return c;
}

// One field as it is built: whitespace outside quotes is trimmed at both
// ends, quoted and substituted text is kept whole.
struct Campo {
    std::string testo;
    std::size_t tenere = 0; // length that trailing trimming must not cut into
    bool iniziato = false;

    void aggiungi(char c, bool protetto) {
        if (!protetto && spazio(c) && !iniziato)
            return;
        testo += c;
        iniziato = true;
        if (protetto || !spazio(c))
            tenere = testo.size();
    }
    void aggiungi(std::string_view s) {
        testo += s;
        iniziato = true;
        tenere = testo.size();
    }
    std::string chiudi() {
        testo.resize(tenere);
        std::string r = std::move(testo);
        *this = {};
        return r;
    }
};

using Stringhe = std::map<std::string, std::string>;

// A line of a section; `stringhe` is null for [Strings] itself, whose values
// are taken literally. Throws with a message that the caller places.
Riga analizza(std::string_view riga, const Stringhe* stringhe) {
    Riga r;
    Campo campo;
    bool tra_virgolette = false;
    for (std::size_t i = 0; i < riga.size(); ++i) {
        const char c = riga[i];
        if (c == '"') {
            if (tra_virgolette && i + 1 < riga.size() && riga[i + 1] == '"') {
                campo.aggiungi('"', true);
                ++i;
            } else {
                tra_virgolette = !tra_virgolette;
                campo.iniziato = true;
                campo.tenere = campo.testo.size();
            }
        } else if (c == '%' && stringhe) {
            const std::size_t fine = riga.find('%', i + 1);
            if (fine == std::string_view::npos)
                throw ErroreInf("a % without its closing %");
            const std::string_view nome = riga.substr(i + 1, fine - i - 1);
            if (nome.empty()) {
                campo.aggiungi('%', true);
            } else {
                const auto trovata = stringhe->find(minuscolo(nome));
                if (trovata == stringhe->end())
                    throw ErroreInf("%" + std::string(nome) + "% is not in [Strings]");
                campo.aggiungi(trovata->second);
            }
            i = fine;
        } else if (tra_virgolette) {
            campo.aggiungi(c, true);
        } else if (c == ';') {
            break;
        } else if (c == '=' && !r.chiave && r.campi.empty()) {
            r.chiave = campo.chiudi();
            if (r.chiave->empty())
                throw ErroreInf("a line begins with '=': the key is missing");
        } else if (c == ',') {
            r.campi.push_back(campo.chiudi());
        } else {
            campo.aggiungi(c, false);
        }
    }
    if (tra_virgolette)
        throw ErroreInf("a quote is opened and not closed");
    r.campi.push_back(campo.chiudi());
    return r;
}

int riga_di(std::string_view testo, std::size_t offset) {
    return 1 + int(std::count(testo.begin(), testo.begin() + std::ptrdiff_t(offset), '\n'));
}

} // namespace

std::string testo_utf8(std::string_view byte, const std::string& nome) {
    if (byte.starts_with("\xff\xfe") || byte.starts_with("\xfe\xff"))
        throw ErroreInf(nome + ": UTF-16 text is not supported; save it as UTF-8 or Windows-1252");
    const bool bom = byte.starts_with("\xef\xbb\xbf");
    if (bom)
        byte.remove_prefix(3);
    Conversione utf8 = da_utf8(byte);
    if (utf8.errore_a == std::string::npos)
        return std::move(utf8.testo);
    if (bom)
        throw ErroreInf(nome + ":" + std::to_string(riga_di(byte, utf8.errore_a)) +
                        ": not UTF-8, though the file begins with a UTF-8 mark");
    // A byte that Windows-1252 leaves undefined makes the file neither: refused.
    platform::DaWindows1252 w = platform::da_windows_1252(byte, platform::Indefiniti::errore);
    if (w.errore_a != std::string::npos) {
        std::ostringstream m;
        m << nome << ':' << riga_di(byte, w.errore_a) << ": byte 0x" << std::hex
          << int(static_cast<unsigned char>(byte[w.errore_a]))
          << " is neither UTF-8 nor Windows-1252";
        throw ErroreInf(m.str());
    }
    return std::move(w.utf8);
}

TestoInf TestoInf::da_byte(std::string_view byte, std::string nome) {
    TestoInf inf;
    inf.nome_ = std::move(nome);
    const std::string testo = testo_utf8(byte, inf.nome_);

    struct Grezza {
        std::string sezione;
        std::string_view testo;
        int numero;
    };
    std::vector<Grezza> grezze;
    std::string sezione;
    bool in_sezione = false;
    int numero = 0;
    for (std::size_t inizio = 0; inizio < testo.size();) {
        std::size_t fine = testo.find('\n', inizio);
        if (fine == std::string::npos)
            fine = testo.size();
        std::string_view riga(testo.data() + inizio, fine - inizio);
        inizio = fine + 1;
        ++numero;
        if (riga.ends_with('\r'))
            riga.remove_suffix(1);
        riga = senza_spazi(riga);
        if (riga.empty() || riga.front() == ';' || riga == "\x1a")
            continue;
        const auto errore = [&](const std::string& m) {
            return ErroreInf(inf.nome_ + ":" + std::to_string(numero) + ": " + m);
        };
        if (riga.front() == '[') {
            const std::size_t chiusa = riga.find(']');
            if (chiusa == std::string_view::npos)
                throw errore("a section name without its closing ']'");
            const std::string_view resto = senza_spazi(riga.substr(chiusa + 1));
            if (!resto.empty() && resto.front() != ';')
                throw errore("text after the section name");
            sezione = minuscolo(senza_spazi(riga.substr(1, chiusa - 1)));
            if (sezione.empty())
                throw errore("a section without a name");
            inf.sezioni_[sezione];
            in_sezione = true;
            continue;
        }
        if (!in_sezione)
            throw errore("a line before the first section");
        grezze.push_back({sezione, riga, numero});
    }

    // [Strings] first, wherever it stands, since every other section uses it.
    Stringhe stringhe;
    const auto leggi_riga = [&](const Grezza& g, const Stringhe* s) {
        try {
            Riga r = analizza(g.testo, s);
            r.numero = g.numero;
            return r;
        } catch (const ErroreInf& e) {
            throw ErroreInf(inf.nome_ + ":" + std::to_string(g.numero) + ": " + e.what());
        }
    };
    for (const Grezza& g : grezze) {
        if (g.sezione != "strings")
            continue;
        Riga r = leggi_riga(g, nullptr);
        const auto errore = [&](const std::string& m) { return ErroreInf(inf.dove(r) + ": " + m); };
        if (!r.chiave)
            throw errore("a line of [Strings] without a name");
        if (r.campi.size() != 1)
            throw errore("the string " + *r.chiave + " has a comma outside quotes");
        if (!stringhe.emplace(minuscolo(*r.chiave), r.campi.front()).second)
            throw errore("the string " + *r.chiave + " is defined twice");
        inf.sezioni_["strings"].push_back(std::move(r));
    }
    for (const Grezza& g : grezze)
        if (g.sezione != "strings")
            inf.sezioni_[g.sezione].push_back(leggi_riga(g, &stringhe));
    return inf;
}

TestoInf TestoInf::leggi(const std::filesystem::path& percorso) {
    const auto byte = platform::contenuto_file(percorso);
    if (!byte)
        throw ErroreInf(percorso.string() + ": cannot be read");
    return da_byte(*byte, percorso.filename().string());
}

bool TestoInf::ha_sezione(std::string_view sezione) const {
    return sezioni_.contains(minuscolo(sezione));
}

const std::vector<Riga>& TestoInf::righe(std::string_view sezione) const {
    static const std::vector<Riga> nessuna;
    const auto s = sezioni_.find(minuscolo(sezione));
    return s == sezioni_.end() ? nessuna : s->second;
}

std::vector<const Riga*> TestoInf::con_chiave(std::string_view sezione,
                                              std::string_view chiave) const {
    std::vector<const Riga*> r;
    for (const Riga& riga : righe(sezione))
        if (riga.chiave && stesso_nome(*riga.chiave, chiave))
            r.push_back(&riga);
    return r;
}

std::optional<std::string> TestoInf::valore(std::string_view sezione,
                                            std::string_view chiave) const {
    const auto r = con_chiave(sezione, chiave);
    if (r.empty())
        return std::nullopt;
    return r.front()->campi.front();
}

std::string TestoInf::dove(const Riga& riga) const {
    return nome_ + ":" + std::to_string(riga.numero);
}

} // namespace contavoce::inf
