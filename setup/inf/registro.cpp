// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/inf/registro.h"

#include "platform/base/file.h"
#include "platform/base/testo.h"
#include "setup/inf/testo_inf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace contavoce::inf {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view intestazione = "# installa-inf: installed from ";

std::string con_escape(const std::string& s) {
    std::string r;
    for (const char c : s)
        r += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : std::string(1, c);
    return r;
}

std::optional<std::string> senza_escape(std::string_view s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            r += s[i];
            continue;
        }
        if (++i == s.size() || (s[i] != '\\' && s[i] != 'n'))
            return std::nullopt;
        r += s[i] == 'n' ? '\n' : '\\';
    }
    return r;
}

} // namespace

fs::path cartella_registri(const Luoghi& luoghi) {
    return luoghi.per_utente ? luoghi.programmi / "installa-inf" : cartella_registri_sistema;
}

fs::path percorso_registro(const fs::path& cartella, const fs::path& inf) {
    return cartella / (platform::minuscolo(inf.filename().string()) + ".list");
}

Registro leggi_registro(const fs::path& percorso) {
    Registro r{percorso, {}, {}};
    std::error_code e;
    const auto st = fs::symlink_status(percorso, e);
    if (!fs::exists(st))
        return r;
    const std::string dove = "the record of installed files " + percorso.string();
    if (!fs::is_regular_file(st))
        throw ErroreInf(dove + " is not a plain file: refused");
    const auto letto = platform::contenuto_file(percorso);
    if (!letto)
        throw ErroreInf(dove + " cannot be read: " + std::strerror(errno));
    const std::string& testo = *letto;
    std::size_t inizio = 0, numero = 0;
    while (inizio < testo.size()) {
        const std::size_t fine = std::min(testo.find('\n', inizio), testo.size());
        const std::string_view riga = std::string_view(testo).substr(inizio, fine - inizio);
        inizio = fine + 1;
        ++numero;
        if (numero == 1 && riga.starts_with(intestazione))
            continue;
        const auto p = senza_escape(riga);
        const bool cartella = p && p->size() > 1 && p->ends_with('/');
        const fs::path letto =
            p ? fs::path(cartella ? p->substr(0, p->size() - 1) : *p).lexically_normal()
              : fs::path();
        // A folder's line names one folder below the root: never "/", nor "/a//".
        if (!p || !p->starts_with('/') || (cartella && !letto.has_filename()))
            throw ErroreInf(dove + " is damaged at line " + std::to_string(numero) +
                            "; it lists what may be removed, so nothing is done");
        (cartella ? r.cartelle : r.file).insert(letto);
    }
    return r;
}

std::string testo_registro(const Registro& registro) {
    std::string t = std::string(intestazione) + con_escape(registro.percorso.stem().string()) +
                    ", one path a line (a folder it made ends in /)\n";
    for (const fs::path& p : registro.file)
        t += con_escape(p.string()) + "\n";
    for (const fs::path& c : registro.cartelle)
        t += con_escape(c.string()) + "/\n";
    return t;
}

void scrivi_registro(const Registro& registro) {
    const fs::path& percorso = registro.percorso;
    if (percorso.empty())
        return;
    const auto errore = [&](const std::string& cosa) {
        return ErroreInf("cannot " + cosa + " the record of installed files " + percorso.string() +
                         ": " + std::strerror(errno));
    };
    if (registro.file.empty() && registro.cartelle.empty()) {
        if (::unlink(percorso.c_str()) != 0 && errno != ENOENT)
            throw errore("remove");
        ::rmdir(percorso.parent_path().c_str()); // kept while other records are in it
        return;
    }
    std::string temporaneo =
        (percorso.parent_path() / ("." + percorso.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporaneo.data(), O_CLOEXEC);
    if (fd < 0)
        throw errore("write");
    const std::string testo = testo_registro(registro);
    std::size_t scritti = 0;
    while (scritti < testo.size()) {
        const ssize_t n = ::write(fd, testo.data() + scritti, testo.size() - scritti);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        scritti += std::size_t(n);
    }
    bool fatto = scritti == testo.size() && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    int causa = errno;
    if (::close(fd) != 0 && fatto) {
        fatto = false;
        causa = errno;
    }
    if (fatto && ::rename(temporaneo.c_str(), percorso.c_str()) != 0) {
        fatto = false;
        causa = errno;
    }
    if (!fatto) {
        ::unlink(temporaneo.c_str());
        errno = causa;
        throw errore("write");
    }
}

} // namespace contavoce::inf
