#!/bin/sh
# Instructions of one whole headless run of the viewer against the minimal program making only the
# SDL and SDL_ttf calls the same pages need, counted by callgrind (the same count on every run of
# the same binaries). Both run in the current folder (beside times.ttf) with SDL's dummy video
# driver and every wait answered at once by a key press.
#
#   instruction_ratio.sh VIEWER MINIMAL ANSWER_WAITS_LIBRARY [LIMIT]
# Prints both counts and their ratio; fails if the ratio is above LIMIT.
set -eu
viewer=$1 minimal=$2 answers=$(realpath -e "$3") limit=${4:-}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
count() {
  env SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=software \
    LD_PRELOAD="$answers" timeout 300 valgrind --tool=callgrind --callgrind-out-file="$out/$2" "$1" \
    >/dev/null 2>"$out/$2.log" || { echo "Couldn't run $1 under callgrind:" >&2; cat "$out/$2.log" >&2; exit 1; }
  sed -n 's/^summary: //p' "$out/$2"
}
ours=$(count "$viewer" viewer)
base=$(count "$minimal" minimal)
awk -v ours="$ours" -v base="$base" -v limit="$limit" 'BEGIN {
  ratio = ours / base
  printf "viewer: %.1f M instructions, minimal program: %.1f M, ratio %.3f\n", ours / 1e6, base / 1e6, ratio
  if (limit != "" && ratio > limit) { printf "above %s\n", limit; exit 1 }
}'
