#!/bin/sh
# Checks of the installed tree that need more than one command:
#   package_checks.sh install BUILD ROOT     what `cmake --install` of BUILD puts under /usr, into
#                                            ROOT (made anew)
#   package_checks.sh contents ROOT LIST     its files and modes exactly those listed in LIST
#   package_checks.sh manual-pages ROOT      every manual page formats without a warning
set -eu
case $1 in
install)
  rm -rf "$3" && DESTDIR=$3 cmake --install "$2" --prefix /usr >/dev/null
  ;;
contents)
  (cd "$2" && find . -mindepth 1 -printf '%M %p\n' | sed 's|/$||' | sort -k2) | diff -u "$3" -
  ;;
manual-pages)
  for page in "$2"/usr/share/man/man1/*.1.gz; do
    out=$(zcat "$page" | LC_ALL=C.UTF-8 groff -ww -z -man 2>&1)
    [ -z "$out" ] || { echo "$page: $out"; exit 1; }
  done
  ;;
esac
