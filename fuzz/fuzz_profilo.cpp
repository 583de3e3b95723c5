// SPDX-License-Identifier: GPL-3.0-or-later
// The setup.inf reader: the launcher reads the texts of its dialog and the
// final message from whatever setup.inf the cabinet holds. The first line of
// the input names the section and the key ("section|key"), the rest is the file.
// The whole input is also taken as a file name, which must pass through the
// launcher's text form of names and come back as the same bytes.
#include "setup/launcher/processo.h"
#include "setup/launcher/profilo.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// One file for the whole run, in the temporary folder, removed at exit.
struct FileDiProva {
    std::filesystem::path percorso =
        std::filesystem::temp_directory_path() /
        ("contavoce-fuzz-profilo-" + std::to_string(::getpid()) + ".inf");
    ~FileDiProva() {
        std::error_code e;
        std::filesystem::remove(percorso, e);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FileDiProva file;
    const std::string_view ingresso(reinterpret_cast<const char*>(data), size);
    const auto a_capo = ingresso.find('\n');
    const std::string_view nomi = ingresso.substr(0, a_capo);
    const std::string_view testo =
        a_capo == std::string_view::npos ? std::string_view{} : ingresso.substr(a_capo + 1);
    const auto barra = nomi.find('|');
    const std::string_view sezione = nomi.substr(0, barra);
    const std::string_view chiave =
        barra == std::string_view::npos ? std::string_view{"Caption"} : nomi.substr(barra + 1);
    {
        std::ofstream f(file.percorso, std::ios::binary | std::ios::trunc);
        f.write(testo.data(), std::streamsize(testo.size()));
    }

    // The lengths the launcher asks for, and a few around them.
    for (const std::size_t lunghezza :
         {std::size_t(0), std::size_t(1), std::size_t(49), std::size_t(99), std::size_t(499)}) {
        const std::string v = contavoce::setup::profilo_stringa(sezione, chiave, "predefinito",
                                                                lunghezza, file.percorso);
        if (v.size() > lunghezza)
            std::abort();
        const std::string u = contavoce::setup::da_windows_1252(v);
        if (u.size() < v.size() || u.size() > 3 * v.size())
            std::abort();
    }
    contavoce::setup::profilo_intero(sezione, chiave, -7, file.percorso);
    contavoce::setup::da_windows_1252(testo);

    const std::string nome(ingresso);
    if (contavoce::setup::in_byte(contavoce::setup::da_byte(nome)) != nome)
        std::abort();
    return 0;
}
