// SPDX-License-Identifier: GPL-3.0-or-later
#include "registro/registro.h"

#include "registro/sqlite.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace contavoce::registro {
namespace {

namespace fs = std::filesystem;

// How long a write waits for another program's (two logins of one account).
constexpr int attesa_ms = 5000;

// Each step brings a file from the schema before it to its own number
// (PRAGMA user_version); a step once released is never changed.
constexpr std::array<const char*, versione_schema> migrazioni = {
    // 1: the children (chiave: the name without case, unique), their rounds and their answers.
    R"(
CREATE TABLE bambini (
    id INTEGER PRIMARY KEY,
    nome TEXT NOT NULL,
    chiave TEXT NOT NULL UNIQUE,
    creato TEXT NOT NULL
);
CREATE TABLE giri (
    id INTEGER PRIMARY KEY,
    bambino INTEGER NOT NULL REFERENCES bambini(id) ON DELETE CASCADE,
    inizio TEXT NOT NULL,
    fine TEXT,
    classe TEXT NOT NULL,
    livello INTEGER NOT NULL,
    tipo TEXT NOT NULL,
    domande INTEGER NOT NULL,
    seme TEXT NOT NULL,
    giuste INTEGER,
    stelle INTEGER
);
CREATE TABLE risposte (
    id INTEGER PRIMARY KEY,
    quando TEXT NOT NULL,
    bambino INTEGER NOT NULL REFERENCES bambini(id) ON DELETE CASCADE,
    giro INTEGER NOT NULL REFERENCES giri(id) ON DELETE CASCADE,
    domanda INTEGER NOT NULL,
    classe TEXT NOT NULL,
    livello INTEGER NOT NULL,
    tipo TEXT NOT NULL,
    numero TEXT NOT NULL,
    testo TEXT NOT NULL,
    attesa TEXT NOT NULL,
    data TEXT NOT NULL,
    giusta INTEGER NOT NULL,
    tentativo INTEGER NOT NULL,
    secondi REAL NOT NULL
);
)",
    // 2: the lesson a round came from; the indexes of the teacher's views.
    R"(
ALTER TABLE giri ADD COLUMN lezione TEXT NOT NULL DEFAULT '';
CREATE INDEX giri_per_bambino ON giri(bambino, inizio);
CREATE INDEX risposte_per_bambino ON risposte(bambino, giro, domanda);
CREATE INDEX risposte_per_classe ON risposte(classe, giro, domanda);
CREATE INDEX risposte_per_giro ON risposte(giro);
)",
};

const char* const avviso_rovinato =
    "Il registro dei progressi era rovinato: l'ho messo da parte e ne ho cominciato uno nuovo.";
const char* const avviso_piu_nuovo =
    "Il registro dei progressi è di una versione più nuova di Contavoce: lo lascio com'è e "
    "questa volta i progressi non vengono salvati.";
const char* const avviso_cartella =
    "I progressi non vengono salvati: non posso scrivere nella cartella del registro.";
const char* const avviso_pieno = "I progressi non vengono salvati: il disco è pieno.";
const char* const avviso_scrittura =
    "I progressi non vengono salvati: non riesco a scrivere il registro.";

std::string adesso(const char* formato = "%Y-%m-%d %H:%M:%S") {
    const std::time_t t = std::time(nullptr);
    std::tm locale{};
    localtime_r(&t, &locale);
    char testo[32];
    return std::string(testo, std::strftime(testo, sizeof testo, formato, &locale));
}

std::string perche(int errore) {
    return std::strerror(errore);
}

