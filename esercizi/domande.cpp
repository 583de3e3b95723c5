// SPDX-License-Identifier: GPL-3.0-or-later
// The seven kinds of question, made from a drawn number.
#include "esercizi/esercizi.h"
#include "esercizi/interno.h"

#include <set>
#include <stdexcept>
#include <utility>

namespace contavoce {
namespace {

using interno::Scalato;
namespace ce = clip_esercizi;

Detto clip(const char* nome) {
    return {Detto::Cosa::clip, nome, {}, 0, 0};
}
Detto numero(const Decimale& n) {
    return {Detto::Cosa::numero, {}, n, 0, 0};
}
Detto ordine(int cifra, int posto) {
    return {Detto::Cosa::ordine, {}, {}, cifra, posto};
}

// The places' names said alone, as on a button: the plural clips of
// speech/ordini_detti.h ("milioni" and "miliardi" are number clips).
constexpr std::array<const char*, 13> clip_posti_interi = {"",
                                                           "va_unita",
                                                           "va_decine",
                                                           "va_centinaia",
                                                           "va_migliaia",
                                                           "va_decine_migliaia",
                                                           "va_centinaia_migliaia",
                                                           "va_mgloi",
                                                           "va_decine_milioni",
                                                           "va_centinaia_milioni",
                                                           "va_mgldi",
                                                           "va_decine_miliardi",
                                                           "va_centinaia_miliardi"};
constexpr std::array<const char*, 4> clip_posti_decimali = {"", "va_decimi", "va_centesimi",
                                                            "va_millesimi"};

const char* clip_posto(int posto) {
    return posto > 0 ? clip_posti_interi[static_cast<std::size_t>(posto)]
                     : clip_posti_decimali[static_cast<std::size_t>(-posto)];
}

// A digit of a number, with its place and where it is in the shown text.
struct Cifra {
    int cifra;
    int posto; // as sigla_posto
    std::size_t da, a;
};

std::vector<Cifra> cifre_di(const Decimale& n) {
    const std::string testo = numero_mostrato(n);
    std::vector<Cifra> cifre;
    const int interi = static_cast<int>(n.intera.size());
    int visti = 0;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (c < '0' || c > '9')
            continue;
        ++visti;
        const int posto = visti <= interi ? interi - visti + 1 : -(visti - interi);
        cifre.push_back({c - '0', posto, i, i + 1});
    }
    return cifre;
}

Domanda base(Tipo tipo, const Decimale& n, Grafia grafia, Lettura lettura) {
    Domanda d;
    d.tipo = tipo;
    d.numero = n;
    d.grafia = grafia;
    d.lettura = lettura;
    return d;
}

void attesa_numero(Domanda& d, const Decimale& valore, bool per_valore) {
    d.risposta = Risposta::cifre;
    d.valore_atteso = valore;
    d.per_valore = per_valore;
    d.attesa = numero_mostrato(valore);
    d.attesa_detta = {numero(valore)};
    d.clip_attesa = ce::il_numero_era;
}

void valore(Domanda& d, Generatore& gen, bool posto) {
    const std::vector<Cifra> cifre = cifre_di(d.numero);
    std::vector<Cifra> non_zero;
    for (const Cifra& c : cifre)
        if (c.cifra != 0)
            non_zero.push_back(c);
    const std::vector<Cifra>& tra = non_zero.empty() ? cifre : non_zero;
    const Cifra segnata = tra[gen.entro(tra.size())];
    d.testo = numero_mostrato(d.numero);
    d.segnata_da = segnata.da;
    d.segnata_a = segnata.a;
    d.da_dire = {clip(ce::valore), numero({std::to_string(segnata.cifra), {}}),
                 clip(ce::nel_numero), numero(d.numero)};
    if (posto) {
        d.consegna = "Che posto ha la cifra segnata? Scegli il suo nome.";
        d.risposta = Risposta::scelta;
        // In the order of the place-value table: the highest place on the left.
        for (const Cifra& c : cifre)
            d.scelte.push_back(
                {sigla_posto(c.posto), nome_posto(c.posto), {clip(clip_posto(c.posto))}});
        d.attesa = sigla_posto(segnata.posto);
        d.attesa_detta = {ordine(segnata.cifra, segnata.posto)};
        d.clip_attesa = ce::la_risposta_era;
        return;
    }
    d.consegna = "Quanto vale la cifra segnata? Scrivilo in cifre.";
    const Scalato valore = segnata.posto > 0
                               ? Scalato{static_cast<std::uint64_t>(segnata.cifra) *
                                             interno::potenza10(segnata.posto - 1),
                                         0}
                               : Scalato{static_cast<std::uint64_t>(segnata.cifra), -segnata.posto};
    attesa_numero(d, interno::decimale(valore), true);
}

void componi(Domanda& d, Generatore& gen) {
    std::vector<Cifra> parti;
    for (const Cifra& c : cifre_di(d.numero))
        if (c.cifra != 0)
            parti.push_back(c);
    if (parti.empty())
        parti.push_back({0, 1, 0, 0});
    for (std::size_t i = parti.size(); i > 1; --i)
        std::swap(parti[i - 1], parti[gen.entro(i)]);
    d.consegna = "Componi il numero e scrivilo in cifre.";
    d.da_dire = {clip(ce::componi)};
    for (std::size_t i = 0; i < parti.size(); ++i) {
        const Cifra& p = parti[i];
        if (i > 0)
            d.testo += i + 1 == parti.size() ? " e " : ", ";
        d.testo += std::to_string(p.cifra) + ' ' +
                   (p.cifra == 1 ? nome_posto_singolare(p.posto) : nome_posto(p.posto));
        if (i > 0 && i + 1 == parti.size())
            d.da_dire.push_back(clip(ce::e));
        d.da_dire.push_back(ordine(p.cifra, p.posto));
    }
    attesa_numero(d, d.numero, true);
}

// A step of "Prima e dopo": its size (in units of the last decimal place of
// the number it is added to) and its sign.
struct Passo {
    Scalato passo;
    bool piu;
};

void prima_dopo(Domanda& d, const Livello& livello, Generatore& gen, std::size_t indice) {
    const Scalato n = interno::scalato(d.numero);
    std::vector<Passo> passi;
    const auto aggiungi = [&](Scalato s) {
        passi.push_back({s, true});
        passi.push_back({s, false});
    };
    if (livello.decimali == 0) {
        for (std::uint64_t s = 1; s <= 1000 && s * 10 <= livello.massimo; s *= 10)
            aggiungi({s, 0});
        if (passi.empty())
            aggiungi({1, 0});
    } else {
        aggiungi({1, 0});
        for (int k = 1; k <= livello.decimali; ++k)
            aggiungi({1, k});
    }
    // Possible: nothing below zero and no more than twelve digits. Crossing:
    // a carry or a borrow at the step's place, which is what the exercise is for.
    std::vector<Passo> possibili, attraverso;
    for (const Passo& p : passi) {
        const int k = std::max(n.k, p.passo.k);
        const std::uint64_t a = n.v * interno::potenza10(k - n.k);
        const std::uint64_t s = p.passo.v * interno::potenza10(k - p.passo.k);
        if (!p.piu && a < s)
            continue;
        if (p.piu && a + s > 999'999'999'999ULL * interno::potenza10(k))
            continue;
        possibili.push_back(p);
        const std::uint64_t cifra = (a / s) % 10;
        if ((p.piu && cifra == 9) || (!p.piu && cifra == 0))
            attraverso.push_back(p);
    }
    // Before and after by turns, so that a round has both; a crossing in
    // that direction if there is one, else half the time one in the other.
    const bool piu = indice % 2 == 0;
    const auto verso = [&](const std::vector<Passo>& da) {
        std::vector<Passo> v;
        for (const Passo& p : da)
            if (p.piu == piu)
                v.push_back(p);
        return v;
    };
    std::vector<Passo> tra = verso(attraverso);
    if (tra.empty() && !attraverso.empty() && gen.entro(2) == 0)
        tra = attraverso;
    if (tra.empty())
        tra = verso(possibili);
    if (tra.empty())
        tra = possibili;
    const Passo p = tra[gen.entro(tra.size())];
    const int k = std::max(n.k, p.passo.k);
    const std::uint64_t a = n.v * interno::potenza10(k - n.k);
    const std::uint64_t s = p.passo.v * interno::potenza10(k - p.passo.k);
    const Scalato risultato = interno::ridotto({p.piu ? a + s : a - s, k}, n.k);
    d.secondo = interno::decimale(p.passo);
    const std::string mostrato = numero_mostrato(d.numero);
    if (livello.decimali == 0 && p.passo.v == 1) {
        d.consegna = p.piu ? "Che numero viene dopo?" : "Che numero viene prima?";
        d.testo = p.piu ? "Che numero viene dopo " + mostrato + "?"
                        : "Che numero viene prima di " + mostrato + "?";
        d.da_dire = {clip(p.piu ? ce::dopo : ce::prima), numero(d.numero)};
    } else {
        d.consegna = "Quanto fa? Scrivi il risultato in cifre.";
        d.testo =
            "Quanto fa " + mostrato + (p.piu ? " + " : " − ") + numero_mostrato(d.secondo) + "?";
        d.da_dire = {clip(ce::quanto_fa), numero(d.numero), clip(p.piu ? ce::piu : ce::meno),
                     numero(d.secondo)};
    }
    attesa_numero(d, interno::decimale(risultato), true);
}

// The second number of a comparison: mostly one digit changed in a place
// (same length, the hard case), sometimes a digit more or fewer, sometimes
// equal; for decimals also 3,5 against 3,45 (more digits, smaller) and 3,5
// against 3,50 (equal, written otherwise).
Decimale secondo_numero(const Decimale& a, const Livello& livello, Generatore& gen) {
    const Scalato n = interno::scalato(a);
    const std::uint64_t caso = gen.entro(8);
    if (caso == 0) {
        if (livello.decimali > n.k)
            return interno::decimale({n.v * 10, n.k + 1});
        return a;
    }
    if (livello.decimali > 0 && caso == 1 && n.k < livello.decimali) {
        // One decimal more, the last digits below: 3,5 → 3,45 or 3,55.
        const std::uint64_t v = n.v * 10 - 10 * gen.entro(2) + 1 + gen.entro(9);
        if (v > 0)
            return interno::decimale({v, n.k + 1});
    }
    if (caso == 2 && livello.decimali == 0) {
        const std::uint64_t v = gen.entro(2) == 0 ? n.v / 10 : n.v * 10 + gen.entro(10);
        if (v >= livello.minimo && v <= livello.massimo)
            return interno::decimale({v, 0});
    }
    // One digit changed.
    const std::string cifre = a.intera + a.decimali;
    for (;;) {
        std::string b = cifre;
        const std::size_t i = gen.entro(b.size());
        const char nuova = static_cast<char>('0' + gen.entro(10));
        if (nuova == b[i] || (i == 0 && nuova == '0' && b.size() > 1) ||
            (i + 1 == b.size() && n.k > 0 && nuova == '0'))
            continue;
        b[i] = nuova;
        Decimale d{b.substr(0, a.intera.size()), b.substr(a.intera.size())};
        return d;
    }
}

void confronta(Domanda& d, const Decimale& b) {
    d.secondo = b;
    d.risposta = Risposta::scelta;
    d.consegna = "Metti il segno giusto: minore, maggiore o uguale.";
    d.testo = numero_mostrato(d.numero) + " □ " + numero_mostrato(b);
    d.da_dire = {clip(ce::confronta), numero(d.numero), clip(ce::e), numero(b)};
    d.scelte = {{"<", "minore", {clip(ce::minore)}},
                {">", "maggiore", {clip(ce::maggiore)}},
                {"=", "uguale", {clip(ce::uguale)}}};
    const int c = interno::confronta_valori(d.numero, b);
    const char* detta = c < 0 ? ce::minore : c > 0 ? ce::maggiore : ce::uguale;
    d.attesa = c < 0 ? "<" : c > 0 ? ">" : "=";
    d.attesa_detta = {numero(d.numero), clip(detta), numero(b)};
    d.clip_attesa = ce::la_risposta_era;
}

bool forma_posto(FormaValore forma, std::size_t indice) {
    return forma == FormaValore::posto || (forma == FormaValore::misto && indice % 2 == 0);
}

Domanda fai(Tipo tipo, const Decimale& n, const Livello& livello, Generatore& gen,
            std::size_t indice, FormaValore forma, Grafia grafia, Lettura lettura,
            const std::set<std::pair<std::string, std::string>>* usati) {
    Domanda d = base(tipo, n, grafia, lettura);
    switch (tipo) {
    case Tipo::ascolta:
        d.consegna = "Ascolta il numero e scrivilo in cifre.";
        d.da_dire = {clip(ce::ascolta), numero(n)};
        attesa_numero(d, n, false);
        break;
    case Tipo::cifre:
        d.consegna = "Leggi il numero e scrivilo in cifre.";
        d.testo = numero_in_lettere(n, grafia, lettura);
        d.da_dire = {clip(ce::cifre), numero(n)};
        attesa_numero(d, n, false);
        break;
    case Tipo::lettere:
        d.consegna = "Scrivi il numero in lettere.";
        d.testo = numero_mostrato(n);
        d.da_dire = {clip(ce::lettere), numero(n)};
        d.risposta = Risposta::lettere;
        d.attesa = numero_in_lettere(n, grafia, lettura);
        d.attesa_detta = {numero(n)};
        break;
    case Tipo::valore:
        valore(d, gen, forma_posto(forma, indice));
        break;
    case Tipo::componi:
        componi(d, gen);
        break;
    case Tipo::prima_dopo:
        prima_dopo(d, livello, gen, indice);
        break;
    case Tipo::confronta: {
        // The second number is new to the round too, unless the two are equal.
        // Within the level's range.
        const auto fuori = [&](const Decimale& b) {
            const Scalato x = interno::scalato(b);
            const std::uint64_t v = x.v * interno::potenza10(livello.decimali - x.k);
            return v < livello.minimo || v > livello.massimo ||
                   (usati && interno::confronta_valori(b, n) != 0 &&
                    usati->count({b.intera, b.decimali}));
        };
        Decimale b = secondo_numero(n, livello, gen);
        for (int prova = 0; prova < 50 && fuori(b); ++prova)
            b = secondo_numero(n, livello, gen);
        confronta(d, b);
        break;
    }
    }
    return d;
}

} // namespace

Domanda fai_domanda(Tipo tipo, const Decimale& numero, const Livello& livello, Generatore& gen,
                    std::size_t indice, FormaValore forma, Grafia grafia, Lettura lettura) {
    return fai(tipo, numero, livello, gen, indice, forma, grafia, lettura, nullptr);
}

std::vector<Domanda> prepara_domande(const Impostazioni& imp) {
    const Livello* livello = trova_livello(imp.classe, imp.livello);
    if (!livello)
        throw std::invalid_argument("Il livello va da 1 a 3.");
    if (imp.domande < domande_minime || imp.domande > domande_massime)
        throw std::invalid_argument("Un giro ha da 5 a 20 domande.");
    Generatore gen(imp.seme);
    const std::vector<Decimale> numeri = estrai_numeri(*livello, imp.domande, gen);
    std::set<std::pair<std::string, std::string>> usati;
    for (const Decimale& n : numeri)
        usati.insert({n.intera, n.decimali});
    const std::vector<Tipo> tipi_giro = imp.tipi.empty() ? std::vector<Tipo>{imp.tipo} : imp.tipi;
    const std::size_t n = tipi_giro.size();
    std::vector<Domanda> domande;
    for (std::size_t i = 0; i < numeri.size(); ++i) {
        const Tipo tipo = tipi_giro[i % n];
        // The place among the questions of its own kind, which alternates the
        // forms of "Che valore ha?" and the steps of "Prima e dopo".
        domande.push_back(fai(tipo, numeri[i], *livello, gen, i / n, imp.forma_valore, imp.grafia,
                              imp.lettura, &usati));
        if (tipo == Tipo::confronta)
            usati.insert({domande.back().secondo.intera, domande.back().secondo.decimali});
    }
    return domande;
}

} // namespace contavoce
