#include "setup/launcher/profilo.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <iconv.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace contavoce::setup {
namespace {

constexpr std::string_view blanchi = " \t\r\n\v\f";

std::string_view senza_blanchi(std::string_view s) {
    const auto inizio = s.find_first_not_of(blanchi);
    if (inizio == std::string_view::npos)
        return {};
    return s.substr(inizio, s.find_last_not_of(blanchi) - inizio + 1);
}

char minuscola(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Section and key names are compared as Windows compares them, without regard
// to case; the names the launcher asks for are ASCII.
bool stesso_nome(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (minuscola(a[i]) != minuscola(b[i]))
            return false;
    return true;
}

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

// At most `massimo` bytes, read once; nothing for a larger file. Opened
// without blocking and checked on the open file, so that a FIFO or a device
// under the name can neither hang the launcher nor feed it without end.
std::optional<std::string> contenuto(const std::filesystem::path& file, std::size_t massimo) {
    if (file.empty())
        return std::nullopt;
    const Descrittore aperto(open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
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

// The raw value of the key: nothing when the key is missing. Lines end with LF
// or CR LF; only the first section of the name is searched, as Windows does.
std::optional<std::string_view> valore(std::string_view testo, std::string_view sezione,
                                       std::string_view chiave) {
    bool dentro = false;
    while (!testo.empty()) {
        const auto a_capo = testo.find('\n');
        const auto riga = senza_blanchi(testo.substr(0, a_capo));
        testo = a_capo == std::string_view::npos ? std::string_view{} : testo.substr(a_capo + 1);
        if (riga.empty() || riga.front() == ';')
            continue;
        if (riga.front() == '[') {
            if (dentro)
                return std::nullopt;
            const auto chiusa = riga.find(']');
            dentro = stesso_nome(senza_blanchi(riga.substr(
                                     1, chiusa == std::string_view::npos ? chiusa : chiusa - 1)),
                                 sezione);
            continue;
        }
        if (!dentro)
            continue;
        const auto uguale = riga.find('=');
        if (stesso_nome(senza_blanchi(riga.substr(0, uguale)), chiave))
            return uguale == std::string_view::npos ? std::string_view{}
                                                    : senza_blanchi(riga.substr(uguale + 1));
    }
    return std::nullopt;
}

// glibc's converter, closed when done.
struct Convertitore {
    Convertitore() = default;
    Convertitore(const Convertitore&) = delete;
    Convertitore& operator=(const Convertitore&) = delete;
    ~Convertitore() {
        if (pronto())
            iconv_close(cd);
    }
    bool pronto() const { return cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
};

} // namespace

Profilo::Profilo(const std::filesystem::path& file, std::size_t massimo)
    : testo_(contenuto(file, massimo).value_or(std::string{})) {}

std::string Profilo::stringa(std::string_view sezione, std::string_view chiave,
                             std::string_view predefinito, std::size_t lunghezza) const {
    auto v = valore(testo_, sezione, chiave);
    if (!v)
        return std::string(predefinito.substr(0, lunghezza));
    if (v->size() >= 2 && (v->front() == '"' || v->front() == '\'') && v->back() == v->front())
        *v = v->substr(1, v->size() - 2);
    return std::string(v->substr(0, lunghezza));
}

int Profilo::intero(std::string_view sezione, std::string_view chiave, int predefinito) const {
    // Windows reads the value into a 30-character buffer first.
    const std::string testo = stringa(sezione, chiave, "", 29);
    if (testo.empty())
        return predefinito;
    std::string_view v = senza_blanchi(testo);
    bool negativo = false;
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
        negativo = v.front() == '-';
        v.remove_prefix(1);
    }
    unsigned base = 10;
    if (v.size() >= 2 && v[0] == '0') {
        switch (minuscola(v[1])) {
        case 'x':
            base = 16;
            break;
        case 'o':
            base = 8;
            break;
        case 'b':
            base = 2;
            break;
        }
        if (base != 10)
            v.remove_prefix(2);
    }
    // Unsigned arithmetic: an overlong number wraps as Windows' 32-bit one does.
    std::uint32_t n = 0;
    for (const char c : v) {
        const char m = minuscola(c);
        const unsigned cifra = m >= '0' && m <= '9'   ? unsigned(m - '0')
                               : m >= 'a' && m <= 'z' ? unsigned(m - 'a' + 10)
                                                      : base;
        if (cifra >= base)
            break;
        n = n * base + cifra;
    }
    return static_cast<int>(negativo ? 0u - n : n);
}

std::string profilo_stringa(std::string_view sezione, std::string_view chiave,
                            std::string_view predefinito, std::size_t lunghezza,
                            const std::filesystem::path& file) {
    return Profilo(file).stringa(sezione, chiave, predefinito, lunghezza);
}

int profilo_intero(std::string_view sezione, std::string_view chiave, int predefinito,
                   const std::filesystem::path& file) {
    return Profilo(file).intero(sezione, chiave, predefinito);
}

std::string da_windows_1252(std::string_view testo) {
    std::string ingresso(testo);
    std::string uscita(testo.size() * 3, '\0'); // no character takes more than 3 bytes
    char* da = ingresso.data();
    std::size_t da_resto = ingresso.size();
    char* a = uscita.data();
    std::size_t a_resto = uscita.size();

    const Convertitore c;
    while (da_resto > 0) {
        if (c.pronto() && iconv(c.cd, &da, &da_resto, &a, &a_resto) != std::size_t(-1))
            break;
        if (c.pronto() && errno != EILSEQ)
            break;
        // The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
        // 0x9D) become the control characters of the same number, as Windows
        // converts them; without the converter every byte is taken that way.
        const auto b = static_cast<unsigned char>(*da++);
        --da_resto;
        if (b < 0x80) {
            *a++ = char(b);
            --a_resto;
        } else {
            *a++ = char(0xC0 | (b >> 6));
            *a++ = char(0x80 | (b & 0x3F));
            a_resto -= 2;
        }
    }
    uscita.resize(uscita.size() - a_resto);
    return uscita;
}

} // namespace contavoce::setup
