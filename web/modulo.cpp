// SPDX-License-Identifier: GPL-3.0-or-later
// The program's rules for the browser: the speller, the grouping, the clip
// lists, the place values and the practice, exported to JavaScript as they
// are. The page only shows and plays what these functions return.
//
// Offsets into text (the marked digit, the wrong digits, the wrong group) are
// UTF-8 bytes in C++ and UTF-16 code units in JavaScript: converted here, so
// that the page can slice its strings directly.
#include "esercizi/esercizi.h"
#include "esercizi/lezione.h"
#include "esercizi/progressi.h"
#include "speech/clip_list.h"
#include "speech/detto.h"
#include "speech/ordini_detti.h"
#include "spelling/grafia.h"
#include "spelling/numero.h"
#include "spelling/ordini.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using emscripten::val;

namespace contavoce::web {
namespace {

// The UTF-16 index of the byte offset `byte` of the UTF-8 text `s`.
std::size_t indice_js(const std::string& s, std::size_t byte) {
    std::size_t unita = 0;
    for (std::size_t i = 0; i < byte && i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: counted with its lead
        unita += c >= 0xF0 ? 2 : 1;
    }
    return unita;
}

val lista(const std::vector<std::string>& v) {
    val a = val::array();
    for (const std::string& s : v)
        a.call<void>("push", s);
    return a;
}

// Clip paths from an empty folder ("/va2.wav") as the page names its sounds: "va2".
std::vector<std::string> nomi(std::vector<std::string> percorsi) {
    for (std::string& p : percorsi) {
        if (!p.empty() && p.front() == '/')
            p.erase(0, 1);
        if (p.size() > 4 && p.compare(p.size() - 4, 4, ".wav") == 0)
            p.resize(p.size() - 4);
    }
    return percorsi;
}

std::vector<std::string> nomi(const ListaClip& l) {
    return nomi(
        std::vector<std::string>(l.Wave_name.begin() + 1, l.Wave_name.begin() + 1 + l.n_file));
}

Grafia grafia_da(const val& v) {
    return v.isString() && v.as<std::string>() == "originale" ? Grafia::originale
                                                              : Grafia::scolastica;
}

const char* nome_grafia(Grafia g) {
    return g == Grafia::originale ? "originale" : "scolastica";
}

// ------------------------------------------------------------ the explorer

std::string senza_zeri(const std::string& cifre) {
    return zeri_non_significativi(cifre);
}

std::string raggruppa(const std::string& cifre) {
    std::string copia = cifre;
    return formatta_numero(copia);
}

std::string in_lettere(const std::string& cifre, const val& grafia) {
    std::string parole;
    parole_in_grafia(cifre, grafia_da(grafia), parole);
    return parole;
}

val clip_numero(const std::string& cifre) {
    return lista(nomi(lista_clip(cifre, "")));
}

// The digit's place as the place-value panel writes and says it; `posto` from
// 1 (the units) to 12.
val posto(int cifra, int posto) {
    val o = val::object();
    const bool valido = cifra >= 0 && cifra <= 9 && posto >= 1 && posto <= int(max_cifre);
    o.set("testo",
          valido ? std::to_string(cifra) + " " + nomi_ordini[std::size_t(posto)] : std::string());
    o.set("clip", lista(valido ? nomi(lista_ordine(cifra, std::size_t(posto), ""))
                               : std::vector<std::string>{}));
    return o;
}

// ------------------------------------------------------------ the practice

val classi() {
    val a = val::array();
    for (std::size_t c = 0; c < n_classi; ++c) {
        val classe = val::object();
        classe.set("chiave", std::string(nome_classe(Classe(c))));
        val livelli_ = val::array();
        for (int l = 1; l <= n_livelli; ++l) {
            val liv = val::object();
            liv.set("livello", l);
            liv.set("descrizione", std::string(trova_livello(Classe(c), l)->descrizione));
            livelli_.call<void>("push", liv);
        }
        classe.set("livelli", livelli_);
        a.call<void>("push", classe);
    }
    return a;
}

val tipi_() {
    val a = val::array();
    for (Tipo t : tipi) {
        val o = val::object();
        o.set("chiave", std::string(chiave_tipo(t)));
        o.set("nome", std::string(nome_tipo(t)));
        a.call<void>("push", o);
    }
    return a;
}

Classe classe_di(const val& v) {
    if (v.isString())
        if (const auto c = classe_da_nome(v.as<std::string>()))
            return *c;
    throw std::invalid_argument("Classe sconosciuta.");
}

Tipo tipo_di(const val& v) {
    if (v.isString())
        if (const auto t = tipo_da_chiave(v.as<std::string>()))
            return *t;
    throw std::invalid_argument("Esercizio sconosciuto.");
}

const char* nome_stato(Stato s) {
    switch (s) {
    case Stato::da_fare:
        return "da_fare";
    case Stato::in_corso:
        return "in_corso";
    case Stato::riprova:
        return "riprova";
    case Stato::giusta:
        return "giusta";
    case Stato::giusta_al_secondo:
        return "giusta_al_secondo";
    case Stato::sbagliata:
        return "sbagliata";
    }
    return "";
}

const char* nome_esito(Esito e) {
    switch (e) {
    case Esito::vuota:
        return "vuota";
    case Esito::giusta:
        return "giusta";
    case Esito::riprova:
        return "riprova";
    case Esito::sbagliata:
        return "sbagliata";
    }
    return "";
}

const char* nome_risposta(Risposta r) {
    switch (r) {
    case Risposta::cifre:
        return "cifre";
    case Risposta::lettere:
        return "lettere";
    case Risposta::scelta:
        return "scelta";
    }
    return "";
}

val domanda_js(const Domanda& d) {
    val o = val::object();
    o.set("tipo", std::string(chiave_tipo(d.tipo)));
    o.set("nome_tipo", std::string(nome_tipo(d.tipo)));
    o.set("risposta", std::string(nome_risposta(d.risposta)));
    o.set("consegna", d.consegna);
    o.set("testo", d.testo);
    o.set("segnata_da", indice_js(d.testo, d.segnata_da));
    o.set("segnata_a", indice_js(d.testo, d.segnata_a));
    val scelte = val::array();
    for (const Scelta& s : d.scelte) {
        val sc = val::object();
        sc.set("sigla", s.sigla);
        sc.set("nome", s.nome);
        sc.set("clip", lista(nomi(clip_di(s.detto, d.lettura, ""))));
        scelte.call<void>("push", sc);
    }
    o.set("scelte", scelte);
    o.set("attesa", d.attesa);
    o.set("clip", lista(nomi(clip_di(d.da_dire, d.lettura, ""))));
    o.set("clip_attesa", std::string(d.clip_attesa));
    o.set("clip_attesa_detta", lista(nomi(clip_di(d.attesa_detta, d.lettura, ""))));
    o.set("numero", numero_mostrato(d.numero));
    return o;
}

val verifica_js(const Verifica& v, const std::string& risposta) {
    val o = val::object();
    o.set("esito", std::string(nome_esito(v.esito)));
    o.set("giusta", v.giusta);
    o.set("messaggio", v.messaggio);
    val cifre = val::array();
    for (std::size_t b : v.cifre_sbagliate)
        cifre.call<void>("push", indice_js(risposta, b));
    o.set("cifre_sbagliate", cifre);
    o.set("mancano", v.mancano);
    if (v.gruppo_sbagliato) {
        val g = val::array();
        g.call<void>("push", indice_js(risposta, v.gruppo_sbagliato->first));
        g.call<void>("push", indice_js(risposta, v.gruppo_sbagliato->second));
        o.set("gruppo_sbagliato", g);
    } else {
        o.set("gruppo_sbagliato", val::null());
    }
    return o;
}

// A round as the page plays it. Options: {classe: "terza", livello: 1,
// tipi: ["ascolta", ...] or tipo: "ascolta", domande: 10, seme: "123" (a
// decimal string: 64 bits do not fit a JavaScript number), grafia:
// "scolastica" | "originale"}. A bad option throws an Error with an Italian
// message.
class GiroWeb {
public:
    explicit GiroWeb(const val& opzioni) : giro_(leggi(opzioni)) {}
    explicit GiroWeb(Giro giro) : giro_(std::move(giro)) {}

