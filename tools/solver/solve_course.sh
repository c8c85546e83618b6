#!/usr/bin/env bash
# Runs the solver over the 55 built-in stages of plumet.map and writes the table of stage,
# stars (from the stage hints), moves, frames, states and seconds to stages/solver-report.txt.
#
#   tools/solver/solve_course.sh [BUILD_DIR] [extra solver options...]   (REPORT=FILE writes elsewhere;
#   KEYS_DIR=DIR also writes each solution as DIR/NN.keys)
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
shift || true
solver=$build/dist/plumet-solver
map=$build/dist/plumet.map
out=${REPORT:-$root/stages/solver-report.txt}
hints=$root/game/menus/stage_tables.cpp
[ -x "$solver" ] || { echo "no $solver: build the plumet-solver target" >&2; exit 2; }
[ -f "$map" ] || { echo "no $map: build the plumet_stages target" >&2; exit 2; }

# Stars of stage N: the ★ of the N-th hint line, "?" without the hint table.
stars=()
if [ -f "$hints" ]; then
  while IFS= read -r line; do
    n=$(grep -o '★' <<<"$line" | wc -l)
    stars+=("$n")
  done < <(sed -n '/kStageHints\[/,/^};/p' "$hints" | grep '{[0-9]*, *"')
fi

mkdir -p "$root/stages"
tmp=$(mktemp)
printf '%-6s %-6s %-6s %-7s %-10s %-8s %s\n' stage stars moves frames states seconds result >"$tmp"
for ((i = 0; i < 55; i++)); do
  s=${stars[$i]:-?}
  keys=()
  [ -n "${KEYS_DIR:-}" ] && mkdir -p "$KEYS_DIR" && keys=(--keys "$KEYS_DIR/$(printf %02d "$i").keys")
  res=$("$solver" --map "$map" --builtin "$i" "${keys[@]}" "$@" 2>&1)
  val() { sed -n "s/^$1: \([^ ]*\).*/\1/p" <<<"$res" | head -1; }
  solvable=$(val solvable)
  dead=$(sed -n 's/^dead-ends: \([0-9]*\).*/\1/p' <<<"$res")
  result=${solvable:-error}
  [ -n "$dead" ] && result="$result, dead-end states $dead"
  printf '%-6s %-6s %-6s %-7s %-10s %-8s %s\n' "$i" "$s" "$(val moves)" "$(val frames)" "$(val states)" \
    "$(val seconds)" "$result" >>"$tmp"
  tail -1 "$tmp"
done
mv "$tmp" "$out"
echo "wrote $out"
