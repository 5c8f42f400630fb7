#!/usr/bin/env bash
# Installs what Korvath needs, builds it, and runs the whole test suite headless: once in the normal build
# and once more under AddressSanitizer and UndefinedBehaviorSanitizer. Starts Xvfb when no display is set.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"

run_headless() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

jobs="$(nproc 2>/dev/null || echo 2)"

echo "== Build"
# The maps get preview light maps (their visibility, which the tests check, is the shipping one); ./run.sh
# bakes them again at shipping quality.
"$root/scripts/build.sh" "$root/build" -DKORVATH_LEVEL_QUALITY=test
echo "== Tests"
run_headless ctest --test-dir "$root/build" --output-on-failure -j "$jobs" --timeout 600 -LE long

# The sanitizer stage copies the first build's data instead of baking it again with instrumented tools, and
# runs every test except the end-to-end runs of the working game (run above; the demos' replays stay, as they
# go through most of the game) and the soak: the unit tests, the fuzz corpora and every fault run.
echo "== Build with AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DKORVATH_SANITIZE=ON -DKORVATH_BENCHMARKS=OFF \
  -DKORVATH_DATA_FROM="$root/build"
echo "== Tests with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_odr_violation=0"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_headless ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" --timeout 900 -LE "e2e|soak|long"
run_headless ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" --timeout 900 -R "^DemoTraces[.]"
