// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/e2e/risposte_esercizi.h"

#include "esercizi/esercizi.h"

namespace contavoce::sessione {
namespace {

Impostazioni del_giro(int classe, int livello, int tipo, unsigned long long seme) {
    Impostazioni i;
    i.classe = Classe(classe);
    i.livello = livello;
    i.tipo = tipi.at(std::size_t(tipo));
    i.seme = seme;
    i.grafia = Grafia::originale;
    return i;
}

std::string primo_clip(const Domanda& d) {
    return !d.da_dire.empty() && d.da_dire[0].cosa == Detto::Cosa::clip ? d.da_dire[0].clip : "";
}

// A wrong answer of the same kind: another choice, another number, a word
// that is no number's.
std::string risposta_sbagliata(const Domanda& d) {
    if (d.risposta == Risposta::scelta) {
        for (const Scelta& s : d.scelte)
            if (s.sigla != d.attesa)
                return s.sigla;
    }
    const char* prima = d.risposta == Risposta::lettere ? "tremila" : "1";
    return controlla(d, prima).giusta ? (d.risposta == Risposta::lettere ? "duemila" : "2") : prima;
}

} // namespace

QString risposte(int classe, int livello, int tipo, unsigned long long seme) {
    QString fuori;
    for (const Domanda& d : prepara_domande(del_giro(classe, livello, tipo, seme))) {
        const std::string sbagliata = risposta_sbagliata(d);
        fuori += QString::fromStdString(d.attesa + "\t" + sbagliata + "\t" + primo_clip(d) + "\n");
    }
    return fuori;
}

std::vector<std::pair<std::string, std::string>> eventi(int classe, int livello,
                                                        unsigned long long seme) {
    std::vector<std::pair<std::string, std::string>> e;
    int effetti = 0; // the window's cheerful effects take turns over all its rounds
    const auto chiesta = [&](const Domanda& d, const std::string& come) {
        if (!primo_clip(d).empty())
            e.emplace_back(primo_clip(d) + ".wav", come + ": the question said");
    };
    const auto giusta = [&](Giro& g, const std::string& come) {
        g.rispondi(g.domanda().attesa);
        e.emplace_back(effetti++ % 2 ? "UCCELLO" : "GALLO", come + ": right, the cheer");
        e.emplace_back(std::string(g.lode()) + ".wav", come + ": right, the praise");
    };
    const auto sbagliata = [&](const Domanda& d, const std::string& come) {
        e.emplace_back(std::string(clip_esercizi::riprova) + ".wav", come + ": wrong, Riprova");
        e.emplace_back(std::string(d.clip_attesa) + ".wav", come + ": wrong again, the answer");
    };
    for (int tipo = 0; tipo < int(n_tipi); ++tipo) {
        Giro g(del_giro(classe, livello, tipo, seme));
        const std::string nome = nome_tipo(tipi[std::size_t(tipo)]);
        chiesta(g.domanda(), nome + " 1");
        giusta(g, nome + " 1");
        g.prossima();
        chiesta(g.domanda(), nome + " 2");
        sbagliata(g.domanda(), nome + " 2");
    }
    const int ultimo = int(n_tipi) - 1;
    Giro g(del_giro(classe, livello, ultimo, seme));
    for (std::size_t k = 0; k < g.totale(); ++k) {
        const std::string nome = "whole round " + std::to_string(k + 1);
        chiesta(g.domanda(), nome);
        if (k == 1) {
            sbagliata(g.domanda(), nome);
            g.rispondi(risposta_sbagliata(g.domanda()));
            g.rispondi(risposta_sbagliata(g.domanda()));
        } else {
            giusta(g, nome);
        }
        g.prossima();
    }
    e.emplace_back("INIZIO", "the end of the round");
    const auto rifai = g.rifai_errori();
    if (rifai)
        chiesta(rifai->domanda(), "Rifai gli errori");
    e.emplace_back("VETRO", "Fine");
    return e;
}

} // namespace contavoce::sessione
