// SPDX-License-Identifier: GPL-3.0-or-later
// The practice: levels by class year, numbers drawn from a seed, the seven
// kinds of question, the checking of a child's typed answer and a round with
// its score. No widget, no sound, no Qt: a front end shows `testo`, says
// `da_dire` and hands back what the child typed; the same code serves the
// window, the worksheets and a browser build.
#pragma once

#include "spelling/forme.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace contavoce {

// ---------------------------------------------------------------- levels

enum class Classe { prima, seconda, terza, quarta, quinta };
inline constexpr std::size_t n_classi = 5;
inline constexpr int n_livelli = 3;

// How many numbers of a round must have a zero between non-zero digits
// (3.045, 20.007, 100.010, 30,5): none, at least a third (rounded up), or all.
enum class Zeri { liberi, un_terzo, tutti };

// One level: the whole numbers from `minimo` to `massimo`, or, when
// `decimali` is not 0, numbers with 1..`decimali` digits after the comma
// (the last one not 0) whose value lies between minimo/10^decimali and
// massimo/10^decimali (quarta 3: 0,1–999,99 is 10..99999 with 2 decimals).
struct Livello {
    Classe classe;
    int livello;           // 1..3
    std::uint64_t minimo;  // in units of the last decimal place
    std::uint64_t massimo; // likewise, inclusive
    int decimali;          // 0 for whole numbers, else 2 or 3
    Zeri zeri;
    const char* descrizione; // "0–10", "decimali 0,1–999,99"
};

// The level table, class year by class year, levels 1..3 (prima 1 first).
extern const std::array<Livello, n_classi * n_livelli> livelli;

// The level of a class year, or nullptr for a level outside 1..3.
const Livello* trova_livello(Classe classe, int livello);

// "prima" .. "quinta" and back (nullopt for any other text).
const char* nome_classe(Classe classe);
std::optional<Classe> classe_da_nome(std::string_view nome);

// ---------------------------------------------------------------- drawing

// The numbers of a round from a seed: std::mt19937_64's output is fixed by
// the standard, but the distributions' are not, so the reduction to a range
// is done here (rejection of the top remainder: unbiased and the same on every
// platform and compiler, the browser build included).
class Generatore {
public:
    explicit Generatore(std::uint64_t seme);
    // A value in 0..n-1, uniformly; 0 for n == 0.
    std::uint64_t entro(std::uint64_t n);
    // A value in minimo..massimo inclusive (minimo <= massimo).
    std::uint64_t tra(std::uint64_t minimo, std::uint64_t massimo);

private:
    std::mt19937_64 motore_;
};

// A seed for a round nobody asked to repeat (from std::random_device).
std::uint64_t seme_casuale();

// Whether a number has a zero between two non-zero digits, the decimal
// comma not counting as a digit: 3.045, 100.010, 30,5 yes; 100, 0,05, 7 no.
bool ha_zeri_dentro(const Decimale& numero);

// `quanti` different numbers of the level, in drawing order, at least
// `con_zeri` of them with zeros inside (by default what the level asks:
// see Zeri); fewer only if the level does not hold that many (prima 1 has
// 11). Decimals come with the digits they are read with ("30,5", "0,07").
std::vector<Decimale> estrai_numeri(const Livello& livello, std::size_t quanti, Generatore& gen,
                                    std::optional<std::size_t> con_zeri = {});

// A number as the practice and the worksheets show it: grouped ("2.304",
// "30,5"), and in words, "zero" for 0 in either spelling.
std::string numero_mostrato(const Decimale& numero);
std::string numero_in_lettere(const Decimale& numero, Grafia grafia, Lettura lettura);

// ---------------------------------------------------------------- kinds

enum class Tipo { ascolta, cifre, lettere, valore, componi, prima_dopo, confronta };
inline constexpr std::size_t n_tipi = 7;
inline constexpr std::array<Tipo, n_tipi> tipi = {Tipo::ascolta,  Tipo::cifre,   Tipo::lettere,
                                                  Tipo::valore,   Tipo::componi, Tipo::prima_dopo,
                                                  Tipo::confronta};

