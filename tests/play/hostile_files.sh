#!/bin/bash
# Hostile files through the real game (plumet-headless): a record that adds up but is out of
# range, files that are FIFOs or links to devices, a 3 GB sparse stage, and a record and a stage
# behind symbolic links with private modes. Each run must end in time with the right message,
# and no file may be lost or turned into something else.
# Usage: hostile_files.sh <plumet-headless> <output folder>
set -u
HEADLESS=$1 OUT=$2
DIST=${PLUMET_DIST:?PLUMET_DIST not set}
# Under the sanitizers the font library's caches are not our leaks.
[ -n "${PLUMET_SOURCE:-}" ] && export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PLUMET_SOURCE/tests/lsan.supp}
RUNDIR=$(mktemp -d)
trap 'rm -rf "$RUNDIR"' EXIT
mkdir -p "$OUT"
FAILS=0
fail() { echo "FAIL: $*"; FAILS=$((FAILS + 1)); }

# fresh: a private copy of the game folder.
fresh() {
  rm -rf "$RUNDIR/dist"
  mkdir -p "$RUNDIR/dist"
  cp -a "$DIST/plumet.map" "$DIST/plumetogg" "$DIST/plumetwave" "$RUNDIR/dist/"
}
# run NAME ARGS...: the game with a time limit; its output in $OUT/NAME.log.
run() {
  local name=$1
  shift
  timeout 60 "$HEADLESS" --folder "$RUNDIR/dist" "$@" >"$OUT/$name.log" 2>&1
  local rc=$?
  [ $rc = 124 ] && fail "$name: hung"
  [ $rc = 0 ] || [ $rc = 2 ] || fail "$name: ended with status $rc"
  grep -q "runtime error\|Sanitizer" "$OUT/$name.log" && fail "$name: sanitizer report"
  return $rc
}
# record HIGHEST: a 63-byte record with no marks and a matching checksum.
record() {
  python3 -c "
import sys, struct
h = $1
body = bytes([h]) + bytes(56) + bytes([0, 0])
sys.stdout.buffer.write(body + struct.pack('<i', 56 * h))"
}
# stage: a walled room with the start right beside the goal.
stage() {
  python3 -c "
import sys
rows = bytearray([1] * 300)
for x in range(1, 19):
    for y in range(1, 14): rows[y * 20 + x] = 0
rows[13 * 20 + 1] = 4; rows[13 * 20 + 2] = 16
sys.stdout.buffer.write(bytes(rows) + bytes(14))"
}
mode() { stat -c %a "$1"; }
DAMAGED="記録データが壊れています。\\\\rクリア記録は抹消されました。"

# 1. A record with HighestStage 255 and a valid checksum is damaged: message, default, rewrite.
fresh
record 255 >"$RUNDIR/dist/plumet.rec"
run record255 --frames 5 --record
grep -q "$DAMAGED" "$OUT/record255.log" || fail "record 255: no damage message"
grep -q "record highest=3 cleared=0" "$OUT/record255.log" || fail "record 255: not reset"
[ "$(od -An -tu1 -N1 "$RUNDIR/dist/plumet.rec" | tr -d ' ')" = 3 ] || fail "record 255: file not rewritten"

# 2. The record behind a chain of links, private: rewritten through to the target, mode kept.
fresh
mkdir "$RUNDIR/dist/saves"
record 255 >"$RUNDIR/dist/saves/real.rec"
chmod 600 "$RUNDIR/dist/saves/real.rec"
ln -s saves/real.rec "$RUNDIR/dist/mid.rec"
ln -s "$RUNDIR/dist/mid.rec" "$RUNDIR/dist/plumet.rec"
run recordlink --frames 5 --record
[ -L "$RUNDIR/dist/plumet.rec" ] && [ -L "$RUNDIR/dist/mid.rec" ] || fail "record link: the links were replaced"
[ "$(od -An -tu1 -N1 "$RUNDIR/dist/saves/real.rec" | tr -d ' ')" = 3 ] || fail "record link: target not rewritten"
[ "$(mode "$RUNDIR/dist/saves/real.rec")" = 600 ] || fail "record link: mode $(mode "$RUNDIR/dist/saves/real.rec")"

# 3. Start-up files that are FIFOs or links to a device: no hang, the message, the file kept.
for f in plumet.rec plumet.str plumet.ini plumet.map; do
  for kind in fifo zero; do
    fresh
    rm -f "$RUNDIR/dist/$f"
    if [ $kind = fifo ]; then mkfifo "$RUNDIR/dist/$f"; else ln -s /dev/zero "$RUNDIR/dist/$f"; fi
    run "start-$f-$kind" --frames 5
    case $f in
      plumet.rec) want="記録データを読みこめませんでした。" ;;
      plumet.str) want="フォルダ記録ファイル(plumet.str)を読みこめませんでした。" ;;
      plumet.map) want="マップデータの読みこみに失敗しました。" ;;
      *) want="exit: frames" ;;
    esac
    grep -q "$want" "$OUT/start-$f-$kind.log" || fail "$f as $kind: no '$want'"
    if [ $kind = fifo ]; then [ -p "$RUNDIR/dist/$f" ]; else [ -L "$RUNDIR/dist/$f" ]; fi ||
      fail "$f as $kind: replaced"
  done
