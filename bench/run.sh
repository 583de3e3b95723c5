#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in an optimised tree and prints every figure with its target.
# The window's figures run under a private Xvfb on a free display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# GCC 12 at -O3 gives false -Wrestrict alarms inside libstdc++, so no -Werror here.
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCONTAVOCE_WERROR=OFF \
    -DCONTAVOCE_BENCH=ON >/dev/null
cmake --build build-bench --target contavoce contavoce_speech_clips contavoce_tune spelling_bench esercizi_bench \
    sound_bench music_bench audio_thread_bench window_bench speech_music_bench process_bench \
    cli_bench contavoce-cli contavoce_scheda web \
    >/dev/null

bin=build-bench/bin
# Wall-clock figures depend on what else the machine is doing.
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
build-bench/bench/spelling_bench
build-bench/bench/esercizi_bench
build-bench/bench/cli_bench "$bin"
build-bench/bench/sound_bench "$bin" 2>/dev/null
build-bench/bench/music_bench "$bin/heidi-cartoon.mid"
build-bench/bench/audio_thread_bench "$bin" 2>/dev/null

# Xvfb picks a free display itself and reports its number on the descriptor given.
numero=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numero" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$numero"' EXIT
for _ in $(seq 100); do
    [[ -s $numero ]] && break
    sleep 0.05
done
export DISPLAY=":$(head -n1 "$numero")"
build-bench/bench/window_bench "$bin" 2>/dev/null
build-bench/bench/speech_music_bench "$bin" 2>/dev/null
build-bench/bench/process_bench "$bin/contavoce" 15 30 2>/dev/null

# The browser build in Debian's Chromium, driven as the page's tests drive it.
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
node bench/web_bench.js build-bench/web
