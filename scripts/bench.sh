#!/usr/bin/env bash
# Performance figures in one command: the space benchmarks (octree builds and queries, the collision queries on
# the default level), the GL baseline (the level's world triangles along the walk demo's camera path, nothing
# else) and both timedemos, then the walk timedemo's frame time against the baseline's.
#
# Usage: scripts/bench.sh [--rounds N] [BUILD]        (default: a Release build in build-release/, made first)
#        scripts/bench.sh --memory [SECONDS] [--map NAME] [--demo FILE] [BUILD]
#                                                     a demo (the fight demo unless --demo names another)
#                                                     replayed as a timedemo over and over in one process for
#                                                     SECONDS (default 600), on the default level or map NAME,
#                                                     its resident memory (VmRSS) sampled every 5 s: first,
#                                                     largest and last sample
#
# A build named must be Release with the targets korvath, data, bench_space and bench_gl. The GL runs use
# $DISPLAY (e.g. Xvfb :91 -screen 0 1024x768x24 & export DISPLAY=:91); without one they render off-screen
# (--headless, SDL_VIDEODRIVER=offscreen). The baseline, the walk timedemo and the fight timedemo run in rounds
# (--rounds N, 2 by default), in turn; the quicker run of each counts for the ratio, since on a shared machine the
# slower one mostly measures the neighbours, and the end lists every round's own figures as well: the same
# binary's times move by a quarter from one minute to the next, so one run says little.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
mode=bench
seconds=600
memory_map=""
memory_demo="$root/assets/demos/fight.demo"
rounds=2
if [[ "${1:-}" == "--rounds" ]]; then
    if [[ ! "${2:-}" =~ ^[1-9][0-9]*$ ]]; then
        echo "bench.sh: --rounds needs a whole number of rounds, 1 or more (got '${2:-}')" >&2
        exit 2
    fi
    rounds="$2"
    shift 2
fi
if [[ "${1:-}" == "--memory" ]]; then
    mode=memory
    shift
    if [[ "${1:-}" =~ ^[0-9]+$ ]]; then
        seconds="$1"
        shift
    fi
    while [[ "${1:-}" == "--map" || "${1:-}" == "--demo" ]]; do
        if [[ -z "${2:-}" ]]; then
            echo "bench.sh: $1 needs a value" >&2
            exit 2
        fi
        if [[ "$1" == "--map" ]]; then
            memory_map="$2"
        else
            memory_demo="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
        fi
        shift 2
    done
