#!/usr/bin/env bash
# Configures and builds Korvath (program, data.pck, tests) in a build folder.
# Usage: scripts/build.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
shift || true
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$root" -B "$build" "$@" >/dev/null
cmake --build "$build" -j "$jobs"
