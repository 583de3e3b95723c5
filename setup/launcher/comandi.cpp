// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/launcher/comandi.h"

namespace contavoce::setup {

// QProcess::splitCommand has Unix-shell rules (triple quotes for a quote); the
// command lines here are written for Windows' rules, so those are kept.
QStringList dividi_riga_di_comando(const QString& riga) {
    QStringList argomenti;
    const qsizetype n = riga.size();
    const auto blanco = [&](qsizetype k) { return riga[k] == u' ' || riga[k] == u'\t'; };
    qsizetype i = 0;
    while (i < n && blanco(i))
        ++i;
    if (i == n)
        return argomenti;

    QString programma;
    for (bool tra = false; i < n && (tra || !blanco(i)); ++i) {
        if (riga[i] == u'"')
            tra = !tra;
        else
            programma += riga[i];
    }
    argomenti << programma;

    for (;;) {
        while (i < n && blanco(i))
            ++i;
        if (i == n)
            break;
        QString argomento;
        for (bool tra = false; i < n && (tra || !blanco(i));) {
            if (riga[i] == u'\\') {
                qsizetype barre = 0;
                for (; i < n && riga[i] == u'\\'; ++i)
                    ++barre;
                const bool virgolette = i < n && riga[i] == u'"';
                argomento += QString(virgolette ? barre / 2 : barre, u'\\');
                if (virgolette && barre % 2 == 1) {
                    argomento += u'"';
                    ++i;
                }
            } else if (riga[i] == u'"') {
                if (tra && i + 1 < n && riga[i + 1] == u'"') {
                    argomento += u'"';
                    i += 2;
                } else {
                    tra = !tra;
                    ++i;
                }
            } else {
                argomento += riga[i++];
            }
        }
        argomenti << argomento;
    }
    return argomenti;
}

QString tra_virgolette(const QString& argomento) {
    QString r = "\"";
    qsizetype barre = 0;
    for (const QChar c : argomento) {
        if (c == u'\\') {
            ++barre;
            continue;
        }
        if (c == u'"') {
            r += QString(2 * barre + 1, u'\\');
        } else {
            r += QString(barre, u'\\');
        }
        r += c;
        barre = 0;
    }
    r += QString(2 * barre, u'\\');
    r += u'"';
    return r;
}

std::optional<std::filesystem::path>
cerca_percorso(const std::filesystem::path& nome,
               const std::vector<std::filesystem::path>& cartelle) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto trovato = [&](const fs::path& p) -> std::optional<fs::path> {
        if (!fs::is_regular_file(p, ec))
            return std::nullopt;
        return fs::absolute(p, ec);
    };
    if (nome.empty())
        return std::nullopt;
    if (nome.has_parent_path())
        return trovato(nome);
    for (const auto& cartella : cartelle)
        if (!cartella.empty())
            if (auto p = trovato(cartella / nome))
                return p;
    return std::nullopt;
}

} // namespace contavoce::setup
