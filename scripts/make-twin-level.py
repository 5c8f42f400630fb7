#!/usr/bin/env python3
"""Writes "The Twin Citadels": two copies of the Citadel side by side, joined by a tunnel.

The level is a measuring stick for how the engine grows with a level's size (docs/performance.md): about
twice the Citadel's world triangles, more than one mesh can hold, so the compiler cuts the world into parts.
It is generated rather than kept in assets/levels, where every level is compiled by every build.

The first copy keeps its place, header and lights; the second is shifted SHIFT units east and keeps its
geometry only (its lights would double the baking for no new measure). The first copy's east end wall and
the second's west end wall become doorways, and a concrete tunnel joins them through the gap between.

Usage: scripts/make-twin-level.py [SOURCE] OUTPUT   (SOURCE: assets/levels/citadel.level)
Then: korvath-levelc OUTPUT DATA_FOLDER --map twin [--quick]
"""
import pathlib
import sys

SHIFT = 190.0
EAST_WALL = "box 88 0 -4 89 25 4"    # the first copy's end of the east-west gallery
WEST_WALL = "box -89 0 -4 -88 25 4"  # the second copy's, before the shift
DOOR = "across x width 4 height 5.5 at 0   mat stone"
TUNNEL = [
    "box 89 -1 -3 101 0 3   top concrete side stone bottom stone",
    "box 89 5.5 -3 101 6.5 3   top concrete side stone bottom concrete",
    "box 89 0 -3 101 5.5 -2   mat concrete",
    "box 89 0 2 101 5.5 3   mat concrete",
]
SHAPES = ("box", "stairs", "wedge", "doorway", "arch", "pillar")


def number(text):
    value = float(text)
    return str(int(value)) if value == int(value) else f"{value:g}"


def shape(line):
    """A geometry line's keyword and corners, without its finish and comment, as words."""
    return line.split("#")[0].split()[:7]


def shifted(line):
    """The line moved SHIFT east: the x of its corners or centre, and a wall's 'at' when it runs along x."""
    code, hash_, comment = line.partition("#")
    words = code.split()
    if not words or words[0] not in SHAPES:
        return line
    xs = [1] if words[0] == "pillar" else [1, 4]
    for i in xs:
        words[i] = number(float(words[i]) + SHIFT)
    if words[0] in ("doorway", "arch") and "at" in words and words[words.index("across") + 1] == "z":
        at = words.index("at") + 1
        words[at] = number(float(words[at]) + SHIFT)
    return " ".join(words) + (f"   {hash_}{comment}" if hash_ else "")


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    source = pathlib.Path(argv[1] if len(argv) == 3 else "assets/levels/citadel.level")
    output = pathlib.Path(argv[-1])
    lines = source.read_text().splitlines()
    first = next((i for i, line in enumerate(lines) if line.split()[:1] == ["box"]), None)
    if first is None:
        print(f"{source}: no box to start the geometry", file=sys.stderr)
        return 1
    header, body = lines[:first], lines[first:]
    walls = [shape(line) for line in body]
    for wall in (EAST_WALL, WEST_WALL):
        if wall.split() not in walls:
            print(f"{source}: the end wall '{wall}' is not there", file=sys.stderr)
            return 1

    out = ["# The Twin Citadels: two Citadels joined by a tunnel. Written by scripts/make-twin-level.py."]
    for line in header:
        out.append("level The Twin Citadels" if line.startswith("level ") else line)
    for line in body:
        if shape(line) == EAST_WALL.split():
            line = "doorway " + EAST_WALL[4:] + "   " + DOOR
        out.append(line)
    out.append("")
    out.append("# ---------------------------------------------------------------- the tunnel between the copies")
    out.extend(TUNNEL)
    out.append("")
    out.append(f"# ------------------------------------------------- the second copy, {number(SHIFT)} units east, unlit")
    for line in body:
        if line.split()[:1] == ["light"]:
            continue
        if shape(line) == WEST_WALL.split():
            line = "doorway " + WEST_WALL[4:] + "   " + DOOR
        out.append(shifted(line))
    output.write_text("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
