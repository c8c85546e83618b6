#!/usr/bin/env bash
# Installs what is missing, checks the logic's guard, builds, and runs every test headless: first
# the unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, then the sound and shell
# tests under ThreadSanitizer, then the whole suite, end-to-end checks under Xvfb included, on
# the normal build, and last each fuzzer for a few seconds.
source "$(dirname "$0")/scripts/common.sh"
install_packages

export XDG_RUNTIME_DIR="$(mktemp -d /tmp/plumet-xdg-XXXXXX)"
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

# The guard first, before anything is built: the logic (game/, sound/, the editor outside
# editor/ui/) reaches the platform only through platform/api; no threads, clocks, rand or stdio.
python3 "$PLUMET_ROOT/tools/guard.py"

# The content generators run under the sanitizers too while the build makes the art and sound;
# leak reports are for the tests, with the font library's caches suppressed.
export UBSAN_OPTIONS=print_stacktrace=1
ASAN_OPTIONS=detect_leaks=0 \
  configure_and_build "$PLUMET_ROOT/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMET_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PLUMET_ROOT/tests/lsan.supp" \
  ctest --test-dir "$PLUMET_ROOT/build-asan" -LE 'e2e|course' --output-on-failure -j "$jobs"

# The sound and shell tests under ThreadSanitizer: the music notify thread against the main
# thread. Only their programs are built (the folders are named once, in tests/CMakeLists.txt;
# their tests carry the label "tsan"). The content generators the build runs draw with Qt's
# thread pool, which the sanitizer cannot follow, so they run with reports off; the tests' own
# suppressions (Qt's libraries only) are in tests/tsan.supp.
cmake -S "$PLUMET_ROOT" -B "$PLUMET_ROOT/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMET_TSAN=ON
TSAN_OPTIONS=report_bugs=0 cmake --build "$PLUMET_ROOT/build-tsan" --target plumet_tsan_tests
TSAN_OPTIONS="suppressions=$PLUMET_ROOT/tests/tsan.supp" \
  ctest --test-dir "$PLUMET_ROOT/build-tsan" -L tsan --output-on-failure -j "$jobs"

configure_and_build "$PLUMET_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$PLUMET_ROOT/build" --output-on-failure -j "$jobs"

# The fuzzers (clang, only their targets), seeded with the normal build's sounds, a few seconds
# each; tools/fuzz/README.md says how to run them long.
cmake -S "$PLUMET_ROOT" -B "$PLUMET_ROOT/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPLUMET_FUZZ=ON \
  -DPLUMET_FUZZ_SOUND_SEEDS="$PLUMET_ROOT/build/dist"
ASAN_OPTIONS=detect_leaks=0 cmake --build "$PLUMET_ROOT/build-fuzz" --target fuzz
"$PLUMET_ROOT/tools/fuzz/run.sh" "$PLUMET_ROOT/build-fuzz" 8
