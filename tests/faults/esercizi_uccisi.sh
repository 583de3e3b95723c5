#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The practice window killed with SIGKILL in the middle of a round, three
# times: every answer whose Return the window handled is in the register, in
# order, and the register opens afterwards as a sound file. At most the answer
# in flight at the kill may be missing.
# Usage: esercizi_uccisi.sh CONTAVOCE CONTAVOCE-CLI ANALIZZA_SESSIONE
set -euo pipefail

programma=$(realpath "$1")
cli=$(realpath "$2")
analizza=$(realpath "$3")
for strumento in Xvfb xdotool python3; do
  if ! command -v "$strumento" >/dev/null; then
    echo "esercizi_uccisi: $strumento is missing; skipped (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

lavoro=$(mktemp -d)
xvfb_pid=""
contavoce_pid=""
fine() {
  [ -z "$contavoce_pid" ] || kill -9 "$contavoce_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$lavoro"
}
trap fine EXIT
errore() {
  echo "esercizi_uccisi: FAIL: $*" >&2
  exit 1
}

exec 3>"$lavoro/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$lavoro/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$lavoro/display" ] && break
  sleep 0.1
done
[ -s "$lavoro/display" ] || errore "Xvfb gave no display number: $(cat "$lavoro/xvfb.log")"
export DISPLAY=":$(head -n1 "$lavoro/display")"
export XDG_CONFIG_HOME="$lavoro/config" XDG_DATA_HOME="$lavoro/dati"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LANG=C.UTF-8

# "Leggi e scrivi in cifre", terza, level 1, seed 26: the practice's own
# logic gives the answers.
seme=26
mapfile -t righe < <("$analizza" --risposte "2,1,1,$seme" 2>/dev/null)
[ "${#righe[@]}" -eq 10 ] || errore "${#righe[@]} answers from the practice's logic"

# The answers in the register, one a line, in order: all of them, or
# ("ultimo") those of the latest round.
nel_registro() {
  "$cli" registro --csv "$lavoro/registro.csv" >/dev/null || errore "contavoce-cli registro failed"
  python3 -c '
import csv, sys
with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    rows = list(csv.reader(f))[1:]
if sys.argv[2] == "ultimo" and rows:
    last = max(int(r[6]) for r in rows)
    rows = [r for r in rows if int(r[6]) == last]
for r in rows:
    print(r[11])' "$lavoro/registro.csv" "${1:-tutte}"
}

scritte=0
for volta in 1 2 3; do
  quante=$((volta * 3 - 1)) # 2, 5 and 8 answers, then the kill
  "$programma" --esercizi --seme "$seme" >"$lavoro/contavoce_$volta.log" 2>&1 &
  contavoce_pid=$!
  finestra=$(timeout 30 xdotool search --sync --all --onlyvisible --pid "$contavoce_pid" --name Esercizi |
    head -n1) || errore "no practice window: $(cat "$lavoro/contavoce_$volta.log")"
  xdotool windowfocus --sync "$finestra"
  sleep 1
  if [ "$volta" -eq 1 ]; then
    xdotool type --delay 80 "Bea" # the first time: a new name
  fi
  xdotool key --delay 100 Return # the name, or the first of the list
  sleep 0.5
  xdotool key --delay 150 alt+c Home Down Down alt+e Home Down alt+n
  prima=$(nel_registro | wc -l)
  sleep 1.5
  for k in $(seq 0 $((quante - 1))); do
    IFS=$'\t' read -r giusta _ _ <<<"${righe[$k]}"
    xdotool type --delay 60 "$giusta"
    xdotool key Return
    [ "$k" -lt $((quante - 1)) ] || break
    # Kept, then the praise and the next question: its box takes keys again.
    for _ in $(seq 50); do
      [ "$(nel_registro | wc -l)" -gt $((prima + k)) ] && break
      sleep 0.2
    done
    sleep 2.5
  done
  # The kill lands at a different moment after the last Return each time.
  sleep "0.0$((volta * 3))"
  kill -9 "$contavoce_pid"
  wait "$contavoce_pid" 2>/dev/null || true
  contavoce_pid=""
  scritte=$((scritte + quante))
  mapfile -t trovate < <(nel_registro ultimo)
  n=${#trovate[@]}
  [ "$n" -eq "$quante" ] || [ "$n" -eq $((quante - 1)) ] ||
    errore "kill $volta: $quante answers typed, $n kept"
  for k in $(seq 0 $((n - 1))); do
    IFS=$'\t' read -r giusta _ _ <<<"${righe[$k]}"
    [ "${trovate[$k]}" = "$giusta" ] ||
      errore "kill $volta: answer $((k + 1)) is \"${trovate[$k]}\", typed \"$giusta\""
  done
  echo "esercizi_uccisi: kill $volta: $quante answers written, $n found after the kill"
done
# The register is whole after three kills: nothing set aside, every answer there.
[ -z "$(find "$XDG_DATA_HOME/Contavoce" -name 'registro-danneggiato-*')" ] ||
  errore "the register was set aside as damaged"
totale=$(nel_registro | wc -l)
echo "esercizi_uccisi: $scritte answers written in all, $totale in the register"
[ "$totale" -ge $((scritte - 3)) ] || errore "$scritte answers written, $totale kept"
