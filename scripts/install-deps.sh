#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package Contavoce needs to build, test and run.
# Idempotent: packages already present are skipped, so a second run is quick.
# Usage: scripts/install-deps.sh [--run | --web]   --run: only what building and
# running the program needs (scripts/run.sh), not the tools of the tests; --web:
# that and what the browser build needs (scripts/web.sh).
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # libraries
  qt6-base-dev qt6-base-dev-tools libgl-dev libsdl2-dev libfluidsynth-dev
  # the children's progress
  libsqlite3-dev
  # run-time data: GM SoundFont, fonts with the metrics of Arial / Times New Roman
  timgm6mb-soundfont fonts-liberation2 fonts-dejavu-core
  # Qt's own texts in Italian
  qt6-translations-l10n
  # contavoce-cli's messages in Italian: Qt's translation tools (lupdate, lrelease) for the build
  qt6-tools-dev qt6-l10n-tools
  # the worksheet's tests read its PDF back as text
  poppler-utils
  # content generation: Italian speech, audio processing
  festival festvox-italp16k sox
  # the installation media's cabinet (configured with every build)
  gcab
)
web=(
  # the browser build: the rules compiled to WebAssembly (emscripten's compiler
  # needs Debian's acorn), the sounds compressed to Ogg Opus, the tune rendered once
  emscripten node-acorn opus-tools fluidsynth
)
tests=(
  # clang for the fuzzers, libFuzzer and the sanitizer run-times (only recommended by clang)
  clang clang-format libclang-rt-14-dev
  # unpacking the installation media
  cabextract
  # headless end-to-end checks
  xvfb xdotool x11-apps imagemagick libfftw3-dev
  # the screen-reader check of the end-to-end session reads the window through AT-SPI
  python3-pyatspi gir1.2-atspi-2.0 at-spi2-core dbus-daemon
  # the package's checks: lintian, AppStream metadata, menu entries
  lintian appstream desktop-file-utils
  # the page's tests and benchmark drive Debian's Chromium (npm brings the driver, tests/web)
  chromium
)
case "${1:-}" in
  --run) ;;
  --web) packages+=("${web[@]}") ;;
  *) packages+=("${web[@]}" "${tests[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
