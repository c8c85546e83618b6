#!/bin/bash
# End-to-end check of the stage editor under a virtual X server: the form's title and size, a
# map drawn with the mouse (kept as a screenshot), a save through the real file dialog giving a
# 314-byte file, and the question on closing.
# Usage: e2e_editor.sh <x_close_request> <output-folder>; the program is $PLUMET_DIST/plumetedit.
set -u

CLOSE_REQUEST=${1:?x_close_request helper}
OUT=${2:-$PWD/e2e_editor}
DIST=${PLUMET_DIST:?PLUMET_DIST not set}
TITLE="ぷかぷか☆らんぷステージエディタ"

[ -x "$DIST/plumetedit" ] || { echo "FAIL: $DIST/plumetedit not built"; exit 1; }
source "$(dirname "$0")/../e2e/x_session.sh"
# The editor writes "pledit.str" beside itself: run a private copy.
mkdir -p "$RUNDIR/dist/plumetogg" "$RUNDIR/maps"
cp "$DIST/plumetedit" "$RUNDIR/dist/"
cp "$DIST/plumetogg/wuvorbis.dll" "$RUNDIR/dist/plumetogg/"

# click WINDOW X Y [BUTTON]: a click at client coordinates of the window.
click() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.05
  xdotool click "${4:-1}"
  sleep 0.1
}
# pixel X Y: the colour of the form's screenshot at (X, Y) as "r,g,b".
pixel() { /usr/bin/convert "$OUT/editor.png" -format "%[fx:int(255*u.r)],%[fx:int(255*u.g)],%[fx:int(255*u.b)]" -crop "1x1+$1+$2" info:; }

"$RUNDIR/dist/plumetedit" >"$OUT/plumetedit.log" 2>&1 &
ED=$!
PIDS+=($ED)
MAIN=$(wait_window "$ED" none 15) || fail "no window from plumetedit (see $OUT/plumetedit.log)"
sleep 0.5
NAME=$(xdotool getwindowname "$MAIN")
SIZE=$(client_size "$MAIN")
[ "$SIZE" = "742x563" ] || fail "window is $SIZE titled '$NAME'"
[ "$NAME" = "$TITLE" ] || fail "title is '$NAME'"

# Draw: a block wall by dragging (palette slot 1), the player start (4), a balloon (5), the goal (16).
click "$MAIN" $((8 + 32 * 1 + 16)) 500
xdotool mousemove --window "$MAIN" $((1 + 32 * 3 + 16)) $((32 * 10 + 16)); sleep 0.05
xdotool mousedown 1; sleep 0.05
for col in 4 5 6 7 8 9 10; do
  xdotool mousemove --window "$MAIN" $((1 + 32 * col + 16)) $((32 * 10 + 16)); sleep 0.05
done
xdotool mouseup 1; sleep 0.1
click "$MAIN" $((8 + 32 * 4 + 16)) 500
click "$MAIN" $((1 + 32 * 3 + 16)) $((32 * 9 + 16))
click "$MAIN" $((8 + 32 * 5 + 16)) 500
click "$MAIN" $((1 + 32 * 6 + 16)) $((32 * 9 + 16))
click "$MAIN" $((8 + 32 * 16 + 16)) 500
click "$MAIN" $((1 + 32 * 10 + 16)) $((32 * 9 + 16))
# Park the cursor frame away from the drawing and take the picture.
xdotool mousemove --window "$MAIN" $((1 + 32 * 15 + 16)) $((32 * 3 + 16)); sleep 0.3
/usr/bin/import -window "$MAIN" "$OUT/editor.png" || fail "no screenshot"
# A wall cell now differs from the open background next to it; the label counts the balloon.
WALL=$(pixel $((1 + 32 * 7 + 16)) $((32 * 10 + 16)))
OPEN=$(pixel $((1 + 32 * 7 + 16)) $((32 * 11 + 16)))
[ "$WALL" != "$OPEN" ] || fail "the dragged wall is not drawn ($WALL)"

# Save through the real dialog: type a name without extension into its file box.
click "$MAIN" $((664 + 37)) $((40 + 12))
DLG=$(wait_window "$ED" "$MAIN" 10) || fail "no save dialog"
sleep 0.5
xdotool windowfocus "$DLG"; sleep 0.2
xdotool type --delay 20 "$RUNDIR/maps/drawn"
xdotool key Return
for _ in $(seq 50); do [ -f "$RUNDIR/maps/drawn.krm" ] && break; sleep 0.1; done
[ -f "$RUNDIR/maps/drawn.krm" ] || fail "nothing saved"
BYTES=$(stat -c %s "$RUNDIR/maps/drawn.krm")
[ "$BYTES" = 314 ] || fail "saved $BYTES bytes"
cp "$RUNDIR/maps/drawn.krm" "$OUT/drawn.krm"
FOLDER=$(tr -d '\0' < "$RUNDIR/dist/pledit.str" | head -c 151)
[ "$FOLDER" = "$RUNDIR/maps" ] || fail "pledit.str holds '$FOLDER'"

# Closing asks first; Return answers the default Yes.
sleep 0.3
"$CLOSE_REQUEST" "$MAIN" || fail "could not send the close request"
BOX=$(wait_window "$ED" "$MAIN" 10) || fail "no close question"
xdotool windowfocus "$BOX"; sleep 0.2
xdotool key Return
for _ in $(seq 50); do kill -0 "$ED" 2>/dev/null || break; sleep 0.1; done
kill -0 "$ED" 2>/dev/null && fail "still running after Yes"
echo "PASS: editor window, drawn map ($OUT/editor.png), 314-byte save, close question"
