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
# Wine maps Unix paths through the locale: a non-ASCII path needs a UTF-8 one.
export LC_ALL=C.UTF-8 WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# Debian's wine keeps its server's socket in a folder it makes under TMPDIR (/tmp when unset) and
# names in $WINEPREFIX/wineserver, unless /run/user/UID exists. Debian 13's wine 10 frees the
# string getenv("TMPDIR") returned and aborts ("free(): invalid pointer") whenever TMPDIR is set,
# so wine runs without it, and that folder is removed with the server at the end.
unset TMPDIR
end_wine() {
  wineserver -k 2>/dev/null || true
  local dir
  dir=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) || true
  case $dir in wine-??????) rm -rf "/tmp/$dir" ;; esac
}
trap end_wine EXIT
end_wine
rm -rf "$WINEPREFIX" "$build/unpacked" && mkdir -p "$build/unpacked"
boot=$(env -u DISPLAY wineboot --init 2>&1) ||
  { printf "Couldn't set up the wine prefix (wineboot --init):\n%s\n" "$boot"; exit 1; }
wineserver -w
(cd "$build/unpacked" && cmake -E tar xf "$zip")
status=0
WINDOWS_FOLDER=$(echo "$build"/unpacked/triangles-*-win64) \
  WINDOWS_SETUP=$(echo "$build"/triangles-*-win64-setup.exe) "$window_test" 2>&1 |
  grep -v '^XGetInputFocus returned' || status=$?
exit "$status"
