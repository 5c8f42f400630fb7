#!/usr/bin/env bash
# Soak test: the fight demo's input played in a loop for many frames at a fixed step (gun bursts, rockets and
# their explosions, the spotlight, the pause panel and its help, the weapon switch), watching what must not
# grow in a long session.
#
# Usage: scripts/soak.sh [FRAMES] [BUILD]     (default 200000 frames; build folder "build" in the repository)
#        SOAK_DIR=DIR scripts/soak.sh ...      keeps the run's files in DIR (default: a temporary folder that
#                                              is removed when the run passes)
#        SOAK_FAST_FORWARD=1 scripts/soak.sh ... runs with --fast-forward: every frame submitted, none rasterised
#                                              (the test suite's short run)
#
# The run is off-screen (--headless, 640x480) with the dummy audio driver, and with MESA_DEBUG set, so that
# Mesa names every OpenGL error on stderr as it happens. It passes when
#   - the program ends by itself with status 0 after exactly FRAMES frames;
#   - no OpenGL error was raised (none named by Mesa, none logged by the game's own error watch);
#   - the lists of the trace (projectiles, rockets, decals, explosions) stay within their bounds: the most
#     any later repetition of the demo reaches is within a quarter (plus 2) of what the second (and third)
#     reached, every repetition ends with them as full as the first ended (within the same margin), and
#     none is ever above what the weapons' rates and lifetimes allow;
#   - resident memory (VmRSS, sampled every second) does not grow after the warm-up (the first minute and
#     the first repetition of the demo, whichever ends later, but no more than half the run: llvmpipe and
#     the allocator settle within it) by more than SOAK_RSS_SLACK_MIB (default 8).
# It prints the figures: frames, time, frames per second, resident memory at the end of the warm-up, at its
# peak afterwards and at the end, each list's peak, and the OpenGL error counts.
set -euo pipefail

frames="${1:-200000}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${2:-$root/build}" && pwd)"
slack_mib="${SOAK_RSS_SLACK_MIB:-8}"
step=16 # the frame time the demo was recorded at
fast_forward=""
if [[ "${SOAK_FAST_FORWARD:-0}" == "1" ]]; then
    fast_forward="--fast-forward"
fi

# Mesa's software rasteriser sizes the memory of its binning threads by how far they fall behind the game,
# which depends on what else the machine runs: +3 to +19 MiB over the same run under load. Rasterising on the
# game's own thread keeps its memory the game's alone (flat to the kilobyte over this run), at the same speed.
export LP_NUM_THREADS="${LP_NUM_THREADS:-0}"

program="$build/korvath"
archive="$build/data.pck"
demo="$root/assets/demos/fight.demo"
for needed in "$program" "$archive" "$demo"; do
    if [ ! -e "$needed" ]; then
        echo "soak: $needed is missing (build the korvath and data targets first)" >&2
        exit 2
    fi
done

if [ -n "${SOAK_DIR:-}" ]; then
    work="$SOAK_DIR"
    mkdir -p "$work"
    keep=1
else
    work="$(mktemp -d "${TMPDIR:-/tmp}/korvath-soak.XXXXXX")"
    keep=0
fi

# --- The looped script: the demo's events (its recorded frame times are replaced by the fixed step), its
# frame numbers shifted by one demo length per repetition. The demo leaves the view turned; a mouse move at
# the end of each repetition turns it back, so that every repetition aims at the same walls and the lists'
# sizes can be compared between repetitions.
period="$(awk '$1 ~ /^[0-9]+$/ && $1 > last { last = $1 } END { print last }' "$demo")"
awk -v period="$period" -v frames="$frames" '
    $1 ~ /^[0-9]+$/ && $2 != "dt" {
        events[++count] = $0
        if ($2 == "mouse" && $3 == "move") { turnX += $4; turnY += $5 }
    }
    END {
        for (offset = 0; offset < frames; offset += period) {
            for (i = 1; i <= count; ++i) {
                split(events[i], words, " ")
                frame = words[1] + offset
                if (frame > frames) { break }
                line = events[i]
                sub(/^[0-9]+/, frame, line)
                print line
            }
            if (offset + period <= frames) { print offset + period, "mouse move", -turnX, -turnY }
        }
    }' "$demo" > "$work/soak-script.txt"

