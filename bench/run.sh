#!/usr/bin/env bash
# Builds the benchmarks in an optimised tree and prints every figure with its target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench >/dev/null
build-bench/bench/spelling_bench
build-bench/bench/sound_bench build-bench/bin 2>/dev/null
build-bench/bench/music_bench build-bench/bin/heidi-cartoon.mid