done

# A sound effect that is a FIFO is skipped like a missing one.
fresh
rm "$RUNDIR/dist/plumetwave/goal.wav"
mkfifo "$RUNDIR/dist/plumetwave/goal.wav"
run wave-fifo --frames 5
grep -q "exit: frames" "$OUT/wave-fifo.log" || fail "wave FIFO: the start did not finish"

# 4. User stage files: a FIFO and a link to /dev/zero are refused at once; a 3 GB sparse one
# is read only as far as its 314 bytes.
fresh
mkfifo "$RUNDIR/fifo.krm"
ln -s /dev/zero "$RUNDIR/zero.krm"
for f in fifo zero; do
  run "stage-$f" --stage "$RUNDIR/$f.krm" --frames 5
  grep -q "cannot read stage file" "$OUT/stage-$f.log" || fail "stage $f: not refused"
done
stage >"$RUNDIR/huge.krm"
truncate -s 3G "$RUNDIR/huge.krm"
run stage-huge --stage "$RUNDIR/huge.krm" --frames 5 || fail "stage huge: rc $?"
grep -q "exit: frames" "$OUT/stage-huge.log" || fail "stage huge: did not play"

# 5. A stage behind a link, private, cleared: the cleared mark written through the link.
mkdir -p "$RUNDIR/maps"
stage >"$RUNDIR/maps/real.krm"
chmod 600 "$RUNDIR/maps/real.krm"
ln -s maps/real.krm "$RUNDIR/mine.krm"
printf '40 Right\n' >"$RUNDIR/right.keys"
run stage-link --stage "$RUNDIR/mine.krm" --from play --keys "$RUNDIR/right.keys" --frames 900
[ -L "$RUNDIR/mine.krm" ] || fail "stage link: the link was replaced"
[ "$(od -An -tu1 -j310 -N1 "$RUNDIR/maps/real.krm" | tr -d ' ')" = 1 ] || fail "stage link: no cleared mark in the target"
[ "$(stat -c %s "$RUNDIR/maps/real.krm")" = 314 ] || fail "stage link: size"
[ "$(mode "$RUNDIR/maps/real.krm")" = 600 ] || fail "stage link: mode $(mode "$RUNDIR/maps/real.krm")"
ls "$RUNDIR/maps" "$RUNDIR/dist" | grep -q '\.tmp' && fail "a temporary file was left"

# 6. The editor reads its folder file at start: as a FIFO or a link to /dev/zero it must reach
# its event loop (waiting in poll, not in opening or reading the file) and leave the file be.
if [ -x "$DIST/plumetedit" ]; then
  for kind in fifo zero; do
    rm -rf "$RUNDIR/ed"
    mkdir -p "$RUNDIR/ed/plumetogg"
    cp "$DIST/plumetedit" "$RUNDIR/ed/"
    cp "$DIST/plumetogg/wuvorbis.dll" "$RUNDIR/ed/plumetogg/"
    if [ $kind = fifo ]; then mkfifo "$RUNDIR/ed/pledit.str"; else ln -s /dev/zero "$RUNDIR/ed/pledit.str"; fi
    SDL_AUDIODRIVER=dummy "$RUNDIR/ed/plumetedit" >"$OUT/editor-$kind.log" 2>&1 &
    ed=$!
    waiting=
    for _ in $(seq 1 60); do
      sleep 0.5
      kill -0 $ed 2>/dev/null || break
      waiting=$(cat /proc/$ed/wchan 2>/dev/null)
      case $waiting in *poll*) break ;; esac
    done
    if kill -0 $ed 2>/dev/null; then
      case $waiting in *poll*) ;; *) fail "editor with pledit.str as $kind: stuck in '$waiting'" ;; esac
      kill $ed
      wait $ed 2>/dev/null
    else
      wait $ed
      fail "editor with pledit.str as $kind: ended with status $?"
    fi
    if [ $kind = fifo ]; then [ -p "$RUNDIR/ed/pledit.str" ]; else [ -L "$RUNDIR/ed/pledit.str" ]; fi ||
      fail "editor: pledit.str as $kind replaced"
    grep -q "runtime error\|Sanitizer" "$OUT/editor-$kind.log" && fail "editor with pledit.str as $kind: sanitizer report"
  done
fi

[ $FAILS = 0 ] && echo PASS || { echo "$FAILS failed"; exit 1; }