// The folder, made 0700 (and brought back to it if someone opened it up).
void prepara_cartella(const fs::path& cartella) {
    std::error_code ec;
    if (cartella.has_parent_path())
        fs::create_directories(cartella.parent_path(), ec);
    if (::mkdir(cartella.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error(cartella.string() + ": " + perche(errno));
    struct stat st {};
    if (::stat(cartella.c_str(), &st) != 0)
        throw std::runtime_error(cartella.string() + ": " + perche(errno));
    if (!S_ISDIR(st.st_mode))
        throw std::runtime_error(cartella.string() + ": not a folder");
    if ((st.st_mode & 077) != 0 && st.st_uid == ::geteuid())
        ::chmod(cartella.c_str(), 0700);
}

// An existing file kept at 0600, and its log and shared-memory files, which
// SQLite makes with the file's mode.
void stringi_modi(const fs::path& file) {
    for (const char* coda : {"", "-wal", "-shm"}) {
        const std::string f = file.string() + coda;
        struct stat st {};
        if (::stat(f.c_str(), &st) == 0 && (st.st_mode & 077) != 0 && st.st_uid == ::geteuid())
            ::chmod(f.c_str(), 0600);
    }
}

int versione(Connessione& db) {
    auto st = db.prepara("PRAGMA user_version");
    return st.passo() ? int(st.intero(0)) : 0;
}

// The connection set up, checked and brought to this program's schema;
// `sola_lettura` when the file is a newer program's.
std::unique_ptr<Connessione> collega_una_volta(const fs::path& file, bool& sola_lettura) {
    auto db = std::make_unique<Connessione>(file.string());
    sqlite3_busy_timeout(db->get(), attesa_ms);
    const int trovata = versione(*db); // the first read: a file that is no database fails here
    {
        auto st = db->prepara("PRAGMA quick_check");
        const std::string esito = st.passo() ? st.testo(0) : "";
        if (esito != "ok")
            throw ErroreSqlite(SQLITE_CORRUPT, "quick_check: " + esito);
    }
    sola_lettura = trovata > versione_schema;
    if (sola_lettura)
        return db; // not even the journal mode: its bytes stay as they are
    db->esegui("PRAGMA foreign_keys = ON");
    // Removed names are overwritten, not only unlinked from the tree.
    db->esegui("PRAGMA secure_delete = ON");
    {
        auto st = db->prepara("PRAGMA journal_mode = WAL");
        if (!st.passo() || st.testo(0) != "wal")
            throw ErroreSqlite(SQLITE_CANTOPEN, "cannot use write-ahead logging");
    }
    db->esegui("PRAGMA synchronous = FULL");
    for (;;) {
        Transazione t(*db);
        const int v =
            versione(*db); // again under the write lock: another program may have been first
        if (v >= versione_schema)
            break;
        db->esegui(migrazioni[std::size_t(v)]);
        db->esegui(("PRAGMA user_version = " + std::to_string(v + 1)).c_str());
        t.conferma();
    }
    return db;
}

// As above, waiting for another program that is opening or starting the
// same file: a few of SQLite's waits do not go through its busy handler.
std::unique_ptr<Connessione> collega(const fs::path& file, bool& sola_lettura) {
    for (int tentativo = 0;; ++tentativo) {
        try {
            return collega_una_volta(file, sola_lettura);
        } catch (const ErroreSqlite& e) {
            const int primario = e.codice() & 0xff;
            if ((primario != SQLITE_BUSY && primario != SQLITE_LOCKED) ||
                tentativo * 50 > attesa_ms)
                throw;
        }
        ::usleep(50 * 1000);
    }
}

// A new register, made whole under another name, mode 0600 from the start,
// and linked into place, so that a program opening it at the same time finds
// either no file or a finished one; if another program was first, its file
// stays and this one goes.
void crea_registro(const fs::path& file) {
    const std::string nuovo = file.string() + ".nuovo-" + std::to_string(::getpid());
    const int fd = ::open(nuovo.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw std::runtime_error(file.parent_path().string() + ": " + perche(errno));
    ::close(fd);
    struct Togli {
        const std::string& f;
        ~Togli() {
            for (const char* coda : {"", "-wal", "-shm", "-journal"})
                ::unlink((f + coda).c_str());
        }
    } togli{nuovo};
    {
        bool sola_lettura = false;
        collega_una_volta(nuovo, sola_lettura);
    }
    if (::link(nuovo.c_str(), file.c_str()) != 0 && errno != EEXIST)
        throw std::runtime_error(file.string() + ": " + perche(errno));
}

// A damaged file and its companions renamed beside it, under a name not yet
// taken; never deleted.
void metti_da_parte(const fs::path& file) {
    const std::string base =
        (file.parent_path() / "registro-danneggiato-").string() + adesso("%Y%m%d-%H%M%S");
    for (int n = 1;; ++n) {
        const std::string nome = base + (n > 1 ? "-" + std::to_string(n) : "") + ".sqlite";
        std::error_code ec;
        if (fs::exists(nome, ec) || fs::exists(nome + "-wal", ec) || fs::exists(nome + "-shm", ec))
            continue;
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, nome.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST)
                continue;
            throw std::runtime_error(file.string() + ": " + perche(errno));
        }
        for (const char* coda : {"-wal", "-shm"}) {
            const std::string da = file.string() + coda, a = nome + coda;
            ::renameat2(AT_FDCWD, da.c_str(), AT_FDCWD, a.c_str(), RENAME_NOREPLACE);
        }
        return;
    }
}

// Case folded, for ASCII and the Latin-1 letters (È, Ò...).
std::string senza_maiuscole(std::string_view s) {
    std::string r(s);
    for (std::size_t i = 0; i < r.size(); ++i) {
        const auto c = static_cast<unsigned char>(r[i]);
        if (c >= 'A' && c <= 'Z')
            r[i] = char(c + 32);
        else if (c == 0xc3 && i + 1 < r.size()) {
            const auto d = static_cast<unsigned char>(r[i + 1]);
            if (d >= 0x80 && d <= 0x9e && d != 0x97)
                r[i + 1] = char(d + 0x20);
            ++i;
        }
    }
    return r;
}

// The order of a list of names: accents aside (Èlia beside Elia), then as written.
std::string per_ordine(std::string_view s) {
    static constexpr std::string_view lettere = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
    const std::string piccolo = senza_maiuscole(s);
    std::string r;
    for (std::size_t i = 0; i < piccolo.size(); ++i) {
        const auto c = static_cast<unsigned char>(piccolo[i]);
        if (c == 0xc3 && i + 1 < piccolo.size()) {
            const auto d = static_cast<unsigned char>(piccolo[i + 1]);
            if (d >= 0xa0) {
                r += lettere[d - 0xa0];
                ++i;
                continue;
            }
        }
        r += char(c);
    }
    return r;
}

// The code points of valid UTF-8, or nothing.
std::optional<std::vector<char32_t>> decodifica(std::string_view s) {
    std::vector<char32_t> r;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80         ? 1
                      : (c >> 5) == 6  ? 2
                      : (c >> 4) == 14 ? 3
                      : (c >> 3) == 30 ? 4
                                       : 0;
        if (n == 0 || i + std::size_t(n) > s.size())
            return std::nullopt;
        char32_t v = n == 1 ? c : c & (0x7f >> n);
        for (int k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + std::size_t(k)]);
            if ((d >> 6) != 2)
                return std::nullopt;
            v = (v << 6) | (d & 0x3f);
        }
        const char32_t minimo = n == 1 ? 0 : n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        if (v < minimo || v > 0x10ffff || (v >= 0xd800 && v <= 0xdfff))
            return std::nullopt;
        r.push_back(v);
        i += std::size_t(n);
    }
    return r;
}

