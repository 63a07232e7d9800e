#!/bin/sh
# scripts/run in a fresh build folder: it builds the viewer, the exporter and the font and nothing
# else, and starts the viewer (here in SDL's dummy driver, ended by SIGTERM once it runs). Then
# the README's plain `cmake -S . -B build` configures with only what scripts/install-deps
# installs: GoogleTest and Google Benchmark are kept out of its reach. And without library sources
# scripts/build-windows says in one line that it skipped, and why, having installed nothing.
#   run_script_test.sh SOURCE_FOLDER
set -u
build=$(mktemp -d)
plain=$(mktemp -d)
log=$plain/run.log
trap 'rm -rf "$build" "$plain"' EXIT
DISPLAY='' SDL_VIDEODRIVER=dummy TRIANGLES_BUILD_DIR="$build" "$1/scripts/run" >"$log" 2>&1 &
run=$!
tries=0 # scripts/run becomes the viewer: it ends by exec
while [ "$(cat /proc/$run/comm 2>/dev/null)" != triangles ] && kill -0 $run 2>/dev/null &&
  [ $tries -lt 1200 ]; do
  sleep 0.25
  tries=$((tries + 1))
done
sleep 1
kill -TERM $run 2>/dev/null
wait $run
status=$?
[ $status -eq 143 ] || { cat "$log"; echo "scripts/run did not start the viewer ($status)"; exit 1; }
for made in triangles triangles-export times.ttf; do
  [ -e "$build/$made" ] || { echo "scripts/run did not make $made"; exit 1; }
done
extra=$(cd "$build" && ls unit_tests window_test failure_test page_bench window_bench 2>/dev/null)
[ -z "$extra" ] || { echo "scripts/run built more than it runs: $extra"; exit 1; }
cat "$log"
cmake -S "$1" -B "$plain" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$plain/configure.log" 2>&1 ||
  { cat "$plain/configure.log"; echo "the plain configure needs more than scripts/install-deps installs"; exit 1; }
skipped=$(env -u TRIANGLES_SOURCES "$1/scripts/build-windows" 2>&1)
status=$?
[ $status -eq 3 ] && [ "$(echo "$skipped" | wc -l)" -eq 1 ] && [ -z "${skipped##*skipped: TRIANGLES_SOURCES*}" ] ||
  { echo "$skipped"; echo "scripts/build-windows without sources: status $status, not one line saying it skipped"; exit 1; }
