#!/usr/bin/env bash
# Installs what is missing, builds Contavoce and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
exec build/bin/contavoce "$@"
