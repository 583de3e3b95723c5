#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A child's session with the real program, end to end: its own X server, real
# key presses and clicks through xdotool, the sound device recorded by SDL's
# disk driver. Screenshots and the recording go to the analyzer, which checks
# what the child saw and heard.
#
#   sessione.sh CONTAVOCE ANALIZZA_SESSIONE [WORKDIR]
#
# Exits 77 (skipped) when Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail

programma=$(realpath "$1")
analizza=$(realpath "$2")
lavoro=${3:-}

for strumento in Xvfb xdotool import convert; do
  if ! command -v "$strumento" >/dev/null; then
    echo "sessione: $strumento is missing; skipped (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

# A given work folder is kept for inspection; a temporary one is removed.
pulisci=""
if [ -z "$lavoro" ]; then
  lavoro=$(mktemp -d)
  pulisci=1
else
  rm -rf "$lavoro" && mkdir -p "$lavoro"
fi

# The program's settings are read and written there, never in the user's own.
export XDG_CONFIG_HOME="$lavoro/config"
export XDG_DATA_HOME="$lavoro/dati" # the children's progress

xvfb_pid=""
contavoce_pid=""
bus_pid=""
spi_pid=""
fine() {
  if [ -n "$contavoce_pid" ]; then kill "$contavoce_pid" 2>/dev/null || true; fi
  if [ -n "$spi_pid" ]; then kill "$spi_pid" 2>/dev/null || true; fi
  if [ -n "$bus_pid" ]; then kill "$bus_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  if [ -n "$pulisci" ]; then rm -rf "$lavoro"; fi
}
trap fine EXIT

# Whether the program still runs (an ended child stays a zombie until waited for).
vivo() {
  local stato
  stato=$(awk '{print $3}' "/proc/$contavoce_pid/stat" 2>/dev/null) || return 1
  [ -n "$stato" ] && [ "$stato" != Z ]
}

# The twelve-digit number of the second round, and the digits clicked in the panel
# (boxes counted from the left; 2304 fills the last four).
numero_lungo=907836451223
clic=(8 11)

inizio=$(date +%s)
passo() { echo "sessione: $(($(date +%s) - inizio)) s: $*"; }
errore() {
  echo "sessione: FAIL: $*" >&2
  exit 1
}

# Xvfb picks a free display itself and tells us which one: no race with other
# servers started at the same time.
exec 3>"$lavoro/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$lavoro/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$lavoro/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || errore "Xvfb did not start: $(cat "$lavoro/xvfb.log")"
  sleep 0.1
done
[ -s "$lavoro/display" ] || errore "Xvfb gave no display number"
DISPLAY=":$(head -n1 "$lavoro/display")"
export DISPLAY
passo "X server on $DISPLAY"

# ---- Accessibility bus ------------------------------------------------------
# A session bus of our own with the AT-SPI bus on it, so that the screen-reader
# check below reads this window's tree and no other. Without them the rest of
# the session still runs.
accessibile=""
python_spi=/usr/bin/python3
if command -v dbus-daemon >/dev/null && [ -x /usr/libexec/at-spi-bus-launcher ] &&
  "$python_spi" -c 'import pyatspi' 2>/dev/null; then
  mkdir -m 700 "$lavoro/run"
  export XDG_RUNTIME_DIR="$lavoro/run"
  bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
  bus_pid=$(sed -n 2p <<<"$bus")
  DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
  export DBUS_SESSION_BUS_ADDRESS
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$lavoro/at-spi.log" 2>&1 &
  spi_pid=$!
  accessibile=1
  passo "accessibility bus up"
else
  echo "sessione: D-Bus, the AT-SPI bus or python3-pyatspi is missing: the screen-reader" \
    "check is skipped (scripts/install-deps.sh installs them)"
fi
# -----------------------------------------------------------------------------

