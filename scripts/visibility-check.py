#!/usr/bin/env python3
"""Random walks through a level, pictured with and without the level's visibility data.

Writes a random input script (walking, turning, looking up and down, jumps, zoom, the spotlight, both
weapons, and with --fly also fly mode switched on and off anywhere), runs the game twice on it with a fixed
step, once as it is and once with --no-visibility, saves every Nth frame of both runs and compares the
pictures byte for byte. Visibility must never change a picture: any frame that differs is printed with the
eye's place from the trace, and the script ends with status 1. With --script FILE it replays that script or
recording instead (a demo: --script assets/demos/walk.demo --frames 2449 --every 1). The runs stop after each
--chunk pictures and start again for the next, so that no more than that many pictures are on the disk at once.

Usage: scripts/visibility-check.py [--build DIR] [--map NAME] [--frames N] [--every N] [--seed N]
                                   [--walks N] [--fly] [--keep DIR] [--option=ARG ...]
       scripts/visibility-check.py --script FILE [--map NAME] [--frames N] [--every N] [--chunk N]
Needs a display (DISPLAY) or runs off-screen with --headless.
"""
import argparse
import filecmp
import os
import random
import shutil
import subprocess
import sys
import tempfile


def random_script(rng, frames, fly):
    lines = []
    frame = 2
    held = set()
    while frame < frames:
        length = rng.randint(10, 120)
        events = []
        wanted = set()
        if rng.random() < 0.8:
            wanted.add(rng.choice(["UP", "UP", "UP", "DOWN"]))
        if rng.random() < 0.3:
            wanted.add(rng.choice(["LEFT", "RIGHT"]))
        if rng.random() < 0.15:
            wanted.add("R")
        if rng.random() < 0.15:
            wanted.add("SHIFT")
        if fly and rng.random() < 0.1:
            wanted.add("HOME")
        for key in sorted(held - wanted):
            events.append(f"key up {key}")
        for key in sorted(wanted - held):
            events.append(f"key down {key}")
        held = wanted
        toggles = [("CONTROL", 0.15), ("TAB", 0.1)]
        if fly:
            toggles.append(("F", 0.2))
        for key, share in toggles:
            if rng.random() < share:
                events.append(f"key down {key}")
                lines.append(f"{frame + 1} key up {key}")
        if rng.random() < 0.2:
            events.append("mouse down right")
            lines.append(f"{frame + 2} mouse up right")
        if rng.random() < 0.15:
            events.append("mouse down left")
            lines.append(f"{frame + rng.randint(2, 40)} mouse up left")
        if events:
            lines.append(f"{frame} " + " ; ".join(events))
        turn = rng.choice([0, 0, rng.randint(-12, 12), rng.randint(-40, 40)])
        tilt = rng.choice([0, 0, 0, rng.randint(-4, 4)])
        if turn or tilt:
            for f in range(frame, min(frame + length, frames)):
                lines.append(f"{f} mouse move {turn} {tilt}")
        frame += length
    return "\n".join(sorted(lines, key=lambda line: int(line.split()[0]))) + "\n"


def run(args, script, shots, folder, extra, trace):
    command = [os.path.join(args.build, "korvath"), "--archive", os.path.join(args.build, "data.pck"),
               "--no-dialogs", "--fast-forward", "--script", script, "--frames", str(shots[-1]), "--trace", trace]
    with open(script) as lines:
        if not any(" dt " in line for line in lines):
            command += ["--fixed-step", "16"]  # a recording brings its own steps
    if args.map:
        command += ["--map", args.map]
    if args.headless:
        command.append("--headless")
    for frame in shots:
        command += ["--screenshot", f"{frame}:{os.path.join(folder, f'{frame}.png')}"]
    command += args.option + extra
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        sys.exit(f"{' '.join(command)}: exit status {result.returncode}\n{result.stderr}")


def eye_of(trace, frame):
    with open(trace) as lines:
        for line in lines:
            if line.startswith(f'{{"frame": {frame},'):
                return line.strip()[:200]
    return "(no trace line)"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--map", default="")
    parser.add_argument("--frames", type=int, default=3000)
    parser.add_argument("--every", type=int, default=10)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--walks", type=int, default=1)
    parser.add_argument("--fly", action="store_true")
    parser.add_argument("--headless", action="store_true")
    parser.add_argument("--keep", default="")
    parser.add_argument("--script", default="")
    parser.add_argument("--chunk", type=int, default=300)
    parser.add_argument("--option", action="append", default=[],
                        help="one more argument for both runs, e.g. --option=--mode --option=1280x720")
    args = parser.parse_args()

    failed = False
    for walk in range(1 if args.script else args.walks):
        seed = args.seed + walk
        folder = args.keep or tempfile.mkdtemp(prefix="korvath-vis-")
        script = args.script
        if not script:
            script = os.path.join(folder, "walk.script")
            with open(script, "w") as out:
                out.write(random_script(random.Random(seed), args.frames, args.fly))
        shots = list(range(args.every, args.frames + 1, args.every))
        trace = os.path.join(folder, "trace.jsonl")
        differing = []
        size = max(1, args.chunk)
        for first in range(0, len(shots), size):
            chunk = shots[first:first + size]
            for side in ("with", "without"):
                shutil.rmtree(os.path.join(folder, side), ignore_errors=True)
                os.makedirs(os.path.join(folder, side))
            run(args, script, chunk, os.path.join(folder, "with"), [], trace)
            run(args, script, chunk, os.path.join(folder, "without"), ["--no-visibility"],
                os.path.join(folder, "trace-without.jsonl"))
            differing += [f for f in chunk if not filecmp.cmp(os.path.join(folder, "with", f"{f}.png"),
                                                              os.path.join(folder, "without", f"{f}.png"),
                                                              shallow=False)]
        name = args.script or f"walk {walk} (seed {seed}, {folder})"
        print(f"{name}: {len(shots)} frames compared, {len(differing)} differ")
        for f in differing:
            print(f"  frame {f}: {eye_of(trace, f)}")
        failed = failed or bool(differing)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
