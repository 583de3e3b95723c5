// SPDX-License-Identifier: GPL-3.0-or-later
// The list of speech clips that, played in order, say a number in Italian
// ("2304" -> va2, va_mila, va3, va100, va4). Built from arithmetic only: no
// clip file is looked at.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace contavoce {

// Slots 1..n_file of Wave_name hold full clip paths in playing order; slot 0 is
// never used. The longest number (999999999999) needs 19 clips.
struct ListaClip {
    static constexpr std::int16_t capacita = 20;
    std::array<std::string, capacita + 1> Wave_name;
    std::int16_t n_file = 0;
    std::string cartella; // the program's folder, without a trailing separator
};

// Appends the clip `nome` (its file name without ".wav") from the list's folder.
void aggiungi_clip(ListaClip& lista, std::string_view nome);

// Appends the clips of one group of up to three digits (nothing for 0 or above 999).
void centinaia(std::int32_t valore, ListaClip& lista);

// The clips for a digit string of 1..12 digits (blanks around it are ignored);
// an empty or longer string gives an empty list.
ListaClip lista_clip(const std::string& cifre, const std::string& cartella);

} // namespace contavoce
