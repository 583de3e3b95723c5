#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's own checks on what the package ships. Each is skipped (exit 77, with
# a message) when its tool is missing; scripts/install-deps.sh installs them.
#
#   verifica-metadati.sh appstream FILE.metainfo.xml
#   verifica-metadati.sh desktop FILE.desktop...
#   verifica-metadati.sh man PAGE...
#   verifica-metadati.sh lintian BUILD_DIR   builds the .deb in a scratch folder
set -euo pipefail

salta() {
  echo "skipped: $1 is not installed (scripts/install-deps.sh installs it)"
  exit 77
}
serve() { command -v "$1" >/dev/null || salta "$1"; }

controllo=$1
shift
case "$controllo" in
appstream)
  serve appstreamcli
  # --pedantic also reports what is merely unusual; warnings and errors fail.
  appstreamcli validate --no-net --pedantic --explain "$@"
  ;;
desktop)
  serve desktop-file-validate
  # It prints hints and warnings but fails only on errors: any output fails here.
  uscita=$(desktop-file-validate "$@" 2>&1) || true
  [ -z "$uscita" ] || {
    echo "$uscita"
    exit 1
  }
  ;;
man)
  serve man
  # The same check lintian runs on manual pages: any warning from groff fails.
  for pagina in "$@"; do
    uscita=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
      "$pagina" 2>&1 >/dev/null) || true
    [ -z "$uscita" ] || {
      echo "$pagina: $uscita"
      exit 1
    }
  done
  ;;
lintian)
  serve lintian
  serve dpkg-deb
  build=$1
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >"$scratch/cpack.log" ||
    {
      cat "$scratch/cpack.log"
      exit 1
    }
  deb=$(echo "$scratch"/contavoce_*.deb)
  [ -f "$deb" ] || {
    echo "cpack made no .deb"
    exit 1
  }
  # Overrides travel inside the package; errors and warnings fail, and so do
  # the pedantic tags, which --pedantic turns on.
  lintian --pedantic --info --display-info --fail-on error,warning,pedantic "$deb"
  echo "lintian: $(basename "$deb") is clean"
  # The package holds what cmake --install lays out under /usr (the install_layout
  # test checks that), file for file, plus lintian's overrides.
  # (cmake --install rewrites the build's install_manifest.txt: put it back.)
  [ ! -f "$build/install_manifest.txt" ] || cp "$build/install_manifest.txt" "$scratch/manifesto"
  DESTDIR=$scratch/installato cmake --install "$build" --prefix /usr >/dev/null
  if [ -f "$scratch/manifesto" ]; then
    mv "$scratch/manifesto" "$build/install_manifest.txt"
  else
    rm -f "$build/install_manifest.txt"
  fi
  (cd "$scratch/installato" && find . ! -type d | sort) >"$scratch/installato.txt"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | grep -v '^\./usr/share/lintian/' |
    sort >"$scratch/pacchetto.txt"
  diff -u "$scratch/installato.txt" "$scratch/pacchetto.txt" ||
    {
      echo "the .deb and cmake --install lay out different files"
      exit 1
    }
  ;;
*)
  echo "usage: $0 appstream|desktop|man|lintian ARGS" >&2
  exit 2
  ;;
esac
