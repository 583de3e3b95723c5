// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/decimale_detto.h"

#include "speech/clip_list.h"
#include "speech/ordini_detti.h"
#include "spelling/numero.h"

#include <algorithm>
#include <string_view>

namespace contavoce {

namespace {

bool solo_cifre(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool valido(const Decimale& d) {
    return !d.intera.empty() && d.intera.size() <= max_cifre && solo_cifre(d.intera) &&
           (d.intera == "0" || d.intera.front() != '0') && d.decimali.size() <= 3 &&
           solo_cifre(d.decimali);
}

class Frase {
public:
    explicit Frase(const std::string& cartella) : cartella_(cartella) {}

    void clip(std::string_view nome) {
        std::string& percorso = clip_.emplace_back(cartella_);
        percorso += '/';
        percorso += nome;
        percorso += ".wav";
    }
    // A whole number's clips, as the number clips say it (nothing for 0).
    void numero(const std::string& cifre) {
        const ListaClip lista = lista_clip(cifre, cartella_);
        clip_.insert(clip_.end(), lista.Wave_name.begin() + 1,
                     lista.Wave_name.begin() + 1 + lista.n_file);
    }
    std::vector<std::string> fine() && { return std::move(clip_); }

private:
    const std::string& cartella_;
    std::vector<std::string> clip_;
};

void con_la_virgola(Frase& f, const Decimale& d) {
    if (d.intera == "0")
        f.clip("va0");
    else
        f.numero(d.intera);
    f.clip("va_virgola");
    const std::size_t zeri = std::min(d.decimali.find_first_not_of('0'), d.decimali.size());
    for (std::size_t i = 0; i < zeri; ++i)
        f.clip("va0");
    f.numero(d.decimali.substr(zeri));
}

void per_posti(Frase& f, const Decimale& d) {
    if (d.intera != "0") {
        if (d.intera == "1") {
            f.clip("va_un_unita");
        } else {
            f.numero(d.intera);
            // "un milione di unità", "due miliardi di unità": the nouns milione
            // and miliardo take "di" when they end the number.
            const long long v = valore_cifre(d.intera);
            f.clip(v % 1'000'000 == 0 ? "va_di_unita" : "va_unita");
        }
        f.clip("va_e");
    }
    const OrdineDetto& posto = decimali_detti[d.decimali.size()];
    const long long v = valore_cifre(d.decimali);
    if (v == 1) {
        f.clip(posto.uno);
        return;
    }
    if (v == 0)
        f.clip("va0");
    else
        f.numero(zeri_non_significativi(d.decimali));
    f.clip(posto.plurale);
}

} // namespace

std::vector<std::string> lista_decimale(const Decimale& numero, Lettura lettura,
                                        const std::string& cartella) {
    if (!valido(numero))
        return {};
    Frase f(cartella);
    if (numero.decimali.empty())
        f.numero(numero.intera);
    else if (lettura == Lettura::virgola)
        con_la_virgola(f, numero);
    else
        per_posti(f, numero);
    return std::move(f).fine();
}

} // namespace contavoce
