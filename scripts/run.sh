#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Contavoce and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --run
# The program only, even in a build folder scripts/test.sh configured.
cmake -S . -B build -G Ninja -DCONTAVOCE_TESTS=OFF -DCONTAVOCE_BENCH=OFF >/dev/null
# The window and what it reads from its folder: the clips and the tune.
cmake --build build --target contavoce contavoce_speech_clips contavoce_tune
exec build/bin/contavoce "$@"