fi
if [[ $# -gt 0 ]]; then
    build="$(cd "$1" && pwd)"
else
    # No build named: set up (or bring up to date) a Release build of our own, as the figures are meant.
    build="$root/build-release"
    "$root/scripts/setup.sh"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVATH_BENCHMARKS=ON > /dev/null
    cmake --build "$build" --target korvath data bench_space bench_gl -j "$(nproc 2>/dev/null || echo 2)"
fi
program="$build/korvath"
for needed in "$program" "$build/data.pck"; do
    if [[ ! -e "$needed" ]]; then
        echo "bench.sh: $needed is missing: build the korvath and data targets first" >&2
        exit 2
    fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" # the program writes its logs into the working directory

export SDL_AUDIODRIVER=dummy
game_options=(--archive "$build/data.pck" --no-dialogs)
if [[ -z "${DISPLAY:-}" ]]; then
    game_options+=(--headless)
    export SDL_VIDEODRIVER=offscreen
fi

# Milliseconds per frame from a timedemo report ("timedemo: N frames, S seconds, F fps").
frame_ms() {
    sed -n 's/^timedemo: \([0-9]*\) frames, \([0-9.]*\) seconds.*/\1 \2/p' "$1" | awk '{ printf "%.3f", 1000 * $2 / $1 }'
}

if [[ "$mode" == memory ]]; then
    # One long demo: the demo's frames repeated, each repetition shifted by the demo's length.
    demo="$memory_demo"
    if [[ ! -f "$demo" ]]; then
        echo "bench.sh: no demo $demo" >&2
        exit 2
    fi
    if [[ -n "$memory_map" ]]; then
        game_options+=(--map "$memory_map")
    fi
    length="$(awk '$1 ~ /^[0-9]+$/ && $1 > n { n = $1 } END { print n }' "$demo")"
    awk -v demoLength="$length" -v times=200 '
        $1 !~ /^[0-9]+$/ { next }
        { frames[++count] = $1; rests[count] = substr($0, length($1) + 1) }
        END {
            for (r = 0; r < times; ++r) {
                for (i = 1; i <= count; ++i) {
                    printf "%d%s\n", frames[i] + r * demoLength, rests[i]
                }
            }
        }' "$demo" > long.demo
    "$program" "${game_options[@]}" --timedemo long.demo > timedemo.txt 2>&1 &
    pid=$!
    echo "memory: $(basename "$demo") looped on ${memory_map:-the default level} in one process (pid $pid)" \
        "for $seconds s, VmRSS every 5 s"
    start=$(date +%s)
    : > rss.txt
    while kill -0 "$pid" 2> /dev/null && (( $(date +%s) - start < seconds )); do
        rss="$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2> /dev/null || true)"
        [[ -n "$rss" ]] && echo "$(( $(date +%s) - start )) $rss" >> rss.txt
        sleep 5
    done
    hwm="$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2> /dev/null || true)"
    # SIGTERM reaches the game as a quit request (SIGINT would not: a background job of a script ignores it):
    # it ends the loop and prints its report.
    kill -TERM "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    grep -E '^(timedemo|  )' timedemo.txt || true
    echo "  VmRSS (MiB) at each full minute:"
    awk '$1 % 60 < 5 { printf "    %4d s %7.1f\n", $1, $2 / 1024 }' rss.txt
    # The first tenth of the run (at least 10 s) is the warm-up: loading, and the lists filling up for the
    # first time. Growth is measured from the first sample after it.
    warmup=$(( seconds / 10 > 10 ? seconds / 10 : 10 ))
    awk -v hwm="$hwm" -v warmup="$warmup" '
        $1 < warmup { next }
        first == "" { first = $2; firstAt = $1 }
        $2 > peak { peak = $2; peakAt = $1 }
        { last = $2; lastAt = $1 }
        END {
            printf "  first sample %7.1f MiB at %4d s\n", first / 1024, firstAt
            printf "  largest      %7.1f MiB at %4d s\n", peak / 1024, peakAt
            printf "  last sample  %7.1f MiB at %4d s\n", last / 1024, lastAt
            printf "  growth from the first to the last sample: %+.1f MiB\n", (last - first) / 1024
            printf "  (the timedemo keeps 48 bytes of figures per frame for its percentiles: that much growth is its own)\n"
            if (hwm != "") { printf "  peak (VmHWM) %7.1f MiB\n", hwm / 1024 }
        }' rss.txt
    exit 0
fi

echo "== space benchmarks"
"$build/tests/benchmarks/bench_space" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
    grep -E '^(Benchmark|-|.*_median)'

best_baseline=""
best_walk=""
round_ratios=""
fight_p99s=""
for round in $(seq 1 "$rounds"); do
    echo "== round $round: GL baseline (world triangles along the walk demo's camera)"
    "$build/tests/benchmarks/gl/bench_gl" --benchmark_out=baseline.json --benchmark_out_format=json 2>&1 |
        grep -E '^(Benchmark|WalkWorld)'
    baseline="$(python3 -c 'import json,sys; print("%.3f" % json.load(open(sys.argv[1]))["benchmarks"][0]["real_time"])' baseline.json)"
    if [[ "$baseline" == "0.000" ]]; then
        echo "bench.sh: the GL baseline did not run (see its error above)" >&2
        exit 1
    fi
    echo "== round $round: walk timedemo"
    "$program" "${game_options[@]}" --timedemo "$root/assets/demos/walk.demo" > walk.txt 2>&1 || { cat walk.txt; exit 1; }
    cat walk.txt
    walk="$(frame_ms walk.txt)"
    echo "   baseline $baseline ms/frame, walk timedemo $walk ms/frame"
    if [[ -z "$best_baseline" ]] || awk -v a="$baseline" -v b="$best_baseline" 'BEGIN { exit !(a < b) }'; then
        best_baseline="$baseline"
    fi
    if [[ -z "$best_walk" ]] || awk -v a="$walk" -v b="$best_walk" 'BEGIN { exit !(a < b) }'; then
        best_walk="$walk"
    fi
    round_ratios+="$(awk -v b="$baseline" -v w="$walk" 'BEGIN { printf " %.2f", w / b }')"

    echo "== round $round: fight timedemo"
    "$program" "${game_options[@]}" --timedemo "$root/assets/demos/fight.demo" > fight.txt 2>&1 || { cat fight.txt; exit 1; }
    cat fight.txt
    fight_p99s+=" $(sed -n 's/^  engine CPU .*99th percentile \([0-9.]*\) ms.*/\1/p' fight.txt)"
done

echo "== fight timedemo, engine CPU per frame at the 99th percentile, each round (ms):$fight_p99s"

echo "== walk timedemo against the baseline (quicker run of each)"
awk -v b="$best_baseline" -v w="$best_walk" \
    'BEGIN { printf "  baseline %.3f ms/frame, walk timedemo %.3f ms/frame, ratio %.2f\n", b, w, w / b }'
echo "  each round's own ratio:$round_ratios"
