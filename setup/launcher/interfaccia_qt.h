// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher's dialogs as Qt shows them.
#pragma once

#include "setup/launcher/setup.h"

namespace contavoce::setup {

class InterfacciaQt final : public Interfaccia {
public:
    int dialogo_modale(DialogoSetup& dialogo) override;
    void messaggio(const QString& testo, const QString& titolo, Icona icona) override;
};

} // namespace contavoce::setup
