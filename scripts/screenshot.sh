#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's picture of the window: Contavoce on a private X server with
# 2304 typed and confirmed, the place-value panel open and its "3" clicked (it
# blinks red), captured with ImageMagick's import. Builds nothing.
#
#   bash scripts/screenshot.sh [CONTAVOCE [OUTPUT.png]]
#
# Defaults: build/bin/contavoce and docs/screenshot.png, from the repository root.
set -euo pipefail

radice=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
programma=$(realpath "${1:-$radice/build/bin/contavoce}")
uscita=${2:-$radice/docs/screenshot.png}

[ -x "$programma" ] || { echo "screenshot: no program at $programma (build it first)" >&2; exit 1; }
for strumento in Xvfb xdotool import convert; do
  command -v "$strumento" >/dev/null ||
    { echo "screenshot: $strumento is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

lavoro=$(mktemp -d)
xvfb_pid=""
contavoce_pid=""
pulisci() {
  if [ -n "$contavoce_pid" ]; then kill "$contavoce_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$lavoro"
}
trap pulisci EXIT
errore() {
  echo "screenshot: $*" >&2
  exit 1
}

# Xvfb chooses a free display and writes its number to fd 3.
exec 3>"$lavoro/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$lavoro/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$lavoro/display" ] && break
  sleep 0.1
done
[ -s "$lavoro/display" ] || errore "Xvfb did not start: $(cat "$lavoro/xvfb.log")"
DISPLAY=":$(head -n1 "$lavoro/display")"
export DISPLAY

(cd "$lavoro" && exec env QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy "$programma" \
  >"$lavoro/contavoce.log" 2>&1) &
contavoce_pid=$!
finestra=$(timeout 30 xdotool search --sync --onlyvisible --name '^Cifralia$' | head -n1) || true
[ -n "$finestra" ] || errore "no window appeared: $(cat "$lavoro/contavoce.log")"

# Pixels of a colour (within 20%) in a rectangle of the window, from a fresh capture.
pixel() { # x y w h colour
  import -window "$finestra" "$lavoro/ora.png"
  convert "$lavoro/ora.png" -crop "$3x$4+$1+$2" +repage -fuzz 20% -fill white -opaque "$5" \
    -fill black +opaque white -format '%[fx:int(mean*w*h+0.5)]' info:
}
attendi() { # what x y w h colour at-least
  local fino=$(($(date +%s) + 20)) n
  while :; do
    n=$(pixel "$2" "$3" "$4" "$5" "$6")
    [ "$n" -ge "$7" ] && return 0
    [ "$(date +%s)" -lt "$fino" ] || errore "gave up waiting for $1 ($n pixels of $6)"
    sleep 0.2
  done
}

# Window coordinates in pixels: the layout's twips / 15. The words box is at
# (8,104) 425x57, the panel at (24,184); 2304 fills its last four digit boxes,
# 25x41 each, and box 9 holds the 3.
xdotool windowfocus --sync "$finestra"
sleep 1
xdotool type --delay 150 2304
xdotool key Return
attendi "the words" 8 104 425 57 white 12000
xdotool key alt+s
attendi "the panel" 24 184 393 145 '#00ff00' 30000
x=$((24 + 4200 / 15))
y=$((184 + 720 / 15))
xdotool mousemove --sync $((x + 12)) $((y + 20)) click 1
# Take the pointer off the window (no hover highlight), then catch the digit red.
xdotool mousemove --sync 800 600
attendi "the red digit" "$x" "$y" 25 41 red 15

mkdir -p "$(dirname "$uscita")"
# -strip: no capture time in the file, so an unchanged window gives the same bytes.
convert "$lavoro/ora.png" -strip "$uscita"
echo "screenshot: $uscita ($(identify -format '%wx%h' "$uscita"))"