# --- The run, with a sampler of its resident memory beside it.
echo "soak: $frames frames of the fight demo (a repetition every $period frames) in $work"
start="$(date +%s.%N)"
(
    cd "$work"
    rm -f Korvath.log
    # Mesa's error lines are counted, each kind once with the times Mesa named it (it folds repeats into
    # "N similar" lines, which count but do not say the kind); everything else on stderr is kept as it is.
    MESA_DEBUG=1 SDL_AUDIODRIVER=dummy "$program" --archive "$archive" --headless --mode 0 \
        --fixed-step "$step" --frames "$frames" --script soak-script.txt --trace trace.jsonl ${fast_forward} \
        2> >(awk '/^Mesa: User error/ { ++errors; ++kinds[$0]; next }
                  /^Mesa: [0-9]+ similar / { errors += $2; next }
                  { print > "stderr.txt" }
                  END { for (kind in kinds) { printf "%8d  %s\n", kinds[kind], kind > "gl-errors.txt" }
                        print errors + 0 > "gl-error-count.txt" }') &
    pid=$!
    echo "$pid" > program.pid
    : > rss.txt
    while kill -0 "$pid" 2> /dev/null; do
        rss="$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2> /dev/null || true)"
        frame="$(tail -c 2000 trace.jsonl 2> /dev/null | grep -o '"frame": [0-9]*' | tail -n 1 | awk '{ print $2 }' || true)"
        now="$(date +%s.%N)"
        if [ -n "$rss" ]; then
            echo "$(awk -v a="$start" -v b="$now" 'BEGIN { printf "%.1f", b - a }') ${frame:-0} $rss" >> rss.txt
        fi
        sleep 1
    done
    status=0
    wait "$pid" || status=$?
    echo "$status" > exit-status.txt
)
end="$(date +%s.%N)"
# The error filter ends with the program's stderr; give it a moment to write its count.
for _ in 1 2 3 4 5 6 7 8 9 10; do
    [ -s "$work/gl-error-count.txt" ] && break
    sleep 0.2
done

# --- Checks and figures.
failed=0
fail() {
    echo "soak: FAILED: $*" >&2
    failed=1
}

status="$(cat "$work/exit-status.txt")"
[ "$status" = "0" ] || fail "the program ended with status $status: $(tail -n 5 "$work/stderr.txt" 2> /dev/null)"

last_frame="$(tail -n 1 "$work/trace.jsonl" 2> /dev/null | grep -o '"frame": [0-9]*' | awk '{ print $2 }')"
[ "${last_frame:-0}" = "$frames" ] || fail "the trace ends at frame ${last_frame:-none}, not $frames"

seconds="$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')"
echo "soak: $frames frames in $seconds s ($(awk -v f="$frames" -v s="$seconds" 'BEGIN { printf "%.1f", f / s }') frames/s)"

# Lists: the peak of each repetition; no later one may exceed the level of the early ones, and none the
# weapons' rules.
#   decals: a gun hole lives 8000 ms and the gun fires every 100 ms at most; rocket scorches are fewer.
#   projectiles: 20 sparks a gun hit (500 ms) and 100 an explosion, plus rockets in flight.
list_report="$(awk -v period="$period" '
    {
        frame = 0
        if (match($0, /"frame": [0-9]+/)) { frame = substr($0, RSTART + 9, RLENGTH - 9) + 0 }
        window = int((frame - 1) / period)
        if (window > windows) { windows = window }
        for (i = 1; i <= 4; ++i) {
            key = names[i]
            if (match($0, "\"" key "\": [0-9]+")) {
                value = substr($0, RSTART + length(key) + 4, RLENGTH - length(key) - 4) + 0
                if (value > peak[key, window]) { peak[key, window] = value }
                if (value > overall[key]) { overall[key] = value }
                if (frame % period == 0) { atEnd[key, frame / period] = value; ends = frame / period }
            }
        }
    }
    BEGIN { names[1] = "projectiles"; names[2] = "rockets"; names[3] = "decals"; names[4] = "explosions"
            limit["projectiles"] = 400; limit["rockets"] = 60; limit["decals"] = 120; limit["explosions"] = 40 }
    END {
        # The first repetition starts from empty lists, the next ones inherit what the last burst left, so the
        # level is set by the second repetition (and the third, in a long run) and the later ones are held to it.
        first = 1
        last = windows >= 4 ? 2 : 1
        for (i = 1; i <= 4; ++i) {
            key = names[i]
            level = 0
            for (w = first; w <= last; ++w) { if (peak[key, w] > level) { level = peak[key, w] } }
            later = 0
            for (w = last + 1; w <= windows; ++w) { if (peak[key, w] > later) { later = peak[key, w] } }
            # The random spread of the gun turns a few hits into misses and back from one repetition to the next;
            # a list that keeps what it should drop gains a whole repetition of them each time.
            verdict = "ok"
            if (later > level + int(level / 4) + 2) { verdict = "GROWS" }
            # Every repetition ends in the same state as the first: what is still alive then came from the
            # same last shots. A list that keeps what it should drop ends each repetition fuller.
            endings = ""
            for (r = 1; r <= ends; ++r) {
                endings = endings (r > 1 ? " " : "") atEnd[key, r]
                if (r > 1 && atEnd[key, r] > atEnd[key, 1] + int(atEnd[key, 1] / 4) + 2) { verdict = "GROWS" }
            }
            if (overall[key] > limit[key]) { verdict = "ABOVE LIMIT " limit[key] }
            printf "%s peak %d (repetitions %d to %d: %d, later: %d; at the ends of repetitions: %s) %s\n",
                   key, overall[key], first + 1, last + 1, level, later, endings, verdict
        }
    }' "$work/trace.jsonl")"
echo "$list_report" | sed 's/^/soak: /'
if echo "$list_report" | grep -q -e "GROWS" -e "ABOVE LIMIT"; then
    fail "a list of the trace is not bounded"
fi

# Memory: after the warm-up, resident memory stays within the slack of what it was at the warm-up's end.
memory_report="$(awk -v period="$period" -v slack="$slack_mib" -v frames="$frames" '
    {
        seconds = $1; frame = $2; rss = $3
        if (!warm && frame >= period && (seconds >= 60 || frame >= frames / 2)) { warm = 1; base = rss; baseAt = frame }
        if (warm && rss > peak) { peak = rss; peakAt = frame }
        if (first == "") { first = rss }
        last = rss; lastAt = frame
    }
    END {
        if (!warm) { printf "none: the run ended before its warm-up (start %.1f MiB, end %.1f MiB)\n", first / 1024, last / 1024; exit }
        growth = (peak - base) / 1024
        printf "at warm-up end (frame %d) %.1f MiB, peak after it %.1f MiB (frame %d), at the end %.1f MiB (frame %d): growth %.1f MiB %s\n",
               baseAt, base / 1024, peak / 1024, peakAt, last / 1024, lastAt, growth, (growth > slack ? "GROWS" : "ok")
    }' "$work/rss.txt")"
echo "soak: resident memory $memory_report"
case "$memory_report" in
    none*) fail "too few memory samples to judge" ;;
    *GROWS*) fail "resident memory grows after the warm-up by more than $slack_mib MiB" ;;
esac

# OpenGL errors: named by Mesa as they happen, and the game's own watch logs the first it sees.
gl_errors="$(cat "$work/gl-error-count.txt" 2> /dev/null || echo unknown)"
watch_line="$(grep -m 1 "OpenGL error 0x" "$work/Korvath.log" 2> /dev/null || true)"
echo "soak: OpenGL errors named by Mesa: $gl_errors${watch_line:+; the game logged: $watch_line}"
if [ "$gl_errors" != "0" ]; then
    fail "OpenGL errors were raised (kinds, with the times Mesa named each):
$(sort -rn "$work/gl-errors.txt" 2> /dev/null)"
fi
[ -z "$watch_line" ] || fail "the game's error watch saw an OpenGL error"

if [ "$failed" != 0 ]; then
    echo "soak: the run's files are in $work" >&2
    exit 1
fi
echo "soak: passed"
if [ "$keep" = 0 ]; then
    rm -rf "$work"
fi
