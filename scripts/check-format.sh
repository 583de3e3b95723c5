#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a tracked C++ file is not laid out as .clang-format says.
# Usage: scripts/check-format.sh [clang-format binary]   (--fix rewrites the files)
set -euo pipefail
cd "$(dirname "$0")/.."
cf=clang-format
fix=0
for a in "$@"; do
  case "$a" in --fix) fix=1 ;; *) cf=$a ;; esac
done
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
[ ${#files[@]} -eq 0 ] && exit 0
if [ $fix -eq 1 ]; then
  "$cf" -i "${files[@]}"
else
  "$cf" --dry-run --Werror "${files[@]}"
fi
