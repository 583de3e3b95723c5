// SPDX-License-Identifier: GPL-3.0-or-later
// A thin RAII layer over the SQLite C library: a connection, its prepared
// statements with bound parameters, and failures as exceptions that the
// register catches at each of its calls.
#pragma once

#include <cstdint>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace contavoce::registro {

// A failed SQLite call: its extended result code and SQLite's message.
class ErroreSqlite : public std::runtime_error {
public:
    ErroreSqlite(int codice, const std::string& messaggio)
        : std::runtime_error(messaggio), codice_(codice) {}
    int codice() const { return codice_; }
    // The file is not a database or is damaged, rather than unreachable or full.
    bool rovinato() const {
        const int primario = codice_ & 0xff;
        return primario == SQLITE_NOTADB || primario == SQLITE_CORRUPT;
    }

private:
    int codice_;
};

class Istruzione;

class Connessione {
public:
    // Opens an existing file for reading and writing (SQLite creates nothing).
    explicit Connessione(const std::string& percorso);

    sqlite3* get() const { return db_.get(); }
    // Runs statements with no parameters and no rows wanted.
    void esegui(const char* sql);
    Istruzione prepara(std::string_view sql);
    // Throws for `codice` unless it is SQLITE_OK, SQLITE_ROW or SQLITE_DONE.
    void controlla(int codice) const;
    std::int64_t ultimo_id() const { return sqlite3_last_insert_rowid(db_.get()); }
    int cambiate() const { return sqlite3_changes(db_.get()); }

private:
    struct Chiudi {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Chiudi> db_;
};

class Istruzione {
public:
    Istruzione(const Connessione& db, sqlite3_stmt* st) : db_(&db), st_(st) {}

    // Parameters by position, from 1.
    Istruzione& lega(int i, std::int64_t v);
    Istruzione& lega(int i, double v);
    Istruzione& lega(int i, std::string_view v);
    Istruzione& lega_nullo(int i);
    // The next row: true while there is one.
    bool passo();
    // Runs a statement that returns no rows.
    void esegui() {
        while (passo()) {
        }
    }

    std::int64_t intero(int colonna) const { return sqlite3_column_int64(st_.get(), colonna); }
    double reale(int colonna) const { return sqlite3_column_double(st_.get(), colonna); }
    bool nullo(int colonna) const { return sqlite3_column_type(st_.get(), colonna) == SQLITE_NULL; }
    std::string testo(int colonna) const;

private:
    struct Finalizza {
        void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
    };
    const Connessione* db_;
    std::unique_ptr<sqlite3_stmt, Finalizza> st_;
};

// BEGIN IMMEDIATE, rolled back unless committed: a writer takes the write
// lock at once (waiting for another window's), never half way through.
class Transazione {
public:
    explicit Transazione(Connessione& db) : db_(db) { db_.esegui("BEGIN IMMEDIATE"); }
    Transazione(const Transazione&) = delete;
    Transazione& operator=(const Transazione&) = delete;
    ~Transazione() {
        if (!fatta_)
            sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void conferma() {
        db_.esegui("COMMIT");
        fatta_ = true;
    }

private:
    Connessione& db_;
    bool fatta_ = false;
};

} // namespace contavoce::registro
