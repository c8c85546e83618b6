#!/bin/bash
# Frame pacing of the real game window under a virtual X server (no sound card): the game's CPU
# share (user + system time of the whole process over wall time, in % of one core) and the
# period between presented frames, on the title screen and in play on stage 1.
#   tools/bench/frame_pacing.sh [BUILD_DIR] [SECONDS]      (defaults: build, 20)
# Run it on an otherwise idle machine: other load shows as late frames.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
SECONDS_EACH=${2:-20}
OUT=$(mktemp -d /tmp/plumet-pacing-XXXXXX)
DIST=$BUILD/dist
[ -x "$DIST/plumet" ] || { echo "no $DIST/plumet: build first"; exit 1; }
source "$ROOT/tests/e2e/x_session.sh"
cp -a "$DIST" "$RUNDIR/dist"

export PLUMET_FRAME_LOG=$RUNDIR/frames.log
start_game

ticks() { awk '{print $14 + $15}' "/proc/$GAME/stat"; }
HZ=$(getconf CLK_TCK)

# measure NAME: CPU share and frame periods over SECONDS_EACH seconds.
measure() {
  local t0 t1 c0 c1 l0 l1
  l0=$(wc -l <"$PLUMET_FRAME_LOG"); c0=$(ticks); t0=$(date +%s.%N)
  sleep "$SECONDS_EACH"
  l1=$(wc -l <"$PLUMET_FRAME_LOG"); c1=$(ticks); t1=$(date +%s.%N)
  awk -v name="$1" -v c="$((c1 - c0))" -v hz="$HZ" -v t0="$t0" -v t1="$t1" -v a="$l0" -v b="$l1" '
    NR > a && NR <= b { if (prev) { d = ($1 - prev) / 1000; n++; s += d; q += d * d;
                                    if (d > max) max = d; if (!min || d < min) min = d; if (d > 26) late++ }
                        prev = $1 }
    END { mean = s / n; sd = sqrt(q / n - mean * mean)
          printf "%-6s cpu %5.2f %% of a core   frames %d   period mean %.3f ms  sd %.3f  min %.2f  max %.2f  late>1ms %d\n",
                 name, 100 * c / hz / (t1 - t0), n, mean, sd, min, max, late + 0 }' "$PLUMET_FRAME_LOG"
}

sleep 4.5; key z; sleep 2
measure title
key z; sleep 1.5; key Right; key z; sleep 9
measure play
/usr/bin/import -window "$WIN" "$OUT/play.png" 2>/dev/null && echo "last picture: $OUT/play.png"