// The name on screen: "Ascolta e scrivi", "Leggi e scrivi in cifre",
// "Scrivi in lettere", "Che valore ha?", "Componi il numero", "Prima e dopo",
// "Più grande o più piccolo?".
const char* nome_tipo(Tipo tipo);
// The short name for command lines and lesson files: ascolta, cifre, lettere,
// valore, componi, prima-dopo, confronta; and back.
const char* chiave_tipo(Tipo tipo);
std::optional<Tipo> tipo_da_chiave(std::string_view chiave);

// "Che valore ha?" asks the marked digit's place (buttons) or its worth
// (typed: the 3 of 2.304 is worth 300); misto alternates, the place first.
enum class FormaValore { posto, quanto, misto };

// The places' short forms as Italian schools write them: u, da, h for units,
// tens, hundreds; then k for the thousands (uk, dak, hk), M for the millions
// (uM, daM, hM), G for the billions (uG, daG, hG); d, c, m for the tenths,
// hundredths and thousandths. `posto` counts from the right starting at 1
// (1..12), and -1..-3 for the decimal places from the comma.
const char* sigla_posto(int posto);
// The place's name in the plural ("centinaia di migliaia", "decimi") and in
// the singular that follows a 1 ("centinaio di migliaia", "decimo").
const char* nome_posto(int posto);
const char* nome_posto_singolare(int posto);

// The sentence clips of the practice (resources/speech/clips.tsv), said
// before or between the numbers.
namespace clip_esercizi {
inline constexpr const char* ascolta = "es_ascolta";       // "Ascolta e scrivi il numero"
inline constexpr const char* cifre = "es_cifre";           // "Scrivi in cifre"
inline constexpr const char* lettere = "es_lettere";       // "Scrivi in lettere"
inline constexpr const char* valore = "es_valore";         // "Quanto vale la cifra"
inline constexpr const char* nel_numero = "es_nel_numero"; // "nel numero"
inline constexpr const char* componi = "es_componi";       // "Componi il numero"
inline constexpr const char* dopo = "es_dopo";             // "Che numero viene dopo"
inline constexpr const char* prima = "es_prima";           // "Che numero viene prima di"
inline constexpr const char* quanto_fa = "es_quanto_fa";   // "Quanto fa"
inline constexpr const char* piu = "es_piu";               // "più"
inline constexpr const char* meno = "es_meno";             // "meno"
inline constexpr const char* confronta = "es_confronta";   // "Quale segno va tra"
inline constexpr const char* e = "va_e";                   // "e" (the decimals' clip)
inline constexpr const char* maggiore = "es_maggiore";     // "è maggiore di"
inline constexpr const char* minore = "es_minore";         // "è minore di"
inline constexpr const char* uguale =
    "es_uguale"; // "vale quanto" (the voice saturates on "è uguale a")
inline constexpr const char* giusto = "es_giusto";                // "Giusto!"
inline constexpr const char* esatto = "es_esatto";                // "Esatto!"
inline constexpr const char* molto_bene = "es_molto_bene";        // "Molto bene!"
inline constexpr const char* ben_fatto = "es_ben_fatto";          // "Ben fatto!"
inline constexpr const char* riprova = "es_riprova";              // "Riprova"
inline constexpr const char* il_numero_era = "es_numero_era";     // "Il numero era"
inline constexpr const char* la_risposta_era = "es_risposta_era"; // "La risposta era"
} // namespace clip_esercizi

// Every clip name above, for the checks of the installed clips.
extern const std::array<const char*, 22> clip_delle_frasi;
// The praise clips, one per right answer in turn (no gendered word).
extern const std::array<const char*, 4> clip_lodi;
// The words of a praise clip as shown ("Esatto!"); "Giusto!" for any other name.
const char* testo_lode(std::string_view clip);

