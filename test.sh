#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: first the unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the whole suite, end-to-end checks under
# Xvfb included, on the normal build.
source "$(dirname "$0")/scripts/common.sh"
install_packages

export XDG_RUNTIME_DIR="$(mktemp -d /tmp/plumet-xdg-XXXXXX)"
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

# The content generators run under the sanitizers too while the build makes the art and sound;
# leak reports are for the tests, with the font library's caches suppressed.
export UBSAN_OPTIONS=print_stacktrace=1
ASAN_OPTIONS=detect_leaks=0 \
  configure_and_build "$PLUMET_ROOT/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMET_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PLUMET_ROOT/tests/lsan.supp" \
  ctest --test-dir "$PLUMET_ROOT/build-asan" -LE 'e2e|course' --output-on-failure -j "$jobs"

configure_and_build "$PLUMET_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$PLUMET_ROOT/build" --output-on-failure -j "$jobs"
