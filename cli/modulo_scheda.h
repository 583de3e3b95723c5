// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet printer as a module of its own, libcontavoce-scheda.so in the
// program's folder: it brings Qt's GUI library (fonts, painting, the PDF
// writer), which only `contavoce-cli scheda` and `registro --pdf` load; the
// other commands start with Qt's core library alone.
#pragma once

#include "cli/rapporto.h"
#include "cli/scheda.h"
#include "platform/base/modulo.h"

#include <memory>
#include <string>

class QCoreApplication;
class QIODevice;

namespace contavoce::cli {

inline constexpr const char* nome_modulo_scheda = "libcontavoce-scheda.so";

class Stampante {
public:
    virtual ~Stampante() = default;
    // The application object the printer needs, on Qt's offscreen platform so
    // that no display is wanted. One per process; the printer must outlive it.
    virtual std::unique_ptr<QCoreApplication> applicazione() = 0;
    // The sheet as an A4 PDF into `file`, open for writing: the pupil's
    // exercises with room to write, or (`soluzioni`) the key alone with what
    // remakes the sheet. False when it cannot be drawn; whether the bytes
    // reached the file is the file's to tell.
    virtual bool scrivi_pdf(const Scheda& scheda, bool soluzioni, QIODevice& file) = 0;
    // The register's report as an A4 PDF, likewise: a page for each class
    // year (more when its bars do not fit), in black and white.
    virtual bool scrivi_rapporto_pdf(const Rapporto& rapporto, QIODevice& file) = 0;
};

inline constexpr const char* funzione_modulo_scheda = "contavoce_stampante";
inline constexpr int versione_modulo_scheda = 4;

// The module loaded from a folder, with its printer.
class ModuloScheda : public platform::Modulo<Stampante> {
public:
    explicit ModuloScheda(const std::string& cartella);

    // Nullptr when the module could not be loaded; `errore()` says why.
    Stampante* stampante() const { return interfaccia(); }
};

} // namespace contavoce::cli
