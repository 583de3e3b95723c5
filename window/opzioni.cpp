// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/opzioni.h"

#include "window/zoom.h"

#include <QCommandLineParser>

namespace contavoce {

std::variant<Opzioni, Uscita> leggi_opzioni(const QStringList& argomenti) {
    QCommandLineParser p;
    p.setApplicationDescription("Contavoce: type a number, read it in words and hear it said.");
    const QCommandLineOption aiuto({"h", "help"}, "Print these options and end.");
    const QCommandLineOption versione({"v", "version"}, "Print the version and end.");
    const QCommandLineOption intero("fullscreen", "Start in full screen (F11 toggles it).");
    const QCommandLineOption senza_musica("no-music", "Start with the music paused.");
    const QCommandLineOption zoom(
        "zoom", "Draw the window at N percent: 100 to 300 in steps of 25 (Ctrl+Plus, Ctrl+Minus).",
        "N");
    const QCommandLineOption grafia(
        "grafia",
        "The words box in spelling G, remembered for the next runs: originale (the program's own, "
        "the default: Ventitremilionitre) or scolastica (the school's: Ventitré milioni tre, "
        "Zero).",
        "G");
    const QCommandLineOption esercizi(
        "esercizi", "Open the practice window at once (F2 opens it from the main window).");
    const QCommandLineOption seme(
        "seme",
        "Draw the practice rounds from seed N (0 or more): the same questions for every "
        "child started so.",
        "N");
    const QCommandLineOption lezione(
        "lezione",
        "Open the practice window on the lesson in FILE (made by contavoce-cli lezione): its "
        "class year, level, kinds and seed, the same round for every child of a class. A "
        "damaged lesson is refused with a message and the program starts as usual.",
        "FILE");
    p.addOptions({aiuto, versione, intero, senza_musica, zoom, grafia, esercizi, seme, lezione});

    const QString errore = QStringLiteral("contavoce: %1\nTry 'contavoce --help'.\n");
    if (!p.parse(argomenti))
        return Uscita{2, errore.arg(p.errorText())};
    if (p.isSet(aiuto)) {
        // Without an application object the parser cannot know the program's name.
        QString testo = p.helpText();
        testo.replace("<executable_name>", "contavoce");
        return Uscita{0, testo};
    }
    if (p.isSet(versione))
        return Uscita{0, QStringLiteral("contavoce %1\n").arg(CONTAVOCE_VERSION)};
    if (!p.positionalArguments().isEmpty())
        return Uscita{2,
                      errore.arg("unexpected argument '" + p.positionalArguments().first() + "'")};
    Opzioni o;
    o.schermo_intero = p.isSet(intero);
    o.senza_musica = p.isSet(senza_musica);
    o.esercizi = p.isSet(esercizi);
    if (p.isSet(lezione))
        o.lezione = p.value(lezione);
    if (p.isSet(zoom)) {
        bool ok = false;
        const int n = p.value(zoom).toInt(&ok);
        if (!ok || !zoom_valido(n))
            return Uscita{2, errore.arg("--zoom wants a percentage from 100 to 300 in steps of "
                                        "25, not '" +
                                        p.value(zoom) + "'")};
        o.zoom = n;
    }
    if (p.isSet(seme)) {
        bool ok = false;
        const qulonglong n = p.value(seme).toULongLong(&ok);
        if (!ok)
            return Uscita{2,
                          errore.arg("--seme wants a whole number, not '" + p.value(seme) + "'")};
        o.seme = n;
    }
    if (p.isSet(grafia)) {
        const QString g = p.value(grafia);
        if (g != "originale" && g != "scolastica")
            return Uscita{2, errore.arg("--grafia wants originale or scolastica, not '" + g + "'")};
        o.grafia = g == "originale" ? Grafia::originale : Grafia::scolastica;
    }
    return o;
}

} // namespace contavoce
