#!/bin/bash
# The editor's CPU share against another build, side by side in one run under a virtual X server:
# idle, and dragging paint over the grid (xdotool moves the pointer 100 times a second). Each
# figure is the user + system time of the process over wall time, in % of one core, for the
# editor and for the X server; the builds take turns (ABBA...), and the load is printed with
# each measurement, so a busy machine shows. The windows after the strokes are compared.
#   tools/bench/editor_bench.sh OTHER_BUILD [BUILD]     RUNS=N (default 3), SECONDS_EACH=S (default 6)
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OTHER=$(cd "${1:?usage: editor_bench.sh OTHER_BUILD [BUILD]}" && pwd)
BUILD=$(cd "${2:-$ROOT/build}" && pwd)
RUNS=${RUNS:-3}
SECONDS_EACH=${SECONDS_EACH:-6}
OUT=$(mktemp -d /tmp/plumet-editor-bench-XXXXXX)
for b in "$BUILD" "$OTHER"; do
  [ -x "$b/dist/plumetedit" ] || { echo "no $b/dist/plumetedit: build first"; exit 1; }
done
source "$ROOT/tests/e2e/x_session.sh"
XVFB=${PIDS[0]}
HZ=$(getconf CLK_TCK)

# The editor writes beside itself: a private copy of each build.
for side in this other; do
  dist=$BUILD/dist
  [ "$side" = other ] && dist=$OTHER/dist
  mkdir -p "$RUNDIR/$side/plumetogg"
  cp "$dist/plumetedit" "$RUNDIR/$side/"
  cp "$dist/plumetogg/wuvorbis.dll" "$RUNDIR/$side/plumetogg/"
done

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
load() { cut -d' ' -f1 /proc/loadavg; }

# The drag's path: along the rows of the grid's inside, 8 pixels a move, back and forth.
path=()
x=48 dx=8 y=48
for ((i = 0; i < SECONDS_EACH * 100; i++)); do
  path+=(mousemove --window WIN "$x" "$y" sleep 0.01)
  x=$((x + dx))
  if [ $x -gt 590 ] || [ $x -lt 40 ]; then
    dx=$((-dx)); x=$((x + 2 * dx)); y=$((y + 32)); [ $y -gt 430 ] && y=48
  fi
done

# measure SIDE SCENE CMD...: the shares of the editor and the X server while CMD runs.
measure() {
  local side=$1 scene=$2 e0 e1 x0 x1 t0 t1 l
  shift 2
  l=$(load); e0=$(ticks "$ED"); x0=$(ticks "$XVFB"); t0=$(date +%s.%N)
  "$@"
  e1=$(ticks "$ED"); x1=$(ticks "$XVFB"); t1=$(date +%s.%N)
  awk -v s="$side" -v n="$scene" -v e="$((e1 - e0))" -v x="$((x1 - x0))" -v hz="$HZ" -v t0="$t0" -v t1="$t1" \
    -v l="$l" 'BEGIN { printf "%-6s %-5s editor %6.2f %%   X server %6.2f %%   load %s\n", s, n,
                       100 * e / hz / (t1 - t0), 100 * x / hz / (t1 - t0), l }' | tee -a "$OUT/runs.txt"
}

drag() {
  xdotool mousemove --window "$MAIN" 48 48 sleep 0.05 mousedown 1
  xdotool "${path[@]//WIN/$MAIN}"
  xdotool mouseup 1
}

run_side() {
  local side=$1
  "$RUNDIR/$side/plumetedit" >"$OUT/$side.log" 2>&1 &
  ED=$!
  PIDS+=($ED)
  MAIN=$(wait_window "$ED" none 15) || fail "no window from the $side editor (see $OUT/$side.log)"
  sleep 1
  # The block (palette slot 1) is the part painted.
  xdotool mousemove --window "$MAIN" $((8 + 32 + 16)) 500 sleep 0.05 click 1 sleep 0.2
  xdotool mousemove --window "$MAIN" 320 240
  sleep 1
  measure "$side" idle sleep "$SECONDS_EACH"
  measure "$side" drag drag
  sleep 0.5
  /usr/bin/import -window "$MAIN" "$OUT/$side-$r.png" 2>/dev/null
  kill "$ED"
  wait "$ED" 2>/dev/null
}

: >"$OUT/runs.txt"
for ((r = 0; r < RUNS; r++)); do
  if ((r % 2 == 0)); then order=(this other); else order=(other this); fi
  for side in "${order[@]}"; do run_side "$side"; done
done

echo
echo "medians over $RUNS runs (this: $BUILD, other: $OTHER)"
awk '{ k = $1 " " $2; e[k] = e[k] " " $4; x[k] = x[k] " " $8 }
     function med(s,   a, n, i, j, t) { n = split(s, a, " ")
       for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] + 0 < a[i] + 0) { t = a[i]; a[i] = a[j]; a[j] = t }
       return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
     END { for (n = 1; n <= 2; n++) { s = n == 1 ? "idle" : "drag"
             te = med(e["this " s]); oe = med(e["other " s]); tx = med(x["this " s]); ox = med(x["other " s])
             printf "%-5s editor this %6.2f %%  other %6.2f %%  ratio %.2f   X server this %6.2f %%  other %6.2f %%  ratio %.2f\n",
                    s, te, oe, (oe > 0 ? te / oe : 0), tx, ox, (ox > 0 ? tx / ox : 0) } }' "$OUT/runs.txt"
echo "load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
# Both builds were given the same strokes: their windows must look the same.
for f in "$OUT"/other-*.png; do
  g=${f/other-/this-}
  [ -f "$g" ] || continue
  d=$(/usr/bin/compare -metric AE "$f" "$g" null: 2>&1)
  echo "pixels differing after the strokes, run ${f##*-}: $d"
done
echo "screenshots in $OUT"
