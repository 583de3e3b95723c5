// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/processo.h"

#include "platform/base/testo.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace contavoce::setup {
namespace {

// The length of the valid UTF-8 sequence at `i` and its code point; 0 when
// the bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF included, as the standard says).
std::size_t sequenza_utf8(const std::string& b, std::size_t i, char32_t& punto) {
    const auto u = [&](std::size_t k) { return static_cast<unsigned char>(b[k]); };
    const unsigned c = u(i);
    std::size_t n = 0;
    char32_t minimo = 0;
    if (c < 0x80) {
        punto = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        n = 2, punto = c & 0x1F, minimo = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3, punto = c & 0x0F, minimo = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4, punto = c & 0x07, minimo = 0x10000;
    } else {
        return 0;
    }
    if (i + n > b.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((u(i + k) & 0xC0) != 0x80)
            return 0;
        punto = punto << 6 | (u(i + k) & 0x3F);
    }
    if (punto < minimo || punto > 0x10FFFF || (punto >= 0xD800 && punto <= 0xDFFF))
        return 0;
    return n;
}

// A pipe whose ends are closed on exec, so only the child's dup2 copy lives on.
struct Tubo {
    Tubo() {
        if (pipe2(fd.data(), O_CLOEXEC) != 0)
            fd = {-1, -1};
    }
    Tubo(const Tubo&) = delete;
    Tubo& operator=(const Tubo&) = delete;
    ~Tubo() {
        chiudi(0);
        chiudi(1);
    }
    void chiudi(int lato) {
        if (fd[std::size_t(lato)] >= 0)
            close(fd[std::size_t(lato)]);
        fd[std::size_t(lato)] = -1;
    }
    bool valido() const { return fd[0] >= 0; }
    std::array<int, 2> fd{-1, -1};
};

struct AzioniFile {
    AzioniFile() { posix_spawn_file_actions_init(&a); }
    AzioniFile(const AzioniFile&) = delete;
    AzioniFile& operator=(const AzioniFile&) = delete;
    ~AzioniFile() { posix_spawn_file_actions_destroy(&a); }
    posix_spawn_file_actions_t a;
};

struct AttributiAvvio {
    AttributiAvvio() { posix_spawnattr_init(&a); }
    AttributiAvvio(const AttributiAvvio&) = delete;
    AttributiAvvio& operator=(const AttributiAvvio&) = delete;
    ~AttributiAvvio() { posix_spawnattr_destroy(&a); }
    posix_spawnattr_t a;
};

void scrivi_tutto(int fd, const char* dati, std::size_t n) {
    while (n > 0) {
        const ssize_t scritti = write(fd, dati, n);
        if (scritti < 0 && errno == EINTR)
            continue;
        if (scritti <= 0)
            return;
        dati += scritti;
        n -= std::size_t(scritti);
    }
}

} // namespace

QString da_byte(const std::string& byte) {
    QString testo;
    testo.reserve(qsizetype(byte.size()));
    for (std::size_t i = 0; i < byte.size();) {
        char32_t punto = 0;
        if (const std::size_t n = sequenza_utf8(byte, i, punto)) {
            if (punto >= 0x10000) {
                testo += QChar(char16_t(0xD800 + ((punto - 0x10000) >> 10)));
                testo += QChar(char16_t(0xDC00 + ((punto - 0x10000) & 0x3FF)));
            } else {
                testo += QChar(char16_t(punto));
            }
            i += n;
        } else {
            testo += QChar(char16_t(0xDC00 + static_cast<unsigned char>(byte[i])));
            ++i;
        }
    }
    return testo;
}

QString da_byte(const std::filesystem::path& percorso) {
    return da_byte(percorso.native());
}

std::string in_byte(const QString& testo) {
    std::string byte;
    byte.reserve(std::size_t(testo.size()));
    qsizetype inizio = 0; // of the run of ordinary text not yet converted
    const auto converti_fino_a = [&](qsizetype fine) {
        byte += testo.mid(inizio, fine - inizio).toStdString();
    };
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t c = testo[i].unicode();
        const bool accoppiato = i > 0 && QChar::isHighSurrogate(testo[i - 1].unicode());
        if (c >= 0xDC80 && c <= 0xDCFF && !accoppiato) {
            converti_fino_a(i);
            byte += char(c - 0xDC00);
            inizio = i + 1;
        }
    }
    converti_fino_a(testo.size());
    return byte;
}

