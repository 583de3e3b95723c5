#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader is told about the running window, read through AT-SPI.

    accessibile.py PID NUMBER WORDS CHOSEN [TREE_FILE]
    accessibile.py --parole PID WORDS [TREE_FILE]

Finds the application of process PID on the accessibility bus, writes its
tree (role, name, description, text of every showing object) to TREE_FILE,
and checks the names and roles of the controls a child meets with the number
NUMBER confirmed (WORDS in the words box), the place-value panel open and the
digit box CHOSEN (0-11) chosen. With --parole it checks only that the words
box shows WORDS. Prints one line per check; exits 1 if any fails.
"""
import sys
import time

import pyatspi

# The places of a digit, counted from the right starting at 1.
PLACES = [" ", "unità", "decine", "centinaia", "migliaia", "decine di migliaia",
          "centinaia di migliaia", "milioni", "decine di milioni", "centinaia di milioni",
          "miliardi", "decine di miliardi", "centinaia di miliardi"]

BUTTONS = ["INVIO", "Nuovo Numero", "Ascolta il numero", "Scomponi il numero", "Pausa musica",
           "Fine", "Esercizi"]
# The practice window with a question on the keypad: what a screen reader
# reads of its controls.
PRACTICE = [("push button", "Inizia"), ("check box", "In silenzio (classe)"),
            ("check box", "Grafia della scuola"), ("text", "Risposta"),
            ("push button", "Ripeti")] + \
    [("push button", n) for n in ["uno", "due", "tre", "quattro", "cinque", "sei", "sette",
                                  "otto", "nove", "zero", "virgola", "Cancella", "OK, controlla"]]


def application(pid):
    # The bridge registers a moment after the window appears.
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.2)
    return None


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:  # an object that went away meanwhile
        return False


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, -1)
    except NotImplementedError:
        return ""


def walk(node, depth, out, rows):
    if not showing(node):
        return
    row = (node.getRoleName(), node.name, node.description, text_of(node))
    rows.append(row)
    out.write("  " * depth + " | ".join(repr(x) for x in row) + "\n")
    for child in node:
        if child is not None:
            walk(child, depth + 1, out, rows)


def main():
    only_words = sys.argv[1] == "--parole"
    practice = sys.argv[1] == "--esercizi"
    if practice:
        pid, number, words, chosen = int(sys.argv[2]), "", "", -1
        tree_file = sys.argv[3] if len(sys.argv) > 3 else "/dev/null"
    elif only_words:
        pid, words, number, chosen = int(sys.argv[2]), sys.argv[3], "", -1
        tree_file = sys.argv[4] if len(sys.argv) > 4 else "/dev/null"
    else:
        pid, number, words, chosen = int(sys.argv[1]), sys.argv[2], sys.argv[3], int(sys.argv[4])
        tree_file = sys.argv[5] if len(sys.argv) > 5 else "/dev/null"
    failures = 0

    def check(ok, what):
        nonlocal failures
        print(("ok  " if ok else "FAIL") + ": at-spi: " + what)
        failures += 0 if ok else 1

    app = application(pid)
    check(app is not None, "the program is on the accessibility bus")
    if app is None:
        return 1
    rows = []
    with open(tree_file, "w", encoding="utf-8") as out:
        for child in app:
            walk(child, 0, out, rows)

    def find(role, name):
        return [r for r in rows if r[0] == role and r[1] == name]

    if practice:
        for role, name in PRACTICE:
            found = find(role, name)
            check(len(found) == 1, f"practice: {role} {name!r} ({found})")
        # A combo box reads as its choice, then what it chooses.
        combo = [(r[1], r[2]) for r in rows if r[0] == "combo box"]
        check(combo == [("terza", "Classe"), ("1: 100–999", "Livello"),
                        ("Ascolta e scrivi", "Esercizio"), ("10", "Domande per giro, da 5 a 20")],
              f"practice: class year, level, kind and count read with what they choose ({combo})")
        described = [r for r in rows if r[1] in ("Inizia", "Ripeti", "In silenzio (classe)",
                                                 "Grafia della scuola", "Risposta")]
        check(len(described) == 5 and all(r[2] for r in described),
              f"practice: the buttons, the modes and the answer box described ({described})")
        dots = [r for r in rows if r[1].startswith("Domanda 1 di 10")]
        check(len(dots) == 1, f"practice: the row of dots reads where the child is ({dots})")
        check(not [r for r in rows if "&" in r[1]], "practice: no name shows an access-key mark")
        print("at-spi: tree in " + tree_file)
        return 1 if failures else 0
    result = find("text", "Il numero in lettere")
    check(len(result) == 1 and result[0][3].strip() == words,
          f"words box: role text, name 'Il numero in lettere', text {words!r} ({result})")
    if only_words:
        print("at-spi: tree in " + tree_file)
        return 1 if failures else 0
    grouped = f"{int(number):,}".replace(",", ".")
    entry = find("text", "Numero")
    check(len(entry) == 1 and entry[0][3] == grouped and entry[0][2] != "",
          f"entry box: role text, name 'Numero', a description, text {grouped!r} ({entry})")
    for name in BUTTONS:
        found = find("push button", name)
        check(len(found) == 1 and found[0][2] != "",
              f"button {name!r}: role push button, a description ({found})")
    check(not [r for r in rows if "&" in r[1]], "no name shows an access-key mark")
    check(len(find("label", "Clicca sui numeri")) == 1, "panel title read as words")

    first = 12 - len(number)
    expected = []
    for k in range(first, 12):
        digit = number[k - first]
        expected.append(f"{digit}, {PLACES[12 - k]}" if k == chosen else digit)
    digits = [r[1] for r in rows if r[0] == "label" and r[2].startswith("Frecce")]
    check(digits == expected, f"digit boxes read {digits}, expected {expected}")
    print("at-spi: tree in " + tree_file)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
