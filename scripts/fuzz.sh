#!/usr/bin/env bash
# Fuzzes the engine's input parsers with libFuzzer: the scene file, OBJ files, the archive and its pictures,
# picture files, WAV sounds, input scripts and the command line.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default 60 seconds per target, every target)
#        KORVATH_FUZZ_BUILD=DIR scripts/fuzz.sh ... uses another build folder than build-fuzz
#        KORVATH_FUZZ_RUNS=N scripts/fuzz.sh ... also stops each target after N inputs (whichever comes first)
#        KORVATH_FUZZ_TIMEOUT=S scripts/fuzz.sh ... counts an input as hanging after S seconds (default 10; raise
#        it for long runs on a machine shared with builds, where a slow but finite input may be kept waiting)
#
# Configures a separate clang build with KORVATH_FUZZ=ON (the libraries instrumented for coverage and
# AddressSanitizer), builds the fuzz targets and runs each for the given time. New inputs go to
# <build>/corpus/<target>; the seed corpus in tests/fuzz/corpus is only read. A crash leaves its input in
# <build>/artifacts and ends the script with a non-zero status: put the input into
# tests/fuzz/regressions/<target>/, where the ordinary test suite replays it, and fix the cause.
set -euo pipefail

seconds="${1:-60}"
shift || true
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KORVATH_FUZZ_BUILD:-$root/build-fuzz}"
instrument="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer"
runs="${KORVATH_FUZZ_RUNS:--1}"
timeout="${KORVATH_FUZZ_TIMEOUT:-10}"

# target:seed folder (and dictionary) in tests/fuzz
all_targets="scene_file:scene obj:obj archive:archive picture:picture wav:wav input_script:input_script options:options"
selected=""
if [ "$#" -eq 0 ]; then
    selected="$all_targets"
else
    for wanted in "$@"; do
        for target in $all_targets; do
            if [ "${target%%:*}" = "$wanted" ]; then
                selected="$selected $target"
            fi
        done
    done
fi
if [ -z "$selected" ]; then
    echo "no such fuzz target: $*" >&2
    exit 2
fi

"$root/scripts/setup.sh" clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKORVATH_FUZZ=ON -DKORVATH_BENCHMARKS=OFF \
    -DKORVATH_WERROR=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$instrument" -DCMAKE_CXX_FLAGS="$instrument" >/dev/null
names=""
for target in $selected; do
    names="$names fuzz_${target%%:*}"
done
# shellcheck disable=SC2086 # one argument per target
cmake --build "$build" --target $names -j2

status=0
for target in $selected; do
    name="${target%%:*}"
    seeds="${target##*:}"
    work="$build/corpus/$name"
    artifacts="$build/artifacts"
    mkdir -p "$work" "$artifacts"
    echo "== fuzz_$name for $seconds s"
    if ! "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -runs="$runs" -max_len=65536 -timeout="$timeout" -rss_limit_mb=2560 \
        -dict="$root/tests/fuzz/$seeds.dict" -artifact_prefix="$artifacts/$name-" -print_final_stats=1 \
        "$work" "$root/tests/fuzz/corpus/$seeds"; then
        echo "fuzz_$name found a problem; see $artifacts" >&2
        status=1
    fi
done
exit $status
