#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the browser version into build/web and
# serves it on the loopback. The folder can then be copied to any web server.
# Usage: scripts/web.sh [PORT]   (8029 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --web
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target web
exec node web/servitore.js build/web "${1:-8029}"
