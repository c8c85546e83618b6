#!/bin/bash
# End-to-end run of the real game window under a virtual X server: skip the opening with Z,
# NORMAL GAME, PLAY stage 1, pause with Esc, SELECT, TITLE, END. The keys are the headless menus
# run's script (scripts/menus_e2e.keys), pressed in step with the frames the window presents
# (its frame log); a picture of each screen is compared with the headless game's picture of the
# same frame, so the window must reach the same screens and show them, and the game must end.
# Usage: menus_window.sh <output-folder>; the programs are $PLUMET_DIST/plumet and plumet-headless.
set -u

OUT=${1:-$PWD/menus_window}
DIST=${PLUMET_DIST:?PLUMET_DIST not set}
HERE=$(cd "$(dirname "$0")" && pwd)
KEYS=$HERE/scripts/menus_e2e.keys
# The opening, the title, the stage select, play, the pause box, the select again, the title again.
AT=100,150,200,400,530,600,640

[ -x "$DIST/plumet" ] || { echo "FAIL: $DIST/plumet not built"; exit 1; }
source "$HERE/../e2e/x_session.sh"
# The game writes its record and settings beside itself: each run gets a private copy.
cp -a "$DIST" "$RUNDIR/dist"
cp -a "$DIST" "$RUNDIR/headless"
rm -rf "$OUT/headless" "$OUT"/window-*.png
"$DIST/plumet-headless" --folder "$RUNDIR/headless" --keys "$KEYS" --frames 2000 \
  --capture "$OUT/headless" --at "$AT" >"$OUT/headless.log" 2>&1 || fail "the headless run failed"

export PLUMET_FRAME_LOG=$RUNDIR/frames.log
start_game
python3 "$HERE/../e2e/drive_window.py" "$KEYS" "$PLUMET_FRAME_LOG" "$WIN" "$OUT" "$OUT/headless" "$AT" \
  || { cp "$PLUMET_FRAME_LOG" "$OUT/frames.log"; fail "the window's screens are not the headless game's"; }

for _ in $(seq 50); do
  kill -0 "$GAME" 2>/dev/null || { echo "PASS: the game showed every screen and ended on END"; exit 0; }
  sleep 0.1
done
fail "the game did not end after END"
