// SPDX-License-Identifier: GPL-3.0-or-later
// The lesson file written and read back: strict, since it comes from outside
// (a USB stick, an e-mail), and every refusal says which line to mend.
#include "esercizi/lezione.h"

#include "platform/base/testo.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>

namespace contavoce {
namespace {

constexpr std::string_view bom = "\xEF\xBB\xBF";

enum class Difetto { nessuno, nullo, non_utf8, controllo };

// What is wrong with a line's bytes, and its length in characters.
Difetto difetto_testo(std::string_view testo, std::size_t* caratteri = nullptr) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < testo.size(); ++n) {
        if (testo[i] == '\0')
            return Difetto::nullo;
        char32_t punto = 0;
        const std::size_t l = platform::carattere_utf8(testo.substr(i), punto);
        if (l == 0)
            return Difetto::non_utf8;
        // C0 but the tab, DEL and C1: nothing a title or a value needs, and
        // what could move a terminal's cursor when quoted back.
        if ((punto < 0x20 && punto != '\t') || (punto >= 0x7F && punto <= 0x9F))
            return Difetto::controllo;
        i += l;
    }
    if (caratteri)
        *caratteri = n;
    return Difetto::nessuno;
}

std::string_view senza_blanchi(std::string_view s) {
    const auto blanco = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blanco(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blanco(s.back()))
        s.remove_suffix(1);
    return s;
}