    val domanda() const { return giro_.finito() ? val::null() : domanda_js(giro_.domanda()); }
    val rispondi(const std::string& risposta) {
        return verifica_js(giro_.rispondi(risposta), risposta);
    }
    bool prossima() { return giro_.prossima(); }
    bool finito() const { return giro_.finito(); }
    bool chiusa() const { return giro_.risposta_chiusa(); }
    std::size_t indice() const { return giro_.indice(); }
    std::size_t totale() const { return giro_.totale(); }
    std::size_t giuste() const { return giro_.giuste(); }
    std::size_t giuste_al_primo() const { return giro_.giuste_al_primo(); }
    int stelle() const { return giro_.stelle(); }
    std::string lode() const { return giro_.lode(); }
    val stati() const {
        val a = val::array();
        for (Stato s : giro_.stati())
            a.call<void>("push", std::string(nome_stato(s)));
        return a;
    }
    val errori() const {
        val a = val::array();
        for (const Errore& e : giro_.errori()) {
            val o = domanda_js(e.domanda);
            o.set("data", e.data);
            a.call<void>("push", o);
        }
        return a;
    }
    // A round of the missed questions; null when none was missed.
    val rifai_errori() const {
        auto altro = giro_.rifai_errori();
        return altro ? val(GiroWeb(std::move(*altro))) : val::null();
    }

private:
    static Impostazioni leggi(const val& o) {
        Impostazioni imp;
        imp.classe = classe_di(o["classe"]);
        imp.livello = o["livello"].isNumber() ? o["livello"].as<int>() : 0;
        if (o["tipi"].isArray()) {
            const auto n = o["tipi"]["length"].as<unsigned>();
            for (unsigned i = 0; i < n; ++i)
                imp.tipi.push_back(tipo_di(o["tipi"][i]));
            if (imp.tipi.empty())
                throw std::invalid_argument("Nessun esercizio scelto.");
            imp.tipo = imp.tipi.front();
        } else {
            imp.tipo = tipo_di(o["tipo"]);
        }
        if (o["domande"].isNumber())
            imp.domande = std::size_t(std::max(0, o["domande"].as<int>()));
        imp.seme = o["seme"].isString() ? std::stoull(o["seme"].as<std::string>()) : seme_casuale();
        imp.grafia = grafia_da(o["grafia"]);
        return imp;
    }

