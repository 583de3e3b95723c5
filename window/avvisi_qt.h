// SPDX-License-Identifier: GPL-3.0-or-later
// Messages to the child as modal message boxes.
#pragma once

#include "platform/base/avvisi.h"

#include <QApplication>
#include <QMessageBox>

namespace contavoce {

class AvvisiQt final : public platform::Avvisi {
public:
    void avviso(const std::string& testo, const std::string& titolo) override {
        QMessageBox::warning(QApplication::activeWindow(), QString::fromStdString(titolo),
                             QString::fromStdString(testo));
    }
    void messaggio(const std::string& testo) override {
        QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(),
                                 QString::fromStdString(testo));
    }
};

} // namespace contavoce