EsitoProcesso esegui_processo(const std::filesystem::path& programma,
                              const std::vector<std::string>& argomenti, Canale output,
                              Canale errori, std::size_t limite) {
    EsitoProcesso esito;
    std::vector<char*> argv;
    for (const std::string& a : argomenti)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    Tubo tubo_output, tubo_errori;
    AzioniFile azioni;
    const auto prepara = [&](Canale canale, int fd, Tubo& tubo) {
        if (canale == Canale::scartato)
            return posix_spawn_file_actions_addopen(&azioni.a, fd, "/dev/null", O_WRONLY, 0) == 0;
        if (canale == Canale::raccolto)
            return tubo.valido() &&
                   posix_spawn_file_actions_adddup2(&azioni.a, tubo.fd[1], fd) == 0;
        return true;
    };
    if (!prepara(output, STDOUT_FILENO, tubo_output) ||
        !prepara(errori, STDERR_FILENO, tubo_errori))
        return esito;

    // The child starts with the default handling of every signal the launcher
    // may have changed and nothing blocked, as a program started afresh would.
    AttributiAvvio attributi;
    sigset_t predefiniti, nessuno;
    sigemptyset(&predefiniti);
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD})
        sigaddset(&predefiniti, s);
    sigemptyset(&nessuno);
    posix_spawnattr_setsigdefault(&attributi.a, &predefiniti);
    posix_spawnattr_setsigmask(&attributi.a, &nessuno);
    posix_spawnattr_setflags(&attributi.a, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = -1;
    if (posix_spawn(&pid, programma.c_str(), &azioni.a, &attributi.a, argv.data(), environ) != 0)
        return esito;
    esito.avviato = true;
    tubo_output.chiudi(1);
    tubo_errori.chiudi(1);

    // Both pipes are drained together: a program that fills one while the
    // launcher waits on the other would otherwise never end.
    constexpr std::size_t coda_errori = 4096;
    std::array<char, 65536> blocco;
    std::vector<pollfd> aperti;
    if (tubo_output.valido() && output == Canale::raccolto)
        aperti.push_back({tubo_output.fd[0], POLLIN, 0});
    if (tubo_errori.valido() && errori == Canale::raccolto)
        aperti.push_back({tubo_errori.fd[0], POLLIN, 0});
    while (!aperti.empty()) {
        if (poll(aperti.data(), nfds_t(aperti.size()), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (std::size_t k = aperti.size(); k-- > 0;) {
            if (aperti[k].revents == 0)
                continue;
            const ssize_t letti = read(aperti[k].fd, blocco.data(), blocco.size());
            if (letti < 0 && errno == EINTR)
                continue;
            if (letti <= 0) {
                aperti.erase(aperti.begin() + std::ptrdiff_t(k));
                continue;
            }
            const std::size_t n = std::size_t(letti);
            if (aperti[k].fd == tubo_output.fd[0]) {
                esito.output.append(blocco.data(), std::min(n, limite - esito.output.size()));
            } else {
                scrivi_tutto(STDERR_FILENO, blocco.data(), n);
                esito.ultimi_errori.append(blocco.data(), n);
                if (esito.ultimi_errori.size() > coda_errori)
                    esito.ultimi_errori.erase(0, esito.ultimi_errori.size() - coda_errori);
            }
        }
    }

    int stato = 0;
    while (waitpid(pid, &stato, 0) < 0)
        if (errno != EINTR)
            return esito;
    esito.uscita = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    return esito;
}

std::string ultima_riga(const std::string& testo) {
    std::size_t fine = testo.size();
    while (fine > 0) {
        const std::size_t inizio = testo.rfind('\n', fine - 1);
        const std::size_t da = inizio == std::string::npos ? 0 : inizio + 1;
        const std::string_view riga =
            platform::senza_blanchi_in_coda(std::string_view(testo).substr(da, fine - da), " \t\r");
        if (riga.find_first_not_of(" \t") != std::string_view::npos)
            return std::string(riga);
        if (inizio == std::string::npos)
            break;
        fine = inizio;
    }
    return {};
}

} // namespace contavoce::setup
