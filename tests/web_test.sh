#!/bin/sh
# The web build in Debian's Chromium, Firefox ESR and WebKitGTK (web_test.mjs), driven by
# playwright-core, puppeteer-core and WebKitWebDriver, the npm packages as package-lock.json pins
# them, installed with npm into WEB_BUILD/test (once for tests run side by side: under a lock);
# or, in Chromium with its own tools, the first page on a phone's profile (web_phone.mjs) or
# the site installed and offline (web_offline.mjs). Skips (status 77) where scripts/build-web
# has not left a site in WEB_BUILD.
#   web_test.sh WEB_BUILD [ENGINE...]   (chromium, firefox, webkit; all three by default)
#   web_test.sh WEB_BUILD phone|offline
set -eu
here=$(dirname "$0")
build=$1
shift
[ -f "$build/site/index.html" ] || { echo "no web build in $build: skipped"; exit 77; }
mkdir -p "$build/test"
(
  flock 9
  "$here/../scripts/npm-install" "$here" "$build/test" "the web test's packages"
) 9>"$build/test/.lock"
case "${1:-}" in
  phone | offline) exec node "$here/web_$1.mjs" "$build" ;;
esac
exec node "$here/web_test.mjs" "$build" "$@"
