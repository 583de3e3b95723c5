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
  ;;
*)
  echo "usage: $0 appstream|desktop|man|lintian ARGS" >&2
  exit 2
  ;;
esac
