#!/bin/bash
# End-to-end run of the real game window under a virtual X server: skip the opening with Z,
# NORMAL GAME, PLAY stage 1, pause with Esc, SELECT, TITLE, END; a screenshot of each screen.
# Usage: menus_window.sh <output-folder>; the program is $PLUMET_DIST/plumet.
set -u

OUT=${1:-$PWD/menus_window}
DIST=${PLUMET_DIST:?PLUMET_DIST not set}

[ -x "$DIST/plumet" ] || { echo "FAIL: $DIST/plumet not built"; exit 1; }
source "$(dirname "$0")/../e2e/x_session.sh"
# The game writes its record and settings beside itself: run a private copy of the folder.
cp -a "$DIST" "$RUNDIR/dist"

start_game
shot() { /usr/bin/import -window "$WIN" "$OUT/$1.png" || fail "screenshot $1"; }

sleep 4.5                    # into the title picture (the opening reads no keys before it)
key z; sleep 1.5; shot title
key z; sleep 1.5; shot stage_select
key Right; key z; sleep 9; shot play
key Escape; sleep 0.5; shot pause
key Down; key Down; key z; sleep 1.5; shot select_again
key Right; key Right; key z; sleep 1.5; shot title_again
key Up; key z

for _ in $(seq 50); do
  kill -0 "$GAME" 2>/dev/null || { echo "PASS: the game ended on END"; exit 0; }
  sleep 0.1
done
fail "the game did not end after END"
