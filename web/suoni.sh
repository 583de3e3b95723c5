#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's WAV sounds as Ogg Opus for the browser, each named in lower case.
# Usage: suoni.sh SOX OPUSENC OUT_DIR FILE.wav...
set -euo pipefail
sox=$1 opusenc=$2 fuori=$3
shift 3
mkdir -p "$fuori"
for f in "$@"; do
  nome=$(basename "$f" .wav)
  # A fixed stream serial and no encoder tag: the same bytes on every build.
  # Speech and effects are short mono or stereo sounds; 32 kbit/s keeps the
  # voice clear and the site small.
  # Through sox, which reads every WAV the program plays (the glass is MS ADPCM).
  "$sox" -D "$f" -t wav -e signed-integer - |
    "$opusenc" --quiet --bitrate 32 --serial 1 --discard-comments - "$fuori/${nome,,}.ogg"
done