# The window at a known place: no window manager moves it.
(
  cd "$lavoro"
  exec env QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$lavoro/audio.raw" \
    ${accessibile:+QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1} \
    "$programma" >"$lavoro/contavoce.log" 2>&1
) &
contavoce_pid=$!

finestra=$(timeout 30 xdotool search --sync --onlyvisible --pid "$contavoce_pid" 2>/dev/null | head -n1) ||
  true
[ -n "$finestra" ] || errore "no window appeared: $(cat "$lavoro/contavoce.log")"
eval "$(xdotool getwindowgeometry --shell "$finestra")"
ox=$X
oy=$Y
passo "window $finestra at ($ox,$oy) ${WIDTH}x${HEIGHT}"

foto() { import -window root "$lavoro/$1.png"; }

# How many pixels of a window rectangle are within 20% of a colour.
quanti() { # x y w h colour [shot]
  convert "$lavoro/${6:-ora}.png" -crop "$3x$4+$((ox + $1))+$((oy + $2))" +repage \
    -fuzz 20% -fill white -opaque "$5" -fill black +opaque white \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Only the pixels near the colour, on a light background too (quanti counts
# white ones as well: enough on the main window's gradient and green panel).
quanti_solo() { # x y w h colour [shot]
  convert "$lavoro/${6:-ora}.png" -crop "$3x$4+$((ox + $1))+$((oy + $2))" +repage \
    -fuzz 20% -fill black +opaque "$5" -fill white -opaque "$5" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
conta=quanti

# Takes screenshots until the rectangle holds at least `minimo` pixels of the
# colour (or no more than `-minimo` when negative); the last one is kept as `nome`.
# With `calma` set, the state must still hold a moment later (a screenshot can
# catch the window half repainted), and that later screenshot is kept.
attendi() { # nome descrizione secondi x y w h colour minimo [calma]
  local nome=$1 descrizione=$2 limite=$(($(date +%s) + $3))
  shift 3
  local calma=${7:-}
  while :; do
    foto ora
    local n
    n=$($conta "$1" "$2" "$3" "$4" "$5")
    if { [ "$6" -ge 0 ] && [ "$n" -ge "$6" ]; } || { [ "$6" -lt 0 ] && [ "$n" -le $((-$6)) ]; }; then
      if [ -n "$calma" ]; then
        calma=""
        sleep 0.7
        continue
      fi
      mv "$lavoro/ora.png" "$lavoro/$nome.png"
      passo "$descrizione"
      return 0
    fi
    calma=${7:-}
    vivo || errore "contavoce ended while waiting for: $descrizione"
    [ "$(date +%s)" -lt "$limite" ] || errore "timed out waiting for: $descrizione ($n pixels of $5)"
    sleep 0.3
  done
}

tasti() { xdotool key --delay 400 "$@"; }

# The music starts with the window; let it be heard before the first key.
sleep 1.5
xdotool windowfocus --sync "$finestra"

# Chords type nothing: Alt+digit, Ctrl+digit, Alt+letter of the hidden "Nuovo
# Numero". No digit may reach the box (the grouped number is checked) and no
# refusal may sound (the analyzer listens for one).
tasti alt+5 ctrl+5 alt+n

# First round: 2304, confirmed. The words box turns white once the words have
# slid in and the confirmation sound has played.
xdotool type --delay 400 2304
tasti Return
# A child who goes on pressing a key while the words slide in: each press must
# fall on no control (the screen reader's view below reads the words box), and
# the words box shows no focus ring meanwhile.
for i in $(seq 60); do
  xdotool key 9
  sleep 0.025
  if [ $((i % 12)) -eq 0 ]; then foto "durante_conferma_$i"; fi
done
for i in 12 24 36 48 60; do
  n=$(quanti 8 104 425 57 '#0000a0' "durante_conferma_$i")
  [ "$n" -le 50 ] || errore "a focus ring on the words box during the confirmation ($n px)"
done
attendi conferma_2304 "2304 confirmed" 20 8 104 425 57 white 12000 calma

tasti alt+a
# The five clips of "duemilatrecentoquattro" last about 1.5 s; the window gives
# no sign when they end, so allow plenty.
sleep 4
passo "listened"

tasti alt+s
attendi pannello "panel open" 15 24 184 393 145 '#00ff00' 30000 calma

for k in "${clic[@]}"; do
  left=(600 960 1320 1800 2160 2520 3000 3360 3720 4200 4560 4920)
  x=$((ox + 24 + ${left[$k]} / 15 + 12))
  y=$((oy + 184 + 48 + 20))
  xdotool mousemove --sync "$x" "$y" click 1
  # The chosen digit blinks red and white once a second: catch it red.
  attendi "cifra_$k" "digit $k clicked" 10 $((24 + ${left[$k]} / 15)) 232 25 41 red 15
  # laser.wav, then the digit and its place said aloud; let them end before the next sound.
  sleep 2.5
done

# ---- Keyboard only, and what a screen reader is told ------------------------
# The focus goes back to "Scomponi il numero" (the panel's buttons run
# Command3, Command2, Command1 in the tab order), down into the row of digits,
# two to the left; Enter chooses one, Space the next. The digits blink, so each
# is caught red. Then the screen reader's view of the window, and Enter on the
# focused button closes the panel.
tastiera=(9 10)
tasti shift+Tab shift+Tab
sleep 0.5
foto anello_pulsante
passo "focus on Scomponi il numero"
tasti Down Left Left Return
attendi "tastiera_${tastiera[0]}" "digit ${tastiera[0]} chosen with Enter" 10 \
  $((24 + ${left[${tastiera[0]}]} / 15)) 232 25 41 red 15
sleep 2.5
tasti Right space
attendi "tastiera_${tastiera[1]}" "digit ${tastiera[1]} chosen with Space" 10 \
  $((24 + ${left[${tastiera[1]}]} / 15)) 232 25 41 red 15
sleep 2
if [ -n "$accessibile" ]; then
  "$python_spi" "$(dirname "$0")/accessibile.py" "$contavoce_pid" 2304 Duemilatrecentoquattro \
    "${tastiera[1]}" "$lavoro/albero_accessibile.txt" || errore "the screen reader's view"
  passo "screen reader's view checked"
fi
sleep 1
tasti Up Return
attendi chiuso_con_invio "panel closed with Enter on its button" 10 24 184 393 145 '#00ff00' \
  -2000 calma
# Back along the tab order, past "Pausa musica" and "Fine", to the words box.
tasti shift+Tab shift+Tab shift+Tab
sleep 0.5
foto anello_parole
passo "focus on the words box"
# -----------------------------------------------------------------------------

tasti alt+n
# The words box goes once the rooster has crowed.
attendi nuovo "new number" 15 8 104 425 57 white -200 calma

# The last two digits, Enter and two more keys typed quickly, as a child in a
# hurry does: they queue behind the first one's sound, and the two after Enter
# find the box confirmed. They are dropped: no locked-box message appears.
xdotool type --delay 400 "${numero_lungo:0:10}"
xdotool key --delay 30 "${numero_lungo:10:1}" "${numero_lungo:11:1}" Return 7 8
attendi conferma_lungo "$numero_lungo confirmed" 20 8 104 425 57 white 8000 calma
finestre=$(xdotool search --onlyvisible --pid "$contavoce_pid" 2>/dev/null | wc -l)
[ "$finestre" -eq 1 ] || errore "$finestre windows after the quick keys (a message box?)"
passo "keys after Enter dropped"
# With no spelling chosen, the program's own: one word, "tre" never accented.
parole_lette() { # name words
  if [ -n "$accessibile" ]; then
    "$python_spi" "$(dirname "$0")/accessibile.py" --parole "$contavoce_pid" "$2" \
      "$lavoro/albero_$1.txt" || errore "$1: the words box"
    passo "$1: the words box reads $2"
  fi
}
parole_lette lungo Novecentosettemiliardiottocentotrentaseimilioniquattrocentocinquantunomiladuecentoventitre

# The words box turns white before the confirmation's fanfare plays (about
# 1.8 s): let it end, so that "Fine" does not cut it short.
sleep 2.5
tasti alt+f
passo "Fine pressed"
stato=0
for _ in $(seq 200); do
  vivo || break
  sleep 0.1
done
if vivo; then
  errore "contavoce did not end within 20 s of Fine"
fi
wait "$contavoce_pid" || stato=$?
contavoce_pid=""
[ "$stato" -eq 0 ] || errore "contavoce ended with status $stato: $(cat "$lavoro/contavoce.log")"
passo "contavoce ended by itself (status 0)"

"$analizza" --audio "$lavoro/audio.raw" --bin "$(dirname "$programma")" --foto "$lavoro" \
  --origine "$ox,$oy" --lungo "$numero_lungo" --clic "${clic[0]},${clic[1]}" \
  --tastiera "${tastiera[0]},${tastiera[1]}"
passo "analysed"

# ---- Zoom, full screen and what is remembered -------------------------------
# Two more runs, sharing the session's configuration folder. In the first, Ctrl+Plus
# twice draws the form at 150%, F11 covers the screen with it at the largest zoom
# that fits and F11 brings the window back; the music is paused. The second
# starts at 150% with the music still paused, until the music button resumes it.
zpx() { echo $((($1 * $2 + 750) / 1500)); } # twips at a zoom, to the nearest pixel

avvia() { # name [option...]
  (
    cd "$lavoro"
    exec env QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$lavoro/audio_$1.raw" \
      ${accessibile:+QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1} \
      "$programma" "${@:2}" >"$lavoro/contavoce_$1.log" 2>&1
  ) &
  contavoce_pid=$!
  finestra=$(timeout 30 xdotool search --sync --onlyvisible --pid "$contavoce_pid" 2>/dev/null |
    head -n1) || true
  [ -n "$finestra" ] || errore "$1: no window appeared: $(cat "$lavoro/contavoce_$1.log")"
  sleep 1
  xdotool windowfocus --sync "$finestra"
}
dimensioni() { # expected WxH
  local limite=$(($(date +%s) + 10))
  while :; do
    eval "$(xdotool getwindowgeometry --shell "$finestra")"
    [ "${WIDTH}x$HEIGHT" = "$1" ] && break
    [ "$(date +%s)" -lt "$limite" ] || errore "window ${WIDTH}x$HEIGHT, not $1"
    sleep 0.2
  done
  ox=$X
  oy=$Y
}
fine_e_attesa() {
  tasti alt+f
  for _ in $(seq 200); do
    vivo || break
    sleep 0.1
  done
  vivo && errore "contavoce did not end within 20 s of Fine"
  wait "$contavoce_pid" || true
  contavoce_pid=""
}
# The music button, at 150%: Frame2 (6720, 960) + Command5 (120, 2640, 1455 x 735).
musica_150() {
  xdotool mousemove --sync $((ox + $(zpx 7567 150))) $((oy + $(zpx 3967 150))) click 1
}

avvia zoom
tasti ctrl+plus ctrl+plus
dimensioni 851x536
# Text1 (1320, 720, 3855 x 615) green at its 150% place, where it was at 100%
# only the gradient; INVIO's grey panel (6720, 120, 1695 x 975) likewise.
attendi zoom_150 "Ctrl+Plus twice: 150%" 10 "$(zpx 1320 150)" "$(zpx 720 150)" \
  "$(zpx 3855 150)" "$(zpx 615 150)" '#00ff00' 21000 calma
[ "$(quanti 88 48 40 20 '#00ff00' zoom_150)" -le 20 ] || errore "150%: green left at Text1's 100% place"
[ "$(quanti "$(zpx 6720 150)" "$(zpx 120 150)" "$(zpx 1695 150)" 10 '#e0e0e0' zoom_150)" -ge 1500 ] ||
  errore "150%: INVIO's panel not at its place"
passo "150%: ${WIDTH}x$HEIGHT, controls at 1.5 times their places"

xdotool type --delay 400 1
tasti Return
attendi zoom_conferma "150%: 1 confirmed" 20 "$(zpx 120 150)" "$(zpx 1560 150)" \
  "$(zpx 6375 150)" "$(zpx 855 150)" white 25000 calma
musica_150
sleep 1
passo "music paused"

tasti F11
dimensioni 1024x768
# 175% is the largest that fits 1024 x 768 (992 x 625), centred at (16, 71).
ox=16
oy=71
attendi schermo_intero "F11: full screen" 10 "$(zpx 1320 175)" "$(zpx 720 175)" \
  "$(zpx 3855 175)" "$(zpx 615 175)" '#00ff00' 28000 calma
ox=0
oy=0
[ "$(quanti 0 0 1024 16 '#00ff00' schermo_intero)" -eq 0 ] && [ "$(quanti 0 740 1024 28 black schermo_intero)" -eq 0 ] ||
  errore "full screen: the edges are not the gradient"
tasti F11
dimensioni 851x536
passo "F11 twice: full screen and back to ${WIDTH}x$HEIGHT"
fine_e_attesa
grep -qx 'zoom=150' "$XDG_CONFIG_HOME/Contavoce/Contavoce.conf" &&
  grep -qx 'musica_in_pausa=true' "$XDG_CONFIG_HOME/Contavoce/Contavoce.conf" ||
  errore "settings not remembered: $(cat "$XDG_CONFIG_HOME/Contavoce/Contavoce.conf")"

avvia ripresa
dimensioni 851x536
passo "restarted at 150%"
sleep 1.5
xdotool type --delay 400 1
tasti Return
attendi ripresa_conferma "restart: 1 confirmed" 20 "$(zpx 120 150)" "$(zpx 1560 150)" \
  "$(zpx 6375 150)" "$(zpx 855 150)" white 25000 calma
sleep 2
musica_150
sleep 3
fine_e_attesa
"$analizza" --pausa "$lavoro/audio_ripresa.raw"
passo "restart analysed"

# ---- The school's spelling, chosen once and remembered ----------------------
# A teacher starts the program with --grafia scolastica: the words box spells
# 23 000 003 as the school does. The next run, started with no option, keeps
# the choice.
for giro in scolastica ricordata; do
  if [ "$giro" = scolastica ]; then avvia "$giro" --grafia scolastica; else avvia "$giro"; fi
  dimensioni 851x536
  xdotool type --delay 400 23000003
  tasti Return
  attendi "${giro}_conferma" "$giro: 23000003 confirmed" 20 "$(zpx 120 150)" "$(zpx 1560 150)" \
    "$(zpx 6375 150)" "$(zpx 855 150)" white 25000 calma
  parole_lette "$giro" "Ventitré milioni tre"
  sleep 2
  fine_e_attesa
  grep -qx 'grafia=scolastica' "$XDG_CONFIG_HOME/Contavoce/Contavoce.conf" ||
    errore "$giro: the spelling not remembered: $(cat "$XDG_CONFIG_HOME/Contavoce/Contavoce.conf")"
done
passo "the school's spelling shown and remembered"

# ---- The practice window ----------------------------------------------------
# F2 opens it over the main window. A round of each kind for terza, level 1,
# from a fixed seed, so that the practice's own logic (analizza_sessione
# --risposte) knows the answers: the first question answered right (the first
# kind on the keypad, by mouse), the second wrong twice. Then a whole round of
# the last kind with its second question missed, its end and "Rifai gli
# errori", all in the quiet mode. The form is drawn at 125%, the largest that
# fits 1024 x 768.
seme=26
avvia esercizi --seme "$seme" --grafia originale
dimensioni 851x536
principale=$finestra
tasti F2
finestra=$(timeout 10 xdotool search --sync --onlyvisible --name 'Esercizi' | head -n1) || true
[ -n "$finestra" ] || errore "F2 opened no practice window"
dimensioni 1000x750
xdotool windowfocus --sync "$finestra"
passo "F2: the practice window at ($ox,$oy) ${WIDTH}x$HEIGHT"
# "Chi gioca?" first: nobody yet, so the new name's box has the focus.
sleep 0.5
xdotool type --delay 120 "Luca"
tasti Return
sleep 0.5
# The quiet mode, as a classroom has it: the music stops, the effects are
# softer (the analyzer measures both), and it is remembered.
tasti alt+i
sleep 0.5
grep -qx 'esercizi_in_silenzio=true' "$XDG_CONFIG_HOME/Contavoce/Contavoce.conf" ||
  errore "the quiet mode not remembered: $(cat "$XDG_CONFIG_HOME/Contavoce/Contavoce.conf")"
ez() { echo $((($1 * 125 + 50) / 100)); } # the form's pixels at 100%, drawn at 125%
conta=quanti_solo # the practice window is light
# The verdict line (8, 334, 784 x 44): green when right or showing the right
# answer, red for "Riprova".
esito() { # name description colour minimum
  attendi "$1" "$2" 15 "$(ez 8)" "$(ez 334)" "$(ez 784)" "$(ez 44)" "$3" "$4"
}
verde='#005a00'
rosso='#a00000'
# Keypad key k (1..7 on the first row, then 8 9 0 , ⌫ OK) by mouse.
tastierino() { # character...
  local c i
  for c in "$@"; do
    case $c in
      [1-7]) i=$((c - 1)) ;; 8) i=7 ;; 9) i=8 ;; 0) i=9 ;; ,) i=10 ;; OK) i=12 ;;
      *) continue ;; # the dots of a grouped number are not typed
    esac
    local larga=64
    [ "$i" -eq 12 ] && larga=136
    xdotool mousemove --sync $((ox + $(ez $((8 + 140 + i % 7 * 72 + larga / 2))))) \
      $((oy + $(ez $((386 + 16 + i / 7 * 80 + 32))))) click 1
    sleep 0.2
  done
}
risposta() { # text: typed into the answer box, then Enter
  xdotool type --delay 120 "$1"
  tasti Return
}
tasti alt+c Home Down Down
for tipo in 0 1 2 3 4 5 6; do
  mapfile -t righe < <("$analizza" --risposte "2,1,$tipo,$seme" 2>/dev/null)
  [ "${#righe[@]}" -eq 10 ] || errore "kind $tipo: ${#righe[@]} answers from the practice's logic"
  IFS=$'\t' read -r giusta _ _ <<<"${righe[0]}"
  IFS=$'\t' read -r _ sbagliata _ <<<"${righe[1]}"
  tasti alt+e Home
  for _ in $(seq "$tipo"); do tasti Down; done
  tasti alt+n
  sleep 2.5 # the question said
  if [ "$tipo" -eq 0 ] && [ -n "$accessibile" ]; then
    "$python_spi" "$(dirname "$0")/accessibile.py" --esercizi "$contavoce_pid" \
      "$lavoro/albero_esercizi.txt" || errore "the screen reader's view of the practice window"
    passo "the practice window's screen-reader view checked"
  fi
  if [ "$tipo" -eq 0 ]; then
    # shellcheck disable=SC2046
    tastierino $(grep -o . <<<"$giusta") OK
  else
    risposta "$giusta"
  fi
  esito "esercizi_giusta_$tipo" "kind $tipo: $giusta right" "$verde" 60
  esito "esercizi_seconda_$tipo" "kind $tipo: the second question" "$verde" -5
  sleep 2.5
  risposta "$sbagliata"
  esito "esercizi_riprova_$tipo" "kind $tipo: $sbagliata, Riprova" "$rosso" 60
  sleep 1
  risposta "$sbagliata"
  esito "esercizi_risposta_$tipo" "kind $tipo: $sbagliata again, the answer shown" "$verde" 60
  sleep 4 # the answer said, then the third question
