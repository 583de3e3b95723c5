// SPDX-License-Identifier: GPL-3.0-or-later
#include "sonda_audio.h"

#include "music/cls_play_midi.h"
#include "platform/audio/dispositivo_audio.h"
#include "platform/audio/media_midi.h"
#include "platform/audio/suono_sdl.h"
#include "platform/base/avvisi.h"
#include "speech/parlante.h"
#include "support/dispositivo_in_ascolto.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define CONTAVOCE_SONDA 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CONTAVOCE_SONDA 0
#endif
#endif
#ifndef CONTAVOCE_SONDA
#define CONTAVOCE_SONDA 1
#endif

namespace {

// The allocator and the file functions are the process's own, so what the
// probe counts in them can only live at namespace scope: this program's one
// piece of global state, and the reason the probe has programs of its own.
struct Conteggi {
    std::atomic<bool> attivo{false};
    std::atomic<pthread_t> filo{};
    std::atomic<std::uint64_t> allocazioni{0};
    std::atomic<std::uint64_t> liberazioni{0};
    std::atomic<std::uint64_t> aperture{0};
};
Conteggi conteggi;

} // namespace

#if CONTAVOCE_SONDA
namespace {

void conta(std::atomic<std::uint64_t>& quanti) {
    if (conteggi.attivo.load(std::memory_order_relaxed) &&
        pthread_equal(pthread_self(), conteggi.filo.load(std::memory_order_relaxed)))
        quanti.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

// glibc's own entry points stay underneath, so a block keeps its allocator
// whichever function made or frees it.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
void* __libc_memalign(std::size_t, std::size_t);

void* malloc(std::size_t n) noexcept {
    conta(conteggi.allocazioni);
    return __libc_malloc(n);
}
void* calloc(std::size_t k, std::size_t n) noexcept {
    conta(conteggi.allocazioni);
    return __libc_calloc(k, n);
}
void* realloc(void* p, std::size_t n) noexcept {
    conta(conteggi.allocazioni);
    return __libc_realloc(p, n);
}
void free(void* p) noexcept {
    if (p)
        conta(conteggi.liberazioni);
    __libc_free(p);
}
int posix_memalign(void** p, std::size_t allineamento, std::size_t n) noexcept {
    conta(conteggi.allocazioni);
    if (allineamento % sizeof(void*) != 0 || (allineamento & (allineamento - 1)) != 0)
        return EINVAL;
    void* blocco = __libc_memalign(allineamento, n);
    if (!blocco)
        return ENOMEM;
    *p = blocco;
    return 0;
}
void* aligned_alloc(std::size_t allineamento, std::size_t n) noexcept {
    conta(conteggi.allocazioni);
    return __libc_memalign(allineamento, n);
}
}

namespace {

template <typename F> F vera(const char* nome) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, nome));
}

int apri_con_modo(int (*funzione)(const char*, int, ...), const char* percorso, int flag,
                  std::va_list& resto) {
    conta(conteggi.aperture);
    if (flag & O_CREAT || (flag & O_TMPFILE) == O_TMPFILE)
        return funzione(percorso, flag, va_arg(resto, mode_t));
    return funzione(percorso, flag);
}

int apri_da_con_modo(int (*funzione)(int, const char*, int, ...), int cartella,
                     const char* percorso, int flag, std::va_list& resto) {
    conta(conteggi.aperture);
    if (flag & O_CREAT || (flag & O_TMPFILE) == O_TMPFILE)
        return funzione(cartella, percorso, flag, va_arg(resto, mode_t));
    return funzione(cartella, percorso, flag);
}

using Open = int (*)(const char*, int, ...);
using Openat = int (*)(int, const char*, int, ...);
using Fopen = FILE* (*)(const char*, const char*);

} // namespace

