// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/base/file.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace contavoce::platform {
namespace {

struct Descrittore {
    explicit Descrittore(int f) : fd(f) {}
    Descrittore(const Descrittore&) = delete;
    Descrittore& operator=(const Descrittore&) = delete;
    ~Descrittore() {
        if (fd >= 0)
            close(fd);
    }
    int fd;
};

} // namespace

std::optional<std::string> contenuto_file(const std::filesystem::path& percorso) {
    std::ifstream f(percorso, std::ios::binary);
    if (!f)
        return std::nullopt;
    std::string byte{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    if (f.bad())
        return std::nullopt;
    return byte;
}

std::optional<std::string> contenuto_file_limitato(const std::filesystem::path& percorso,
                                                   std::size_t massimo) {
    if (percorso.empty())
        return std::nullopt;
    const Descrittore aperto(open(percorso.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const int fd = aperto.fd;
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::string testo(massimo + 1, '\0');
    std::size_t letti = 0;
    while (letti < testo.size()) {
        const ssize_t n = read(fd, testo.data() + letti, testo.size() - letti);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        letti += std::size_t(n);
    }
    if (letti > massimo)
        return std::nullopt;
    testo.resize(letti);
    return testo;
}

std::string cartella_programma() {
    std::error_code errore;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", errore);
    return errore ? std::string(".") : exe.parent_path().string();
}

} // namespace contavoce::platform
