#!/usr/bin/env bash
# Installs what is missing, builds Contavoce and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The program only, even in a build folder scripts/test.sh configured.
cmake -S . -B build -G Ninja -DCONTAVOCE_TESTS=OFF -DCONTAVOCE_BENCH=OFF >/dev/null
cmake --build build
exec build/bin/contavoce "$@"
