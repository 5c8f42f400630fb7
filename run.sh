#!/usr/bin/env bash
# Installs what Korvath needs, builds it with its data, and starts the demo.
# Any arguments are passed to the program (see ./run.sh --help).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DKORVATH_LEVEL_QUALITY=full
cd "$root/build"
exec ./korvath "$@"