extern "C" {
int open(const char* percorso, int flag, ...) {
    static const auto f = vera<Open>("open");
    std::va_list resto;
    va_start(resto, flag);
    const int r = apri_con_modo(f, percorso, flag, resto);
    va_end(resto);
    return r;
}
int open64(const char* percorso, int flag, ...) {
    static const auto f = vera<Open>("open64");
    std::va_list resto;
    va_start(resto, flag);
    const int r = apri_con_modo(f, percorso, flag, resto);
    va_end(resto);
    return r;
}
int openat(int cartella, const char* percorso, int flag, ...) {
    static const auto f = vera<Openat>("openat");
    std::va_list resto;
    va_start(resto, flag);
    const int r = apri_da_con_modo(f, cartella, percorso, flag, resto);
    va_end(resto);
    return r;
}
int openat64(int cartella, const char* percorso, int flag, ...) {
    static const auto f = vera<Openat>("openat64");
    std::va_list resto;
    va_start(resto, flag);
    const int r = apri_da_con_modo(f, cartella, percorso, flag, resto);
    va_end(resto);
    return r;
}
FILE* fopen(const char* percorso, const char* modo) {
    static const auto f = vera<Fopen>("fopen");
    conta(conteggi.aperture);
    return f(percorso, modo);
}
FILE* fopen64(const char* percorso, const char* modo) {
    static const auto f = vera<Fopen>("fopen64");
    conta(conteggi.aperture);
    return f(percorso, modo);
}
}
#endif

namespace contavoce::sonda {
namespace {

constexpr double udibile = 0.003;

// SDL's output with an ear on it, whose first call names the thread to watch
// and starts the counts.
class DispositivoSonda final : public prova::DispositivoInAscolto {
    // A device woken from sleep is pulled by a new thread: the one watched is
    // always the one calling.
    void prima_del_richiamo() override {
        conteggi.filo.store(pthread_self());
        if (!conteggi.attivo.load(std::memory_order_relaxed))
            conteggi.attivo.store(true);
    }
};

class SenzaAvvisi final : public platform::Avvisi {
public:
    void avviso(const std::string&, const std::string&) override {}
    void messaggio(const std::string&) override {}
};

template <typename Condizione> bool attendi(Condizione c) {
    for (int i = 0; i < 250 && !c(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return c();
}

} // namespace

bool sonda_possibile() {
    return CONTAVOCE_SONDA;
}

FiloAudio misura_filo_audio(const std::string& cartella) {
    using namespace std::chrono_literals;
    FiloAudio r;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto dispositivo = std::make_unique<DispositivoSonda>();
    auto& sonda = dispositivo->orecchio();
    {
        platform::SuonoSdl suono(std::move(dispositivo));
        r.dispositivo = suono.mixer() != nullptr;
        platform::MediaMidi media(suono);
        clsPlayMidi musica(media);
        musica.FileName(cartella + "/heidi-cartoon.mid");
        musica.mmPlay();
        attendi([&] { return sonda.massimo > udibile; });
        r.musica = sonda.massimo;

        SenzaAvvisi avvisi;
        sonda.azzera();
        contavoce::Parlante(suono, avvisi, nullptr, cartella).num_parlante("999999999999");
        r.voce = sonda.massimo;

        // Commands while the device plays: the render thread drops what it had
        // rendered ahead, deletes and makes players.
        musica.mmPausa();
        std::this_thread::sleep_for(100ms);
        media.invia(std::string("play ") + clsPlayMidi::alias, nullptr, 0);
        std::this_thread::sleep_for(200ms);
        musica.mmStop();
        musica.mmPlay();
        std::this_thread::sleep_for(300ms);
        musica.mmStop();
        std::this_thread::sleep_for(100ms);

        // Silent long enough for the device to sleep; a number said wakes it.
        attendi([&] { return suono.addormentato(); });
        r.addormentato = suono.addormentato();
        contavoce::Parlante(suono, avvisi, nullptr, cartella).num_parlante("12");

        // Closing the device ends its thread, which is no business of the mix.
        conteggi.attivo = false;
        r.richiami = sonda.richiami;
    }
    r.allocazioni = conteggi.allocazioni;
    r.liberazioni = conteggi.liberazioni;
    r.aperture = conteggi.aperture;
    return r;
}

} // namespace contavoce::sonda
