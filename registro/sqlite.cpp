// SPDX-License-Identifier: GPL-3.0-or-later
#include "registro/sqlite.h"

namespace contavoce::registro {

Connessione::Connessione(const std::string& percorso) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(percorso.c_str(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    db_.reset(db);
    if (rc != SQLITE_OK) {
        const std::string perche = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        throw ErroreSqlite(rc, perche);
    }
    sqlite3_extended_result_codes(db, 1);
}

void Connessione::controlla(int codice) const {
    if (codice != SQLITE_OK && codice != SQLITE_ROW && codice != SQLITE_DONE)
        throw ErroreSqlite(codice, sqlite3_errmsg(db_.get()));
}

void Connessione::esegui(const char* sql) {
    controlla(sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr));
}

Istruzione Connessione::prepara(std::string_view sql) {
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v2(db_.get(), sql.data(), int(sql.size()), &st, nullptr);
    Istruzione istruzione(*this, st);
    controlla(rc);
    return istruzione;
}

Istruzione& Istruzione::lega(int i, std::int64_t v) {
    db_->controlla(sqlite3_bind_int64(st_.get(), i, v));
    return *this;
}

Istruzione& Istruzione::lega(int i, double v) {
    db_->controlla(sqlite3_bind_double(st_.get(), i, v));
    return *this;
}

Istruzione& Istruzione::lega(int i, std::string_view v) {
    db_->controlla(
        sqlite3_bind_text64(st_.get(), i, v.data(), v.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Istruzione& Istruzione::lega_nullo(int i) {
    db_->controlla(sqlite3_bind_null(st_.get(), i));
    return *this;
}

bool Istruzione::passo() {
    const int rc = sqlite3_step(st_.get());
    db_->controlla(rc);
    return rc == SQLITE_ROW;
}

std::string Istruzione::testo(int colonna) const {
    const auto* t = sqlite3_column_text(st_.get(), colonna);
    return t ? std::string(reinterpret_cast<const char*>(t),
                           std::size_t(sqlite3_column_bytes(st_.get(), colonna)))
             : std::string();
}

} // namespace contavoce::registro
