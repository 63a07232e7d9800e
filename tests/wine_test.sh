#!/usr/bin/env bash
# The Windows build under wine in Xvfb, with a throwaway WINEPREFIX: the window test against the
# zip's triangles.exe (pages, keys, close requests and exit, a missing font with its message box,
# the exporter's pages also into a folder named Zoë/三角形, idle wake-ups) and its installer.
# Skips (status 77) where scripts/build-windows has not left a zip in WINDOWS_BUILD.
#   wine_test.sh WINDOWS_BUILD WINDOW_TEST
set -euo pipefail
build=$(realpath "$1") window_test=$2
zip=$(echo "$build"/triangles-*-win64.zip)
[ -f "$zip" ] || { echo "no Windows build in $build: skipped"; exit 77; }
# Wine maps Unix paths through the locale: a non-ASCII path needs a UTF-8 one. Wine's own
# temporary files go into a folder removed at the end.
export LC_ALL=C.UTF-8 WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
TMPDIR=$(mktemp -d)
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
rm -rf "$WINEPREFIX" "$build/unpacked" && mkdir -p "$build/unpacked"
env -u DISPLAY wineboot --init >/dev/null 2>&1 && wineserver -w
(cd "$build/unpacked" && cmake -E tar xf "$zip")
status=0
WINDOWS_FOLDER=$(echo "$build"/unpacked/triangles-*-win64) \
  WINDOWS_SETUP=$(echo "$build"/triangles-*-win64-setup.exe) "$window_test" 2>&1 |
  grep -v '^XGetInputFocus returned' || status=$?
wineserver -k || true
exit "$status"
