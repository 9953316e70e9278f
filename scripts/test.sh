#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three times over:
# the normal build, a build under AddressSanitizer and UndefinedBehaviorSanitizer,
# and a build of the pure core alone, which proves that it needs no Qt.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  echo "=== $dir: $*"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" </dev/null
}

run_suite build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp \
  run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON
run_suite build/core -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_BUILD_GUI=OFF