Giocato giocato(const Istruzione& st) {
    Giocato g;
    g.id = st.intero(0);
    g.inizio = st.testo(1);
    g.fine = st.testo(2);
    g.classe = classe_da_nome(st.testo(3)).value_or(Classe::terza);
    g.livello = int(st.intero(4));
    g.tipo = tipo_da_chiave(st.testo(5)).value_or(Tipo::ascolta);
    g.domande = std::size_t(st.intero(6));
    g.seme = std::strtoull(st.testo(7).c_str(), nullptr, 10);
    g.lezione = st.testo(8);
    g.giuste = std::size_t(st.intero(9));
    g.stelle = int(st.intero(10));
    return g;
}

// A row "class year, level, kind, questions, right ones" added to `r`
// (rounds or counts), unless a newer program wrote a name this one does not know.
template <typename Conto> void aggiungi_conto(std::vector<Conto>& r, const Istruzione& st) {
    const auto classe = classe_da_nome(st.testo(0));
    const auto tipo = tipo_da_chiave(st.testo(2));
    if (classe && tipo)
        r.push_back({*classe, int(st.intero(1)), *tipo, std::size_t(st.intero(4)),
                     std::size_t(st.intero(3))});
}

} // namespace

fs::path cartella_registro() {
    const char* dati = std::getenv("XDG_DATA_HOME");
    if (dati && dati[0] == '/') // a relative one is to be ignored
        return fs::path(dati) / "Contavoce";
    const char* casa = std::getenv("HOME");
    std::string home = casa && casa[0] ? casa : "";
    if (home.empty())
        if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir)
            home = pw->pw_dir;
    return fs::path(home) / ".local" / "share" / "Contavoce";
}

