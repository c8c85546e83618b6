#!/usr/bin/env bash
# Solver speed: rest states per second per worker thread and wall time over a fixed set of
# built-in stages, each search capped by states (never by time) so every run does the same work.
#
#   tools/bench/solver_bench.sh [BUILD_DIR]     SOLVER=BIN runs another binary, THREADS=N (default 1),
#                                               STAGES="N:CAP ..." other stages and state caps
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
solver=${SOLVER:-$build/dist/plumet-solver}
map=${MAP:-$build/dist/plumet.map}
threads=${THREADS:-1}
stages=${STAGES:-"13:0 22:0 29:0 38:15000 39:0 47:15000"}
[ -x "$solver" ] || { echo "no $solver" >&2; exit 2; }
total_states=0
total_sec=0
printf '%-6s %-9s %-9s %-10s %s\n' stage states seconds "st/s/thr" "frames searched"
for item in $stages; do
  n=${item%%:*}
  cap=${item##*:}
  [ "$cap" = 0 ] && cap=3000000
  out=$("$solver" --map "$map" --builtin "$n" --threads "$threads" --max-states "$cap" --max-seconds 1e9 2>&1)
  st=$(sed -n 's/^states: \([0-9]*\).*/\1/p' <<<"$out")
  sec=$(sed -n 's/^seconds: \(.*\)/\1/p' <<<"$out")
  fs=$(sed -n 's/^frames searched: \(.*\)/\1/p' <<<"$out")
  printf '%-6s %-9s %-9s %-10.0f %s\n' "$n" "$st" "$sec" "$(echo "$st / $sec / $threads" | bc -l)" "$fs"
  total_states=$((total_states + st))
  total_sec=$(echo "$total_sec + $sec" | bc -l)
done
printf 'all    %-9s %-9.2f %-10.0f threads %s\n' "$total_states" "$total_sec" \
  "$(echo "$total_states / $total_sec / $threads" | bc -l)" "$threads"