// A whole number written in digits alone, within 64 bits.
std::optional<std::uint64_t> numero(std::string_view testo) {
    if (testo.empty() ||
        !std::all_of(testo.begin(), testo.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t n = 0;
    const auto [fine, errore] = std::from_chars(testo.data(), testo.data() + testo.size(), n);
    if (errore != std::errc() || fine != testo.data() + testo.size())
        return std::nullopt;
    return n;
}

const char* nome_grafia(Grafia g) {
    return g == Grafia::scolastica ? "scolastica" : "originale";
}

std::string elenco_tipi() {
    std::string s;
    for (const Tipo t : tipi)
        s += std::string(s.empty() ? "" : ", ") + chiave_tipo(t);
    return s;
}

// A file name as it may be shown: what is not printable UTF-8 as "?".
std::string mostrabile(std::string_view nome) {
    std::string s;
    for (std::size_t i = 0; i < nome.size();) {
        char32_t punto = 0;
        const std::size_t l = platform::carattere_utf8(nome.substr(i), punto);
        if (l == 0 || punto < 0x20 || (punto >= 0x7F && punto <= 0x9F)) {
            s += '?';
            i += l == 0 ? 1 : l;
        } else {
            s += nome.substr(i, l);
            i += l;
        }
    }
    return s;
}

struct Voce {
    std::string chiave, valore;
    std::size_t riga;
};

ErroreLezione errore(std::size_t riga, const std::string& perche) {
    return {riga, "Riga " + std::to_string(riga) + ": " + perche};
}

constexpr std::array<const char*, 8> chiavi = {"formato", "titolo",  "classe", "livello",
                                               "tipi",    "domande", "seme",   "grafia"};
constexpr std::array<const char*, 6> obbligatorie = {"formato", "classe",  "livello",
                                                     "tipi",    "domande", "seme"};

// One value into the lesson; the reason when it does not fit.
std::optional<std::string> assegna(Lezione& l, const Voce& v) {
    const std::string& x = v.valore;
    if (v.chiave == "titolo") {
        std::size_t caratteri = 0;
        difetto_testo(x, &caratteri);
        if (caratteri > max_titolo)
            return "il titolo è troppo lungo: al massimo " + std::to_string(max_titolo) +
                   " caratteri.";
        l.titolo = x;
    } else if (v.chiave == "classe") {
        const auto c = classe_da_nome(x);
        if (!c)
            return std::string("classe deve essere prima, seconda, terza, quarta o quinta.");
        l.classe = *c;
    } else if (v.chiave == "livello") {
        const auto n = numero(x);
        if (!n || *n < 1 || *n > std::uint64_t(n_livelli))
            return std::string("livello deve essere 1, 2 o 3.");
        l.livello = int(*n);
    } else if (v.chiave == "domande") {
        const auto n = numero(x);
        if (!n || *n < domande_minime || *n > domande_massime)
            return "domande deve essere un numero da " + std::to_string(domande_minime) + " a " +
                   std::to_string(domande_massime) + ".";
        l.domande = std::size_t(*n);
    } else if (v.chiave == "seme") {
        const auto n = numero(x);
        if (!n)
            return "seme deve essere un numero intero da 0 a " +
                   std::to_string(std::numeric_limits<std::uint64_t>::max()) + ".";
        l.seme = *n;
    } else if (v.chiave == "grafia") {
        if (x != "scolastica" && x != "originale")
            return std::string("grafia deve essere scolastica o originale.");
        l.grafia = x == "scolastica" ? Grafia::scolastica : Grafia::originale;
    } else if (v.chiave == "tipi") {
        l.tipi.clear();
        if (x.empty())
            return "manca l'elenco dei tipi, per esempio «tipi = ascolta, lettere» (i tipi sono " +
                   elenco_tipi() + ").";
        std::string_view resto = x;
        for (;;) {
            const std::size_t virgola = resto.find(',');
            const std::string_view nome = senza_blanchi(resto.substr(0, virgola));
            if (nome.empty())
                return std::string("manca un tipo tra due virgole.");
            const auto t = tipo_da_chiave(nome);
            if (!t)
                return "«" + std::string(nome) + "» non è un tipo: i tipi sono " + elenco_tipi() +
                       ".";
            if (std::find(l.tipi.begin(), l.tipi.end(), *t) != l.tipi.end())
                return "il tipo «" + std::string(nome) + "» è scritto due volte.";
            l.tipi.push_back(*t);
            if (virgola == std::string_view::npos)
                break;
            resto.remove_prefix(virgola + 1);
        }
    }
    return std::nullopt;
}

} // namespace

std::string scrivi_lezione(const Lezione& l) {
    std::string s = "# Lezione di Contavoce: si apre con «contavoce --lezione FILE»\n";
    s += "formato = " + std::to_string(formato_lezione) + '\n';
    if (!l.titolo.empty())
        s += "titolo = " + l.titolo + '\n';
    s += std::string("classe = ") + nome_classe(l.classe) + '\n';
    s += "livello = " + std::to_string(l.livello) + '\n';
    s += "tipi = ";
    for (std::size_t i = 0; i < l.tipi.size(); ++i)
        s += std::string(i ? ", " : "") + chiave_tipo(l.tipi[i]);
    s += '\n';
    s += "domande = " + std::to_string(l.domande) + '\n';
    s += "seme = " + std::to_string(l.seme) + '\n';
    if (l.grafia)
        s += std::string("grafia = ") + nome_grafia(*l.grafia) + '\n';
    return s;
}

LezioneLetta leggi_lezione(std::string_view testo) {
    if (testo.size() > max_byte_lezione)
        return ErroreLezione{0, "Il file è troppo grande per una lezione: più di " +
                                    std::to_string(max_byte_lezione) + " byte."};
    if (testo.starts_with(bom))
        testo.remove_prefix(bom.size());
    std::vector<Voce> voci;
    for (std::size_t riga = 1; !testo.empty(); ++riga) {
        const std::size_t a_capo = testo.find('\n');
        std::string_view linea = testo.substr(0, a_capo);
        testo.remove_prefix(a_capo == std::string_view::npos ? testo.size() : a_capo + 1);
        if (linea.ends_with('\r'))
            linea.remove_suffix(1);
        if (linea.size() > max_riga_lezione)
            return errore(riga,
                          "è troppo lunga: più di " + std::to_string(max_riga_lezione) + " byte.");
        switch (difetto_testo(linea)) {
        case Difetto::nessuno:
            break;
        case Difetto::nullo:
            return errore(riga, "contiene un carattere nullo: non è un file di testo.");
        case Difetto::non_utf8:
            return errore(riga, "contiene byte che non sono testo UTF-8.");
        case Difetto::controllo:
            return errore(riga, "contiene un carattere di controllo.");
        }
        linea = senza_blanchi(linea);
        if (linea.empty() || linea.front() == '#')
            continue;
        const std::size_t uguale = linea.find('=');
        if (uguale == std::string_view::npos)
            return errore(riga, "manca il segno «=»: ogni riga è «chiave = valore».");
        Voce v{std::string(senza_blanchi(linea.substr(0, uguale))),
               std::string(senza_blanchi(linea.substr(uguale + 1))), riga};
        if (v.chiave.empty())
            return errore(riga, "manca la chiave prima del segno «=».");
        for (const Voce& prima : voci)
            if (prima.chiave == v.chiave)
                return errore(riga, "«" + v.chiave + "» è già alla riga " +
                                        std::to_string(prima.riga) + ".");
        voci.push_back(std::move(v));
    }

    // The format first: a newer file may well have keys this one does not know.
    const auto formato =
        std::find_if(voci.begin(), voci.end(), [](const Voce& v) { return v.chiave == "formato"; });
    if (formato == voci.end())
        return ErroreLezione{0, "Manca la riga «formato = " + std::to_string(formato_lezione) +
                                    "»: non è una lezione di Contavoce."};
    const auto n = numero(formato->valore);
    if (n && *n > std::uint64_t(formato_lezione))
        return errore(formato->riga, "la lezione è del formato " + formato->valore +
                                         ", più nuovo di quello che questo Contavoce sa leggere (" +
                                         std::to_string(formato_lezione) +
                                         "): serve un Contavoce più recente.");
    if (n != std::uint64_t(formato_lezione))
        return errore(formato->riga,
                      "formato deve essere " + std::to_string(formato_lezione) + ".");

    Lezione l;
    for (const Voce& v : voci) {
        if (std::find(chiavi.begin(), chiavi.end(), v.chiave) == chiavi.end()) {
            std::string note;
            for (const char* c : chiavi)
                note += std::string(note.empty() ? "" : ", ") + c;
            return errore(v.riga,
                          "«" + v.chiave + "» non è una chiave delle lezioni (sono " + note + ").");
        }
        if (const auto perche = assegna(l, v))
            return errore(v.riga, *perche);
    }
    for (const char* c : obbligatorie)
        if (std::none_of(voci.begin(), voci.end(), [c](const Voce& v) { return v.chiave == c; }))
            return ErroreLezione{0, std::string("Manca la riga «") + c + " = …»."};
    return l;
}

LezioneLetta leggi_file_lezione(const std::string& percorso) {
    namespace fs = std::filesystem;
    const std::string nome = "«" + mostrabile(percorso) + "»";
    std::error_code ec;
    const fs::file_status stato = fs::status(percorso, ec);
    if (stato.type() == fs::file_type::not_found)
        return ErroreLezione{0, "Non trovo la lezione " + nome + "."};
    if (!ec && fs::is_directory(stato))
        return ErroreLezione{0, nome + " è una cartella, non una lezione."};
    // A pipe or a device might never end, or never answer.
    if (!ec && !fs::is_regular_file(stato))
        return ErroreLezione{0, nome + " non è un file di lezione."};
    std::ifstream file;
    if (!ec)
        file.open(percorso, std::ios::binary);
    if (ec || !file)
        return ErroreLezione{0, "Non riesco ad aprire la lezione " + nome + "."};
    std::string testo(max_byte_lezione + 1, '\0');
    file.read(testo.data(), std::streamsize(testo.size()));
    if (file.bad())
        return ErroreLezione{0, "Non riesco a leggere la lezione " + nome + "."};
    testo.resize(std::size_t(file.gcount()));
    return leggi_lezione(testo);
}

std::optional<std::string> controlla_lezione(const Lezione& l) {
    if (std::size_t(l.classe) >= n_classi)
        return std::string("Una classe sconosciuta.");
    if (!trova_livello(l.classe, l.livello))
        return std::string("Il livello va da 1 a 3.");
    if (l.domande < domande_minime || l.domande > domande_massime)
        return std::string("Un giro ha da 5 a 20 domande.");
    if (l.tipi.empty())
        return std::string("Una lezione ha almeno un tipo di esercizio.");
    for (std::size_t i = 0; i < l.tipi.size(); ++i) {
        if (std::size_t(l.tipi[i]) >= n_tipi)
            return std::string("Un tipo di esercizio sconosciuto.");
        if (std::find(l.tipi.begin(), l.tipi.begin() + std::ptrdiff_t(i), l.tipi[i]) !=
            l.tipi.begin() + std::ptrdiff_t(i))
            return std::string("Il tipo «") + chiave_tipo(l.tipi[i]) + "» è scritto due volte.";
    }
    std::size_t caratteri = 0;
    if (difetto_testo(l.titolo, &caratteri) != Difetto::nessuno)
        return std::string("Il titolo contiene caratteri che non sono testo.");
    if (caratteri > max_titolo)
        return "Il titolo è troppo lungo: al massimo " + std::to_string(max_titolo) + " caratteri.";
    if (senza_blanchi(l.titolo) != l.titolo)
        return std::string("Il titolo comincia o finisce con uno spazio.");
    return std::nullopt;
}

Impostazioni impostazioni_lezione(const Lezione& l, Grafia grafia) {
    Impostazioni i;
    i.classe = l.classe;
    i.livello = l.livello;
    if (!l.tipi.empty())
        i.tipo = l.tipi.front();
    i.tipi = l.tipi;
    i.domande = l.domande;
    i.seme = l.seme;
    i.grafia = l.grafia.value_or(grafia);
    return i;
}

} // namespace contavoce
