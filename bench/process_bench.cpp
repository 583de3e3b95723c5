// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the whole program as a process, under whatever display $DISPLAY
// names: the time from exec to the window's first paint, the resident memory
// once started with the music playing, and the CPU it takes while idle. The
// start-up is timed on primo_disegno, built beside this bench: the program with
// a watch on its first paint, which the shipped one does not carry; and, run by
// run in turn with it so that both see the same machine, on finestra_nuda, the
// barest Qt window, which says what Qt itself costs here.
#include "platform/audio/mixer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <pthread.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

long long adesso_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Starts the program (with one argument, or none when `argomento` is null); with
// `misura` its stdout comes back through `uscita` and it is told the launch time
// (taken in the child, just before exec).
pid_t avvia(const std::string& programma, const char* argomento, bool misura, int* uscita) {
    int tubo[2] = {-1, -1};
    if (misura && pipe(tubo) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        if (misura) {
            dup2(tubo[1], STDOUT_FILENO);
            close(tubo[0]);
            close(tubo[1]);
        } else {
            const int nulla = open("/dev/null", O_WRONLY);
            dup2(nulla, STDOUT_FILENO);
        }
        if (misura)
            setenv("CONTAVOCE_PRIMO_DISEGNO", std::to_string(adesso_ns()).c_str(), 1);
        execl(programma.c_str(), programma.c_str(), argomento, static_cast<char*>(nullptr));
        _exit(127);
    }
    if (misura) {
        close(tubo[1]);
        *uscita = tubo[0];
    }
    return pid;
}

struct PrimoDisegno {
    double ms = -1;     // from exec to the end of the first paint
    double cpu_ms = -1; // CPU time the process had used by then, all threads
};

// `misuratore` is primo_disegno, `cartella` the program's folder it is given.
PrimoDisegno primo_disegno(const std::string& misuratore, const std::string& cartella) {
    int uscita = -1;
    const pid_t pid = avvia(misuratore, cartella.c_str(), true, &uscita);
    if (pid < 0)
        return {};
    std::string testo;
    char b[64];
    for (ssize_t n; (n = read(uscita, b, sizeof b)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        testo.append(b, std::size_t(n));
    }
    close(uscita);
    int stato = 0;
    waitpid(pid, &stato, 0);
    PrimoDisegno p;
    if (WIFEXITED(stato) && WEXITSTATUS(stato) == 0 &&
        std::sscanf(testo.c_str(), "%lf %lf", &p.ms, &p.cpu_ms) == 2) {
        p.ms /= 1000;
        p.cpu_ms /= 1000;
    }
    return p;
}

// CPU time of each thread in ns, and how many times it has been run, by thread
// id, with its name: the scheduler's own counts (/proc/<pid>/task/<tid>/schedstat),
// exact where utime and stime are sampled at each clock tick and miss most of a
// thread that wakes briefly a few hundred times a second, as the sound
// device's does.
struct TempoFilo {
    std::string nome;
    long long ns = 0;
    long long volte = 0;
};
std::map<std::string, TempoFilo> cpu_per_filo(pid_t pid) {
    std::map<std::string, TempoFilo> fili;
    std::error_code e;
    const std::filesystem::path task = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& voce : std::filesystem::directory_iterator(task, e)) {
        std::ifstream stat(voce.path() / "schedstat");
        std::ifstream comm(voce.path() / "comm");
        TempoFilo t;
        long long attesa = 0;
        if (stat >> t.ns >> attesa >> t.volte && std::getline(comm, t.nome))
            fili[voce.path().filename().string()] = t;
    }
    return fili;
}

// VmRSS in MB of 10^6 bytes (the kernel's "kB" are KiB).
double rss_mb(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    for (std::string riga; std::getline(f, riga);)
        if (riga.rfind("VmRSS:", 0) == 0)
            return std::atof(riga.c_str() + 6) * 1024.0 / 1e6;
    return -1;
}

// The least any program pays for an output with the program's buffer: a thread
// that only sleeps one buffer's time (in whole ms, as SDL's dummy driver does)
// and wakes again. Run beside the program, over the same seconds.
class SoloRisvegli {
public:
    SoloRisvegli()
        : filo_([](std::stop_token fine) {
              const auto periodo =
                  std::chrono::milliseconds(contavoce::platform::frame_per_buffer * 1000 /
                                            contavoce::platform::FormatoAudio{}.frequenza);
              while (!fine.stop_requested())
                  std::this_thread::sleep_for(periodo);
          }) {}
    long long ns() {
        std::ifstream stat("/proc/self/task/" + std::to_string(filo_tid()) + "/schedstat");
        long long n = 0;
        stat >> n;
        return n;
    }

private:
    pid_t filo_tid() {
        // The thread's kernel id, looked up by the name given to it below.
        if (tid_ == 0) {
            pthread_setname_np(filo_.native_handle(), "solo-risvegli");
            std::error_code e;
            for (const auto& voce : std::filesystem::directory_iterator("/proc/self/task", e)) {
                std::ifstream comm(voce.path() / "comm");
                std::string nome;
                if (std::getline(comm, nome) && nome == "solo-risvegli")
                    tid_ = std::stoi(voce.path().filename().string());
            }
        }
        return tid_;
    }
    std::jthread filo_;
    pid_t tid_ = 0;
};

