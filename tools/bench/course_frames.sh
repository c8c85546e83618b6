#!/bin/bash
# Every frame of the whole-course headless run (stages/run_course.py: the main course through
# its ending, then the bonus area) hashed in two builds and compared frame by frame: a change
# meant to alter only the cost must leave every picture as it was.
#   tools/bench/course_frames.sh BUILD_A BUILD_B
# Both builds' plumet-headless need --hashes.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 2 ] || { echo "usage: $0 BUILD_A BUILD_B"; exit 2; }
WORK=$(mktemp -d /tmp/plumet-course-frames-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
status=0
for side in A B; do
  build=$([ $side = A ] && echo "$1" || echo "$2")
  build=$(cd "$build" && pwd)
  mkdir -p "$WORK/$side"
  # The runner's continuous runs are the ones that print the record: those are hashed.
  cat >"$WORK/$side/headless" <<SH
#!/bin/bash
for a in "\$@"; do
  if [ "\$a" = --record ]; then
    n=\$(ls "$WORK/$side" | grep -c '^hashes-')
    exec "$build/dist/plumet-headless" "\$@" --hashes "$WORK/$side/hashes-\$n"
  fi
done
exec "$build/dist/plumet-headless" "\$@"
SH
  chmod +x "$WORK/$side/headless"
  python3 "$ROOT/stages/run_course.py" "$WORK/$side/headless" "$build/dist" >"$WORK/$side/course.log" 2>&1 ||
    { echo "$side: the course run failed:"; tail -5 "$WORK/$side/course.log"; status=1; }
done
for f in "$WORK"/A/hashes-*; do
  name=$(basename "$f")
  if [ ! -s "$WORK/B/$name" ]; then echo "$name: no run in B"; status=1; continue; fi
  frames=$(wc -l <"$f")
  if cmp -s "$f" "$WORK/B/$name"; then
    echo "run $name: $frames frames, every one identical"
  else
    first=$(diff <(cat -n "$f") <(cat -n "$WORK/B/$name") | awk '/^</ {print $2; exit}')
    echo "run $name: frames differ, first at frame $first"; status=1
  fi
done
exit $status
