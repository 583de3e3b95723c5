// SPDX-License-Identifier: GPL-3.0-or-later
// Starting an outside program with its arguments as bytes. QProcess hands
// arguments over as QStrings encoded with the locale, which turns a file name
// that is not valid UTF-8 into a different name; a cabinet so named must reach
// the extractor as it is. So the launcher spawns its programs itself.
#pragma once

#include <QString>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace contavoce::setup {

// A file name as text, losslessly: valid UTF-8 is decoded, and each byte that
// is not part of valid UTF-8 becomes the lone code unit U+DC00 + byte (the
// "surrogate escape" Python uses for the same job), so that `in_byte` gives
// back exactly the bytes the name had.
QString da_byte(const std::string& byte);
QString da_byte(const std::filesystem::path& percorso);
std::string in_byte(const QString& testo);

// Where an outside program's output goes.
enum class Canale {
    ereditato, // the launcher's own (the user sees it)
    scartato,  // /dev/null
    raccolto,  // read by the launcher, kept in the result
};

struct EsitoProcesso {
    bool avviato = false;
    int uscita = -1;           // the exit code; -1 when it ended by a signal
    std::string output;        // standard output, when raccolto (at most `limite` bytes)
    std::string ultimi_errori; // the last bytes of standard error, when raccolto
};

// Runs `programma` with `argomenti` (argv[0] first) in the current directory,
// standard input inherited, and waits without a time limit for its end.
// Collected standard error is also copied to the launcher's own, so the user
// still sees it; collected standard output beyond `limite` bytes is read and
// dropped, so a chatty program cannot block or make the launcher grow.
EsitoProcesso esegui_processo(const std::filesystem::path& programma,
                              const std::vector<std::string>& argomenti, Canale output,
                              Canale errori, std::size_t limite = 1 << 20);

// The last line of `testo` that holds more than blanks, without its end of
// line; empty when there is none.
std::string ultima_riga(const std::string& testo);

} // namespace contavoce::setup
