// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/inf/esecuzione.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace contavoce::inf {
namespace {

namespace fs = std::filesystem;

std::string perche() {
    return std::strerror(errno);
}

class Descrittore {
public:
    explicit Descrittore(int fd) : fd_(fd) {}
    ~Descrittore() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descrittore(const Descrittore&) = delete;
    Descrittore& operator=(const Descrittore&) = delete;
    int fd() const { return fd_; }
    int rilascia() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// The signals that end a program from the terminal or the session wait until
// the work is done or undone; the loop asks whether one came in between files.
class SegnaliTrattenuti {
public:
    SegnaliTrattenuti() {
        sigemptyset(&trattenuti_);
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&trattenuti_, s);
        sigprocmask(SIG_BLOCK, &trattenuti_, &prima_);
    }
    ~SegnaliTrattenuti() { sigprocmask(SIG_SETMASK, &prima_, nullptr); }
    SegnaliTrattenuti(const SegnaliTrattenuti&) = delete;
    SegnaliTrattenuti& operator=(const SegnaliTrattenuti&) = delete;

    bool arrivato() const {
        sigset_t in_attesa;
        sigpending(&in_attesa);
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            if (sigismember(&in_attesa, s) == 1 && sigismember(&prima_, s) == 0)
                return true;
        return false;
    }

private:
    sigset_t trattenuti_{};
    sigset_t prima_{};
};

// Temporary files not yet renamed, and the folders made for them, removed
// again when the work stops half way.
struct Annullamento {
    std::vector<std::pair<fs::path, fs::path>> in_attesa; // temporary name, final name
    std::vector<fs::path> cartelle;                       // made here, parents first
    bool togli_cartelle = true;

