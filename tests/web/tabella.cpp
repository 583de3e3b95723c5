// SPDX-License-Identifier: GPL-3.0-or-later
// The native side of the browser module's comparison: the words, grouping and
// clips of a million digit strings, every digit's place, and whole rounds of
// every level and kind answered right, wrong then right, and wrong twice.
// confronto.js computes the same with the WebAssembly module and compares
// line by line. Fields are tab-separated; lists are joined with ','.
#include "esercizi/esercizi.h"
#include "speech/clip_list.h"
#include "speech/detto.h"
#include "speech/ordini_detti.h"
#include "spelling/grafia.h"
#include "spelling/numero.h"
#include "spelling/ordini.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace contavoce;

namespace {

std::string unisci(const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& x : v) {
        if (!s.empty())
            s += ',';
        // The clip's name as the page has it: no folder, no extension.
        std::string n = x;
        if (!n.empty() && n.front() == '/')
            n.erase(0, 1);
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".wav") == 0)
            n.resize(n.size() - 4);
        s += n;
    }
    return s;
}

std::string unisci(const ListaClip& l) {
    return unisci(
        std::vector<std::string>(l.Wave_name.begin() + 1, l.Wave_name.begin() + 1 + l.n_file));
}

void numero(const std::string& cifre) {
    std::string orig, scuola, copia = cifre;
    parole_in_grafia(cifre, Grafia::originale, orig);
    parole_in_grafia(cifre, Grafia::scolastica, scuola);
    std::printf("N\t%s\t%s\t%s\t%s\t%s\t%s\n", cifre.c_str(), orig.c_str(), scuola.c_str(),
                formatta_numero(copia).c_str(), zeri_non_significativi(cifre).c_str(),
                unisci(lista_clip(cifre, "")).c_str());
}

std::string sbagliata(const Domanda& d, int quale) {
    if (d.risposta == Risposta::scelta)
        for (const Scelta& s : d.scelte)
            if (s.sigla != d.attesa && quale-- == 0)
                return s.sigla;
    if (d.risposta == Risposta::lettere)
        return quale ? "centomila" : d.attesa + "uno";
    return quale ? "1 2" : d.attesa + "7";
}

void giro(const Impostazioni& imp) {
    Giro g(imp);
    std::printf("G\t%s\t%d\t%s\t%llu\n", nome_classe(imp.classe), imp.livello,
                chiave_tipo(imp.tipo), static_cast<unsigned long long>(imp.seme));
    for (std::size_t i = 0; !g.finito(); ++i) {
        const Domanda& d = g.domanda();
        std::string scelte;
        for (const Scelta& s : d.scelte)
            scelte += s.sigla + "|" + s.nome + "|" + unisci(clip_di(s.detto, d.lettura, "")) + ";";
        std::printf("D\t%s\t%s\t%zu\t%zu\t%s\t%s\t%s\t%s\t%s\t%s\n", d.consegna.c_str(),
                    d.testo.c_str(), d.segnata_da, d.segnata_a, d.attesa.c_str(),
                    unisci(clip_di(d.da_dire, d.lettura, "")).c_str(), d.clip_attesa,
                    unisci(clip_di(d.attesa_detta, d.lettura, "")).c_str(), scelte.c_str(),
                    numero_mostrato(d.numero).c_str());
        std::vector<std::string> risposte;
        if (i % 3 == 0)
            risposte = {d.attesa};
        else if (i % 3 == 1)
            risposte = {"", sbagliata(d, 0), d.attesa};
        else
            risposte = {sbagliata(d, 0), sbagliata(d, 1)};
        for (const std::string& r : risposte) {
            const Verifica v = g.rispondi(r);
            std::string cifre;
            for (std::size_t c : v.cifre_sbagliate)
                cifre += std::to_string(c) + ",";
            const std::string gruppo = v.gruppo_sbagliato
                                           ? std::to_string(v.gruppo_sbagliato->first) + "-" +
                                                 std::to_string(v.gruppo_sbagliato->second)
                                           : "";
            std::printf("R\t%s\t%d\t%d\t%s\t%s\t%zu\t%s\n", r.c_str(), int(v.esito), v.giusta,
                        v.messaggio.c_str(), cifre.c_str(), v.mancano, gruppo.c_str());
        }
        std::printf("L\t%s\n", g.risposta_chiusa() ? g.lode() : "");
        g.prossima();
    }
    std::printf("F\t%zu\t%zu\t%d\t%zu\n", g.giuste(), g.giuste_al_primo(), g.stelle(),
                g.errori().size());
}

} // namespace

int main() {
    // Every number up to 200.000, then 800.000 spread over all lengths by a
    // fixed generator, some with leading zeros.
    for (int n = 0; n < 200'000; ++n)
        numero(std::to_string(n));
    std::uint64_t x = 88172645463325252ull;
    for (int i = 0; i < 800'000; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        const int cifre = 1 + int(x % max_cifre);
        std::string s = std::to_string(x >> 8).substr(0, std::size_t(cifre));
        if (i % 50 == 0)
            s = "00" + s.substr(0, s.size() > 10 ? 10 : s.size());
        numero(s);
    }
    for (int c = 0; c <= 9; ++c)
        for (int p = 1; p <= int(max_cifre); ++p)
            std::printf("P\t%d\t%d\t%s %s\t%s\n", c, p, std::to_string(c).c_str(),
                        nomi_ordini[std::size_t(p)],
                        unisci(lista_ordine(c, std::size_t(p), "")).c_str());
    for (const Livello& l : livelli)
        for (Tipo t : tipi)
            for (std::uint64_t seme : {1ull, 2ull, 18446744073709551615ull}) {
                Impostazioni imp;
                imp.classe = l.classe;
                imp.livello = l.livello;
                imp.tipo = t;
                imp.domande = 6;
                imp.seme = seme;
                giro(imp);
            }
    return 0;
}
