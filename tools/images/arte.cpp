// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/images/arte.h"

#include <charconv>
#include <fstream>
#include <map>
#include <sstream>

namespace contavoce::immagini {

namespace {

constexpr int lato_massimo = 256; // what an icon directory entry can describe

std::vector<std::string_view> parole(std::string_view riga) {
    std::vector<std::string_view> v;
    std::size_t i = 0;
    while (i < riga.size()) {
        while (i < riga.size() && (riga[i] == ' ' || riga[i] == '\t'))
            ++i;
        const std::size_t inizio = i;
        while (i < riga.size() && riga[i] != ' ' && riga[i] != '\t')
            ++i;
        if (i > inizio)
            v.push_back(riga.substr(inizio, i - inizio));
    }
    return v;
}

std::optional<int> intero(std::string_view s) {
    int n = 0;
    const auto [fine, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc{} || fine != s.data() + s.size())
        return std::nullopt;
    return n;
}

std::optional<int> colore_per_nome(std::string_view nome) {
    if (nome == "transparent")
        return trasparente;
    for (std::size_t i = 0; i < tavolozza.size(); ++i)
        if (tavolozza[i].nome == nome)
            return static_cast<int>(i);
    return std::nullopt;
}

class Lettore {
public:
    Lettore(std::string_view testo, const std::string& nome) : testo_(testo), nome_(nome) {}

    Arte leggi() {
        leggi_intestazione();
        leggi_righe();
        controlla_coda();
        return std::move(arte_);
    }

private:
    [[noreturn]] void errore(const std::string& messaggio) const {
        throw ErroreArte(nome_ + ":" + std::to_string(numero_) + ": " + messaggio);
    }

    bool prossima(std::string_view& riga) {
        if (pos_ > testo_.size())
            return false;
        const std::size_t fine = std::min(testo_.find('\n', pos_), testo_.size());
        riga = testo_.substr(pos_, fine - pos_);
        if (!riga.empty() && riga.back() == '\r')
            riga.remove_suffix(1);
        pos_ = fine + 1;
        ++numero_;
        return true;
    }

    Punto coppia(const std::vector<std::string_view>& p, const char* cosa) const {
        const auto a = p.size() == 3 ? intero(p[1]) : std::nullopt;
        const auto b = p.size() == 3 ? intero(p[2]) : std::nullopt;
        if (!a || !b)
            errore(std::string("expected '") + cosa + "' followed by two whole numbers");
        return {*a, *b};
    }

    void leggi_intestazione() {
        bool ha_tipo = false;
        std::string_view riga;
        while (prossima(riga)) {
            const auto p = parole(riga);
            if (p.empty() || p[0].front() == '#')
                continue;
            if (!ha_tipo) {
                if (p[0] != "cursor" && p[0] != "icon")
                    errore("the art must begin with 'cursor W H' or 'icon W H'");
                arte_.tipo = p[0] == "cursor" ? Tipo::cursore : Tipo::icona;
                const Punto d = coppia(p, p[0] == "cursor" ? "cursor" : "icon");
                if (d.x < 1 || d.y < 1 || d.x > lato_massimo || d.y > lato_massimo)
                    errore("size " + std::to_string(d.x) + "x" + std::to_string(d.y) +
                           " is outside 1..256");
                arte_.larghezza = d.x;
                arte_.altezza = d.y;
                ha_tipo = true;
            } else if (p[0] == "hotspot") {
                if (arte_.tipo != Tipo::cursore)
                    errore("only a cursor has a hotspot");
                if (arte_.hotspot)
                    errore("hotspot given twice");
                const Punto h = coppia(p, "hotspot");
                if (h.x < 0 || h.y < 0 || h.x >= arte_.larghezza || h.y >= arte_.altezza)
                    errore("hotspot (" + std::to_string(h.x) + ", " + std::to_string(h.y) +
                           ") lies outside the picture");
                arte_.hotspot = h;
            } else if (p[0] == "colour") {
                leggi_colore(p);
            } else if (p[0] == "art" && p.size() == 1) {
                if (arte_.tipo == Tipo::cursore && !arte_.hotspot)
                    errore("a cursor needs a 'hotspot X Y' line before 'art'");
                if (legenda_.empty())
                    errore("no 'colour' lines before 'art'");
                return;
            } else {
                errore("unknown line '" + std::string(riga) + "'");
            }
        }
        errore(ha_tipo ? "no 'art' line" : "empty art file");
    }

    void leggi_colore(const std::vector<std::string_view>& p) {
        if (p.size() != 3 || p[1].size() != 1)
            errore("expected 'colour C NAME' with a single character C");
        const char c = p[1].front();
        const auto indice = colore_per_nome(p[2]);
        if (!indice)
            errore("unknown colour '" + std::string(p[2]) +
                   "' (use transparent or a 16-colour palette name such as yellow)");
        if (arte_.tipo == Tipo::cursore && *indice != nero && *indice != bianco &&
            *indice != trasparente)
            errore("a cursor has only black, white and transparent pixels");
        if (!legenda_.emplace(c, *indice).second)
            errore(std::string("character '") + c + "' is given a colour twice");
    }

    void leggi_righe() {
        arte_.pixel.reserve(static_cast<std::size_t>(arte_.larghezza * arte_.altezza));
        for (int y = 0; y < arte_.altezza; ++y) {
            std::string_view riga;
            // An empty line ends the picture, wherever it comes.
            if (!prossima(riga) || riga.empty())
                errore("the art has " + std::to_string(y) + " rows, expected " +
                       std::to_string(arte_.altezza));
            if (static_cast<int>(riga.size()) != arte_.larghezza)
                errore("row " + std::to_string(y) + " has " + std::to_string(riga.size()) +
                       " characters, expected " + std::to_string(arte_.larghezza));
            for (std::size_t x = 0; x < riga.size(); ++x) {
                const auto it = legenda_.find(riga[x]);
                if (it == legenda_.end())
                    errore(std::string("unknown character '") + riga[x] + "' at column " +
                           std::to_string(x) + " (not in the 'colour' lines)");
                arte_.pixel.push_back(it->second);
            }
        }
    }

    void controlla_coda() {
        std::string_view riga;
        while (prossima(riga))
            if (!parole(riga).empty())
                errore("the art has more than " + std::to_string(arte_.altezza) + " rows");
    }

    std::string_view testo_;
    const std::string& nome_;
    std::size_t pos_ = 0;
    int numero_ = 0;
    Arte arte_;
    std::map<char, int> legenda_;
};

} // namespace

Arte leggi_arte(std::string_view testo, const std::string& nome) {
    return Lettore(testo, nome).leggi();
}

Arte leggi_file_arte(const std::string& percorso) {
    std::ifstream f(percorso, std::ios::binary);
    if (!f)
        throw ErroreArte(percorso + ": cannot open");
    std::ostringstream s;
    s << f.rdbuf();
    return leggi_arte(s.str(), percorso);
}

} // namespace contavoce::immagini
