# Sourced by the end-to-end scripts: a private run folder, a virtual X server on a free display,
# clean-up of every process started, and helpers to find and wait for windows.
# Before sourcing: OUT (output folder). After: RUNDIR, DISPLAY, PIDS, fail, visible_windows,
# wait_window, wait_exit, client_size, press, start_game, key.

for tool in Xvfb xdotool xwininfo /usr/bin/import /usr/bin/convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done

mkdir -p "$OUT"
RUNDIR=$(mktemp -d)
chmod 700 "$RUNDIR"
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

# press WINDOW KEY: the key in that window, given the keyboard focus first (no window manager).
press() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
  xdotool key --clearmodifiers "$2"
}

# start_game: the private copy of the game ($RUNDIR/dist/plumet), output in $OUT/plumet.log; sets
# GAME (its pid) and WIN (its window), and key KEY presses a key in it and gives the game a moment.
start_game() {
  "$RUNDIR/dist/plumet" >"$OUT/plumet.log" 2>&1 &
  GAME=$!
  PIDS+=($GAME)
  WIN=$(wait_window "$GAME" none 10) || fail "no game window"
}
key() {
  press "$WIN" "$1"
  sleep 0.3
}

# write_open_record FILE: a progress record with every stage open and none cleared
# (HighestStage 54 and the bonus flag, and the checksum over the fields).
write_open_record() {
  python3 - "$1" <<'PY'
import sys
rec = bytearray(63)
rec[0] = 54
rec[58] = 1
rec[59:63] = (56 * (54 + 1)).to_bytes(4, "little")
open(sys.argv[1], "wb").write(rec)
PY
}
