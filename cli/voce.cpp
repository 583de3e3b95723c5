// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/voce.h"

#include "cli/input.h"
#include "cli/messaggi.h"
#include "cli/scrittura.h"
#include "platform/audio/modulo_suono.h"
#include "platform/base/file.h"
#include "speech/parlante.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <thread>

namespace contavoce::cli {
namespace {

namespace p = contavoce::platform;

// The pause between two numbers said one after the other.
constexpr double pausa_secondi = 0.8;

// The sound module from the program's folder; nothing when it cannot be
// loaded, which is then said on stderr.
std::unique_ptr<p::ModuloSuono> modulo_suono() {
    auto modulo = std::make_unique<p::ModuloSuono>(p::cartella_programma());
    if (modulo->motore())
        return modulo;
    errore(Cli::tr("no sound: %1").arg(da_utf8(modulo->errore())));
    return nullptr;
}

class AvvisiSuTerminale final : public p::Avvisi {
public:
    void avviso(const std::string& testo, const std::string& titolo) override {
        errore(da_utf8(titolo) + ": " + da_utf8(testo));
        mostrato = true;
    }
    void messaggio(const std::string& testo) override { errore(da_utf8(testo)); }
    bool mostrato = false;
};

// Writes what was recorded; a recording with the alert in place of a clip
// that could not be read is not the dictation asked for, and is not written.
bool scrivi(p::UscitaRegistrata& registrato, const std::string& file) {
    if (const auto& guasti = registrato.file_guasti(); !guasti.empty()) {
        errore(Cli::tr("the speech clip \"%1\" is missing or damaged, so \"%2\" was not written")
                   .arg(citato(guasti.front()), citato(file)));
        return false;
    }
    FileScritto f(file);
    const bool scritto = f.apri() && registrato.scrivi_wav([&](std::span<const char> b) {
        return f.scrivi(b);
    }) && f.completa();
    if (!scritto)
        errore(Cli::tr("cannot write \"%1\": %2").arg(citato(file), f.errore()));
    return scritto;
}

// A whole number as the window says it, a decimal in the reading asked for.
void dici(Parlante& parlante, const Decimale& numero, Lettura lettura) {
    if (numero.decimali.empty())
        parlante.num_parlante(numero.intera);
    else
        parlante.num_parlante(numero, lettura);
}
void dici(Parlante&& parlante, const Decimale& numero, Lettura lettura) {
    dici(parlante, numero, lettura);
}

// "Numero", said before each item of a dictation.
constexpr const char* clip_numero = "es_numero";

// The files a dictation has written, removed again unless it is done, and
// the folder with them when the dictation made it: a run that stops half
// way leaves the folder as it found it.
class FileDelDettato {
public:
    FileDelDettato(std::filesystem::path cartella, bool cartella_nuova)
        : cartella_(std::move(cartella)), cartella_nuova_(cartella_nuova) {}
    FileDelDettato(const FileDelDettato&) = delete;
    FileDelDettato& operator=(const FileDelDettato&) = delete;
    ~FileDelDettato() {
        if (fatto_)
            return;
        std::error_code ec;
        for (const auto& f : file_)
            std::filesystem::remove(f, ec);
        if (cartella_nuova_)
            std::filesystem::remove(cartella_, ec); // only if empty
    }
    void scritto(std::filesystem::path file) { file_.push_back(std::move(file)); }
    const std::vector<std::filesystem::path>& file() const { return file_; }
    void fatto() { fatto_ = true; }

private:
    std::filesystem::path cartella_;
    bool cartella_nuova_;
    std::vector<std::filesystem::path> file_;
    bool fatto_ = false;
};

// The canonical 44-byte header our recordings carry: "data" and its size
// where a reader looks for them.
constexpr qint64 testata_wav = 44;

void scrivi_le32(char* dove, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        dove[i] = char((v >> (8 * i)) & 0xff);
}

// The items' WAV files one after the other as one WAV file: the first
// item's header, its sizes made those of the whole, then every item's data.
bool scrivi_traccia(const std::vector<std::filesystem::path>& voci, const std::string& traccia) {
    std::uint64_t dati = 0;
    for (const auto& v : voci)
        dati += std::uint64_t(std::max<qint64>(
            QFileInfo(QString::fromStdString(v.string())).size() - testata_wav, 0));
    if (dati > std::numeric_limits<std::uint32_t>::max() - std::uint64_t(testata_wav)) {
        errore(Cli::tr("the dictation is too long for one WAV file: make a sheet with fewer "
                       "exercises"));
        return false;
    }
    FileScritto f(traccia);
    const auto non_scritto = [&] {
        errore(Cli::tr("cannot write \"%1\": %2").arg(citato(traccia), f.errore()));
        return false;
    };
    if (!f.apri())
        return non_scritto();
    for (std::size_t i = 0; i < voci.size(); ++i) {
        QFile voce(QString::fromStdString(voci[i].string()));
        const auto non_riletto = [&] {
            errore(Cli::tr("cannot read \"%1\" back: %2")
                       .arg(citato(voci[i].string()), voce.errorString()));
            return false;
        };
        QByteArray testata;
        if (voce.open(QIODevice::ReadOnly))
            testata = voce.read(testata_wav);
        if (testata.size() != testata_wav || !testata.startsWith("RIFF") ||
            testata.mid(36, 4) != "data")
            return non_riletto();
        if (i == 0) {
            scrivi_le32(testata.data() + 4, std::uint32_t(dati + testata_wav - 8));
            scrivi_le32(testata.data() + 40, std::uint32_t(dati));
            if (!f.scrivi({testata.constData(), std::size_t(testata.size())}))
                return non_scritto();
        }
        while (!voce.atEnd()) {
            const QByteArray blocco = voce.read(1 << 16);
            if (blocco.isEmpty())
                return non_riletto();
            if (!f.scrivi({blocco.constData(), std::size_t(blocco.size())}))
                return non_scritto();
        }
    }
    if (!f.completa())
        return non_scritto();
    return true;
}

int uso_say() {
    errore(Cli::tr("usage: say NUMBER... [--lettura virgola|posti] [--wav FILE | --wav-dir DIR]"));
    return 2;
}

} // namespace

bool nome_dato(std::string_view opzione, std::string_view nome) {
    // What a script passes for a variable left unset: refused rather than
    // taken as no option at all.
    if (!nome.empty())
        return true;
    errore(Cli::tr("%1 wants a name, not an empty text").arg(da_utf8(opzione)));
    return false;
}

bool cartella_per(const std::string& cartella, const std::vector<std::string>& nomi) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(cartella, ec))
        return true; // made when missing; a file in its place is refused then
    const std::set<std::string> propri(nomi.begin(), nomi.end());
    for (fs::directory_iterator i(cartella, ec), fine; !ec && i != fine; i.increment(ec)) {
        const std::string nome = i->path().filename().string();
        if (!propri.contains(nome) || !i->is_regular_file(ec) || i->is_symlink(ec)) {
            errore(Cli::tr("the folder \"%1\" already holds \"%2\", which this command does not "
                           "write: name an empty or a new folder")
                       .arg(citato(cartella), citato(nome)));
            return false;
        }
    }
    if (ec) {
        errore(Cli::tr("cannot read the folder \"%1\": %2")
                   .arg(citato(cartella), da_utf8(ec.message())));
        return false;
    }
    return true;
}

