// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher's private folders hold a whole unpacked cabinet; they must not
// outlive it, however it ends: Ctrl+C, a kill, an abort when memory runs out.
// No handler in the launcher itself can cover a SIGKILL, so a small watcher
// process, forked before anything else starts, waits for the launcher's end
// (the pipe between them closes) and then removes what it left behind.
#pragma once

#include <filesystem>
#include <sys/types.h>

namespace contavoce::setup {

class Guardiano {
public:
    // Forks the watcher for the private folders this process makes in
    // `cartella`. Call it while the process has one thread. Without a watcher
    // (fork failed) the launcher still removes its folders on every normal end.
    explicit Guardiano(const std::filesystem::path& cartella);
    Guardiano(const Guardiano&) = delete;
    Guardiano& operator=(const Guardiano&) = delete;
    // Lets the watcher do its work and waits for it.
    ~Guardiano();

private:
    int tubo_ = -1;
    pid_t figlio_ = -1;
};

} // namespace contavoce::setup
