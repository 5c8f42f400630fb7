#!/usr/bin/env bash
# Fuzzes the scene file and OBJ parsers with libFuzzer.
#
# Usage: scripts/fuzz.sh [SECONDS]   (default 60 seconds per target)
#
# Configures a separate clang build in build-fuzz with KORVATH_FUZZ=ON (the libraries instrumented for
# coverage and AddressSanitizer), builds the fuzz targets and runs each for the given time. New inputs go to
# build-fuzz/corpus/<target>; the seed corpus in tests/fuzz/corpus is only read. A crash leaves its input
# in build-fuzz/artifacts and ends the script with a non-zero status: turn it into a regression test.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
instrument="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKORVATH_FUZZ=ON -DKORVATH_BENCHMARKS=OFF \
    -DKORVATH_WERROR=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$instrument" -DCMAKE_CXX_FLAGS="$instrument" >/dev/null
cmake --build "$build" --target fuzz_scene_file fuzz_obj -j2

status=0
for target in scene_file:scene obj:obj; do
    name="${target%%:*}"
    seeds="${target##*:}"
    work="$build/corpus/$name"
    artifacts="$build/artifacts"
    mkdir -p "$work" "$artifacts"
    echo "== fuzz_$name for $seconds s"
    if ! "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
        -dict="$root/tests/fuzz/$seeds.dict" -artifact_prefix="$artifacts/$name-" -print_final_stats=1 \
        "$work" "$root/tests/fuzz/corpus/$seeds"; then
        echo "fuzz_$name found a problem; see $artifacts" >&2
        status=1
    fi
done
exit $status
