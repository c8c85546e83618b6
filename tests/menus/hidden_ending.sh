#!/bin/bash
# The headless game from the title's hidden item through the whole ending back to the title,
# with a record of stages 0..49 cleared: Z at the end opens the bonus area (the record grows
# to HighestStage 54), then END quits.
# Usage: hidden_ending.sh <plumet-headless> <scripts folder> <output folder>
set -eu
HEADLESS=$1 SCRIPTS=$2 OUT=$3
DIST=${PLUMET_DIST:?PLUMET_DIST not set}
RUNDIR=$(mktemp -d)
trap 'rm -rf "$RUNDIR"' EXIT
cp -a "$DIST" "$RUNDIR/dist"
cp "$SCRIPTS/stage50_open.rec" "$RUNDIR/dist/plumet.rec"
mkdir -p "$OUT"
"$HEADLESS" --folder "$RUNDIR/dist" --keys "$SCRIPTS/hidden_ending.keys" --frames 5000 \
  --trace --capture "$OUT" --at 300,1300,3800,4100 >"$OUT/run.log" 2>&1
grep -q "^exit: quit" "$OUT/run.log" || { echo "FAIL: no quit"; tail -3 "$OUT/run.log"; exit 1; }
# It ends as scripts/hidden_ending.outcome says: the exit, its frame and the final state line.
{ grep "^exit: " "$OUT/run.log"; grep "^state " "$OUT/run.log" | tail -1; } >"$OUT/outcome"
diff "$SCRIPTS/hidden_ending.outcome" "$OUT/outcome" || { echo "FAIL: the run did not end as expected"; exit 1; }
grep -q "scene=9" "$OUT/run.log" || { echo "FAIL: the ending did not run"; exit 1; }
# The record now opens the bonus area: HighestStage 54 and the bonus flag.
rec=$(od -An -tu1 -v "$RUNDIR/dist/plumet.rec" | tr -s ' \n' ' ')
set -- $rec
[ "$1" = 54 ] && [ "${59}" = 1 ] || { echo "FAIL: record not updated: $rec"; exit 1; }
echo "PASS"
