#!/usr/bin/env bash
# Runs every fuzz_* harness of a build for a bounded time or number of runs, each with its seed
# corpus, and fails if any of them finds a crash.
#
#   tools/fuzz/run.sh BUILD_DIR SECONDS         e.g. 10    (each fuzzer runs 10 s)
#   tools/fuzz/run.sh BUILD_DIR RUNSr           e.g. 1000000r (each fuzzer runs a million inputs)
#
# FUZZ_JOBS=N runs N parallel workers per fuzzer (default 1); FUZZ_ONLY="record settings" picks
# fuzzers by name; arguments after the first two go to libFuzzer as they are.
# New inputs that add coverage go to BUILD_DIR/fuzz/work/NAME, crashes to
# BUILD_DIR/fuzz/crashes/NAME/, each fuzzer's log to BUILD_DIR/fuzz/logs/NAME/.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS|RUNSr [libFuzzer options...]" >&2
  exit 2
fi
build="$(cd "$1" && pwd)"
budget="$2"
shift 2
here="$(cd "$(dirname "$0")" && pwd)"
jobs="${FUZZ_JOBS:-1}"

case "$budget" in
  *[0-9]r) limit=(-runs="${budget%r}") ;;
  *[0-9]) limit=(-max_total_time="$budget") ;;
  *) echo "budget must be seconds (10) or runs (1000000r): $budget" >&2; exit 2 ;;
esac

shopt -s nullglob
fuzzers=()
for exe in "$build"/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  name="${exe##*/fuzz_}"
  if [ -n "${FUZZ_ONLY:-}" ] && [[ " $FUZZ_ONLY " != *" $name "* ]]; then continue; fi
  fuzzers+=("$name")
done
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "no fuzzers in $build/fuzz (configure with -DPLUMET_FUZZ=ON and build the 'fuzz' target)" >&2
  exit 2
fi

# Leaks count as faults; UBSan stops at the first report (the build does not recover).
# A smaller quarantine keeps freed memory hot: the harnesses allocate whole files per input.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:quarantine_size_mb=64}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
# The decoder library itself loses a few bytes on some damaged songs; our code's leaks still count.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/../../tests/lsan.supp}"

failed=()
summary=()
for name in "${fuzzers[@]}"; do
  work="$build/fuzz/work/$name"
  crashes="$build/fuzz/crashes/$name"
  logs="$build/fuzz/logs/$name"
  mkdir -p "$work" "$crashes" "$logs" "$build/fuzz/corpus/$name"
  rm -f "$logs"/*.log
  before=$(ls "$crashes" | wc -l)
  args=(-rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "${limit[@]}"
        -artifact_prefix="$crashes/")
  [ -f "$here/dict/$name.dict" ] && args+=(-dict="$here/dict/$name.dict")
  if [ "$jobs" -gt 1 ]; then
    # Each job runs the whole budget; libFuzzer writes one log per job into the working folder.
    args+=(-jobs="$jobs" -workers="$jobs")
  fi
  echo "== fuzz_$name (${budget}, ${jobs} worker(s))"
  status=0
  (cd "$logs" && "$build/fuzz/fuzz_$name" "${args[@]}" "$@" "$work" "$build/fuzz/corpus/$name" \
     >"$logs/main.log" 2>&1) || status=$?
  # With workers the main log repeats theirs at the end; count each worker's own log once.
  counted=("$logs"/main.log)
  [ "$jobs" -gt 1 ] && counted=("$logs"/fuzz-*.log)
  runs=0
  for log in "${counted[@]}"; do
    n=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -1)
    # A run that stopped at a crash has no final count: take its last status line's.
    [ -z "$n" ] && n=$(sed -n 's/^#\([0-9]*\)[[:space:]].*/\1/p' "$log" | tail -1)
    runs=$((runs + ${n:-0}))
  done
  after=$(ls "$crashes" | wc -l)
  if [ "$status" -ne 0 ] || [ "$after" -gt "$before" ]; then
    failed+=("$name")
    summary+=("fuzz_$name: FAILED after $runs runs (status $status); see $logs and $crashes")
    tail -n 40 "$logs"/*.log >&2 || true
  else
    summary+=("fuzz_$name: $runs runs")
  fi
  echo "${summary[-1]}"
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "crashes in: ${failed[*]}" >&2
  exit 1
fi