NomeControllato controlla_nome(std::string_view nome) {
    while (!nome.empty() && nome.front() == ' ')
        nome.remove_prefix(1);
    while (!nome.empty() && nome.back() == ' ')
        nome.remove_suffix(1);
    const auto punti = decodifica(nome);
    if (!punti)
        return {{}, "Il nome contiene caratteri che non si possono leggere."};
    if (punti->empty())
        return {{}, "Scrivi un nome."};
    if (punti->size() > lunghezza_massima_nome)
        return {{},
                "Il nome è troppo lungo: al massimo " + std::to_string(lunghezza_massima_nome) +
                    " lettere."};
    for (const char32_t c : *punti)
        if (c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0x2028 || c == 0x2029)
            return {{}, "Il nome può avere solo lettere, spazi e segni che si vedono."};
    return {std::string(nome), {}};
}

Registro Registro::apri(const fs::path& cartella) {
    Registro r;
    r.file_ = cartella / nome_file_registro;
    for (int tentativo = 0; tentativo < 2; ++tentativo) {
        try {
            prepara_cartella(cartella);
            std::error_code ec;
            if (!fs::exists(r.file_, ec))
                crea_registro(r.file_);
            stringi_modi(r.file_);
            r.db_ = collega(r.file_, r.sola_lettura_);
            if (r.sola_lettura_) {
                r.avviso_ = avviso_piu_nuovo;
                r.errore_ = r.file_.string() + ": written by a newer version of Contavoce";
            }
            return r;
        } catch (const ErroreSqlite& e) {
            r.db_.reset();
            r.errore_ =
                r.file_.string() + ": " + e.what() + " (" + sqlite3_errstr(e.codice()) + ")";
            if (!e.rovinato() || tentativo > 0)
                break;
            try {
                metti_da_parte(r.file_);
                r.avviso_ = avviso_rovinato;
            } catch (const std::exception& e2) {
                r.errore_ = e2.what();
                break;
            }
        } catch (const std::exception& e) {
            r.db_.reset();
            r.errore_ = e.what();
            break;
        }
    }
    r.avviso_ = avviso_cartella;
    return r;
}

Registro::Registro(Registro&&) noexcept = default;
Registro& Registro::operator=(Registro&&) noexcept = default;
Registro::~Registro() = default;

std::optional<std::string> Registro::avviso_da_dare() {
    if (avvisato_)
        return std::nullopt;
    if (avviso_) {
        avvisato_ = true;
        return avviso_;
    }
    if (!scrittura_fallita_)
        return std::nullopt;
    avvisato_ = true;
    return errore_.find("full") != std::string::npos ? avviso_pieno : avviso_scrittura;
}

template <typename F> auto Registro::prova(F&& f) -> std::optional<decltype(f())> {
    if (!db_) {
        if (errore_.empty())
            errore_ = "the register is not open";
        return std::nullopt;
    }
    try {
        auto r = f();
        errore_.clear();
        return r;
    } catch (const std::exception& e) {
        errore_ = e.what();
    } catch (...) {
        errore_ = "unknown error";
    }
    return std::nullopt;
}

bool Registro::pronto_a_scrivere() {
    if (salva())
        return true;
    if (sola_lettura_)
        errore_ = file_.string() + ": written by a newer version of Contavoce, left as it is";
    scrittura_fallita_ = true;
    return false;
}