int scrivi_wav_separati(const std::vector<Decimale>& numeri, Lettura lettura,
                        const std::string& cartella, const std::vector<std::string>& nomi) {
    if (!cartella_per(cartella, nomi))
        return 2;
    std::error_code ec;
    std::filesystem::create_directories(cartella, ec);
    if (ec) {
        errore(Cli::tr("cannot make the folder \"%1\": %2")
                   .arg(citato(cartella), da_utf8(ec.message())));
        return 1;
    }
    const auto modulo = modulo_suono();
    if (!modulo)
        return 1;
    AvvisiSuTerminale avvisi;
    for (std::size_t i = 0; i < numeri.size(); ++i) {
        const auto registrato = modulo->motore()->registrazione();
        dici(Parlante(registrato->suono(), avvisi, nullptr, p::cartella_programma()), numeri[i],
             lettura);
        if (!scrivi(*registrato, (std::filesystem::path(cartella) / nomi[i]).string()))
            return 1;
    }
    return avvisi.mostrato ? 1 : 0;
}

bool cartella_per_dettato(const std::string& cartella) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto stato = fs::symlink_status(cartella, ec);
    if (!fs::exists(stato))
        return true;
    if (!fs::is_directory(fs::status(cartella, ec))) {
        errore(Cli::tr("\"%1\" is not a folder: name a new or an empty folder for the dictation")
                   .arg(citato(cartella)));
        return false;
    }
    fs::directory_iterator i(cartella, ec);
    if (ec) {
        errore(Cli::tr("cannot read the folder \"%1\": %2")
                   .arg(citato(cartella), da_utf8(ec.message())));
        return false;
    }
    if (i != fs::directory_iterator()) {
        errore(Cli::tr("the folder \"%1\" already holds \"%2\": a dictation goes into a new or "
                       "an empty folder, so that the files of two sheets never mix")
                   .arg(citato(cartella), citato(i->path().filename().string())));
        return false;
    }
    return true;
}

