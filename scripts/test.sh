#!/usr/bin/env bash
# Sets everything up, builds, and runs every test. Usage: scripts/test.sh [--sanitize | --thread]
# (see scripts/setup.sh: the same tests under AddressSanitizer, or the core's under ThreadSanitizer)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh "$@"
build=build
if [ "${1:-}" = "--thread" ]; then
  build=build-tsan
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
fi
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # Leaks inside Mesa's software renderer, seen by the viewer's window tests.
  export LSAN_OPTIONS=suppressions=$PWD/viewer/lsan.supp:print_suppressions=0
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
