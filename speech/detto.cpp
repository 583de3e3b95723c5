// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/detto.h"

#include "speech/decimale_detto.h"
#include "speech/ordini_detti.h"

namespace contavoce {

std::vector<std::string> clip_di(const std::vector<Detto>& detto, Lettura lettura,
                                 const std::string& cartella) {
    std::vector<std::string> fuori;
    const auto aggiungi = [&](const char* nome) {
        if (nome && *nome)
            fuori.push_back(cartella + "/" + nome + ".wav");
    };
    for (const Detto& d : detto) {
        switch (d.cosa) {
        case Detto::Cosa::clip:
            aggiungi(d.clip.c_str());
            break;
        case Detto::Cosa::numero: {
            // A whole 0 has no clips in a number's list (the explorer says
            // nothing for it), but a question about 0 must still say it.
            if (d.numero.decimali.empty() &&
                d.numero.intera.find_first_not_of('0') == std::string::npos) {
                aggiungi(cifre_dette[0]);
                break;
            }
            const auto lista = lista_decimale(d.numero, lettura, cartella);
            fuori.insert(fuori.end(), lista.begin(), lista.end());
            break;
        }
        case Detto::Cosa::ordine:
            if (d.posto > 0) {
                const ListaClip l = lista_ordine(d.cifra, std::size_t(d.posto), cartella);
                fuori.insert(fuori.end(), l.Wave_name.begin() + 1,
                             l.Wave_name.begin() + 1 + l.n_file);
            } else if (d.posto >= -3 && d.cifra >= 0 && d.cifra <= 9) {
                // A decimal place: "un decimo", "tre centesimi".
                const OrdineDetto& o = decimali_detti[std::size_t(-d.posto)];
                if (d.cifra == 1) {
                    aggiungi(o.uno);
                } else {
                    aggiungi(cifre_dette[std::size_t(d.cifra)]);
                    aggiungi(o.plurale);
                }
            }
            break;
        }
    }
    return fuori;
}

} // namespace contavoce
