#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The background tune rendered once from its MIDI file, as the program's
# synthesiser plays it, then compressed for the browser.
# Usage: musica.sh FLUIDSYNTH OPUSENC SOUNDFONT TUNE.mid WORK.wav OUT.ogg
set -euo pipefail
fluidsynth=$1 opusenc=$2 sf2=$3 midi=$4 wav=$5 ogg=$6
[ -r "$sf2" ] || { echo "musica.sh: no General MIDI SoundFont at $sf2" >&2; exit 1; }
mkdir -p "$(dirname "$wav")" "$(dirname "$ogg")"
# -q -n -i: no shell, no MIDI input; -F renders faster than real time.
"$fluidsynth" -q -n -i -r 48000 -g 0.6 -F "$wav" "$sf2" "$midi"
"$opusenc" --quiet --bitrate 48 --serial 1 --discard-comments "$wav" "$ogg"
