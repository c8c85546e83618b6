#!/bin/bash
# End-to-end check of the game window under a virtual X server: the window's title and client
# size, a screenshot, the duplicate-start box of a second copy, and the question on closing.
# Usage: e2e_window.sh <x_close_request> <output-folder>; the program is $PLUMET_DIST/plumet.
set -u

CLOSE_REQUEST=${1:?x_close_request helper}
OUT=${2:-$PWD/e2e_window}
DIST=${PLUMET_DIST:?PLUMET_DIST not set}
TITLE="ぷかぷか☆らんぷ"

for tool in Xvfb xdotool xwininfo /usr/bin/import /usr/bin/convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done
[ -x "$DIST/plumet" ] || { echo "FAIL: $DIST/plumet not built"; exit 1; }

mkdir -p "$OUT"
RUNDIR=$(mktemp -d)
chmod 700 "$RUNDIR"
# The game writes its record and settings beside itself: run a private copy of the folder.
cp -a "$DIST" "$RUNDIR/dist"
GAME_BIN="$RUNDIR/dist/plumet"
export XDG_RUNTIME_DIR="$RUNDIR"
export LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=xcb
unset QT_QUICK_BACKEND

PIDS=()
cleanup() {
  local p
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${PIDS[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$RUNDIR"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  [ -n "${DISPLAY:-}" ] && /usr/bin/import -window root "$OUT/failure.png" 2>/dev/null
  exit 1
}

# Let the server pick a free display and tell us its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$RUNDIR/display" 2>"$OUT/xvfb.log" &
PIDS+=($!)
for _ in $(seq 50); do [ -s "$RUNDIR/display" ] && break; sleep 0.1; done
[ -s "$RUNDIR/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$RUNDIR/display")"

# visible_windows PID: the mapped windows of a process, one id a line.
visible_windows() { xdotool search --all --onlyvisible --pid "$1" 2>/dev/null; }

# wait_window PID EXCLUDE SECONDS: the first mapped window of PID other than EXCLUDE.
wait_window() {
  local pid=$1 exclude=$2 tries=$(( $3 * 10 )) w
  for _ in $(seq "$tries"); do
    for w in $(visible_windows "$pid"); do
      [ "$w" != "$exclude" ] && { echo "$w"; return 0; }
    done
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_exit PID SECONDS: true when the process ended in time; its status in EXIT_STATUS.
wait_exit() {
  local pid=$1 tries=$(( $2 * 10 ))
  for _ in $(seq "$tries"); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      EXIT_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

client_size() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }

# press KEY in WINDOW (given the keyboard focus first: there is no window manager).
press() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
  xdotool key --clearmodifiers "$2"
}

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
sleep 1
/usr/bin/import -window "$MAIN" "$OUT/main_window.png" || fail "screenshot failed"
SHOT=$(/usr/bin/convert "$OUT/main_window.png" -format "%wx%h" info:)
[ "$SHOT" = "640x480" ] || fail "screenshot is $SHOT"
echo "ok: screenshot $OUT/main_window.png"

# 2. A second copy shows its duplicate-start box and ends when it is answered.
"$GAME_BIN" >"$OUT/plumet-second.log" 2>&1 &
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
