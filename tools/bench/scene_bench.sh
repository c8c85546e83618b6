#!/bin/bash
# The game's cost per scene in the real window under a virtual X server (no sound card), two
# builds side by side in one run: the title, the stage select, play standing and moving on a
# busy stage, the stage-clear scene and the ending. Each run plays both builds, in turn (A B,
# then B A, ...), so the machine's load falls on both alike.
#   tools/bench/scene_bench.sh BUILD_A BUILD_B [RUNS] [SECONDS]     (defaults: 3 runs, 8 s)
# Per scene and build: the game's CPU share (all its threads' run time over wall time, % of one
# core), the X server's share, the mean period between presented frames and the frames more
# than 1 ms late; the ratio B/A of the game's share, run by run; the load average meanwhile.
# Env: BUSY_STAGE (built-in stage index, default 41) for the play scenes.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BUILD_A BUILD_B [RUNS] [SECONDS]"; exit 2; }
BUILD_A=$(cd "$1" && pwd) BUILD_B=$(cd "$2" && pwd)
RUNS=${3:-3}
SECS=${4:-8}
BUSY=${BUSY_STAGE:-41}
for b in "$BUILD_A" "$BUILD_B"; do [ -x "$b/dist/plumet" ] || { echo "no $b/dist/plumet: build first"; exit 1; }; done
OUT=$(mktemp -d /tmp/plumet-scenes-XXXXXX)
source "$ROOT/tests/e2e/x_session.sh"
XPID=${PIDS[0]}
# A display of its own: a long run must not meet another program's server on the usual numbers.
for n in $(seq 140 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp 2>>"$OUT/xvfb.log" &
  PIDS+=($!)
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  if kill -0 "${PIDS[-1]}" 2>/dev/null; then
    kill "$XPID"
    XPID=${PIDS[-1]}
    export DISPLAY=":$n"
    break
  fi
done
cp -a "$BUILD_A/dist" "$RUNDIR/A"
cp -a "$BUILD_B/dist" "$RUNDIR/B"
RESULTS=$OUT/results.txt
: >"$RESULTS"

# Nanoseconds of CPU the process's threads have run.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d\n", s}'; }

# measure SIDE RUN SCENE: one line of figures over SECS seconds.
measure() {
  local l0 l1 c0 c1 x0 x1 t0 t1
  l0=$(wc -l <"$FRAMES"); c0=$(cpu_ns "$GAME"); x0=$(cpu_ns "$XPID"); t0=$(date +%s%N)
  sleep "$SECS"
  l1=$(wc -l <"$FRAMES"); c1=$(cpu_ns "$GAME"); x1=$(cpu_ns "$XPID"); t1=$(date +%s%N)
  local load; load=$(cut -d' ' -f1 /proc/loadavg)
  awk -v side="$1" -v run="$2" -v scene="$3" -v c="$((c1 - c0))" -v x="$((x1 - x0))" -v t="$((t1 - t0))" \
      -v a="$l0" -v b="$l1" -v load="$load" '
    NR > a && NR <= b { if (prev) { d = ($1 - prev) / 1000; n++; s += d; if (d > 26) late++ } prev = $1 }
    END { printf "%s %s %s %.3f %.3f %d %.3f %d %s\n", side, run, scene, 100 * c / t, 100 * x / t, n,
                 n ? s / n : 0, late + 0, load }' "$FRAMES" >>"$RESULTS"
}

# launch SIDE RECORD: a fresh copy of that build's folder with the given record, the game
# started in it (GAME, WIN, FRAMES).
launch() {
  rm -rf "$RUNDIR/run"
  cp -a "$RUNDIR/$1" "$RUNDIR/run"
  cp "$2" "$RUNDIR/run/plumet.rec"
  FRAMES=$RUNDIR/run/frames.log
  PLUMET_FRAME_LOG=$FRAMES "$RUNDIR/run/plumet" >>"$OUT/plumet-$1.log" 2>&1 &
  GAME=$!
  WIN=$(wait_window "$GAME" none 10) || fail "no game window"
}
finish() {
  kill "$GAME" 2>/dev/null
  wait "$GAME" 2>/dev/null
}
tap() { xdotool keydown "$1"; sleep 0.05; xdotool keyup "$1"; sleep 0.2; }
# From the stage select into play on built-in stage $1 (every stage open).
pick_stage() {
  key z; tap Left
  for _ in 1 2 3 4 5 6; do tap Down; done
  for _ in $(seq $(($1 / 10))); do tap Up; done
  tap Right
  for _ in $(seq $(($1 % 10))); do tap Up; done
  tap z; sleep 0.3; tap Right; tap z
}

write_open_record "$RUNDIR/open.rec"
ENDING_REC=$ROOT/tests/menus/scripts/stage50_open.rec

session() {  # SIDE RUN
  local side=$1 run=$2
  # Title, stage select, play standing and moving on the busy stage.
  launch "$side" "$RUNDIR/open.rec"
  sleep 4.5; key z; sleep 2
  measure "$side" "$run" title
  key z; sleep 1.5
  measure "$side" "$run" select
  pick_stage "$BUSY"
  sleep 9
  measure "$side" "$run" stand
  # Two cells each way, over and over.
  ( end=$((SECONDS + SECS + 1))
    while [ $SECONDS -lt $end ]; do
      xdotool keydown Right; sleep 0.45; xdotool keyup Right
      xdotool keydown Left; sleep 0.45; xdotool keyup Left
    done ) &
  local walker=$!
  sleep 0.5
  measure "$side" "$run" move
  wait "$walker"
  finish
  # The clear scene: stage 0 played from its solution, then the scene that follows the goal.
  launch "$side" "$RUNDIR/open.rec"
  sleep 4.5; key z; sleep 1.5; key z; sleep 1.5
  pick_stage 0
  sleep 8
  PICTURE_EVERY=1000000 python3 "$ROOT/stages/play_window.py" "$ROOT/stages/solutions/00.keys" "$FRAMES" "$WIN" \
    "$OUT" >>"$OUT/clear.log" 2>&1
  sleep 0.3
  measure "$side" "$run" clear
  # The record is written once the scene has run.
  local cleared=0
  for _ in $(seq 40); do
    cleared=$(od -An -tu1 -j 1 -N1 "$RUNDIR/run/plumet.rec" | tr -d ' ')
    [ "$cleared" = 1 ] && break
    sleep 0.5
  done
  [ "$cleared" = 1 ] || sed -i "\$s/ clear / clear(no-goal) /" "$RESULTS"
  finish
  # The ending, from the title's hidden item.
  launch "$side" "$ENDING_REC"
  sleep 4.5; key z; sleep 1
  xdotool keydown shift keydown e; sleep 0.1; xdotool keyup e keyup shift; sleep 0.3
  key z; sleep 3
  measure "$side" "$run" ending
  finish
}

echo "load at start: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
for run in $(seq "$RUNS"); do
  if [ $((run % 2)) = 1 ]; then order="A B"; else order="B A"; fi
  for side in $order; do session "$side" "$run"; done
  echo "run $run done, load $(cut -d' ' -f1 /proc/loadavg)"
done
echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "A: $BUILD_A"
echo "B: $BUILD_B"
python3 - "$RESULTS" <<'PY'
import statistics as st, sys
rows = [l.split() for l in open(sys.argv[1])]
scenes = []
for r in rows:
    if r[2] not in scenes: scenes.append(r[2])
def med(xs): return st.median(xs) if xs else float("nan")
print("%-17s %13s %13s %8s %15s %15s %11s %11s %6s" % ("scene", "game cpu % A", "B", "B/A",
      "period ms A", "B", "late A", "B", "load"))
print("%-17s %13s %13s %8s %15s %15s %11s %11s %6s" % ("", "(median)", "", "(median)", "(mean)", "", "(per run)", "", ""))
for s in scenes:
    a = [r for r in rows if r[2] == s and r[0] == "A"]
    b = [r for r in rows if r[2] == s and r[0] == "B"]
    ratios = [float(y[3]) / float(x[3]) for x in a for y in b if x[1] == y[1] and float(x[3]) > 0]
    # No run with both (a clear scene missed its goal): the ratio of the medians, marked.
    ratio = med(ratios) if ratios else (med([float(r[3]) for r in b]) / med([float(r[3]) for r in a])
                                        if a and b else float("nan"))
    def period(rs):
        n = sum(int(r[5]) for r in rs)
        return sum(float(r[6]) * int(r[5]) for r in rs) / n if n else float("nan")
    print("%-17s %13.2f %13.2f %7.2f%s %15.3f %15.3f %11.1f %11.1f %6.1f  %d+%d runs" % (s,
          med([float(r[3]) for r in a]), med([float(r[3]) for r in b]), ratio, " " if ratios else "*",
          period(a), period(b), st.mean([int(r[7]) for r in a]) if a else 0,
          st.mean([int(r[7]) for r in b]) if b else 0, st.mean([float(r[8]) for r in a + b]), len(a), len(b)))
print("* no run had the scene in both builds: the ratio of the medians")
print()
print("X server cpu % (median): " + ", ".join("%s A %.2f B %.2f" % (s,
      med([float(r[4]) for r in rows if r[2] == s and r[0] == "A"]),
      med([float(r[4]) for r in rows if r[2] == s and r[0] == "B"])) for s in scenes))
print("runs: " + ", ".join("%s A %s B %s" % (s, " ".join(r[3] for r in rows if r[2] == s and r[0] == "A"),
      " ".join(r[3] for r in rows if r[2] == s and r[0] == "B")) for s in scenes))
PY
echo "figures per scene and run: $RESULTS"
