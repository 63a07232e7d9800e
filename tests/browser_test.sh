#!/bin/sh
# The browser build in Debian's Chromium, headless (browser_test.mjs; then the first page on a
# phone's profile, browser_phone.mjs, and the site installed and offline, browser_offline.mjs),
# driven by playwright-core as package-lock.json pins it, installed with npm into WEB_BUILD/test.
# Skips (status 77) where scripts/build-web has not left a site in WEB_BUILD.
#   browser_test.sh WEB_BUILD
set -eu
here=$(dirname "$0")
[ -f "$1/site/index.html" ] || { echo "no browser build in $1: skipped"; exit 77; }
mkdir -p "$1/test" && cp "$here/package.json" "$here/package-lock.json" "$1/test/"
(cd "$1/test" && npm ci --no-audit --no-fund --loglevel=error)
status=0
for test in browser_test browser_phone browser_offline; do # the last two: Chromium's own tools
  node "$here/$test.mjs" "$1" || status=1
done
exit "$status"
