// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a typed answer: digits by place value, words leniently and group
// by group, a choice by its sign or its name.
#include "esercizi/esercizi.h"
#include "esercizi/interno.h"
#include "spelling/decimale.h"
#include "spelling/grafia.h"

#include <algorithm>

namespace contavoce {
namespace {

constexpr std::string_view blanchi = " \t\r\n\v\f";

std::string_view senza_blanchi(std::string_view s) {
    const auto da = s.find_first_not_of(blanchi);
    if (da == std::string_view::npos)
        return {};
    return s.substr(da, s.find_last_not_of(blanchi) - da + 1);
}

bool cifra(char c) {
    return c >= '0' && c <= '9';
}

const char* spiega(Difetto difetto) {
    switch (difetto) {
    case Difetto::vuoto:
        return "Scrivi il numero.";
    case Difetto::carattere:
        return "Scrivi il numero solo con le cifre.";
    case Difetto::gruppo:
        return "Il punto separa gruppi di tre cifre: controlla dove l'hai messo.";
    case Difetto::troppe_cifre:
        return "Ci sono troppe cifre.";
    case Difetto::punto_decimale:
        return "Per i decimali si usa la virgola, non il punto.";
    case Difetto::troppi_decimali:
        return "Dopo la virgola vanno al massimo tre cifre.";
    case Difetto::virgola:
        return "Metti una cifra prima e dopo la virgola.";
    }
    return "";
}

// The typed digits before and after the comma, each with its byte offset.
struct Posizioni {
    std::vector<std::size_t> intere, decimali;
};

Posizioni posizioni(std::string_view testo) {
    Posizioni p;
    bool dopo = false;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if (testo[i] == ',')
            dopo = true;
        else if (cifra(testo[i]))
            (dopo ? p.decimali : p.intere).push_back(i);
    }
    return p;
}

Verifica cifre(const Domanda& d, std::string_view testo) {
    Verifica v;
    const DecimaleLetto letto = leggi_decimale(testo);
    if (letto.difetto) {
        v.esito = Esito::riprova;
        v.messaggio = spiega(*letto.difetto);
        v.cifre_sbagliate = {letto.colonna};
        return v;
    }
    const Decimale& n = letto.numero;
    const Decimale& attesa = d.valore_atteso;
    v.giusta = d.per_valore ? interno::confronta_valori(n, attesa) == 0
                            : n.intera == attesa.intera && n.decimali == attesa.decimali;
    if (v.giusta) {
        v.esito = Esito::giusta;
        return v;
    }
    v.esito = Esito::riprova;
    // Place against place: the integer digits from the right, leading zeros
    // aside, the decimals from the comma; trailing zeros of a worth are no fault.
    const Posizioni p = posizioni(testo);
    const std::size_t zeri_in_testa = [&] {
        std::size_t z = 0;
        while (z + 1 < p.intere.size() && testo[p.intere[z]] == '0')
            ++z;
        return z;
    }();
    const std::size_t interi = p.intere.size() - zeri_in_testa;
    bool in_piu = false;
    for (std::size_t posto = 0; posto < std::max(interi, attesa.intera.size()); ++posto) {
        if (posto >= interi) {
            ++v.mancano;
            continue;
        }
        const std::size_t at = p.intere[p.intere.size() - 1 - posto];
        if (posto >= attesa.intera.size()) {
            v.cifre_sbagliate.push_back(at);
            in_piu = true;
        } else if (testo[at] != attesa.intera[attesa.intera.size() - 1 - posto]) {
            v.cifre_sbagliate.push_back(at);
        }
    }
    for (std::size_t posto = 0; posto < std::max(p.decimali.size(), attesa.decimali.size());
         ++posto) {
        if (posto >= p.decimali.size()) {
            ++v.mancano;
            continue;
        }
        const std::size_t at = p.decimali[posto];
        if (posto >= attesa.decimali.size()) {
            if (!(d.per_valore && testo[at] == '0')) {
                v.cifre_sbagliate.push_back(at);
                in_piu = true;
            }
        } else if (testo[at] != attesa.decimali[posto]) {
            v.cifre_sbagliate.push_back(at);
        }
    }
    std::sort(v.cifre_sbagliate.begin(), v.cifre_sbagliate.end());
    if (v.mancano == 1)
        v.messaggio = "Manca una cifra.";
    else if (v.mancano > 1)
        v.messaggio = "Mancano " + std::to_string(v.mancano) + " cifre.";
    else if (in_piu)
        v.messaggio = "Ci sono cifre in più: guarda quelle segnate.";
    else
        v.messaggio = "Guarda le cifre segnate.";
    return v;
}

// The words as compared: lower case, without blanks, hyphens and
// apostrophes, the school's "tré" as "tre"; `origine` keeps for each byte
// kept its offset in the typed text.
struct Normale {
    std::string testo;
    std::vector<std::size_t> origine;
};

Normale normalizza(std::string_view s) {
    Normale n;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '-' || c == '\'' || c == '`')
            continue;
        // The typographic apostrophe U+2019 and the non-breaking blank U+00A0.
        if (s.substr(i, 3) == "\xE2\x80\x99") {
            i += 2;
            continue;
        }
        if (s.substr(i, 2) == "\xC2\xA0") {
            ++i;
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c - 'A' + 'a');
        // Latin-1 capitals À..Þ (but not ×) come as C3 80..9E: their small
        // letters are 0x20 further on.
        if (c == 0xC3 && i + 1 < s.size()) {
            unsigned char c2 = static_cast<unsigned char>(s[i + 1]);
            if (c2 >= 0x80 && c2 <= 0x9E && c2 != 0x97)
                c2 = static_cast<unsigned char>(c2 + 0x20);
            n.testo += static_cast<char>(c);
            n.origine.push_back(i);
            n.testo += static_cast<char>(c2);
            n.origine.push_back(i + 1);
            ++i;
            continue;
        }
        n.testo += static_cast<char>(c);
        n.origine.push_back(i);
    }
    // "tré" → "tre": é is two bytes, the first kept for the e.
    for (std::size_t at = n.testo.find("tr\xC3\xA9"); at != std::string::npos;
         at = n.testo.find("tr\xC3\xA9", at)) {
        n.testo.replace(at + 2, 2, "e");
        n.origine.erase(n.origine.begin() + static_cast<std::ptrdiff_t>(at) + 3);
        at += 3;
    }
    return n;
}

