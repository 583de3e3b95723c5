// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/guardiano.h"

#include "setup/launcher/ambiente.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace contavoce::setup {

Guardiano::Guardiano(const std::filesystem::path& cartella) {
    int tubo[2];
    if (pipe2(tubo, O_CLOEXEC) != 0)
        return;
    const pid_t genitore = getpid();
    const pid_t figlio = fork();
    if (figlio < 0) {
        close(tubo[0]);
        close(tubo[1]);
        return;
    }
    if (figlio == 0) {
        close(tubo[1]);
        // Ctrl+C and a hang-up reach the whole process group: the watcher
        // outlives them to clean up after the launcher.
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            std::signal(s, SIG_IGN);
        for (char c;;) {
            const ssize_t n = read(tubo[0], &c, 1);
            if (n == 0 || (n < 0 && errno != EINTR))
                break;
        }
        rimuovi_cartelle_private(cartella, genitore);
        _exit(0);
    }
    close(tubo[0]);
    tubo_ = tubo[1];
    figlio_ = figlio;
}

Guardiano::~Guardiano() {
    if (tubo_ < 0)
        return;
    close(tubo_);
    while (waitpid(figlio_, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace contavoce::setup
