#!/usr/bin/env bash
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
for f in "$build"/bin/va*.wav "$build"/bin/laser.wav "$build"/bin/heidi-cartoon.mid; do
  cmp -s "$f" "$cartella/$(basename "$f")" || sbaglio "$(basename "$f") missing or different"
done
n=$(find "$cartella" -name 'va*.wav' | wc -l)
[ "$n" -eq 55 ] || sbaglio "$n speech clips in the program folder, not 55"
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
desktop=$prefisso/share/applications/contavoce.desktop
for riga in 'Exec=contavoce' 'Icon=contavoce' 'Categories=Education;' 'Type=Application'; do
  grep -qx "$riga" "$desktop" || sbaglio "contavoce.desktop lacks $riga"
done
[ "$(head -c 8 "$prefisso/share/icons/hicolor/48x48/apps/contavoce.png" | od -An -tx1 | tr -d ' ')" = \
  89504e470d0a1a0a ] || sbaglio "the icon is not a PNG"
# Nothing but the program: no test programs, setup or installa-inf.
altro=$(find "$prefisso" -type f -o -type l | grep -Ev \
  '/lib/contavoce/(contavoce|contavoce-cli|libcontavoce-(suono|scheda)\.so|va[a-z0-9_]+\.wav|laser\.wav|heidi-cartoon\.mid)$|/bin/contavoce(-cli)?$|/contavoce\.(desktop|png)$' ||
  true)
[ -z "$altro" ] || sbaglio "unexpected files installed: $altro"

# Through the link, from another folder: the clips come from the program folder,
# so with one removed the installed result must differ from the built one.
cd "$prefisso"
"$prefisso/bin/contavoce-cli" say 12 --wav installato.wav
"$build/bin/contavoce-cli" say 12 --wav costruito.wav
cmp -s installato.wav costruito.wav || sbaglio "the installed contavoce-cli says 12 differently"
rm "$cartella/va12.wav"
"$prefisso/bin/contavoce-cli" say 12 --wav senza.wav 2>/dev/null || true
! cmp -s senza.wav costruito.wav || sbaglio "the installed contavoce-cli does not read its own folder"
# The worksheet printer is loaded from the program folder too, through the link.
"$prefisso/bin/contavoce-cli" scheda --quanti 3 --seme 1 scheda.pdf ||
  sbaglio "the installed contavoce-cli cannot print a worksheet"
[ "$(head -c 5 scheda.pdf)" = "%PDF-" ] || sbaglio "the installed worksheet is not a PDF"
echo "install check: passed"
