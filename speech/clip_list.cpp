// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/clip_list.h"

#include "platform/base/testo.h"
#include "spelling/numero.h"

#include <string_view>

namespace contavoce {

void aggiungi_clip(ListaClip& lista, std::string_view nome) {
    if (lista.n_file >= ListaClip::capacita)
        return; // cannot happen for 12 digits; never write past the list
    ++lista.n_file;
    std::string& slot = lista.Wave_name[std::size_t(lista.n_file)];
    slot.reserve(lista.cartella.size() + nome.size() + 5);
    slot = lista.cartella;
    slot += '/';
    slot += nome;
    slot += ".wav";
}

namespace {

void aggiungi_numero(ListaClip& lista, std::int32_t n) {
    aggiungi_clip(lista, "va" + std::to_string(n));
}

// A scale group: 1 has its own clip ("mille", "un milione", "un miliardo"),
// 2 or more is said as a group followed by the plural, 0 says nothing.
void aggiungi_scala(ListaClip& lista, std::int64_t n, std::string_view uno,
                    std::string_view plurale) {
    if (n == 1) {
        aggiungi_clip(lista, uno);
    } else if (n >= 2) {
        centinaia(std::int32_t(n), lista);
        aggiungi_clip(lista, plurale);
    }
}

// Millions, thousands and units of a value below one billion.
void sotto_il_miliardo(ListaClip& lista, std::int64_t v) {
    aggiungi_scala(lista, v / 1'000'000, "va_mglne", "va_mgloi");
    aggiungi_scala(lista, v % 1'000'000 / 1000, "va1000", "va_mila");
    centinaia(std::int32_t(v % 1000), lista);
}

} // namespace

void centinaia(std::int32_t valore, ListaClip& lista) {
    if (valore <= 0 || valore > 999)
        return;
    const std::int32_t h = valore / 100;
    const std::int32_t r = valore - 100 * h;
    const std::int32_t t = r / 10;
    const std::int32_t u = r - 10 * t;
    if (h >= 2)
        aggiungi_numero(lista, h);
    if (h >= 1)
        aggiungi_clip(lista, "va100");
    if (r >= 1 && r <= 20) {
        aggiungi_numero(lista, r);
    } else if (r >= 21) {
        aggiungi_numero(lista, t * 10);
        if (u >= 1)
            aggiungi_numero(lista, u);
    }
}

ListaClip lista_clip(const std::string& cifre, const std::string& cartella) {
    ListaClip lista;
    lista.cartella = cartella;
    const std::string_view s = platform::senza_blanchi(cifre, " ");
    const std::size_t L = s.size();
    if (L >= 1 && L <= 3) {
        centinaia(std::int32_t(valore_cifre(s)), lista);
    } else if (L >= 4 && L <= 6) {
        const std::int64_t v = valore_cifre(s);
        aggiungi_scala(lista, v / 1000, "va1000", "va_mila");
        centinaia(std::int32_t(v % 1000), lista);
    } else if (L >= 7 && L <= 9) {
        sotto_il_miliardo(lista, valore_cifre(s));
    } else if (L >= 10 && L <= 12) {
        const std::int64_t v = valore_cifre(s);
        aggiungi_scala(lista, v / 1'000'000'000, "va_mgldo", "va_mgldi");
        sotto_il_miliardo(lista, v % 1'000'000'000);
    }
    return lista;
}

} // namespace contavoce
