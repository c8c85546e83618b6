#!/bin/bash
# End-to-end run of the real game window under a virtual X server: skip the opening with Z,
# NORMAL GAME, PLAY stage 1, pause with Esc, SELECT, TITLE, END; a screenshot of each screen.
# Usage: menus_window.sh <output-folder>; the program is $PLUMET_DIST/plumet.
set -u

OUT=${1:-$PWD/menus_window}
DIST=${PLUMET_DIST:?PLUMET_DIST not set}

for tool in Xvfb xdotool /usr/bin/import; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done
[ -x "$DIST/plumet" ] || { echo "FAIL: $DIST/plumet not built"; exit 1; }

mkdir -p "$OUT"
RUNDIR=$(mktemp -d)
chmod 700 "$RUNDIR"
# The game writes its record and settings beside itself: run a private copy of the folder.
cp -a "$DIST" "$RUNDIR/dist"
export XDG_RUNTIME_DIR="$RUNDIR"
export LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=xcb

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

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$RUNDIR/display" 2>"$OUT/xvfb.log" &
PIDS+=($!)
for _ in $(seq 50); do [ -s "$RUNDIR/display" ] && break; sleep 0.1; done
[ -s "$RUNDIR/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$RUNDIR/display")"

"$RUNDIR/dist/plumet" >"$OUT/plumet.log" 2>&1 &
GAME=$!
PIDS+=($GAME)

WIN=""
for _ in $(seq 100); do
  WIN=$(xdotool search --all --onlyvisible --pid "$GAME" 2>/dev/null | head -n1)
  [ -n "$WIN" ] && break
  sleep 0.1
done
[ -n "$WIN" ] || fail "no game window"

# press KEY: the window gets the keyboard focus first (there is no window manager).
press() {
  xdotool windowfocus --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
  xdotool key --clearmodifiers "$1"
  sleep 0.3
}
shot() { /usr/bin/import -window "$WIN" "$OUT/$1.png" || fail "screenshot $1"; }

sleep 4.5                    # into the title picture (the opening reads no keys before it)
press z; sleep 1.5; shot title
press z; sleep 1.5; shot stage_select
press Right; press z; sleep 9; shot play
press Escape; sleep 0.5; shot pause
press Down; press Down; press z; sleep 1.5; shot select_again
press Right; press Right; press z; sleep 1.5; shot title_again
press Up; press z

for _ in $(seq 50); do
  kill -0 "$GAME" 2>/dev/null || { echo "PASS: the game ended on END"; exit 0; }
  sleep 0.1
done
fail "the game did not end after END"