    Annullamento() = default;
    Annullamento(const Annullamento&) = delete;
    Annullamento& operator=(const Annullamento&) = delete;
    ~Annullamento() {
        for (const auto& [temporaneo, finale] : in_attesa)
            if (!temporaneo.empty())
                ::unlink(temporaneo.c_str());
        if (togli_cartelle)
            for (auto c = cartelle.rbegin(); c != cartelle.rend(); ++c)
                ::rmdir(c->c_str());
    }
};

fs::path piu_vicina_esistente(fs::path p) {
    std::error_code e;
    while (!fs::exists(fs::symlink_status(p, e)) && p.has_relative_path())
        p = p.parent_path();
    return p;
}

void controlla_scrivibile(const fs::path& cartella) {
    const fs::path c = piu_vicina_esistente(cartella);
    std::error_code e;
    if (!fs::is_directory(c, e))
        throw ErroreInf(c.string() + " is in the way: it is not a folder");
    if (::faccessat(AT_FDCWD, c.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        throw ErroreInf("cannot write in " + c.string() + ": " + perche());
}

void controlla_spazio(const Piano& piano) {
    std::map<dev_t, std::pair<fs::path, std::uintmax_t>> bisogno; // per file system
    for (const FileDaScrivere& f : piano.file) {
        const fs::path c = piu_vicina_esistente(f.destinazione.parent_path());
        struct stat st {};
        if (::stat(c.c_str(), &st) != 0)
            continue;
        std::error_code e;
        const std::uintmax_t n =
            f.sorgente.empty() ? f.contenuto.size() : fs::file_size(f.sorgente, e);
        auto& [dove, quanto] = bisogno[st.st_dev];
        if (dove.empty())
            dove = c;
        quanto += (e ? 0 : n) + 4096; // at least a block each
    }
    for (const auto& [dispositivo, richiesta] : bisogno) {
        const auto& [dove, quanto] = richiesta;
        std::error_code e;
        const fs::space_info s = fs::space(dove, e);
        if (!e && s.available < quanto)
            throw ErroreInf("not enough room in " + dove.string() + ": " +
                            std::to_string(quanto / 1024) + " kB needed, " +
                            std::to_string(s.available / 1024) + " kB free");
    }
}

void crea_cartelle(const fs::path& cartella, std::vector<fs::path>& fatte) {
    std::vector<fs::path> mancanti;
    for (fs::path p = cartella; p.has_relative_path(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                throw ErroreInf(p.string() + " is in the way: it is not a folder");
            break;
        }
        mancanti.push_back(p);
    }
    for (auto p = mancanti.rbegin(); p != mancanti.rend(); ++p) {
        if (::mkdir(p->c_str(), 0755) != 0)
            throw ErroreInf("cannot make the folder " + p->string() + ": " + perche());
        fatte.push_back(*p);
        // The umask would have its say in mkdir: under root's 077 nobody else
        // could start the program.
        if (::chmod(p->c_str(), 0755) != 0)
            throw ErroreInf("cannot open the folder " + p->string() + " to everybody: " + perche());
    }
}

bool scrivi_tutto(int fd, const char* dati, std::size_t n) {
    while (n > 0) {
        const ssize_t scritti = ::write(fd, dati, n);
        if (scritti < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        dati += scritti;
        n -= std::size_t(scritti);
    }
    return true;
}

// A hidden name beside the target, so that the final rename stays within one
// folder and therefore one file system.
std::string modello_temporaneo(const fs::path& destinazione) {
    return (destinazione.parent_path() / ("." + destinazione.filename().string() + ".XXXXXX"))
        .string();
}

// Written by hand over file descriptors rather than with fs::copy_file: the
// source must be opened without following a link, and the mode and the data
// must be on disk before the rename makes the file visible.
void scrivi_temporaneo(const FileDaScrivere& f, Annullamento& annulla) {
    std::string nome = modello_temporaneo(f.destinazione);
    Descrittore uscita(::mkostemp(nome.data(), O_CLOEXEC));
    if (uscita.fd() < 0)
        throw ErroreInf("cannot write in " + f.destinazione.parent_path().string() + ": " +
                        perche());
    annulla.in_attesa.emplace_back(nome, f.destinazione);
    const auto errore = [&] {
        return ErroreInf("cannot write " + f.destinazione.string() + ": " + perche());
    };
    if (f.sorgente.empty()) {
        if (!scrivi_tutto(uscita.fd(), f.contenuto.data(), f.contenuto.size()))
            throw errore();
    } else {
        Descrittore ingresso(::open(f.sorgente.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (ingresso.fd() < 0 || ::fstat(ingresso.fd(), &st) != 0)
            throw ErroreInf("cannot read " + f.sorgente.string() + ": " + perche());
        if (!S_ISREG(st.st_mode))
            throw ErroreInf("the source " + f.sorgente.string() + " is not a plain file");
        std::vector<char> blocco(1 << 16);
        for (;;) {
            const ssize_t letti = ::read(ingresso.fd(), blocco.data(), blocco.size());
            if (letti < 0 && errno == EINTR)
                continue;
            if (letti < 0)
                throw ErroreInf("cannot read " + f.sorgente.string() + ": " + perche());
            if (letti == 0)
                break;
            if (!scrivi_tutto(uscita.fd(), blocco.data(), std::size_t(letti)))
                throw errore();
        }
    }
    if (::fchmod(uscita.fd(), f.eseguibile ? 0755 : 0644) != 0 || ::fsync(uscita.fd()) != 0)
        throw errore();
    if (::close(uscita.rilascia()) != 0)
        throw errore();
}

void collega_temporaneo(const Collegamento& c, Annullamento& annulla) {
    std::string nome = modello_temporaneo(c.percorso);
    const int fd = ::mkostemp(nome.data(), O_CLOEXEC); // reserves a free name
    if (fd < 0)
        throw ErroreInf("cannot write in " + c.percorso.parent_path().string() + ": " + perche());
    ::close(fd);
    ::unlink(nome.c_str());
    if (::symlink(c.bersaglio.c_str(), nome.c_str()) != 0)
        throw ErroreInf("cannot make the command " + c.percorso.string() + ": " + perche());
    annulla.in_attesa.emplace_back(nome, c.percorso);
}

} // namespace

Esito esegui(const Piano& piano) {
    const bool scrive = !piano.file.empty() || !piano.collegamenti.empty();
    const fs::path cartella_registro = piano.registro.percorso.parent_path();
    const bool registra = !piano.registro.percorso.empty() &&
                          (scrive || !piano.da_togliere.empty() || !piano.dimenticati.empty() ||
                           !piano.cartelle_vuote.empty());
    for (const fs::path& c : piano.cartelle)
        controlla_scrivibile(c);
    for (const fs::path& p : piano.da_togliere)
        controlla_scrivibile(p.parent_path());
    if (registra)
        controlla_scrivibile(cartella_registro);
    controlla_spazio(piano);

    Esito esito;
    Registro registro = piano.registro;
    for (const fs::path& p : piano.dimenticati)
        registro.file.erase(p.lexically_normal());
    const auto aggiorna_registro = [&] {
        if (registro.file != piano.registro.file || registro.cartelle != piano.registro.cartelle)
            scrivi_registro(registro);
    };
    std::string primo_errore;
    std::size_t errori = 0;
    const SegnaliTrattenuti segnali;
    try {
        Annullamento annulla;
        for (const fs::path& c : piano.cartelle)
            crea_cartelle(c, annulla.cartelle);
        // Only these are the installation's; the records' folder is everybody's.
        const std::vector<fs::path> fatte = annulla.cartelle;
        if (registra && scrive)
            crea_cartelle(cartella_registro, annulla.cartelle);
        for (const FileDaScrivere& f : piano.file) {
            if (segnali.arrivato())
                throw ErroreInf("interrupted: nothing was installed");
            scrivi_temporaneo(f, annulla);
        }
        for (const Collegamento& c : piano.collegamenti)
            collega_temporaneo(c, annulla);

        annulla.togli_cartelle = false;
        for (const fs::path& c : fatte)
            registro.cartelle.insert(c.lexically_normal());
        for (auto& [temporaneo, finale] : annulla.in_attesa) {
            if (::rename(temporaneo.c_str(), finale.c_str()) != 0)
                throw ErroreInf("cannot put " + finale.string() + " in place: " + perche() +
                                "; the installation is incomplete");
            temporaneo.clear();
            registro.file.insert(finale.lexically_normal());
            ++esito.scritti;
        }
    } catch (const ErroreInf&) {
        // Whatever did get into place is ours, and is recorded as such.
        try {
            aggiorna_registro();
        } catch (const ErroreInf&) {
        }
        throw;
    }

    const auto fallito = [&](const fs::path& p) {
        if (errori++ == 0)
            primo_errore = "cannot delete " + p.string() + ": " + perche();
    };
    for (const fs::path& p : piano.da_togliere) {
        if (::unlink(p.c_str()) == 0)
            ++esito.tolti;
        else if (errno != ENOENT) {
            fallito(p);
            continue;
        }
        registro.file.erase(p.lexically_normal());
    }
    // A folder of ours that is kept now holds someone else's files, so it
    // leaves the record with the ones removed; one that could not be removed
    // stays in it, for the next try.
    std::vector<fs::path> piene;
    for (const fs::path& c : piano.cartelle_vuote) {
        if (::rmdir(c.c_str()) != 0 && errno != ENOENT) {
            if (errno == ENOTEMPTY || errno == EEXIST) {
                piene.push_back(c);
            } else if (errno == ENOTDIR) { // a link or a file in its place
                esito.note.push_back("kept " + c.string() + ": it is no longer a folder");
            } else {
                fallito(c);
                continue;
            }
        }
        registro.cartelle.erase(c);
    }
    aggiorna_registro();
    // The record's own folder, gone with the record, may have been all that
    // was left in them (deepest first, as the plan has them).
    for (const fs::path& c : piene)
        if (::rmdir(c.c_str()) != 0 && errno != ENOENT)
            esito.note.push_back("kept " + c.string() + ": other files are in it");
    if (errori > 0)
        throw ErroreInf(primo_errore +
                        (errori > 1 ? " (and " + std::to_string(errori - 1) + " more)" : ""));
    return esito;
}

} // namespace contavoce::inf