// One accepted way of writing the number, in groups as compared: a group of
// three digits with its milioni or mila, then "virgola" and the decimals or
// the places' reading. `e_dopo`: an "e" may follow the group ("un milione e
// duecentomila").
struct Gruppo {
    std::string testo;
    bool e_dopo = false;
};
using Variante = std::vector<Gruppo>;

bool finisce(std::string_view s, std::string_view fine) {
    return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

// The groups of the whole number's words: the words of its first k groups of
// digits followed by zeros are a beginning of the whole's words, so each
// group is what the next beginning adds. Where that fails the whole is one group.
std::vector<Gruppo> gruppi_interi(const std::string& cifre, Grafia grafia) {
    std::string tutto;
    parole_in_grafia(cifre, grafia, tutto);
    if (tutto.empty())
        tutto = "zero";
    const std::string intero = normalizza(tutto).testo;
    std::vector<Gruppo> gruppi;
    std::size_t fatto = 0;
    const std::size_t n = cifre.size();
    for (std::size_t fine = (n - 1) % 3 + 1; fine <= n; fine += 3) {
        std::string inizio = cifre.substr(0, fine) + std::string(n - fine, '0');
        std::string parole;
        parole_in_grafia(inizio, grafia, parole);
        const std::string p = normalizza(parole).testo;
        if (p.size() < fatto || intero.compare(0, p.size(), p) != 0)
            return {{intero, false}};
        if (p.size() > fatto)
            gruppi.push_back({p.substr(fatto), false});
        fatto = p.size();
    }
    if (fatto != intero.size())
        return {{intero, false}};
    for (std::size_t i = 0; i + 1 < gruppi.size(); ++i) {
        const std::string& g = gruppi[i].testo;
        gruppi[i].e_dopo = finisce(g, "milione") || finisce(g, "milioni") ||
                           finisce(g, "miliardo") || finisce(g, "miliardi");
    }
    return gruppi;
}

std::vector<Variante> varianti(const Domanda& d) {
    std::vector<Variante> tutte;
    for (const Grafia grafia : {Grafia::scolastica, Grafia::originale}) {
        const std::vector<Gruppo> interi = gruppi_interi(d.numero.intera, grafia);
        if (d.numero.decimali.empty()) {
            tutte.push_back(interi);
            continue;
        }
        for (const Lettura lettura : {Lettura::virgola, Lettura::posti}) {
            const std::string tutto =
                normalizza(numero_in_lettere(d.numero, grafia, lettura)).testo;
            std::size_t fatto = 0;
            Variante v;
            for (const Gruppo& g : interi) {
                if (tutto.compare(fatto, g.testo.size(), g.testo) != 0)
                    break;
                v.push_back(g);
                fatto += g.testo.size();
            }
            if (v.size() != interi.size()) {
                v.clear();
                fatto = 0;
            }
            if (!v.empty())
                v.back().e_dopo = false;
            v.push_back({tutto.substr(fatto), false});
            tutte.push_back(std::move(v));
        }
    }
    return tutte;
}

// How far the typed words follow a variant: the groups matched, and where
// in the normalized text the first unmatched group starts. `intera`: all of
// it, nothing more.
struct Seguito {
    std::size_t gruppi = 0;
    std::size_t fino = 0;
    bool intera = false;
};

Seguito segui(const Variante& v, const std::string& t) {
    Seguito s;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (t.compare(s.fino, v[i].testo.size(), v[i].testo) != 0)
            return s;
        s.fino += v[i].testo.size();
        s.gruppi = i + 1;
        if (v[i].e_dopo && i + 1 < v.size() && t.compare(s.fino, 1, "e") == 0 &&
            t.compare(s.fino + 1, v[i + 1].testo.size(), v[i + 1].testo) == 0)
            ++s.fino;
    }
    s.intera = s.fino == t.size();
    return s;
}

