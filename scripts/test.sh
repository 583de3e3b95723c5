#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything and runs every test.
# Usage: scripts/test.sh [extra cmake options...]   e.g. -DCONTAVOCE_SANITIZE=ON
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build
for o in "$@"; do [ "$o" = -DCONTAVOCE_SANITIZE=ON ] && dir=build-asan; done
# Every test, and the benchmarks so that they keep building; later options win.
cmake -S . -B "$dir" -G Ninja -DCONTAVOCE_WERROR=ON -DCONTAVOCE_TESTS=ON -DCONTAVOCE_BENCH=ON "$@"
cmake --build "$dir"
# CONTAVOCE_CTEST_ARGS adds ctest options, e.g. "-LE e2e" to leave out a label.
# shellcheck disable=SC2086 # the options are meant to split
cd "$dir" && ctest --output-on-failure -j "$(nproc)" ${CONTAVOCE_CTEST_ARGS:-}
