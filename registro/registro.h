// SPDX-License-Identifier: GPL-3.0-or-later
// The children's progress, kept in one SQLite file of the user's data folder
// (registro.sqlite, mode 0600 in a folder of mode 0700: children's names are
// personal data): the children, their rounds and every answer, for the
// practice window and the teacher's `contavoce-cli registro`.
//
// Nothing here throws or stops the program: a call that cannot read or write
// says so by its result, and errore() tells why. Each answer is committed by
// the call that records it, so that a program killed mid-round loses at most
// the question on screen; two programs may write at once (WAL mode, each
// waiting a few seconds for the other's write).
#pragma once

#include "esercizi/esercizi.h"
#include "esercizi/progressi.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace contavoce::registro {

class Connessione;

// $XDG_DATA_HOME/Contavoce, else ~/.local/share/Contavoce.
std::filesystem::path cartella_registro();
inline constexpr const char* nome_file_registro = "registro.sqlite";

// The schema this program writes; an older file is brought up to it.
inline constexpr int versione_schema = 2;

struct Bambino {
    std::int64_t id = 0;
    std::string nome;
};

// A first name as the child typed it, trimmed; the reason in Italian when it
// cannot be one (empty, longer than 40 characters, a control character).
inline constexpr std::size_t lunghezza_massima_nome = 40;
struct NomeControllato {
    std::string nome;
    std::string errore; // empty when the name is good
};
NomeControllato controlla_nome(std::string_view nome);

struct NuovoGiro {
    std::int64_t bambino = 0;
    Classe classe = Classe::terza;
    int livello = 1;
    Tipo tipo = Tipo::ascolta;
    std::size_t domande = 0;
    std::uint64_t seme = 0;
    std::string lezione; // the lesson's name, empty when the child chose
};

// One try at one question.
struct NuovaRisposta {
    std::int64_t giro = 0;
    std::size_t domanda = 0; // the question's place in its round, from 0
    std::string numero;      // the number asked, as shown ("2.304")
    std::string testo;       // the question as shown
    std::string attesa;      // the right answer as shown
    std::string data;        // what the child typed
    bool giusta = false;
    int tentativo = 1; // 1 or 2
    double secondi = 0;
    // The question's kind, when it is not the round's (a lesson's round
    // takes several kinds in turn).
    std::optional<Tipo> tipo;
};

struct Giocato {
    std::int64_t id = 0;
    std::string inizio, fine; // "AAAA-MM-GG HH:MM:SS", local time; fine empty if unfinished
    Classe classe = Classe::terza;
    int livello = 1;
    Tipo tipo = Tipo::ascolta;
    std::size_t domande = 0;
    std::uint64_t seme = 0;
    std::string lezione;
    std::size_t giuste = 0; // of a finished round
    int stelle = 0;         // of a finished round
};

// Every answer, for the teacher's spreadsheet.
struct RigaRisposta {
    std::string quando, bambino;
    std::string classe; // "terza"
    int livello = 1;
    std::string tipo; // its key: "ascolta"
    std::string lezione;
    std::int64_t giro = 0;
    std::size_t domanda = 0;
    std::string numero, testo, attesa, data;
    bool giusta = false;
    int tentativo = 1;
    double secondi = 0;
};

// Questions answered of a kind at a level; a question counts once, right if
// right at either try.
struct Conteggio {
    Classe classe = Classe::terza;
    int livello = 1;
    Tipo tipo = Tipo::ascolta;
    std::size_t giuste = 0, totale = 0;
};

struct NumeroSbagliato {
    std::string numero;
    std::size_t volte = 0; // questions about it missed (wrong at the second try)
};

struct Rimossi {
    std::size_t bambini = 0, giri = 0, risposte = 0;
    // False when another program (a practice window) still reads the file:
    // its last traces go when that program closes.
    bool ripulito = true;
};

class Registro {
public:
    // Opens, or starts, the register in `cartella` (made if missing). A
    // damaged file is set aside beside it as
    // registro-danneggiato-AAAAMMGG-HHMMSS.sqlite and a new one started; a
    // file of a newer program is left as it is and nothing is written. Then,
    // or when the folder cannot be written, avviso() holds the sentence for
    // the child.
    static Registro apri(const std::filesystem::path& cartella);
    Registro(Registro&&) noexcept;
    Registro& operator=(Registro&&) noexcept;
    ~Registro();

    // Whether the answers are being kept.
    bool salva() const { return bool(db_) && !sola_lettura_; }
    // The sentence for the child from the opening, if any.
    const std::optional<std::string>& avviso() const { return avviso_; }
    // The sentence for the child the first time something was not kept
    // (the opening's, or "I progressi non vengono salvati: ..." after a write
    // failed), then nothing: the child is told once.
    std::optional<std::string> avviso_da_dare();
    // Why the last call failed, for the log and the teacher.
    const std::string& errore() const { return errore_; }
    const std::filesystem::path& file() const { return file_; }

    // The children sorted by name, case aside.
    std::optional<std::vector<Bambino>> bambini();
    std::optional<Bambino> trova_bambino(std::string_view nome);
    // A new child; nothing, and errore() in Italian, for a bad or taken name.
    std::optional<Bambino> aggiungi_bambino(std::string_view nome);
    // A child and all their rounds and answers, gone from the file (the
    // space wiped, the log emptied); nothing for an unknown id.
    std::optional<Rimossi> rimuovi_bambino(std::int64_t bambino);
    std::optional<Rimossi> rimuovi_tutti();

    // The round's id.
    std::optional<std::int64_t> inizia_giro(const NuovoGiro& giro);
    bool registra_risposta(const NuovaRisposta& risposta);
    bool chiudi_giro(std::int64_t giro, std::size_t giuste, int stelle);

    // A child's rounds, oldest first.
    std::optional<std::vector<Giocato>> giri(std::int64_t bambino);
    // The finished ones, for progressi.h.
    std::optional<std::vector<EsitoGiro>> esiti(std::int64_t bambino);

    std::optional<std::vector<RigaRisposta>> risposte();
    std::optional<std::vector<Conteggio>> conteggi(std::int64_t bambino);
    // The numbers missed most often, most first, at most `quanti`: a child's
    // (bambino > 0) or, with `classe`, everybody's in that class year.
    std::optional<std::vector<NumeroSbagliato>>
    piu_sbagliati(std::int64_t bambino, std::optional<Classe> classe, std::size_t quanti);
    // When the child last answered, "" if never.
    std::optional<std::string> ultima_volta(std::int64_t bambino);

private:
    Registro() = default;
    template <typename F> auto prova(F&& f) -> std::optional<decltype(f())>;
    // One row written by `scrivi`, committed; a failure remembered for the child's notice.
    template <typename F> bool scrivi_una_riga(F&& scrivi);
    bool pronto_a_scrivere();
    Rimossi rimuovi(std::optional<std::int64_t> bambino);

    std::unique_ptr<Connessione> db_;
    std::filesystem::path file_;
    bool sola_lettura_ = false;
    bool scrittura_fallita_ = false;
    bool avvisato_ = false;
    std::optional<std::string> avviso_;
    std::string errore_;
};

} // namespace contavoce::registro