// One piece of what is said: a clip by file name (without ".wav"), a number
// (said in the round's reading, e.g. speech/decimale_detto.h), or a digit in
// its place ("tre centinaia", "un centinaio": speech/ordini_detti.h).
struct Detto {
    enum class Cosa { clip, numero, ordine };
    Cosa cosa = Cosa::clip;
    std::string clip; // Cosa::clip
    Decimale numero;  // Cosa::numero
    int cifra = 0;    // Cosa::ordine: 0..9
    int posto = 0;    // Cosa::ordine: as sigla_posto
};

// How the child answers.
enum class Risposta {
    cifre,   // a number typed in digits (grouped "2.304", "2 304" or plain; decimal comma)
    lettere, // the number in words
    scelta,  // one of `scelte`, by button or typed (its sigla or its name)
};

struct Scelta {
    std::string sigla;        // on the button: "hk", "<"
    std::string nome;         // for screen readers and as typed: "centinaia di migliaia", "minore"
    std::vector<Detto> detto; // the choice said
};

struct Domanda {
    Tipo tipo = Tipo::ascolta;
    Risposta risposta = Risposta::cifre;
    std::string consegna; // the instruction: "Scrivi in cifre il numero che senti"
    std::string testo;    // what to show: "2.304", "duemilatrecentoquattro",
                          // "Che numero viene dopo 2.399?", "2.304 ☐ 2.340"; empty for ascolta
    // For "Che valore ha?": the byte range of the marked digit in `testo`.
    std::size_t segnata_da = 0, segnata_a = 0;
    std::vector<Detto> da_dire;      // the question aloud ("Ripeti" says it again)
    std::vector<Scelta> scelte;      // for Risposta::scelta, in button order
    std::string attesa;              // the right answer as shown: "2.304", "ventitré", "hk", "<"
    std::vector<Detto> attesa_detta; // said after "Il numero era" / "La risposta era"
    const char* clip_attesa = clip_esercizi::il_numero_era; // which of the two
    // The numbers the question is about: the number asked, and the second
    // number of a comparison or the step of a ±10/±100/±1.000 question.
    Decimale numero;
    Decimale secondo;
    Decimale valore_atteso; // Risposta::cifre: the expected number
    // Risposta::cifre: whether "3,50" for 3,5 is right (a worth or a sum: by
    // value), or the digits must be those said (dictation: as written).
    bool per_valore = false;
    Grafia grafia = Grafia::scolastica; // the words shown (cifre kind)
    Lettura lettura = Lettura::virgola; // decimals shown and said in words
};

// ---------------------------------------------------------------- checking

enum class Esito {
    vuota, // nothing typed: not counted, nothing happens
    giusta,
    riprova,   // wrong the first time: try again, with a hint
    sbagliata, // wrong again: show and say the right answer, then the next question
};

struct Verifica {
    Esito esito = Esito::vuota;
    bool giusta = false;   // whatever the try: the answer itself is right
    std::string messaggio; // the hint in one Italian sentence, empty when right
    // Digit answers: byte offsets in the typed text of the digits in a wrong
    // place value (units against units, tenths against tenths), extra ones
    // included; `mancano` digits too few.
    std::vector<std::size_t> cifre_sbagliate;
    std::size_t mancano = 0;
    // Word answers: the byte range in the typed text of the first wrong group
    // (a group of three digits with its milioni/mila, "virgola" and the
    // decimals); equal when what is missing is at the end (then at its end).
    std::optional<std::pair<std::size_t, std::size_t>> gruppo_sbagliato;
};

