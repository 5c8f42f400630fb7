#!/usr/bin/env bash
# Installs what Korvath needs, builds it, and runs the whole test suite headless: once in the normal build
# and once more under AddressSanitizer and UndefinedBehaviorSanitizer. Starts Xvfb when no display is set.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

run_headless() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

jobs="$(nproc 2>/dev/null || echo 2)"
# Tests run one more at a time than there are cores: a quarter of a test's time is spent waiting (on real-time
# sound and frames, on Xvfb, on the disk), and the extra test fills it (on 2 cores, 232 s -> 196 s for the
# normal tests).
test_jobs=$((jobs + 1))

# Each stage's wall time, listed at the end: where a run's time went.
timings=""
timed() {
  local title="$1"
  shift
  echo "== $title"
  local start=$SECONDS
  "$@"
  timings="$timings$(printf '%5d s  %s' $((SECONDS - start)) "$title")"$'\n'
}

timed "Packages" "$root/scripts/setup.sh"

# The maps get preview light maps (their visibility, which the tests check, is the shipping one); ./run.sh
# bakes them again at shipping quality.
timed "Build" "$root/scripts/build.sh" "$root/build" -DKORVATH_LEVEL_QUALITY=test
timed "Tests" run_headless ctest --test-dir "$root/build" --output-on-failure -j "$test_jobs" --timeout 600 -LE long

# The sanitizer stage copies the first build's data instead of baking it again with instrumented tools, and
# runs every test except the end-to-end runs of the working game (run above; the demos' replays stay, as they
# go through most of the game) and the soak: the unit tests, the fuzz corpora and every fault run.
timed "Build with AddressSanitizer and UndefinedBehaviorSanitizer" \
  "$root/scripts/build.sh" "$root/build-asan" -DKORVATH_SANITIZE=ON -DKORVATH_BENCHMARKS=OFF -DKORVATH_DATA_FROM="$root/build"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_odr_violation=0"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
timed "Tests with AddressSanitizer and UndefinedBehaviorSanitizer" \
  run_headless ctest --test-dir "$root/build-asan" --output-on-failure -j "$test_jobs" --timeout 900 -LE "e2e|soak|long"
timed "Demo replays with the sanitizers" \
  run_headless ctest --test-dir "$root/build-asan" --output-on-failure -j "$test_jobs" --timeout 900 -R "^DemoTraces[.]"
echo "== Time of each stage"
printf '%s' "$timings"
