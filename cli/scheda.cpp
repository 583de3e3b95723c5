// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scheda.h"

#include "spelling/decimale.h"

#include <algorithm>
#include <array>
#include <utility>

namespace contavoce::cli {
namespace {

constexpr std::array<const char*, n_esercizi> chiavi = {
    "lettere", "cifre",     "raggruppa",  "dettato", "scomponi", "componi",
    "valore",  "confronta", "prima-dopo", "ordina",  "decimali"};

constexpr std::array<const char*, n_esercizi> consegne = {
    "Scrivi in lettere",
    "Scrivi in cifre",
    "Separa le migliaia con il punto",
    "Dettato: scrivi in cifre il numero che senti",
    "Scomponi il numero in due modi",
    "Componi il numero e scrivilo in cifre",
    "Scrivi il posto e il valore della cifra sottolineata",
    "Metti il segno giusto: <, > o =",
    "Scrivi il risultato in cifre",
    "Metti in ordine dal più piccolo al più grande",
    "Scrivi in lettere i numeri in cifre, in cifre quelli in lettere",
};

// An "ordina" puts these many numbers in order.
constexpr std::size_t da_ordinare = 5;

// 2.304 = 2 uk + 3 h + 4 u = 2 × 1.000 + 3 × 100 + 4; 3,05 = 3 u + 5 c = 3 + 5 × 0,01.
std::string scomposto(const Decimale& n) {
    std::string posti, valori;
    const auto aggiungi = [&](char cifra, int posto, const std::string& unita) {
        if (!posti.empty()) {
            posti += " + ";
            valori += " + ";
        }
        posti += std::string(1, cifra) + ' ' + sigla_posto(posto);
        valori += std::string(1, cifra);
        if (posto != 1)
            valori += " × " + unita;
    };
    const int interi = int(n.intera.size());
    for (int i = 0; i < interi; ++i)
        if (n.intera[std::size_t(i)] != '0') {
            const int posto = interi - i;
            aggiungi(n.intera[std::size_t(i)], posto,
                     numero_mostrato({"1" + std::string(std::size_t(posto - 1), '0'), {}}));
        }
    for (std::size_t k = 0; k < n.decimali.size(); ++k)
        if (n.decimali[k] != '0')
            aggiungi(n.decimali[k], -int(k + 1), "0," + std::string(k, '0') + "1");
    if (posti.empty())
        return "0 u = 0";
    return posti + " = " + valori;
}

// By value: 3,5 is more than 3,45.
bool minore(const Decimale& x, const Decimale& y) {
    if (x.intera.size() != y.intera.size())
        return x.intera.size() < y.intera.size();
    if (x.intera != y.intera)
        return x.intera < y.intera;
    std::string dx = x.decimali, dy = y.decimali;
    dx.resize(3, '0');
    dy.resize(3, '0');
    return dx < dy;
}

Voce da_domanda(const Domanda& d) {
    Voce v;
    v.domanda = d.testo;
    v.risposta = d.attesa;
    v.segnata_da = d.segnata_da;
    v.segnata_a = d.segnata_a;
    return v;
}

// A level's numbers, as many as asked: a range with fewer different numbers
// (prima 1 holds eleven) gives them again, in another order.
std::vector<Decimale> numeri(const Livello& livello, std::size_t quanti, Generatore& gen,
                             std::optional<std::size_t> con_zeri) {
    std::vector<Decimale> presi;
    while (presi.size() < quanti) {
        const std::size_t mancano = quanti - presi.size();
        std::vector<Decimale> altri = estrai_numeri(livello, mancano, gen, con_zeri);
        if (altri.empty())
            break;
        con_zeri = con_zeri
                       ? std::optional<std::size_t>(*con_zeri - std::min(*con_zeri, altri.size()))
                       : std::nullopt;
        for (auto& d : altri)
            presi.push_back(std::move(d));
    }
    return presi;
}

} // namespace

const char* chiave_esercizio(Esercizio tipo) {
    return chiavi[std::size_t(tipo)];
}

std::optional<Esercizio> esercizio_da_chiave(std::string_view chiave) {
    for (std::size_t i = 0; i < chiavi.size(); ++i)
        if (chiave == chiavi[i])
            return Esercizio(i);
    return std::nullopt;
}

std::vector<std::pair<Esercizio, std::size_t>> esercizi_della_classe(Classe classe,
                                                                     std::size_t quanti) {
    using E = Esercizio;
    std::vector<E> tipi;
    switch (classe) {
    case Classe::prima:
        tipi = {E::cifre, E::lettere, E::confronta, E::prima_dopo};
        break;
    case Classe::seconda:
        tipi = {E::lettere, E::cifre, E::scomponi, E::confronta, E::prima_dopo};
        break;
    case Classe::terza:
        tipi = {E::lettere, E::cifre, E::raggruppa, E::scomponi, E::valore, E::confronta};
        break;
    case Classe::quarta:
        tipi = {E::lettere, E::raggruppa, E::scomponi, E::valore, E::confronta, E::decimali};
        break;
    case Classe::quinta:
        tipi = {E::lettere, E::valore, E::scomponi, E::decimali, E::ordina};
        break;
    }
    std::vector<std::pair<Esercizio, std::size_t>> mix;
    for (std::size_t i = 0; i < tipi.size(); ++i) {
        const std::size_t n = quanti / tipi.size() + (i < quanti % tipi.size() ? 1 : 0);
        if (n > 0)
            mix.emplace_back(tipi[i], n);
    }
    return mix;
}

Livello livello_di(const Richiesta& r) {
    const Livello* di_classe = trova_livello(r.classe, r.livello);
    Livello l = di_classe ? *di_classe : livelli[0];
    if (r.da || r.a) {
        l.minimo = r.da.value_or(1);
        l.massimo = r.a.value_or(999'999);
        l.decimali = 0;
        l.zeri = Zeri::liberi;
    }
    if (r.cifre) {
        std::uint64_t p = 1;
        for (int i = 1; i < *r.cifre; ++i)
            p *= 10;
        l.minimo = *r.cifre == 1 ? 0 : p;
        l.massimo = p * 10 - 1;
        l.decimali = 0;
    }
    return l;
}

std::size_t numeri_voluti(const Richiesta& r) {
    const auto esercizi =
        r.esercizi.empty() ? esercizi_della_classe(r.classe, r.quanti) : r.esercizi;
    std::size_t n = 0;
    for (const auto& [tipo, quanti] : esercizi)
        n += tipo == Esercizio::decimali ? 0
             : tipo == Esercizio::ordina ? quanti * da_ordinare
                                         : quanti;
    return n;
}

Scheda prepara_scheda(const Richiesta& r) {
    Scheda scheda;
    scheda.titolo = r.titolo;
    scheda.fila = r.fila;
    scheda.classe = r.classe;
    scheda.seme = r.seme;
    scheda.lettura = r.lettura;
    const Livello livello = livello_di(r);
    // The sections in the order asked for.
    const auto esercizi =
        r.esercizi.empty() ? esercizi_della_classe(r.classe, r.quanti) : r.esercizi;

    Generatore gen(r.seme);
    const std::size_t voluti = numeri_voluti(r);
    std::optional<std::size_t> con_zeri;
    if (r.zeri)
        con_zeri = (voluti * std::size_t(*r.zeri) + 99) / 100;
    const std::vector<Decimale> tratti = numeri(livello, voluti, gen, con_zeri);
    std::size_t preso = 0;
    const auto prossimo = [&] { return tratti[preso++ % tratti.size()]; };

    for (const auto& [tipo, quanti] : esercizi) {
        Sezione s{tipo, consegne[std::size_t(tipo)], {}};
        for (std::size_t i = 0; i < quanti; ++i) {
            Voce v;
            if (tipo == Esercizio::decimali) {
                // The class year's level of decimals (quarta 3, quinta 3).
                const Livello* dec = trova_livello(r.classe, n_livelli);
                Livello d = dec && dec->decimali > 0 ? *dec : *trova_livello(Classe::quarta, 3);
                const Decimale n = numeri(d, 1, gen, {}).front();
                const std::string cifre = numero_mostrato(n),
                                  parole = numero_in_lettere(n, r.grafia, r.lettura);
                v.domanda = i % 2 == 0 ? cifre : parole;
                v.risposta = i % 2 == 0 ? parole : cifre;
                s.voci.push_back(std::move(v));
                continue;
            }
            if (tipo == Esercizio::ordina) {
                // Five different numbers even from a range that gives its
                // numbers again (prima 1): "5 < 5" would be no answer.
                std::vector<Decimale> gruppo;
                for (std::size_t prova = 0; gruppo.size() < da_ordinare && prova < 4 * da_ordinare;
                     ++prova) {
                    Decimale n = prossimo();
                    if (std::none_of(gruppo.begin(), gruppo.end(), [&](const Decimale& g) {
                            return !minore(g, n) && !minore(n, g);
                        }))
                        gruppo.push_back(std::move(n));
                }
                for (const auto& n : gruppo)
                    v.domanda += (v.domanda.empty() ? "" : "     ") + numero_mostrato(n);
                std::stable_sort(gruppo.begin(), gruppo.end(), minore);
                for (const auto& n : gruppo)
                    v.risposta += (v.risposta.empty() ? "" : " < ") + numero_mostrato(n);
                s.voci.push_back(std::move(v));
                continue;
            }
            const Decimale n = prossimo();
            switch (tipo) {
            case Esercizio::lettere:
                v = da_domanda(fai_domanda(Tipo::lettere, n, livello, gen, i, FormaValore::misto,
                                           r.grafia, r.lettura));
                break;
            case Esercizio::cifre:
                v = da_domanda(fai_domanda(Tipo::cifre, n, livello, gen, i, FormaValore::misto,
                                           r.grafia, r.lettura));
                break;
            case Esercizio::raggruppa:
                v.domanda = n.intera + (n.decimali.empty() ? "" : "," + n.decimali);
                v.risposta = numero_mostrato(n);
                break;
            case Esercizio::dettato:
                v.risposta = numero_mostrato(n);
                scheda.dettato.push_back(n);
                break;
            case Esercizio::scomponi:
                v.domanda = numero_mostrato(n) + " =";
                v.risposta = scomposto(n);
                break;
            case Esercizio::componi:
                v = da_domanda(fai_domanda(Tipo::componi, n, livello, gen, i));
                break;
            case Esercizio::valore: {
                // The same marked digit asked both ways: the copy draws as the original.
                Generatore copia = gen;
                const Domanda posto =
                    fai_domanda(Tipo::valore, n, livello, gen, i, FormaValore::posto);
                const Domanda quanto =
                    fai_domanda(Tipo::valore, n, livello, copia, i, FormaValore::quanto);
                v = da_domanda(posto);
                v.risposta = posto.attesa + ", vale " + quanto.attesa;
                break;
            }
            case Esercizio::confronta: {
                const Domanda d = fai_domanda(Tipo::confronta, n, livello, gen, i);
                v = da_domanda(d);
                v.risposta =
                    numero_mostrato(d.numero) + ' ' + d.attesa + ' ' + numero_mostrato(d.secondo);
                v.su_riga = false;
                break;
            }
            case Esercizio::prima_dopo:
                v = da_domanda(fai_domanda(Tipo::prima_dopo, n, livello, gen, i));
                break;
            case Esercizio::ordina:
            case Esercizio::decimali:
                break;
            }
            s.voci.push_back(std::move(v));
        }
        scheda.sezioni.push_back(std::move(s));
    }
    return scheda;
}

} // namespace contavoce::cli
