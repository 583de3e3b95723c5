// SPDX-License-Identifier: GPL-3.0-or-later
// The places of a digit said aloud with the digit ("tre centinaia", "un
// centinaio"), as clips beside the program; the written names are in
// spelling/ordini.h.
#pragma once

#include "speech/clip_list.h"

#include <array>
#include <cstddef>
#include <string>

namespace contavoce {

// The places counted from the right starting at 1, as clips (file names
// without ".wav"). Italian puts a 1 in the singular with its article: "un
// centinaio", "una decina di migliaia", and "una" drops its vowel before
// "unità": "un'unità". Every other digit, 0 included, is its number word and
// then the plural: "zero decine", "tre centinaia". Each place is one clip,
// said as one phrase in one breath, which sounds natural where joined words
// would not; "un milione", "milioni", "un miliardo" and "miliardi" are the
// number clips.
struct OrdineDetto {
    const char* uno;     // "un centinaio": the whole phrase for a 1
    const char* plurale; // "centinaia": after the digit's word
};
inline constexpr std::array<OrdineDetto, 13> ordini_detti = {{
    {"", ""},
    {"va_un_unita", "va_unita"},
    {"va_una_decina", "va_decine"},
    {"va_un_centinaio", "va_centinaia"},
    {"va_un_migliaio", "va_migliaia"},
    {"va_una_decina_migliaia", "va_decine_migliaia"},
    {"va_un_centinaio_migliaia", "va_centinaia_migliaia"},
    {"va_mglne", "va_mgloi"},
    {"va_una_decina_milioni", "va_decine_milioni"},
    {"va_un_centinaio_milioni", "va_centinaia_milioni"},
    {"va_mgldo", "va_mgldi"},
    {"va_una_decina_miliardi", "va_decine_miliardi"},
    {"va_un_centinaio_miliardi", "va_centinaia_miliardi"},
}};
// The digit's word before a plural: "zero" has a clip of its own, 2 to 9 are
// the number clips.
inline constexpr std::array<const char*, 10> cifre_dette = {"va0", "",    "va2", "va3", "va4",
                                                            "va5", "va6", "va7", "va8", "va9"};

// The decimal places counted from the comma starting at 1, as clips: "un
// decimo", "decimi" like the places above ("cinque centesimi", "un millesimo").
inline constexpr std::array<OrdineDetto, 4> decimali_detti = {{
    {"", ""},
    {"va_un_decimo", "va_decimi"},
    {"va_un_centesimo", "va_centesimi"},
    {"va_un_millesimo", "va_millesimi"},
}};

// The clips, from `cartella`, that say the digit `cifra` (0..9) in the place
// `posto` (1 for the units .. 12); an empty list for any other digit or place.
ListaClip lista_ordine(int cifra, std::size_t posto, const std::string& cartella);

} // namespace contavoce