    Giro giro_;
};

// A factory rather than a constructor, so that a bad setting can be thrown
// as a JavaScript Error; embind owns what it returns (the page's delete()).
GiroWeb* nuovo_giro(const val& opzioni) {
    // Thrown across the boundary as a JavaScript Error with the Italian text:
    // a C++ exception would reach the page as a bare number.
    try {
        return new GiroWeb(opzioni);
    } catch (const std::exception& e) {
        val::global("Error").new_(std::string(e.what())).throw_();
    }
    return nullptr;
}

// The rounds played, as the page keeps them: [{classe, livello, tipo, giuste, totale}].
std::vector<EsitoGiro> esiti(const val& giri) {
    std::vector<EsitoGiro> v;
    if (!giri.isArray())
        return v;
    const auto n = giri["length"].as<unsigned>();
    for (unsigned i = 0; i < n; ++i) {
        const val g = giri[i];
        const auto c =
            g["classe"].isString() ? classe_da_nome(g["classe"].as<std::string>()) : std::nullopt;
        const auto t =
            g["tipo"].isString() ? tipo_da_chiave(g["tipo"].as<std::string>()) : std::nullopt;
        if (!c || !t || !g["livello"].isNumber() || !g["giuste"].isNumber() ||
            !g["totale"].isNumber())
            continue; // a record the page cannot have written: left out
        v.push_back({*c, g["livello"].as<int>(), *t, g["giuste"].as<std::size_t>(),
                     g["totale"].as<std::size_t>()});
    }
    return v;
}

int stelle_migliori_(const val& giri, const std::string& classe, int livello,
                     const std::string& tipo) {
    const auto c = classe_da_nome(classe);
    const auto t = tipo_da_chiave(tipo);
    return c && t ? stelle_migliori(esiti(giri), *c, livello, *t) : 0;
}

val passo_js(const Passo& p) {
    val o = val::object();
    o.set("classe", std::string(nome_classe(p.classe)));
    o.set("livello", p.livello);
    o.set("verso", std::string(p.verso == Passo::Verso::avanti     ? "avanti"
                               : p.verso == Passo::Verso::indietro ? "indietro"
                                                                   : "resta"));
    return o;
}

// The step to propose for `tipo`, from where the child last played it; null before a first round.
val prossimo_passo_(const val& giri, const std::string& tipo) {
    const auto t = tipo_da_chiave(tipo);
    if (!t)
        return val::null();
    const auto p = prossimo_passo(esiti(giri), *t);
    return p ? passo_js(*p) : val::null();
}

// A lesson file's text: {titolo, classe, livello, tipi, domande, seme, grafia}
// or {errore: "Riga 3: ..."}.
val leggi_lezione_(const std::string& testo) {
    val o = val::object();
    const LezioneLetta letta = leggi_lezione(testo);
    if (const auto* e = std::get_if<ErroreLezione>(&letta)) {
        o.set("errore", e->messaggio);
        return o;
    }
    const Lezione& l = std::get<Lezione>(letta);
    o.set("titolo", l.titolo);
    o.set("classe", std::string(nome_classe(l.classe)));
    o.set("livello", l.livello);
    val t = val::array();
    for (Tipo tipo : l.tipi)
        t.call<void>("push", std::string(chiave_tipo(tipo)));
    o.set("tipi", t);
    o.set("domande", l.domande);
    o.set("seme", std::to_string(l.seme));
    o.set("grafia", l.grafia ? val(std::string(nome_grafia(*l.grafia))) : val::null());
    return o;
}

int cifre_massime() {
    return int(max_cifre);
}

// How many questions a round may have: {minime, massime, di_norma}.
val domande_per_giro() {
    val o = val::object();
    o.set("minime", domande_minime);
    o.set("massime", domande_massime);
    o.set("di_norma", domande_di_norma);
    return o;
}

std::string testo_lode_(const std::string& clip) {
    return testo_lode(clip);
}

} // namespace
} // namespace contavoce::web