std::optional<std::vector<Bambino>> Registro::bambini() {
    return prova([&] {
        std::vector<Bambino> r;
        auto st = db_->prepara("SELECT id, nome FROM bambini");
        while (st.passo())
            r.push_back({st.intero(0), st.testo(1)});
        std::sort(r.begin(), r.end(), [](const Bambino& a, const Bambino& b) {
            const std::string x = per_ordine(a.nome), y = per_ordine(b.nome);
            return x != y ? x < y : a.nome < b.nome;
        });
        return r;
    });
}

std::optional<Bambino> Registro::trova_bambino(std::string_view nome) {
    const NomeControllato c = controlla_nome(nome);
    auto trovato = prova([&]() -> std::optional<Bambino> {
        auto st = db_->prepara("SELECT id, nome FROM bambini WHERE chiave = ?1");
        st.lega(1, senza_maiuscole(c.nome));
        if (!st.passo())
            return std::nullopt;
        return Bambino{st.intero(0), st.testo(1)};
    });
    return trovato ? *trovato : std::nullopt;
}

std::optional<Bambino> Registro::aggiungi_bambino(std::string_view nome) {
    const NomeControllato c = controlla_nome(nome);
    if (!c.errore.empty()) {
        errore_ = c.errore;
        return std::nullopt;
    }
    if (!pronto_a_scrivere())
        return std::nullopt;
    bool doppio = false;
    auto r = prova([&]() -> std::optional<Bambino> {
        Transazione t(*db_);
        auto c1 = db_->prepara("SELECT nome FROM bambini WHERE chiave = ?1");
        c1.lega(1, senza_maiuscole(c.nome));
        if (c1.passo()) {
            doppio = true;
            return std::nullopt;
        }
        auto st = db_->prepara("INSERT INTO bambini (nome, chiave, creato) VALUES (?1, ?2, ?3)");
        st.lega(1, c.nome).lega(2, senza_maiuscole(c.nome)).lega(3, adesso()).esegui();
        const Bambino b{db_->ultimo_id(), c.nome};
        t.conferma();
        return b;
    });
    if (doppio)
        errore_ =
            "C'è già un bambino che si chiama " + c.nome + ": scegli il suo nome nella lista.";
    else if (!r)
        scrittura_fallita_ = true;
    return r ? *r : std::nullopt;
}

Rimossi Registro::rimuovi(std::optional<std::int64_t> bambino) {
    Rimossi r;
    {
        Transazione t(*db_);
        const auto conta = [&](const char* sql) {
            auto st = db_->prepara(sql);
            if (bambino)
                st.lega(1, *bambino);
            return st.passo() ? std::size_t(st.intero(0)) : 0;
        };
        if (bambino) {
            r.bambini = conta("SELECT COUNT(*) FROM bambini WHERE id = ?1");
            if (r.bambini == 0)
                return r;
            r.giri = conta("SELECT COUNT(*) FROM giri WHERE bambino = ?1");
            r.risposte = conta("SELECT COUNT(*) FROM risposte WHERE bambino = ?1");
            for (const char* sql :
                 {"DELETE FROM risposte WHERE bambino = ?1", "DELETE FROM giri WHERE bambino = ?1",
                  "DELETE FROM bambini WHERE id = ?1"})
                db_->prepara(sql).lega(1, *bambino).esegui();
        } else {
            r.bambini = conta("SELECT COUNT(*) FROM bambini");
            r.giri = conta("SELECT COUNT(*) FROM giri");
            r.risposte = conta("SELECT COUNT(*) FROM risposte");
            db_->esegui("DELETE FROM risposte; DELETE FROM giri; DELETE FROM bambini;");
        }
        t.conferma();
    }
    // Nothing of theirs left in the file's free pages nor in the log: the
    // log copied back and emptied, the file rewritten, the log emptied again.
    // The removal itself is done: a program still reading the log only
    // delays the wiping until it closes (the last one out empties the log).
    try {
        db_->esegui("PRAGMA wal_checkpoint(TRUNCATE)");
        db_->esegui("VACUUM");
        auto st = db_->prepara("PRAGMA wal_checkpoint(TRUNCATE)");
        r.ripulito = !(st.passo() && st.intero(0) != 0);
    } catch (const ErroreSqlite&) {
        r.ripulito = false;
    }
    return r;
}

