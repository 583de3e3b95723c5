#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the spoken-number clips listed in TABLE as OUTDIR/<name>.wav: festival's
# Italian diphone voice says the words, then sox high-passes, resamples, levels and
# trims each clip so they can be chained tightly.
# TABLE lines: name<TAB>words[<TAB>duration stretch, default 1]; # starts a comment.
# LEXICON: festival entries (lex.add.entry ...) for words the voice's own rules
# say badly.
# Usage: make-speech.sh TABLE OUTDIR WORKDIR [LEXICON]
set -euo pipefail

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
  echo "usage: $0 TABLE OUTDIR WORKDIR [LEXICON]" >&2
  exit 2
fi
table=$(realpath "$1")
lexicon=
if [ $# -eq 4 ]; then
  lexicon=$(realpath "$4")
  [ -s "$lexicon" ] || { echo "$lexicon: no such lexicon" >&2; exit 1; }
fi
outdir=$(realpath -m "$2")
work=$(realpath -m "$3")

# Every clip's voiced part is brought to this RMS level; the sharpest clip then
# peaks about 1 dB under the -1 dBFS ceiling checked below.
export VOICED_RMS_DB=-17
export PEAK_MAX_DB=-1
export RATE=22050

# Clip names and words, validated so that a typo fails the build instead of
# producing a silent or misnamed clip.
mapfile -t rows < <(awk -F'\t' '
  /^[ \t]*(#|$)/ { next }
  NF < 2 || NF > 3 || $1 !~ /^[A-Za-z0-9_]+$/ || $2 == "" || $2 ~ /["\\]/ ||
  (NF == 3 && $3 !~ /^[0-9]+(\.[0-9]+)?$/) {
    printf "%s:%d: expected name<TAB>words[<TAB>stretch]\n", FILENAME, FNR > "/dev/stderr"
    bad = 1; next }
  { print $1 "\t" $2 "\t" (NF == 3 ? $3 : "1") }
  END { exit bad }' "$table")
[ ${#rows[@]} -gt 0 ] || { echo "$table: no clips" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/raw" "$work/hp" "$outdir"
cd "$work"

# One festival process for all clips: loading the voice costs far more than
# synthesising a word. Festival stops with an error if the voice is missing.
{
  echo '(voice_lp_diphone)'
  # With the default window (1.0) the voice's residual-excited LPC puts loud
  # single-period clicks into several words (every stressed initial u, "venti",
  # "trenta", "milioni"); a narrower window removes nearly all of them.
  echo '(Param.set "unisyn.window_factor" 0.6)'
  # After the voice: choosing it selects its own lexicon.
  [ -z "$lexicon" ] || cat "$lexicon"
  for r in "${rows[@]}"; do
    IFS=$'\t' read -r name words stretch <<< "$r"
    printf '(Parameter.set (quote Duration_Stretch) %s)\n' "$stretch"
    printf '(utt.save.wave (utt.synth (Utterance Text "%s")) "raw/%s.wav" (quote riff))\n' \
      "$words" "$name"
  done
} | iconv -f UTF-8 -t LATIN1 > synth.scm
festival --batch synth.scm

clip() {
  local name=$1 raw=raw/$1.wav hp=hp/$1.wav
  [ -s "$raw" ] || { echo "festival made no $raw" >&2; return 1; }
  # -R: fixed seeds so every build gives the same bytes; -D: no dither, so the
  # padding stays true silence. The -6 dB makes room for the filter's overshoot:
  # festival writes peaks right at full scale.
  sox -R -D "$raw" -e floating-point -b 32 "$hp" gain -6 highpass 80 rate -v "$RATE"

  # RMS of the 10 ms frames within 20 dB of the loudest one, i.e. the spoken part
  # without pauses such as the stop in "otto"; sox has no such measure.
  local gain
  gain=$(sox "$hp" -t dat - | awk -v target="$VOICED_RMS_DB" -v frame=$((RATE / 100)) '
    /^;/ { next }
    { acc += $2 * $2; if (++n == frame) { e[k++] = acc / n; acc = 0; n = 0 } }
    END {
      if (n > 0) e[k++] = acc / n
      for (i = 0; i < k; i++) if (e[i] > top) top = e[i]
      if (top <= 0) exit 1
      for (i = 0; i < k; i++) if (e[i] >= top / 100) { sum += e[i]; m++ }
      printf "%.3f\n", target - 10 * log(sum / m) / log(10)
    }')

  # Trim after levelling so the -45 dBFS threshold applies to the final level;
  # the 5 ms fades and 3 ms pads keep the ends click-free and tight. Each fade is
  # a fade-in applied before a reverse, as sox cannot fade out a stream of
  # unknown length.
  sox -R -D "$hp" -e signed-integer -b 16 "$name.part.wav" gain "$gain" \
    silence 1 0.01 -45d reverse silence 1 0.01 -45d fade q 0.005 reverse fade q 0.005 \
    pad 0.003 0.003

  sox "$name.part.wav" -t dat - | awk -v ceiling="$PEAK_MAX_DB" -v name="$name" '
    /^;/ { next }
    { v = $2 < 0 ? -$2 : $2; if (v > peak) peak = v; n++ }
    END {
      if (n == 0) { print name ": empty after trimming" > "/dev/stderr"; exit 1 }
      if (20 * log(peak) / log(10) > ceiling) {
        printf "%s: peak %.2f dBFS above %s\n", name, 20 * log(peak) / log(10), ceiling > "/dev/stderr"
        exit 1
      }
    }'
  mv "$name.part.wav" "$OUTDIR/$name.wav"
}
export -f clip
export OUTDIR=$outdir

# Two clips at a time: the build machine has two cores.
printf '%s\n' "${rows[@]%%$'\t'*}" | xargs -P 2 -I{} bash -c 'set -euo pipefail; clip "$1"' _ {}
