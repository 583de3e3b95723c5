#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a built tree into a scratch prefix and checks what a user gets: the
# program folder with every data file, the links on the PATH, the menu entry and
# icon, and that the linked contavoce-cli finds the clips of its real folder.
#
#   verifica-installazione.sh BUILD_DIR
set -euo pipefail

build=$1
prefisso=$(mktemp -d)
# cmake --install rewrites BUILD_DIR/install_manifest.txt, which users keep for
# removing a real installation: put back whatever was there.
manifesto=$build/install_manifest.txt
salvato=$(mktemp)
if [ -f "$manifesto" ]; then cp "$manifesto" "$salvato"; else rm -f "$salvato"; fi
rimetti() {
  if [ -f "$salvato" ]; then mv "$salvato" "$manifesto"; else rm -f "$manifesto"; fi
  rm -rf "$prefisso"
}
trap rimetti EXIT
sbaglio() {
  echo "install check: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefisso" >/dev/null
cartella=$prefisso/lib/contavoce

# Every loose file the build puts beside the program must be installed with it.
for f in "$build"/bin/va*.wav "$build"/bin/es_*.wav "$build"/bin/laser.wav "$build"/bin/heidi-cartoon.mid; do
  cmp -s "$f" "$cartella/$(basename "$f")" || sbaglio "$(basename "$f") missing or different"
done
n=$(find "$cartella" \( -name 'va*.wav' -o -name 'es_*.wav' \) | wc -l)
[ "$n" -eq 87 ] || sbaglio "$n speech clips in the program folder, not 87"
for p in contavoce contavoce-cli; do
  [ -x "$cartella/$p" ] || sbaglio "$p is not in the program folder"
  [ "$(readlink "$prefisso/bin/$p")" = "../lib/contavoce/$p" ] || sbaglio "bin/$p is not a link"
  # SDL2 and FluidSynth come only with the sound module, loaded when needed.
  ! objdump -p "$cartella/$p" | grep -E 'NEEDED +lib(SDL2|fluidsynth)' ||
    sbaglio "$p links a sound library itself"
done
# The module itself is loaded below, by the installed contavoce-cli saying 12.
[ -f "$cartella/libcontavoce-suono.so" ] || sbaglio "the sound module is not in the program folder"
[ -f "$cartella/libcontavoce-scheda.so" ] || sbaglio "the worksheet module is not in the program folder"
desktop=$prefisso/share/applications/org.example.contavoce.desktop
for riga in 'Exec=contavoce' 'Icon=contavoce' 'Categories=Education;Math;' 'Type=Application' \
  'Actions=esercizi;' 'Exec=contavoce --esercizi'; do
  grep -qx "$riga" "$desktop" || sbaglio "org.example.contavoce.desktop lacks $riga"
done
# The icon in every size of the theme, by its name, and the scalable one.
for lato in 16 24 32 48 64 128 256; do
  png=$prefisso/share/icons/hicolor/${lato}x${lato}/apps/contavoce.png
  [ "$(head -c 24 "$png" | od -An -tx1 | tr -d ' \n')" = \
    "89504e470d0a1a0a0000000d49484452$(printf '%08x%08x' "$lato" "$lato")" ] ||
    sbaglio "hicolor/${lato}x${lato}/apps/contavoce.png is not a ${lato}-pixel PNG"
done
grep -q '<svg' "$prefisso/share/icons/hicolor/scalable/apps/contavoce.svg" || sbaglio "no scalable icon"
for pagina in contavoce contavoce-cli installa-inf; do
  gzip -t "$prefisso/share/man/man1/$pagina.1.gz" || sbaglio "no manual page for $pagina"
done
for f in metainfo/org.example.contavoce.metainfo.xml doc/contavoce/copyright doc/contavoce/changelog.gz; do
  [ -s "$prefisso/share/$f" ] || sbaglio "share/$f is missing"
done
# Nothing but the program and its metadata: no test programs, setup or installa-inf.
altro=$(find "$prefisso" -type f -o -type l | grep -Ev \
  '/lib/contavoce/(contavoce|contavoce-cli|libcontavoce-(suono|scheda)\.so|(va|es_)[a-z0-9_]+\.wav|laser\.wav|heidi-cartoon\.mid)$|/bin/contavoce(-cli)?$|/share/applications/org\.example\.contavoce\.desktop$|/share/icons/hicolor/([0-9]+x[0-9]+/apps/contavoce\.png|scalable/apps/contavoce\.svg)$|/share/man/man1/(contavoce|contavoce-cli|installa-inf)\.1\.gz$|/share/metainfo/org\.example\.contavoce\.metainfo\.xml$|/share/doc/contavoce/(copyright|changelog\.gz)$' ||
  true)
[ -z "$altro" ] || sbaglio "unexpected files installed: $altro"

# Through the link, from another folder: the clips come from the program folder,
# so with one removed there the installed one must refuse to write the file.
cd "$prefisso"
"$prefisso/bin/contavoce-cli" say 12 --wav installato.wav
"$build/bin/contavoce-cli" say 12 --wav costruito.wav
cmp -s installato.wav costruito.wav || sbaglio "the installed contavoce-cli says 12 differently"
rm "$cartella/va12.wav"
if "$prefisso/bin/contavoce-cli" say 12 --wav senza.wav 2>/dev/null || [ -e senza.wav ]; then
  sbaglio "the installed contavoce-cli does not read its own folder"
fi
# The worksheet printer is loaded from the program folder too, through the link.
"$prefisso/bin/contavoce-cli" scheda --quanti 3 --seme 1 scheda.pdf ||
  sbaglio "the installed contavoce-cli cannot print a worksheet"
[ "$(head -c 5 scheda.pdf)" = "%PDF-" ] || sbaglio "the installed worksheet is not a PDF"
echo "install check: passed"
