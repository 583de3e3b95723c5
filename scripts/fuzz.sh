#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets (clang, in build-fuzz/) and runs each for a
# bounded time on a copy of its seeds from fuzz/corpus/; the WAV seeds are
# made here from the build's own sound effects. Exits non-zero when a target
# finds a crash, printing how to reproduce it.
# Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
secondi=${1:-20}
dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCONTAVOCE_FUZZ=ON >/dev/null
cmake --build "$dir" -j2 --target contavoce_fuzz contavoce_effects

# Absolute: the media target works in a folder of its own.
lavoro=$PWD/$dir/fuzz-run
rm -rf "$lavoro"
mkdir -p "$lavoro"
for t in profilo inf media cli_numero lezione; do
  cp -r "fuzz/corpus/$t" "$lavoro/$t"
done

# WAV seeds: a few hundredths of a second of a generated effect in each
# encoding the decoder knows, plus the start of the ADPCM effect as built.
# The first byte of a seed picks the output format the fuzzer converts to.
mkdir -p "$lavoro/wav"
seme() { # name, output format byte (0-3), file
  { printf "\\$(printf '%03o' "$2")"; cat "$3"; } > "$lavoro/wav/$1"
}
sorgente=$dir/embedded/wav/G5.wav
n=0
for codifica in "-b 8 -e unsigned -r 8000 -c 1" "-b 16 -e signed -r 22050 -c 2" \
                "-e ms-adpcm -r 11025 -c 1" "-e ima-adpcm -r 22050 -c 2" "-e a-law -r 8000" \
                "-e mu-law -r 16000" "-b 32 -e float -r 48000" "-b 24 -e signed -r 44100" \
                "-b 32 -e signed -r 32000 -c 1"; do
  # shellcheck disable=SC2086 # the options are meant to split
  sox -D "$sorgente" $codifica "$lavoro/tmp.wav" trim 0 0.03
  seme "sox$n" $((n % 4)) "$lavoro/tmp.wav"
  n=$((n + 1))
done
head -c 3000 "$dir/embedded/wav/VETRO.wav" > "$lavoro/tmp.wav"
seme vetro 0 "$lavoro/tmp.wav"
head -c 2000 "$dir/bin/laser.wav" > "$lavoro/tmp.wav"
seme laser 1 "$lavoro/tmp.wav"
rm "$lavoro/tmp.wav"

falliti=()
for t in profilo inf media wav cli_numero lezione; do
  echo "fuzz: $t for ${secondi}s"
  if ! "$dir/fuzz/fuzz_$t" "$lavoro/$t" -max_total_time="$secondi" -rss_limit_mb=2048 \
      -timeout=25 -max_len=16384 -artifact_prefix="$lavoro/$t-" -print_final_stats=1 \
      > "$lavoro/$t.log" 2>&1; then
    tail -n 60 "$lavoro/$t.log"
    for a in "$lavoro/$t"-*; do
      [ -e "$a" ] || continue
      echo "fuzz: $t failed on $a; reproduce with: $dir/fuzz/fuzz_$t $a"
      od -c "$a" | head -n 20
    done
    falliti+=("$t")
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|cov: ' "$lavoro/$t.log" | tail -n 3
  fi
done
if [ ${#falliti[@]} -gt 0 ]; then
  echo "fuzz: crashes in: ${falliti[*]}" >&2
  exit 1
fi
echo "fuzz: no crash in ${secondi}s per target"
