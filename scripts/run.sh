#!/usr/bin/env bash
# Installs what is missing, builds Contavoce and starts it.
# Arguments go to the program, e.g. scripts/run.sh words 2304
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
exec build/bin/contavoce-cli "${@:---help}"