// Whether a typed answer is right for the question, and the hint when not;
// the try (first/second) is the round's business, so `esito` is giusta,
// riprova or vuota here. Lenient where Italian allows it: for words, case,
// blanks, hyphens and apostrophes do not count, the program's and the
// school's spelling are both right ("ventitre", "ventitré", "unmilione",
// "un milione", "un milione e duecentomila"), and a decimal in either
// reading; for digits, grouped with dots or blanks or not at all; a choice
// by its sigla or its name, in any case.
Verifica controlla(const Domanda& domanda, std::string_view risposta);

// ---------------------------------------------------------------- a round

inline constexpr std::size_t domande_minime = 5, domande_massime = 20, domande_di_norma = 10;

struct Impostazioni {
    Classe classe = Classe::terza;
    int livello = 1; // 1..3
    Tipo tipo = Tipo::ascolta;
    // Several kinds in turn (ascolta, lettere, ascolta, lettere...) over the
    // numbers drawn; empty: `tipo` alone.
    std::vector<Tipo> tipi;
    std::size_t domande = domande_di_norma; // 5..20
    std::uint64_t seme = 0;
    FormaValore forma_valore = FormaValore::misto;
    Grafia grafia = Grafia::scolastica;
    Lettura lettura = Lettura::virgola;
};

// The questions of a round, the same for the same settings on every
// platform. Throws std::invalid_argument (an Italian message) for a level
// outside 1..3 or a count outside 5..20.
std::vector<Domanda> prepara_domande(const Impostazioni& impostazioni);

// One question of a kind about a number, for worksheets and tests; `indice`
// is the question's place in its round (it picks the form of "Che valore ha?"
// when misto, and varies the steps of "Prima e dopo").
Domanda fai_domanda(Tipo tipo, const Decimale& numero, const Livello& livello, Generatore& gen,
                    std::size_t indice = 0, FormaValore forma = FormaValore::misto,
                    Grafia grafia = Grafia::scolastica, Lettura lettura = Lettura::virgola);

// Where each question of a round stands (the row of dots).
enum class Stato { da_fare, in_corso, riprova, giusta, giusta_al_secondo, sbagliata };

struct Errore {
    Domanda domanda;
    std::string data; // the last answer typed
};

// Stars for a score: 3 from 80% right (a level passed), 2 from 50%, else 1:
// a child who played a round always gets a star.
int stelle(std::size_t giuste, std::size_t totale);

class Giro {
public:
    explicit Giro(const Impostazioni& impostazioni); // throws as prepara_domande
    explicit Giro(std::vector<Domanda> domande);     // e.g. the missed ones; not empty

    std::size_t totale() const { return domande_.size(); }
    std::size_t indice() const { return indice_; } // the question on screen
    bool finito() const { return indice_ >= domande_.size(); }
    const Domanda& domanda() const; // the question on screen (not when finito)
    const std::vector<Domanda>& domande() const { return domande_; }
    const std::vector<Stato>& stati() const { return stati_; }

    // Checks the answer to the question on screen: giusta (then prossima),
    // riprova (the first wrong: type again), sbagliata (the second: show and
    // say the right answer, then prossima), vuota (nothing typed: nothing
    // counted). Once answered, further answers change nothing and repeat
    // the last verdict.
    Verifica rispondi(std::string_view risposta);
    // Whether the question on screen is done (giusta or sbagliata).
    bool risposta_chiusa() const;
    // The next question, once the one on screen is done; false at the end.
    bool prossima();

    // The praise clip for the latest right answer (they take turns).
    const char* lode() const;

    std::size_t giuste() const;          // right at the first or second try
    std::size_t giuste_al_primo() const; // right at the first try
    int stelle() const { return contavoce::stelle(giuste(), totale()); }
    std::vector<Errore> errori() const; // missed, in round order
    // "Rifai gli errori": a round of the missed questions, none when none.
    std::optional<Giro> rifai_errori() const;

private:
    std::vector<Domanda> domande_;
    std::vector<Stato> stati_;
    std::vector<std::string> date_;
    Verifica ultima_;
    std::size_t indice_ = 0;
    std::size_t lodi_ = 0;
};

} // namespace contavoce