Verifica lettere(const Domanda& d, std::string_view testo) {
    Verifica v;
    if (std::any_of(testo.begin(), testo.end(), cifra)) {
        v.esito = Esito::riprova;
        v.messaggio = "Scrivi il numero in lettere, non in cifre.";
        return v;
    }
    const Normale n = normalizza(testo);
    Seguito meglio;
    const Variante* quale = nullptr;
    const std::vector<Variante> tutte = varianti(d);
    for (const Variante& var : tutte) {
        const Seguito s = segui(var, n.testo);
        if (s.intera && s.gruppi == var.size()) {
            v.esito = Esito::giusta;
            v.giusta = true;
            return v;
        }
        if (!quale || s.fino > meglio.fino) {
            meglio = s;
            quale = &var;
        }
    }
    v.esito = Esito::riprova;
    const auto offset = [&](std::size_t k) {
        return k < n.origine.size() ? n.origine[k] : testo.size();
    };
    if (meglio.gruppi == quale->size()) {
        // All there, and something more after it.
        v.gruppo_sbagliato = std::pair{offset(meglio.fino), testo.size()};
        v.messaggio = "C'è qualcosa in più alla fine.";
    } else if (meglio.fino >= n.testo.size()) {
        v.gruppo_sbagliato = std::pair{testo.size(), testo.size()};
        v.messaggio = "Manca qualcosa alla fine.";
    } else {
        // The wrong group ends where the typed words take up the groups after
        // it again; if they never do, at the end.
        std::string resto;
        for (std::size_t i = meglio.gruppi + 1; i < quale->size(); ++i)
            resto += (*quale)[i].testo;
        std::size_t fine = n.testo.size();
        if (!resto.empty() && n.testo.size() >= meglio.fino + resto.size() &&
            n.testo.compare(n.testo.size() - resto.size(), resto.size(), resto) == 0 &&
            n.testo.size() - resto.size() > meglio.fino)
            fine = n.testo.size() - resto.size();
        v.gruppo_sbagliato = std::pair{offset(meglio.fino), n.origine[fine - 1] + 1};
        v.messaggio = "Controlla la parte segnata.";
    }
    return v;
}

std::string minuscole(std::string_view s) {
    std::string m;
    for (const char c : s)
        if (c != ' ' && c != '\t')
            m += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return m;
}

Verifica scelta(const Domanda& d, std::string_view testo) {
    Verifica v;
    const std::string data = minuscole(testo);
    const Scelta* presa = nullptr;
    for (const Scelta& s : d.scelte)
        if (data == minuscole(s.sigla) || data == minuscole(s.nome))
            presa = &s;
    if (!presa) {
        // Not one of the answers: no try spent on it.
        v.esito = Esito::vuota;
        v.messaggio = "Scegli una delle risposte.";
        return v;
    }
    v.giusta = presa->sigla == d.attesa;
    v.esito = v.giusta ? Esito::giusta : Esito::riprova;
    if (!v.giusta)
        v.messaggio = d.tipo == Tipo::confronta ? "Confronta le cifre da sinistra, posto per posto."
                                                : "Conta i posti da destra: u, da, h…";
    return v;
}

} // namespace

Verifica controlla(const Domanda& domanda, std::string_view risposta) {
    const std::string_view testo = senza_blanchi(risposta);
    if (testo.empty())
        return {};
    switch (domanda.risposta) {
    case Risposta::cifre:
        return cifre(domanda, risposta);
    case Risposta::lettere:
        return lettere(domanda, risposta);
    case Risposta::scelta:
        return scelta(domanda, testo);
    }
    return {};
}

} // namespace contavoce
