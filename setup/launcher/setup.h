// SPDX-License-Identifier: GPL-3.0-or-later
// The setup launcher: finds the cabinet in the current directory, shows a
// dialog whose texts come from the cabinet's setup.inf, unpacks the cabinet
// into a working folder, has the INF installer install from the .inf file it
// holds, waits for it and removes the folder again.
//
// The outside programs: `cabextract` unpacks (in place of EXTRAC32) and
// `installa-inf` installs (in place of rundll32 setupapi.dll,InstallHinfSection).
#pragma once

#include "setup/launcher/ambiente.h"
#include "setup/launcher/dialogo.h"

#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace contavoce::setup {

// What the dialog's start leaves for the rest of the run.
struct Stato {
    explicit Stato(const Ambiente& a) : ambiente(a) {}
    const Ambiente& ambiente;
    // The cabinet's pattern; once found, the name of the cabinet found first.
    std::string cabina = "*.cab";
    std::optional<CartellaPrivata> cartella_inf; // holds the extracted setup.inf
    std::optional<std::filesystem::path> setup_inf;
    QString titolo;
    QString messaggio;
    int scelta = 0;
};

enum class Evento { inizio, comando, altro };

// The dialog's handler. At the start it finds the cabinet (on failure the 0001
// message, and the dialog ends with 0 before it is shown), extracts setup.inf
// and writes the texts; the commands 1 and 2 delete setup.inf and end the
// dialog with their id. True when the event was handled.
bool setup_dialog_proc(DialogoSetup& dialogo, Stato& stato, Evento evento, int id);

// The first file in the current directory matching `stato.cabina` (case
// ignored, in listing order), as a full path; remembers its name. Nothing
// after the 0001 message.
std::optional<std::filesystem::path> find_cabinet(Stato& stato);

// The first .inf file in `cartella` as a full path; nothing after the 0002 message.
std::optional<std::filesystem::path> find_unpacked_inf(const std::filesystem::path& cartella,
                                                       const Ambiente& ambiente);

// A setup.inf declared larger than this is taken as missing: six short keys
// never need more, and a huge one would only fill the disk and the memory.
inline constexpr std::uint64_t setup_inf_massimo = 64 * 1024;

// The message with this code (1 to 5).
void mostra_codice(Interfaccia& interfaccia, int codice);

// The whole run: 2 when the user chooses "Annulla", 1 once the installer has
// installed, 0 after a failure (messages 0001 to 0004, or the installer's
// failure told in a box of the same kind).
int setup_main(const Ambiente& ambiente);

} // namespace contavoce::setup
