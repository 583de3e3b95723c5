// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ordini_detti.h"

namespace contavoce {

ListaClip lista_ordine(int cifra, std::size_t posto, const std::string& cartella) {
    ListaClip lista;
    lista.cartella = cartella;
    if (cifra < 0 || cifra > 9 || posto < 1 || posto >= ordini_detti.size())
        return lista;
    const OrdineDetto& ordine = ordini_detti[posto];
    if (cifra == 1) {
        aggiungi_clip(lista, ordine.uno);
    } else {
        aggiungi_clip(lista, cifre_dette[std::size_t(cifra)]);
        aggiungi_clip(lista, ordine.plurale);
    }
    return lista;
}

} // namespace contavoce