std::optional<Rimossi> Registro::rimuovi_bambino(std::int64_t bambino) {
    if (!pronto_a_scrivere())
        return std::nullopt;
    auto r = prova([&] { return rimuovi(bambino); });
    if (r && r->bambini == 0) {
        errore_ = "no such child";
        return std::nullopt;
    }
    return r;
}

std::optional<Rimossi> Registro::rimuovi_tutti() {
    if (!pronto_a_scrivere())
        return std::nullopt;
    return prova([&] { return rimuovi(std::nullopt); });
}

std::optional<std::int64_t> Registro::inizia_giro(const NuovoGiro& giro) {
    if (!pronto_a_scrivere())
        return std::nullopt;
    auto r = prova([&] {
        auto st = db_->prepara(
            "INSERT INTO giri (bambino, inizio, classe, livello, tipo, domande, seme, lezione) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        st.lega(1, giro.bambino)
            .lega(2, adesso())
            .lega(3, nome_classe(giro.classe))
            .lega(4, std::int64_t(giro.livello))
            .lega(5, chiave_tipo(giro.tipo))
            .lega(6, std::int64_t(giro.domande))
            .lega(7, std::to_string(giro.seme))
            .lega(8, giro.lezione)
            .esegui();
        return db_->ultimo_id();
    });
    if (!r)
        scrittura_fallita_ = true;
    return r;
}

template <typename F> bool Registro::scrivi_una_riga(F&& scrivi) {
    if (!pronto_a_scrivere())
        return false;
    const auto r = prova([&] {
        scrivi();
        if (db_->cambiate() != 1)
            throw std::runtime_error("no such round");
        return true;
    });
    if (!r)
        scrittura_fallita_ = true;
    return r.value_or(false);
}

bool Registro::registra_risposta(const NuovaRisposta& risposta) {
    // One statement, so one transaction: on the disk when this returns.
    return scrivi_una_riga([&] {
        auto st = db_->prepara(
            "INSERT INTO risposte (quando, bambino, giro, domanda, classe, livello, tipo, numero, "
            "testo, attesa, data, giusta, tentativo, secondi) "
            "SELECT ?1, bambino, id, ?2, classe, livello, COALESCE(?11, tipo), ?3, ?4, ?5, ?6, "
            "?7, ?8, ?9 FROM giri WHERE id = ?10");
        st.lega(1, adesso())
            .lega(2, std::int64_t(risposta.domanda))
            .lega(3, risposta.numero)
            .lega(4, risposta.testo)
            .lega(5, risposta.attesa)
            .lega(6, risposta.data)
            .lega(7, std::int64_t(risposta.giusta))
            .lega(8, std::int64_t(risposta.tentativo))
            .lega(9, risposta.secondi)
            .lega(10, risposta.giro);
        if (risposta.tipo)
            st.lega(11, std::string(chiave_tipo(*risposta.tipo)));
        st.esegui();
    });
}

bool Registro::chiudi_giro(std::int64_t giro, std::size_t giuste, int stelle) {
    return scrivi_una_riga([&] {
        db_->prepara("UPDATE giri SET fine = ?1, giuste = ?2, stelle = ?3 WHERE id = ?4")
            .lega(1, adesso())
            .lega(2, std::int64_t(giuste))
            .lega(3, std::int64_t(stelle))
            .lega(4, giro)
            .esegui();
    });
}

std::optional<std::vector<Giocato>> Registro::giri(std::int64_t bambino) {
    return prova([&] {
        std::vector<Giocato> r;
        auto st = db_->prepara("SELECT id, inizio, fine, classe, livello, tipo, domande, seme, "
                               "lezione, giuste, stelle FROM giri WHERE bambino = ?1 "
                               "ORDER BY inizio, id");
        st.lega(1, bambino);
        while (st.passo())
            r.push_back(giocato(st));
        return r;
    });
}

std::optional<std::vector<EsitoGiro>> Registro::esiti(std::int64_t bambino) {
    // From the answers, so that a lesson's round of several kinds counts for
    // each kind by its own questions; a question is right at either try.
    return prova([&] {
        std::vector<EsitoGiro> r;
        auto st = db_->prepara("SELECT g.classe, g.livello, a.tipo, COUNT(DISTINCT a.domanda), "
                               "COUNT(DISTINCT CASE WHEN a.giusta THEN a.domanda END) "
                               "FROM giri g JOIN risposte a ON a.giro = g.id "
                               "WHERE g.bambino = ?1 AND g.fine IS NOT NULL "
                               "GROUP BY g.id, a.tipo ORDER BY g.inizio, g.id, MIN(a.domanda)");
        st.lega(1, bambino);
        while (st.passo())
            aggiungi_conto(r, st);
        return r;
    });
}

std::optional<std::vector<RigaRisposta>> Registro::risposte() {
    return prova([&] {
        std::vector<RigaRisposta> r;
        auto st = db_->prepara(
            "SELECT r.quando, b.nome, r.classe, r.livello, r.tipo, g.lezione, r.giro, r.domanda, "
            "r.numero, r.testo, r.attesa, r.data, r.giusta, r.tentativo, r.secondi "
            "FROM risposte r JOIN bambini b ON b.id = r.bambino JOIN giri g ON g.id = r.giro "
            "ORDER BY b.chiave, r.quando, r.id");
        while (st.passo()) {
            RigaRisposta x;
            x.quando = st.testo(0);
            x.bambino = st.testo(1);
            x.classe = st.testo(2);
            x.livello = int(st.intero(3));
            x.tipo = st.testo(4);
            x.lezione = st.testo(5);
            x.giro = st.intero(6);
            x.domanda = std::size_t(st.intero(7));
            x.numero = st.testo(8);
            x.testo = st.testo(9);
            x.attesa = st.testo(10);
            x.data = st.testo(11);
            x.giusta = st.intero(12) != 0;
            x.tentativo = int(st.intero(13));
            x.secondi = st.reale(14);
            r.push_back(std::move(x));
        }
        return r;
    });
}

std::optional<std::vector<Conteggio>> Registro::conteggi(std::int64_t bambino) {
    return prova([&] {
        std::vector<Conteggio> r;
        auto st = db_->prepara(
            "SELECT classe, livello, tipo, COUNT(*), SUM(giusta) FROM "
            "(SELECT classe, livello, tipo, MAX(giusta) AS giusta FROM risposte "
            "WHERE bambino = ?1 GROUP BY giro, domanda) GROUP BY classe, livello, tipo");
        st.lega(1, bambino);
        while (st.passo())
            aggiungi_conto(r, st);
        std::sort(r.begin(), r.end(), [](const Conteggio& a, const Conteggio& b) {
            return std::tuple(a.classe, a.livello, a.tipo) <
                   std::tuple(b.classe, b.livello, b.tipo);
        });
        return r;
    });
}

std::optional<std::vector<NumeroSbagliato>>
Registro::piu_sbagliati(std::int64_t bambino, std::optional<Classe> classe, std::size_t quanti) {
    return prova([&] {
        std::vector<NumeroSbagliato> r;
        auto st =
            db_->prepara("SELECT numero, COUNT(*) AS volte FROM "
                         "(SELECT numero, MAX(giusta) AS giusta FROM risposte "
                         "WHERE (?1 = 0 OR bambino = ?1) AND (?2 IS NULL OR classe = ?2) "
                         "GROUP BY giro, domanda) "
                         "WHERE giusta = 0 GROUP BY numero ORDER BY volte DESC, numero LIMIT ?3");
        st.lega(1, bambino);
        if (classe)
            st.lega(2, nome_classe(*classe));
        else
            st.lega_nullo(2);
        st.lega(3, std::int64_t(quanti));
        while (st.passo())
            r.push_back({st.testo(0), std::size_t(st.intero(1))});
        return r;
    });
}

std::optional<std::string> Registro::ultima_volta(std::int64_t bambino) {
    return prova([&] {
        auto st = db_->prepara("SELECT MAX(quando) FROM risposte WHERE bambino = ?1");
        st.lega(1, bambino);
        return st.passo() ? st.testo(0) : std::string();
    });
}

} // namespace contavoce::registro
