#!/usr/bin/env bash
# The long checks, too slow for the test suite: every fuzz target for a while, the soak test's full run, and the
# tunnelling check over a million random motions on the default level and as many over generated rooms.
#
# Usage: scripts/long-tests.sh [FUZZ_SECONDS] [SOAK_FRAMES]   (default 300 seconds a target, 200000 frames)
#        KORVATH_BUILD=DIR scripts/long-tests.sh ...            the ordinary build to soak (default build/)
#
# The fuzz targets run in their own clang build (scripts/fuzz.sh, build-fuzz/); the soak and the tunnelling check
# use the ordinary build, whose program, data and collision tests they build first. Ends with status 1 when either found a problem; both run
# regardless, so that one report covers both.
set -uo pipefail

fuzz_seconds="${1:-300}"
soak_frames="${2:-200000}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KORVATH_BUILD:-$root/build}"

status=0

echo "== fuzzing, $fuzz_seconds s a target"
if ! "$root/scripts/fuzz.sh" "$fuzz_seconds"; then
    status=1
fi

echo "== soak, $soak_frames frames"
if ! cmake -S "$root" -B "$build" -DKORVATH_BENCHMARKS=OFF > /dev/null ||
    ! cmake --build "$build" --target korvath data test_collision -j2; then
    echo "long-tests: the build for the soak failed" >&2
    exit 1
fi
if ! "$root/scripts/soak.sh" "$soak_frames" "$build"; then
    status=1
fi

echo "== tunnelling, a million motions"
if ! ctest --test-dir "$build" -L long -R collision.tunnelling.long --output-on-failure; then
    status=1
fi

exit $status