done

tasti alt+n
mapfile -t righe < <("$analizza" --risposte "2,1,6,$seme" 2>/dev/null)
for k in $(seq 0 9); do
  IFS=$'\t' read -r giusta sbagliata _ <<<"${righe[$k]}"
  sleep 2.5
  if [ "$k" -eq 1 ]; then
    risposta "$sbagliata"
    esito "esercizi_giro_riprova" "whole round: question 2 wrong" "$rosso" 60
    sleep 1
    risposta "$sbagliata"
    esito "esercizi_giro_risposta" "whole round: question 2 wrong again" "$verde" 60
    sleep 2
  else
    risposta "$giusta"
    esito "esercizi_giro_$k" "whole round: question $((k + 1)) right" "$verde" 60
  fi
  [ "$k" -eq 9 ] || esito "esercizi_giro_dopo_$k" "whole round: question $((k + 2))" "$verde" -5
done
# Nine of ten: three gold stars (8, 152, 784 x 72), the missed question listed.
attendi esercizi_fine "the end of the round" 15 "$(ez 8)" "$(ez 152)" "$(ez 784)" "$(ez 72)" \
  '#8a5a00' 1500 calma
[ "$(quanti_solo "$(ez 48)" "$(ez 270)" "$(ez 600)" "$(ez 30)" black esercizi_fine)" -ge 100 ] ||
  errore "the end of the round lists no missed question"
