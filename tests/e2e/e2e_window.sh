#!/bin/bash
# End-to-end check of the game window under a virtual X server: the window's title and client
# size, its opening pictures against the headless game's, the duplicate-start box of a second copy, and the question on closing.
# Usage: e2e_window.sh <x_close_request> <output-folder>; the program is $PLUMET_DIST/plumet.
set -u

CLOSE_REQUEST=${1:?x_close_request helper}
OUT=${2:-$PWD/e2e_window}
DIST=${PLUMET_DIST:?PLUMET_DIST not set}
TITLE="ぷかぷか☆らんぷ"

[ -x "$DIST/plumet" ] || { echo "FAIL: $DIST/plumet not built"; exit 1; }
source "$(dirname "$0")/x_session.sh"
# The game writes its record and settings beside itself: run a private copy of the folder.
cp -a "$DIST" "$RUNDIR/dist"
cp -a "$DIST" "$RUNDIR/headless"
rm -rf "$OUT/headless" "$OUT"/window-*.png
GAME_BIN="$RUNDIR/dist/plumet"
export PLUMET_FRAME_LOG=$RUNDIR/frames.log

# 1. The main window: title, 640x480 client area, a picture.
"$GAME_BIN" >"$OUT/plumet.log" 2>&1 &
GAME=$!
PIDS+=($GAME)
MAIN=$(wait_window "$GAME" none 15) || fail "no window from plumet (see $OUT/plumet.log)"
sleep 0.5
NAME=$(xdotool getwindowname "$MAIN")
SIZE=$(client_size "$MAIN")
if [ "$SIZE" != "640x480" ]; then
  /usr/bin/import -window "$MAIN" "$OUT/unexpected_window.png" 2>/dev/null
  fail "first window is $SIZE titled '$NAME', not the 640x480 form (a start-up error box?)"
fi
[ "$NAME" = "$TITLE" ] || fail "window title '$NAME', expected '$TITLE'"
echo "ok: main window $MAIN '$NAME' $SIZE"
# Its picture at frames 80 and 120 of the opening (counted in the window's frame log) is the
# headless game's picture of the same frames.
"$DIST/plumet-headless" --folder "$RUNDIR/headless" --frames 121 --capture "$OUT/headless" --at 80,120 \
  >"$OUT/headless.log" 2>&1 || fail "the headless run failed"
python3 "$(dirname "$0")/drive_window.py" - "$PLUMET_FRAME_LOG" "$MAIN" "$OUT" "$OUT/headless" 80,120 \
  || fail "the window does not show the opening as the headless game draws it"
SHOT=$(/usr/bin/convert "$OUT/window-80.png" -format "%wx%h" info:)
[ "$SHOT" = "640x480" ] || fail "screenshot is $SHOT"
echo "ok: the opening's pictures $OUT/window-80.png and window-120.png"

# 2. A second copy shows its duplicate-start box and ends when it is answered.
PLUMET_FRAME_LOG= "$GAME_BIN" >"$OUT/plumet-second.log" 2>&1 &
SECOND=$!
PIDS+=($SECOND)
BOX=$(wait_window "$SECOND" none 10) || fail "the second copy showed no box"
BOXNAME=$(xdotool getwindowname "$BOX")
[ "$BOXNAME" = "$TITLE" ] || fail "duplicate-start box titled '$BOXNAME'"
[ "$(client_size "$BOX")" != "640x480" ] || fail "the second copy opened a game window"
/usr/bin/import -window "$BOX" "$OUT/duplicate_start_box.png" 2>/dev/null
press "$BOX" Return
wait_exit "$SECOND" 5 || fail "the second copy did not end after its box was answered"
kill -0 "$GAME" 2>/dev/null || fail "the first copy ended when the second started"
echo "ok: duplicate-start box, second copy ended ($EXIT_STATUS)"

# 3. Closing the main window asks first; Yes (the default button) ends the game.
"$CLOSE_REQUEST" "$MAIN" || fail "could not send the close request"
ASK=$(wait_window "$GAME" "$MAIN" 5) || fail "no question appeared on closing the window"
ASKNAME=$(xdotool getwindowname "$ASK")
[ "$ASKNAME" = "$TITLE" ] || fail "close question titled '$ASKNAME'"
/usr/bin/import -window "$ASK" "$OUT/close_question.png" 2>/dev/null
press "$ASK" Return
wait_exit "$GAME" 5 || fail "the game did not end after Yes"
[ "$EXIT_STATUS" = 0 ] || fail "the game ended with status $EXIT_STATUS"
echo "ok: close question answered Yes, game ended"
echo "PASS"