int scrivi_dettato(const std::vector<Decimale>& numeri, Lettura lettura,
                   const std::string& cartella) {
    namespace fs = std::filesystem;
    if (numeri.empty()) {
        errore(Cli::tr("a dictation wants at least one number"));
        return 2;
    }
    if (!cartella_per_dettato(cartella))
        return 2;
    std::error_code ec;
    const bool nuova = !fs::exists(cartella, ec);
    fs::create_directories(cartella, ec);
    if (ec) {
        errore(Cli::tr("cannot make the folder \"%1\": %2")
                   .arg(citato(cartella), da_utf8(ec.message())));
        return 1;
    }
    FileDelDettato scritti(cartella, nuova);
    const auto modulo = modulo_suono();
    if (!modulo)
        return 1;
    const std::string programma = p::cartella_programma();
    AvvisiSuTerminale avvisi;
    const std::size_t larghezza = std::max<std::size_t>(2, std::to_string(numeri.size()).size());
    for (std::size_t k = 1; k <= numeri.size(); ++k) {
        const auto registrato = modulo->motore()->registrazione();
        const auto pausa = [&](double secondi) {
            registrato->avanza(int(secondi * registrato->frequenza()));
        };
        Parlante parlante(registrato->suono(), avvisi, nullptr, programma);
        ListaClip titolo;
        titolo.cartella = programma;
        aggiungi_clip(titolo, clip_numero);
        parlante.parla(titolo);
        parlante.parla(lista_clip(std::to_string(k), programma));
        pausa(dettato_dopo_titolo);
        dici(parlante, numeri[k - 1], lettura);
        pausa(dettato_per_scrivere);
        dici(parlante, numeri[k - 1], lettura);
        pausa(dettato_per_rileggere);
        const std::string n = std::to_string(k);
        const fs::path voce =
            fs::path(cartella) / (std::string(larghezza - n.size(), '0') + n + ".wav");
        if (!scrivi(*registrato, voce.string()))
            return 1;
        scritti.scritto(voce);
    }
    if (avvisi.mostrato ||
        !scrivi_traccia(scritti.file(), (fs::path(cartella) / traccia_dettato).string()))
        return 1;
    scritti.fatto();
    return 0;
}