EMSCRIPTEN_BINDINGS(contavoce) {
    using namespace contavoce::web;
    using emscripten::allow_raw_pointers;
    using emscripten::function;
    function("cifre_massime", &cifre_massime);
    function("domande_per_giro", &domande_per_giro);
    function("testo_lode", &testo_lode_);
    function("senza_zeri", &senza_zeri);
    function("raggruppa", &raggruppa);
    function("in_lettere", &in_lettere);
    function("clip_numero", &clip_numero);
    function("posto", &posto);
    function("classi", &classi);
    function("tipi", &tipi_);
    function("stelle_migliori", &stelle_migliori_);
    function("prossimo_passo", &prossimo_passo_);
    function("leggi_lezione", &leggi_lezione_);
    emscripten::class_<GiroWeb>("Giro")
        .constructor(&nuovo_giro, allow_raw_pointers())
        .function("domanda", &GiroWeb::domanda)
        .function("rispondi", &GiroWeb::rispondi)
        .function("prossima", &GiroWeb::prossima)
        .function("finito", &GiroWeb::finito)
        .function("chiusa", &GiroWeb::chiusa)
        .function("indice", &GiroWeb::indice)
        .function("totale", &GiroWeb::totale)
        .function("giuste", &GiroWeb::giuste)
        .function("giuste_al_primo", &GiroWeb::giuste_al_primo)
        .function("stelle", &GiroWeb::stelle)
        .function("lode", &GiroWeb::lode)
        .function("stati", &GiroWeb::stati)
        .function("errori", &GiroWeb::errori)
        .function("rifai_errori", &GiroWeb::rifai_errori);
}
