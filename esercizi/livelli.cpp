// SPDX-License-Identifier: GPL-3.0-or-later
// The level table, the seeded drawing of a round's numbers and the names.
#include "esercizi/esercizi.h"
#include "esercizi/interno.h"
#include "spelling/decimale.h"
#include "spelling/grafia.h"
#include "spelling/ordini.h"

#include <algorithm>
#include <limits>
#include <set>
#include <utility>

namespace contavoce {

// Zeri::un_terzo for seconda 1 though no number of 0–100 has a zero between
// two non-zero digits: there the drawing takes the zero that holds a place
// (40, 100) instead, the nearest thing the range has.
const std::array<Livello, n_classi* n_livelli> livelli = {{
    {Classe::prima, 1, 0, 10, 0, Zeri::liberi, "0–10"},
    {Classe::prima, 2, 0, 20, 0, Zeri::liberi, "0–20"},
    {Classe::prima, 3, 0, 100, 0, Zeri::liberi, "0–100"},
    {Classe::seconda, 1, 0, 100, 0, Zeri::un_terzo, "0–100"},
    {Classe::seconda, 2, 100, 999, 0, Zeri::un_terzo, "100–999"},
    {Classe::seconda, 3, 0, 999, 0, Zeri::tutti, "0–999, zeri dentro"},
    {Classe::terza, 1, 100, 999, 0, Zeri::un_terzo, "100–999"},
    {Classe::terza, 2, 1'000, 9'999, 0, Zeri::un_terzo, "1.000–9.999"},
    {Classe::terza, 3, 1'000, 9'999, 0, Zeri::tutti, "1.000–9.999, zeri dentro"},
    {Classe::quarta, 1, 10'000, 99'999, 0, Zeri::un_terzo, "10.000–99.999"},
    {Classe::quarta, 2, 100'000, 999'999, 0, Zeri::un_terzo, "100.000–999.999"},
    {Classe::quarta, 3, 10, 99'999, 2, Zeri::un_terzo, "decimali 0,1–999,99"},
    {Classe::quinta, 1, 1'000'000, 999'999'999, 0, Zeri::un_terzo, "milioni (7–9 cifre)"},
    {Classe::quinta, 2, 1'000'000'000, 999'999'999'999, 0, Zeri::un_terzo,
     "miliardi (10–12 cifre)"},
    {Classe::quinta, 3, 1, 999'999, 3, Zeri::un_terzo, "decimali 0,001–999,999"},
}};

const Livello* trova_livello(Classe classe, int livello) {
    if (livello < 1 || livello > n_livelli)
        return nullptr;
    return &livelli[static_cast<std::size_t>(classe) * n_livelli +
                    static_cast<std::size_t>(livello - 1)];
}

namespace {
constexpr std::array<const char*, n_classi> nomi_classi = {"prima", "seconda", "terza", "quarta",
                                                           "quinta"};
} // namespace

const char* nome_classe(Classe classe) {
    return nomi_classi[static_cast<std::size_t>(classe)];
}

std::optional<Classe> classe_da_nome(std::string_view nome) {
    for (std::size_t i = 0; i < nomi_classi.size(); ++i)
        if (nome == nomi_classi[i])
            return static_cast<Classe>(i);
    return std::nullopt;
}

Generatore::Generatore(std::uint64_t seme) : motore_(seme) {}

std::uint64_t Generatore::entro(std::uint64_t n) {
    if (n == 0)
        return 0;
    // 2^64 mod n: the values at the top that would favour the small results.
    const std::uint64_t scarto = (0 - n) % n;
    std::uint64_t x = motore_();
    while (x > std::numeric_limits<std::uint64_t>::max() - scarto)
        x = motore_();
    return x % n;
}

std::uint64_t Generatore::tra(std::uint64_t minimo, std::uint64_t massimo) {
    if (massimo - minimo == std::numeric_limits<std::uint64_t>::max())
        return motore_();
    return minimo + entro(massimo - minimo + 1);
}

std::uint64_t seme_casuale() {
    std::random_device sorgente;
    return (std::uint64_t{sorgente()} << 32) ^ sorgente();
}

bool ha_zeri_dentro(const Decimale& numero) {
    const std::string cifre = numero.intera + numero.decimali;
    const auto primo = cifre.find_first_not_of('0');
    const auto ultimo = cifre.find_last_not_of('0');
    if (primo == std::string::npos)
        return false;
    return cifre.substr(primo, ultimo - primo).find('0') != std::string::npos;
}

namespace {

using interno::Scalato;

// A zero that holds a place: 40, 100, 305 (not the lone 0).
bool ha_zero_segnaposto(const Decimale& numero) {
    return numero.intera != "0" && (numero.intera + numero.decimali).find('0') != std::string::npos;
}

// Fisher–Yates with the round's own generator: std::shuffle's order is the
// library's choice, not the standard's.
template <typename T> void mescola(std::vector<T>& v, Generatore& gen) {
    for (std::size_t i = v.size(); i > 1; --i)
        std::swap(v[i - 1], v[gen.entro(i)]);
}

// A whole range small enough to list: the pools are drawn from without
// putting back, so nothing repeats and the zeros' share is met exactly.
std::vector<Decimale> da_elenco(const Livello& livello, std::size_t quanti, std::size_t con_zeri,
                                Generatore& gen) {
    std::vector<Decimale> zeri, altri;
    for (std::uint64_t v = livello.minimo; v <= livello.massimo; ++v) {
        Decimale d{std::to_string(v), {}};
        (ha_zeri_dentro(d) ? zeri : altri).push_back(std::move(d));
    }
    if (zeri.empty() && livello.zeri != Zeri::liberi) {
        std::vector<Decimale> tutti = std::move(altri);
        altri.clear();
        for (auto& d : tutti)
            (ha_zero_segnaposto(d) ? zeri : altri).push_back(std::move(d));
    }
    quanti = std::min<std::size_t>(quanti, zeri.size() + altri.size());
    con_zeri = std::min(con_zeri, std::min(quanti, zeri.size()));
    std::vector<Decimale> scelti;
    const auto prendi = [&](std::vector<Decimale>& da) {
        const std::size_t i = gen.entro(da.size());
        scelti.push_back(std::move(da[i]));
        da[i] = std::move(da.back());
        da.pop_back();
    };
    while (scelti.size() < con_zeri)
        prendi(zeri);
    for (auto& d : zeri)
        altri.push_back(std::move(d));
    while (scelti.size() < quanti)
        prendi(altri);
    mescola(scelti, gen);
    return scelti;
}

// One number of a level: for decimals the count of digits after the comma
// first (so that 3,5 is as likely as 3,57), then a value whose last digit
// is not 0 (3,50 is 3,5 with a digit more).
Decimale uno(const Livello& livello, Generatore& gen) {
    if (livello.decimali == 0)
        return {std::to_string(gen.tra(livello.minimo, livello.massimo)), {}};
    for (;;) {
        const int k = 1 + static_cast<int>(gen.entro(static_cast<std::uint64_t>(livello.decimali)));
        const std::uint64_t passo = interno::potenza10(livello.decimali - k);
        const std::uint64_t da = (livello.minimo + passo - 1) / passo, a = livello.massimo / passo;
        if (da > a)
            continue;
        const std::uint64_t v = gen.tra(da, a);
        if (v % 10 != 0)
            return interno::decimale({v, k});
    }
}

} // namespace

std::vector<Decimale> estrai_numeri(const Livello& livello, std::size_t quanti, Generatore& gen,
                                    std::optional<std::size_t> con_zeri) {
    const std::size_t zeri_voluti = con_zeri                         ? std::min(*con_zeri, quanti)
                                    : livello.zeri == Zeri::tutti    ? quanti
                                    : livello.zeri == Zeri::un_terzo ? (quanti + 2) / 3
                                                                     : 0;
    // Up to a hundred thousand whole numbers are listed; the larger ranges
    // hold so many numbers with zeros inside that drawing until one comes is quick.
    if (livello.decimali == 0 && livello.massimo - livello.minimo < 100'000)
        return da_elenco(livello, quanti, zeri_voluti, gen);
    std::vector<Decimale> scelti;
    std::set<std::pair<std::string, std::string>> visti;
    while (scelti.size() < quanti) {
        Decimale d = uno(livello, gen);
        const bool servono_zeri = scelti.size() < zeri_voluti;
        if (servono_zeri && !ha_zeri_dentro(d))
            continue;
        if (visti.insert({d.intera, d.decimali}).second)
            scelti.push_back(std::move(d));
    }
    mescola(scelti, gen);
    return scelti;
}

namespace {
constexpr std::array<const char*, n_tipi> nomi_tipi = {
    "Ascolta e scrivi",         "Leggi e scrivi in cifre", "Scrivi in lettere",
    "Che valore ha?",           "Componi il numero",       "Prima e dopo",
    "Più grande o più piccolo?"};
constexpr std::array<const char*, n_tipi> chiavi_tipi = {
    "ascolta", "cifre", "lettere", "valore", "componi", "prima-dopo", "confronta"};

// Places 1..12 from the right, then the decimals 1..3 from the comma.
constexpr std::array<const char*, 13> sigle_intere = {"",   "u",   "da", "h",  "uk",  "dak", "hk",
                                                      "uM", "daM", "hM", "uG", "daG", "hG"};
constexpr std::array<const char*, 4> sigle_decimali = {"", "d", "c", "m"};
constexpr std::array<const char*, 13> singolari_interi = {"",
                                                          "unità",
                                                          "decina",
                                                          "centinaio",
                                                          "migliaio",
                                                          "decina di migliaia",
                                                          "centinaio di migliaia",
                                                          "milione",
                                                          "decina di milioni",
                                                          "centinaio di milioni",
                                                          "miliardo",
                                                          "decina di miliardi",
                                                          "centinaio di miliardi"};
} // namespace

const char* nome_tipo(Tipo tipo) {
    return nomi_tipi[static_cast<std::size_t>(tipo)];
}

const char* chiave_tipo(Tipo tipo) {
    return chiavi_tipi[static_cast<std::size_t>(tipo)];
}

std::optional<Tipo> tipo_da_chiave(std::string_view chiave) {
    for (std::size_t i = 0; i < chiavi_tipi.size(); ++i)
        if (chiave == chiavi_tipi[i])
            return static_cast<Tipo>(i);
    return std::nullopt;
}

namespace {
// A place's entry: places 1..12 of the integer part from `interi`, the
// decimal places -1..-3 from `decimali`, and "" for any other.
template <typename Interi, typename Decimali>
const char* del_posto(int posto, const Interi& interi, const Decimali& decimali) {
    if (posto >= 1 && posto <= 12)
        return interi[static_cast<std::size_t>(posto)];
    if (posto <= -1 && posto >= -3)
        return decimali[static_cast<std::size_t>(-posto)];
    return "";
}
} // namespace

const char* sigla_posto(int posto) {
    return del_posto(posto, sigle_intere, sigle_decimali);
}

const char* nome_posto(int posto) {
    return del_posto(posto, nomi_ordini, nomi_decimali);
}

const char* nome_posto_singolare(int posto) {
    return del_posto(posto, singolari_interi, nomi_decimali_singolari);
}

namespace ce = clip_esercizi;
const std::array<const char*, 22> clip_delle_frasi = {
    ce::ascolta,       ce::cifre,          ce::lettere,    ce::valore,    ce::nel_numero,
    ce::componi,       ce::dopo,           ce::prima,      ce::quanto_fa, ce::piu,
    ce::meno,          ce::confronta,      ce::maggiore,   ce::minore,    ce::uguale,
    ce::giusto,        ce::esatto,         ce::molto_bene, ce::ben_fatto, ce::riprova,
    ce::il_numero_era, ce::la_risposta_era};
const std::array<const char*, 4> clip_lodi = {ce::giusto, ce::esatto, ce::molto_bene,
                                              ce::ben_fatto};

namespace interno {

std::uint64_t potenza10(int esponente) {
    std::uint64_t p = 1;
    for (int i = 0; i < esponente; ++i)
        p *= 10;
    return p;
}

Scalato scalato(const Decimale& numero) {
    std::uint64_t v = 0;
    for (const char c : numero.intera + numero.decimali)
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    return {v, static_cast<int>(numero.decimali.size())};
}

Decimale decimale(Scalato numero) {
    const std::uint64_t p = potenza10(numero.k);
    Decimale d{std::to_string(numero.v / p), {}};
    if (numero.k > 0) {
        d.decimali = std::to_string(numero.v % p);
        d.decimali.insert(0, static_cast<std::size_t>(numero.k) - d.decimali.size(), '0');
    }
    return d;
}

Scalato ridotto(Scalato numero, int k_minimo) {
    while (numero.k > k_minimo && numero.v % 10 == 0) {
        numero.v /= 10;
        --numero.k;
    }
    return numero;
}

int confronta_valori(const Decimale& a, const Decimale& b) {
    Scalato x = scalato(a), y = scalato(b);
    const int k = std::max(x.k, y.k);
    const std::uint64_t vx = x.v * potenza10(k - x.k), vy = y.v * potenza10(k - y.k);
    return vx < vy ? -1 : vx > vy ? 1 : 0;
}

} // namespace interno

std::string numero_mostrato(const Decimale& numero) {
    // The grouping drops the lone 0 of a whole number, as the entry box does.
    std::string testo = decimale_raggruppato(numero);
    return testo.empty() ? "0" : testo;
}

std::string numero_in_lettere(const Decimale& numero, Grafia grafia, Lettura lettura) {
    std::string parole = decimale_in_lettere(numero, grafia, lettura);
    return parole.empty() ? "zero" : parole;
}

} // namespace contavoce
