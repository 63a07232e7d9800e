#!/bin/sh
# The browser build in Debian's Chromium, headless (browser_test.mjs), driven by playwright-core
# as package-lock.json pins it, installed with npm into WEB_BUILD/test. Skips (status 77) where
# scripts/build-web has not left a site in WEB_BUILD.
#   browser_test.sh WEB_BUILD
set -eu
here=$(dirname "$0")
[ -f "$1/site/index.html" ] || { echo "no browser build in $1: skipped"; exit 77; }
mkdir -p "$1/test" && cp "$here/package.json" "$here/package-lock.json" "$1/test/"
(cd "$1/test" && npm ci --no-audit --no-fund --loglevel=error)
exec node "$here/browser_test.mjs" "$1"
