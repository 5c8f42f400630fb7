#!/usr/bin/env bash
# The collision queries side by side: this tree's build, an earlier revision's build and the peer engine
# (Irrlicht 1.8's ellipsoid collide-and-slide, Debian's libirrlicht-dev), all on the same level triangles and the
# same motions of the collision lab, in alternated rounds; then the tunnelling failures by motion length of this
# build, the earlier one and the peer, and how far this build's ends of the walking motions lie from the earlier
# build's.
#
# Usage: scripts/bench-collision.sh [--rounds N] [--tunnel MOTIONS] [REVISION]
#   REVISION   the earlier build (default 129ca4c, the last one before the collision core was reworked)
#   --rounds   timed rounds, each running the three in turn (default 3)
#   --tunnel   tunnelling motions on the default level (as many again over three generated rooms; default 100000)
#
# Builds (Release) in build-release/ and, for the earlier revision, in build-collision-base/ (a work tree of that
# revision with this tree's collision lab and benchmark sources copied in, so that both time the very same
# motions). The figures go to stdout; docs/performance.md records them.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
rounds=3
tunnel=100000
base_revision=129ca4c
while [[ $# -gt 0 ]]; do
    case "$1" in
    --rounds)
        rounds="${2:?--rounds needs a number}"
        shift 2
        ;;
    --tunnel)
        tunnel="${2:?--tunnel needs a number}"
        shift 2
        ;;
    -*)
        echo "bench-collision.sh: unknown option $1" >&2
        exit 2
        ;;
    *)
        base_revision="$1"
        shift
        ;;
    esac
done
if [[ ! "$rounds" =~ ^[1-9][0-9]*$ || ! "$tunnel" =~ ^[1-9][0-9]*$ ]]; then
    echo "bench-collision.sh: --rounds and --tunnel take whole numbers of 1 or more" >&2
    exit 2
fi

"$root/scripts/setup.sh" libirrlicht-dev
jobs="$(nproc 2>/dev/null || echo 2)"

echo "== build of this tree (Release)"
current="$root/build-release"
cmake -S "$root" -B "$current" -DCMAKE_BUILD_TYPE=Release -DKORVATH_BENCHMARKS=ON > /dev/null
cmake --build "$current" --target data bench_space bench_collision_peer collision_lab -j "$jobs" > /dev/null

echo "== build of $base_revision (Release), with this tree's collision lab and benchmarks"
base_tree="$root/build-collision-base/src"
base="$root/build-collision-base/build"
if [[ ! -d "$base_tree" ]]; then
    git -C "$root" worktree add --detach "$base_tree" "$base_revision" > /dev/null
else
    git -C "$base_tree" checkout --quiet --detach "$base_revision"
fi
git -C "$base_tree" checkout --quiet -- .
mkdir -p "$base_tree/tests/collision/lab"
cp "$root"/tests/collision/lab/*.h "$root"/tests/collision/lab/*.cpp "$base_tree/tests/collision/lab/"
cp "$root/tests/collision/CMakeLists.txt" "$base_tree/tests/collision/"
cp "$root/tests/benchmarks/CollisionBenchmark.cpp" "$root/tests/benchmarks/CMakeLists.txt" "$base_tree/tests/benchmarks/"
mkdir -p "$base_tree/tests/benchmarks/peer"
cp "$root"/tests/benchmarks/peer/* "$base_tree/tests/benchmarks/peer/"
cmake -S "$base_tree" -B "$base" -DCMAKE_BUILD_TYPE=Release -DKORVATH_BENCHMARKS=ON > /dev/null
cmake --build "$base" --target data bench_space collision_lab -j "$jobs" > /dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Items per second of one benchmark from a Google Benchmark JSON file.
rate() {
    python3 -c 'import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b["name"] == sys.argv[2]:
        print("%.0f" % b["items_per_second"])' "$1" "$2"
}

filter='CollideAndSlide|CastSegment|IsSegmentBlocked'
echo "== $rounds rounds: queries per second (this tree / $base_revision / peer)"
for round in $(seq 1 "$rounds"); do
    "$base/tests/benchmarks/bench_space" --benchmark_filter="$filter" --benchmark_out="$work/base.json" \
        --benchmark_out_format=json > /dev/null 2>&1
    "$current/tests/benchmarks/bench_space" --benchmark_filter="$filter" --benchmark_out="$work/current.json" \
        --benchmark_out_format=json > /dev/null 2>&1
    "$current/tests/benchmarks/peer/bench_collision_peer" --benchmark_out="$work/peer.json" \
        --benchmark_out_format=json > /dev/null 2>&1
    peer="$(rate "$work/peer.json" PeerCollideAndSlideWalking)"
    for name in CollideAndSlideWalking CollideAndSlideEmbedded CastSegmentShots IsSegmentBlockedSightLines; do
        now="$(rate "$work/current.json" "$name")"
        before="$(rate "$work/base.json" "$name")"
        line="$(printf 'round %d  %-28s %10s /s  before %10s /s  x %5.2f' "$round" "$name" "$now" "$before" \
            "$(awk -v a="$now" -v b="$before" 'BEGIN { print a / b }')")"
        if [[ "$name" == CollideAndSlideWalking ]]; then
            line+="$(printf '   peer %9s /s  x %5.2f the peer' "$peer" "$(awk -v a="$now" -v b="$peer" 'BEGIN { print a / b }')")"
        fi
        echo "$line"
    done
done

echo "== tunnelling: random motions of 0 to 10 units from clear starts"
echo "-- this tree"
"$current/tests/collision/collision_lab" tunnel "$tunnel" || true
echo "-- $base_revision"
"$base/tests/collision/collision_lab" tunnel "$tunnel" || true
echo "-- the peer"
"$current/tests/benchmarks/peer/bench_collision_peer" tunnel "$tunnel" 2> /dev/null | grep -v -E '^(Irrlicht|Linux|Needed)' || true

echo "== walking motions: this tree's ends against $base_revision's"
"$base/tests/collision/collision_lab" ends "$work/ends.txt"
"$current/tests/collision/collision_lab" compare "$work/ends.txt"
