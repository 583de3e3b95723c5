#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence's SPDX line at the top of every source file that lacks it
# (after a "#!" line), as // in C++ and # in shell, CMake and Python. Running
# it again changes nothing.
# Usage: scripts/spdx.sh [--check]   --check lists the files without it and fails
set -euo pipefail
cd "$(dirname "$0")/.."
licenza='SPDX-License-Identifier: GPL-3.0-or-later'
check=0
[ "${1:-}" = --check ] && check=1

# Tracked files and new ones not yet added, without what .gitignore leaves out;
# outside a git checkout, every such file but the build folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    '*.cpp' '*.h' '*.cmake' '*CMakeLists.txt' '*.sh' '*.py' '.ci/run' | sort -u)
else
  mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \
    -o -name '*.cmake' -o -name CMakeLists.txt -o -name '*.sh' -o -name '*.py' -o -path ./.ci/run \) \
    -print | sort)
fi
mancano=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue # deleted but still in the index
  case "$f" in *.cpp | *.h) riga="// $licenza" ;; *) riga="# $licenza" ;; esac
  # The line counts where it belongs: first, or second after a "#!".
  if head -n 1 "$f" | grep -q '^#!'; then
    dove=2
  else
    dove=1
  fi
  [ "$(sed -n "${dove}p" "$f")" = "$riga" ] && continue
  mancano+=("$f")
  [ $check -eq 1 ] && continue
  if [ $dove -eq 2 ]; then
    sed -i "1a $riga" "$f"
  elif [ -s "$f" ]; then
    sed -i "1i $riga" "$f"
  else
    echo "$riga" >"$f"
  fi
done
if [ $check -eq 1 ] && [ ${#mancano[@]} -gt 0 ]; then
  printf '%s\n' "${mancano[@]}" >&2
  echo "spdx: ${#mancano[@]} source files lack the line \"$licenza\"; bash scripts/spdx.sh adds it" >&2
  exit 1
fi
exit 0