int parla(const std::vector<std::string_view>& args) {
    std::optional<std::string> wav, cartella;
    Lettura lettura = Lettura::virgola;
    std::vector<Decimale> numeri;
    bool rifiuti = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--wav" || args[i] == "--wav-dir") {
            if (i + 1 == args.size() || wav || cartella)
                return uso_say();
            if (!nome_dato(args[i], args[i + 1]))
                return uso_say();
            (args[i] == "--wav" ? wav : cartella) = args[i + 1];
            ++i;
            continue;
        }
        if (args[i] == "--lettura") {
            const auto scelta = lettura_chiesta(i + 1 < args.size() ? args[++i] : "");
            if (!scelta)
                return 2;
            lettura = *scelta;
            continue;
        }
        if (args[i].starts_with("--")) {
            errore(Cli::tr("%1 takes no option \"%2\" (try contavoce-cli --help)")
                       .arg("say", citato(args[i])));
            return 2;
        }
        const auto letto = leggi_decimale(args[i]);
        if (letto.errore) {
            rifiutato({}, args[i], letto, true);
            rifiuti = true;
        } else if (letto.cifre.empty() && letto.decimali.empty()) {
            // Contavoce has no word for zero: an empty recording would say nothing.
            // A decimal always says something, 0,0 too ("zero virgola zero").
            errore(Cli::tr("\"%1\": a number made only of zeros has nothing to say")
                       .arg(citato(args[i])));
            rifiuti = true;
        } else {
            numeri.push_back(come_decimale(letto));
        }
    }
    if (rifiuti)
        return 2;
    if (numeri.empty())
        return uso_say();

    if (cartella) {
        // Named as written, without the dots that group: 2304.wav, and with
        // the decimal comma and the decimals as typed, 3,05.wav and 3,50.wav,
        // which by places are said differently.
        std::vector<std::string> nomi;
        for (const auto& n : numeri)
            nomi.push_back(n.intera + (n.decimali.empty() ? "" : "," + n.decimali) + ".wav");
        return scrivi_wav_separati(numeri, lettura, *cartella, nomi);
    }
    const auto modulo = modulo_suono();
    if (!modulo)
        return 1;
    const std::string programma = p::cartella_programma();
    AvvisiSuTerminale avvisi;
    if (wav) {
        const auto registrato = modulo->motore()->registrazione();
        for (std::size_t i = 0; i < numeri.size(); ++i) {
            if (i > 0)
                registrato->avanza(int(pausa_secondi * registrato->frequenza()));
            dici(Parlante(registrato->suono(), avvisi, nullptr, programma), numeri[i], lettura);
        }
        return scrivi(*registrato, *wav) ? (avvisi.mostrato ? 1 : 0) : 1;
    }
    const auto dispositivo = modulo->motore()->dispositivo();
    for (std::size_t i = 0; i < numeri.size() && !avvisi.mostrato; ++i) {
        if (i > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(pausa_secondi));
        dici(Parlante(dispositivo->suono(), avvisi, nullptr, programma), numeri[i], lettura);
    }
    return avvisi.mostrato ? 1 : 0;
}

int suona_musica(const std::vector<std::string_view>& args) {
    const bool su_file = args.size() == 6 && args[2] == "--wav" && args[4] == "--seconds";
    if ((args.size() != 2 && !su_file) || (su_file && !nome_dato(args[2], args[3]))) {
        errore(Cli::tr("usage: music FILE [--wav OUT --seconds N]"));
        return 2;
    }
    double secondi = 0;
    if (su_file) {
        // from_chars reads "2.5" whatever the locale (Italian writes 2,5).
        const std::string_view n = args[5];
        const auto [fine, ec] = std::from_chars(n.data(), n.data() + n.size(), secondi);
        if (ec != std::errc{} || fine != n.data() + n.size() || !(secondi > 0 && secondi <= 3600)) {
            errore(Cli::tr("--seconds wants a number from 0 to 3600, not \"%1\"").arg(citato(n)));
            return 2;
        }
    }
    const auto modulo = modulo_suono();
    if (!modulo)
        return 1;
    p::MotoreSuono& motore = *modulo->motore();
    const std::string file(args[1]);
    const std::string corto = p::percorso_corto(file);
    const auto apri = [&](p::ServizioMedia& media) {
        const int codice =
            corto.empty()
                ? int(p::media_file_mancante)
                : media.invia("open " + corto + " type sequencer alias musica", nullptr, 0);
        if (codice != 0)
            errore("\"" + citato(file) + "\": " + da_utf8(p::descrizione_errore(codice)));
        return codice == 0 && media.invia("play musica", nullptr, 0) == 0;
    };

    if (su_file) {
        const auto registrato = motore.registrazione();
        if (!apri(registrato->media()))
            return 1;
        registrato->avanza(int(secondi * registrato->frequenza()));
        return scrivi(*registrato, std::string(args[3])) ? 0 : 1;
    }
    const auto dispositivo = motore.dispositivo();
    if (!apri(dispositivo->media()))
        return 1;
    std::array<char, 31> modo{};
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        dispositivo->media().invia("status musica mode", modo.data(), modo.size());
    } while (std::string_view(modo.data()) == "playing");
    return 0;
}

} // namespace contavoce::cli