void ferma(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: process_bench <contavoce> [start-up runs] [idle seconds]\n");
        return 2;
    }
    const std::string programma = argv[1];
    const std::string cartella = std::filesystem::absolute(programma).parent_path().string();
    const auto qui = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string misuratore = (qui / "primo_disegno").string();
    const std::string nuda = (qui / "finestra_nuda").string();
    const int giri = argc > 2 ? std::atoi(argv[2]) : 15;
    const int secondi_inattivo = argc > 3 ? std::atoi(argv[3]) : 30;
    // Music needs an output that pulls in real time; SDL's dummy driver does.
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // One run each first so that caches (fonts, shared libraries) are warm, as on
    // a second start of the day.
    primo_disegno(misuratore, cartella);
    primo_disegno(nuda, cartella);
    std::vector<double> ms, cpu_ms, ms_nuda, cpu_nuda;
    for (int i = 0; i < giri; ++i) {
        if (const PrimoDisegno p = primo_disegno(misuratore, cartella); p.ms >= 0) {
            ms.push_back(p.ms);
            cpu_ms.push_back(p.cpu_ms);
        }
        if (const PrimoDisegno p = primo_disegno(nuda, cartella); p.ms >= 0) {
            ms_nuda.push_back(p.ms);
            cpu_nuda.push_back(p.cpu_ms);
        }
    }
    if (ms.empty() || ms_nuda.empty()) {
        std::printf("start to first paint: the program did not paint (is DISPLAY set?)\n");
        return 1;
    }
    const double rapporto = mediana(ms) / mediana(ms_nuda);
    std::printf("start to first paint (exec to the end of the window's first paintEvent, %zu "
                "runs): median %.1f ms, min %.1f, max %.1f; a bare Qt window with one label: "
                "median %.1f ms; ratio %.2f; target <= 120 ms and <= 1.6x the bare window\n"
                "  CPU used by then (all threads): median %.1f ms; the bare window %.1f ms\n",
                ms.size(), mediana(ms), *std::min_element(ms.begin(), ms.end()),
                *std::max_element(ms.begin(), ms.end()), mediana(ms_nuda), rapporto,
                mediana(cpu_ms), mediana(cpu_nuda));

    // Idle CPU, each figure beside a bare Qt window and a bare wake-up thread
    // over the same seconds.
    const auto inattivo = [&](const char* argomento, const char* stato, double bersaglio_extra,
                              bool sopra_pavimento) {
        const pid_t pid = avvia(programma, argomento, false, nullptr);
        const pid_t nuda_pid = avvia(nuda, "--inattiva", false, nullptr);
        if (pid < 0 || nuda_pid < 0)
            return;
        // Started, and silent long enough for the device to have fallen asleep.
        std::this_thread::sleep_for(std::chrono::seconds(4));
        SoloRisvegli solo;
        const long long solo_prima = solo.ns();
        const auto prima = cpu_per_filo(pid);
        const auto nuda_prima = cpu_per_filo(nuda_pid);
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(secondi_inattivo));
        const auto dopo = cpu_per_filo(pid);
        const auto nuda_dopo = cpu_per_filo(nuda_pid);
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double pavimento = 100.0 * double(solo.ns() - solo_prima) / 1e9 / s;
        const auto somma = [&](const auto& p, const auto& d, std::string* elenco) {
            double cpu = 0;
            for (const auto& [id, t] : d) {
                const auto q = p.find(id);
                const long long ns = t.ns - (q == p.end() ? 0 : q->second.ns);
                const long long volte = t.volte - (q == p.end() ? 0 : q->second.volte);
                const double quota = 100.0 * double(ns) / 1e9 / s;
                cpu += quota;
                if (elenco && volte > 0) {
                    char riga[160];
                    std::snprintf(riga, sizeof riga, "%s%s %.3f%% (%.1f runs/s)",
                                  elenco->empty() ? "" : ", ", t.nome.c_str(), quota,
                                  double(volte) / s);
                    *elenco += riga;
                }
            }
            return cpu;
        };
        std::string per_filo;
        const double cpu = somma(prima, dopo, &per_filo);
        const double cpu_nuda = somma(nuda_prima, nuda_dopo, nullptr);
        const double bersaglio = sopra_pavimento ? pavimento + bersaglio_extra : bersaglio_extra;
        std::printf("CPU while idle, %s (the scheduler's run time of every thread over %d s, 1 "
                    "run): %.3f%% of one core; target <= %.2f%%%s\n"
                    "  by thread: %s\n"
                    "  the same seconds: a bare Qt window %.3f%%; a bare thread waking once a "
                    "device buffer (every %d ms) %.3f%%\n",
                    stato, secondi_inattivo, cpu, bersaglio,
                    sopra_pavimento ? " (the bare wake-up thread + 0.20%)" : "",
                    per_filo.empty() ? "none ran" : per_filo.c_str(), cpu_nuda,
                    contavoce::platform::frame_per_buffer * 1000 /
                        contavoce::platform::FormatoAudio{}.frequenza,
                    pavimento);
        ferma(nuda_pid);
        ferma(pid);
    };
    inattivo("--no-music", "nothing sounding (started with the music paused)", 0.05, false);

    // Memory: three starts, each measured 3 s in with the tune playing.
    std::vector<double> rss;
    for (int i = 0; i < 3; ++i) {
        const pid_t pid = avvia(programma, nullptr, false, nullptr);
        if (pid < 0)
            return 1;
        std::this_thread::sleep_for(std::chrono::seconds(3));
        rss.push_back(rss_mb(pid));
        ferma(pid);
    }
    std::printf("memory once started, music playing (VmRSS 3 s after start, 3 runs): median "
                "%.1f MB; target <= 55 MB\n",
                mediana(rss));
    inattivo(nullptr, "music playing", 0.20, true);
}