sleep 1.5
tasti alt+f
attendi esercizi_rifai "Rifai gli errori: the missed question again" 10 "$(ez 8)" "$(ez 120)" \
  "$(ez 784)" "$(ez 26)" '#c8c8c8' 100 calma
sleep 2.5
tasti Escape
for _ in $(seq 50); do
  xdotool search --onlyvisible --name 'Esercizi' >/dev/null 2>&1 || break
  sleep 0.1
done
! xdotool search --onlyvisible --name 'Esercizi' >/dev/null 2>&1 || errore "Escape left the practice window open"
finestra=$principale
xdotool windowfocus --sync "$finestra"
passo "the practice window closed: back to the main window"
# Luca's answers kept, for the teacher: 7 kinds x 3 tries and 11 tries in
# the whole round ("Rifai gli errori" was left unanswered).
registro=$("$(dirname "$programma")/contavoce-cli" registro) ||
  errore "contavoce-cli registro failed: $registro"
grep -q "Luca" <<<"$registro" || errore "Luca not in the register: $registro"
"$(dirname "$programma")/contavoce-cli" registro --csv "$lavoro/registro.csv" ||
  errore "the register's CSV"
risposte=$(($(wc -l <"$lavoro/registro.csv") - 1))
[ "$risposte" -eq 32 ] || errore "$risposte answers kept, 32 expected: $(cat "$lavoro/registro.csv")"
passo "the register keeps Luca's $risposte answers"
# The main window as it was: a number confirmed there, then "Fine".
xdotool type --delay 400 7
tasti Return
conta=quanti
attendi esercizi_dopo "after the practice: 7 confirmed" 20 "$(zpx 120 150)" "$(zpx 1560 150)" \
  "$(zpx 6375 150)" "$(zpx 855 150)" white 25000 calma
sleep 2.5
fine_e_attesa
"$analizza" --esercizi "$lavoro/audio_esercizi.raw" --bin "$(dirname "$programma")" \
  --risposte "2,1,0,$seme"
passo "practice analysed"
