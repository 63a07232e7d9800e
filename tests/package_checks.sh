#!/bin/sh
# Checks of the Debian package that need more than one command:
#   package_checks.sh unpack DEB ROOT FONT   its tree unpacked into ROOT, with FONT put where
#                                            its package puts it (the package links to it)
#   package_checks.sh contents DEB LIST LINK its files and modes exactly those listed in LIST,
#                                            the font's link pointing to LINK
#   package_checks.sh manual-pages ROOT      every manual page formats without a warning
#   package_checks.sh lintian DEB            lintian reports nothing at all (its temporary files
#                                            in a folder removed at the end)
set -eu
case $1 in
lintian)
  TMPDIR=$(mktemp -d)
  export TMPDIR
  trap 'rm -rf "$TMPDIR"' EXIT
  lintian --pedantic --info --fail-on error,warning,info,pedantic "$2"
  ;;
unpack)
  rm -rf "$3" && dpkg-deb -x "$2" "$3"
  mkdir -p "$3$(dirname "$4")" && cp "$4" "$3$4"
  ;;
contents)
  actual=$(mktemp)
  trap 'rm -f "$actual"' EXIT
  dpkg-deb -c "$2" | awk '{ print $1, $6, $7, $8 }' | sed 's/ *$//' >"$actual"
  sed "s|@FONT_LINK@|$4|" "$3" | diff -u - "$actual"
  ;;
manual-pages)
  for page in "$2"/usr/share/man/man1/*.1.gz; do
    out=$(zcat "$page" | LC_ALL=C.UTF-8 groff -ww -z -man 2>&1)
    [ -z "$out" ] || { echo "$page: $out"; exit 1; }
  done
  ;;
esac
