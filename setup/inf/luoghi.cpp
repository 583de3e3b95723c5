// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/inf/luoghi.h"

#include "setup/inf/testo_inf.h"

#include <algorithm>

namespace contavoce::inf {

Luoghi luoghi_da_ambiente(const LeggiAmbiente& ambiente, bool root) {
    namespace fs = std::filesystem;
    bool per_utente = !root;
    if (const auto scelta = ambiente("CONTAVOCE_INSTALL_ROOT"); scelta && !scelta->empty()) {
        if (*scelta == "user")
            per_utente = true;
        else if (*scelta == "system")
            per_utente = false;
        else
            throw ErroreInf("CONTAVOCE_INSTALL_ROOT must be \"user\" or \"system\", not \"" +
                            *scelta + "\"");
    }
    if (!per_utente)
        return {false,
                "/opt",
                "/usr/local/share/applications",
                "/usr/local/share/icons",
                "/usr/local/bin",
                "/usr/local/share"};

    const auto home = ambiente("HOME");
    if (!home || home->empty() || !fs::path(*home).is_absolute())
        throw ErroreInf("HOME is not set to an absolute folder: cannot install for this user");
    fs::path dati = fs::path(*home) / ".local" / "share";
    if (const auto xdg = ambiente("XDG_DATA_HOME"); xdg && fs::path(*xdg).is_absolute())
        dati = *xdg;
    dati = dati.lexically_normal();
    if (!dati.has_filename()) // "/data/" names the same folder as "/data"
        dati = dati.parent_path();
    return {true,
            dati,
            dati / "applications",
            dati / "icons",
            (fs::path(*home) / ".local" / "bin").lexically_normal(),
            dati};
}

std::vector<std::filesystem::path> cartelle_comandi(const LeggiAmbiente& ambiente) {
    std::vector<std::filesystem::path> cartelle;
    const auto aggiungi = [&](std::string_view c) {
        const std::filesystem::path p = std::filesystem::path(c).lexically_normal();
        if (p.is_absolute() && std::find(cartelle.begin(), cartelle.end(), p) == cartelle.end())
            cartelle.push_back(p);
    };
    const std::string path = ambiente("PATH").value_or("");
    for (std::size_t inizio = 0; inizio <= path.size();) {
        const std::size_t fine = std::min(path.find(':', inizio), path.size());
        aggiungi(std::string_view(path).substr(inizio, fine - inizio));
        inizio = fine + 1;
    }
    for (const char* c :
         {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin", "/usr/bin", "/sbin", "/bin"})
        aggiungi(c);
    return cartelle;
}

} // namespace contavoce::inf
