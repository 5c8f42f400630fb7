#!/usr/bin/env python3
"""Writes the level source of "The Citadel" (assets/levels/citadel.level), a large three-storey complex:

    scripts/make-citadel-level.py [OUT_FILE]       (default: assets/levels/citadel.level)

The output depends on nothing but this script (its own random sequence, fixed seeds), so running it again
gives the committed file byte for byte; change the script, run it, and commit both.

Plan (x east, z north; floors at y 0, 8 and 16, the roof at 24):

    atrium         x -15..15, z -15..15: open to the sky over x, z -10..10, balconies around it upstairs
    long gallery   x -15..15, z 15..88: a nave 15 high with mezzanines over the aisles, ramps at the north end,
                   the upper hall above it
    south hall     x -15..15, z -88..-15: a nave open to the roof, arcades, galleries on both upper storeys,
                   a dais at the south end
    corridors      z -4..4, from the atrium west and east to the outer walls, on every storey
    four blocks    of rooms (barracks NW, foundry NE, archive SW, cisterns SE), each with a corridor along
                   its outer side and a stairwell by the main corridor; rooms differ from storey to storey
"""
import os
import sys

# ---------------------------------------------------------------------------------------------- measures

FLOOR = [0, 8, 16]    # floor heights of the three storeys
CEIL = [7, 15, 24]    # the underside of the slab above each storey
ROOF_TOP = 25
PARAPET_TOP = 27      # the walls around the atrium's opening reach the top of the level's box
DOOR_HEIGHT = [5.5, 5.5, 6.0]
SILL = 1.1            # parapet height


def num(value):
    """A number as the level file writes it: no trailing zeros, no negative zero."""
    value = round(value, 3)
    if value == int(value):
        return str(int(value))
    return f"{value:.3f}".rstrip("0")


class Random:
    """A small linear congruential sequence of our own, so that the output never depends on Python's."""

    def __init__(self, seed):
        self.state = (seed * 6364136223846793005 + 1442695040888963407) % 2 ** 64

    def next(self):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % 2 ** 64
        return self.state >> 33

    def unit(self):
        return self.next() / 2 ** 31

    def below(self, count):
        return self.next() % count

    def choice(self, items):
        return items[self.below(len(items))]

    def chance(self, share):
        return self.unit() < share


# ---------------------------------------------------------------------------------------------- the file


class Level:
    """The statements of the level, in order, and the boxes around its solids (to keep lights out of them)."""

    def __init__(self):
        self.lines = []
        self.solid_boxes = []
        self.lights = []

    def text(self, line=""):
        self.lines.append(line)

    def section(self, title):
        self.text()
        self.text("# " + "-" * (100 - len(title)) + " " + title)

    def _solid(self, words, lo, hi, mats, note):
        line = " ".join(words) + "   " + mats
        if note:
            line += "   # " + note
        self.lines.append(line)
        self.solid_boxes.append((lo, hi))

    def box(self, a, b, mats, note=None):
        lo = tuple(min(a[i], b[i]) for i in range(3))
        hi = tuple(max(a[i], b[i]) for i in range(3))
        if any(hi[i] - lo[i] < 1e-6 for i in range(3)):
            raise ValueError(f"empty box {lo} {hi}")
        self._solid(["box"] + [num(v) for v in lo + hi], lo, hi, mats, note)

    def wedge(self, a, b, up, mats, note=None):
        lo = tuple(min(a[i], b[i]) for i in range(3))
        hi = tuple(max(a[i], b[i]) for i in range(3))
        self._solid(["wedge"] + [num(v) for v in lo + hi] + ["up", up], lo, hi, mats, note)

    def stairs(self, a, b, up, steps, mats, note=None):
        lo = tuple(min(a[i], b[i]) for i in range(3))
        hi = tuple(max(a[i], b[i]) for i in range(3))
        self._solid(["stairs"] + [num(v) for v in lo + hi] + ["up", up, "steps", str(steps)], lo, hi, mats, note)

    def pillar(self, cx, cz, y0, y1, radius, sides, mats, note=None):
        lo = (cx - radius, y0, cz - radius)
        hi = (cx + radius, y1, cz + radius)
        words = ["pillar", num(cx), num(cz), num(y0), num(y1), "radius", num(radius), "sides", str(sides)]
        self._solid(words, lo, hi, mats, note)

    def opening(self, a, b, across, hole, mats):
        """A wall box with one opening (a doorway, or an arch when the hole says so) centred at hole.centre."""
        lo = tuple(min(a[i], b[i]) for i in range(3))
        hi = tuple(max(a[i], b[i]) for i in range(3))
        corners = [num(v) for v in lo + hi]
        if hole.kind == "arch":
            spring = hole.height - hole.width / 2
            if spring + hole.width / 2 >= hi[1] - lo[1] - 1e-6:
                raise ValueError("an arch must stay below the wall's top")
            words = ["arch"] + corners + ["across", across, "width", num(hole.width), "spring", num(spring),
                                          "segments", str(hole.segments), "at", num(hole.centre)]
        else:
            words = ["doorway"] + corners + ["across", across, "width", num(hole.width), "height",
                                             num(hole.height), "at", num(hole.centre)]
        self._solid(words, lo, hi, mats, hole.note)

    def light(self, x, y, z, color, radius, intensity=1.0, note=None):
        words = ["light", num(x), num(y), num(z), "color"] + [num(c) for c in color] + ["radius", num(radius)]
        if intensity != 1.0:
            words += ["intensity", num(intensity)]
        line = " ".join(words)
        line += "   # light " + str(len(self.lights)) + (": " + note if note else "")
        self.lines.append(line)
        self.lights.append((x, y, z))

    def check_lights(self):
        """Every light in open space, at least 0.3 from the box around any solid."""
        for x, y, z in self.lights:
            for lo, hi in self.solid_boxes:
                if all(lo[i] - 0.3 < (x, y, z)[i] < hi[i] + 0.3 for i in range(3)):
                    raise ValueError(f"the light at {x} {y} {z} touches the solid box {lo} {hi}")


class Hole:
    """An opening in a wall, centred at `centre` along the wall (world units)."""

    def __init__(self, centre, width, height, kind="door", segments=5, note=None):
        self.centre = centre
        self.width = width
        self.height = height
        self.kind = kind
        self.segments = segments
        self.note = note

    def left(self):
        return self.centre - self.width / 2

    def right(self):
        return self.centre + self.width / 2


def wall(level, across, t0, t1, a0, a1, y0, y1, holes, mats):
    """A straight wall: its thickness runs along `across` ('x' or 'z') from t0 to t1, its length along the other
    horizontal axis from a0 to a1. Each hole gets a piece of wall of its own, split halfway between holes."""
    if a1 < a0:
        a0, a1 = a1, a0
    holes = sorted((h for h in holes if a0 < h.centre < a1), key=lambda h: h.centre)

    def corners(s0, s1):
        if across == "x":
            return (t0, y0, s0), (t1, y1, s1)
        return (s0, y0, t0), (s1, y1, t1)

    if not holes:
        level.box(*corners(a0, a1), mats)
        return
    for i in range(len(holes) - 1):
        if holes[i].right() > holes[i + 1].left() - 0.5:
            raise ValueError(f"holes overlap in a wall at {holes[i].centre} and {holes[i + 1].centre}")
    bounds = [a0]
    for i in range(len(holes) - 1):
        bounds.append((holes[i].right() + holes[i + 1].left()) / 2)
    bounds.append(a1)
    for i, hole in enumerate(holes):
        if hole.left() < bounds[i] - 1e-6 or hole.right() > bounds[i + 1] + 1e-6:
            raise ValueError(f"a hole at {hole.centre} does not fit its wall")
        level.opening(*corners(bounds[i], bounds[i + 1]), across, hole, mats)


def subtract(rect, holes):
    """The rectangle (x0, z0, x1, z1) less the hole rectangles, as a list of rectangles."""
    pieces = [rect]
    for hx0, hz0, hx1, hz1 in holes:
        cut = []
        for x0, z0, x1, z1 in pieces:
            if hx0 >= x1 or hx1 <= x0 or hz0 >= z1 or hz1 <= z0:
                cut.append((x0, z0, x1, z1))
                continue
            if hx0 > x0:
                cut.append((x0, z0, hx0, z1))
            if hx1 < x1:
                cut.append((hx1, z0, x1, z1))
            mx0, mx1 = max(x0, hx0), min(x1, hx1)
            if hz0 > z0:
                cut.append((mx0, z0, mx1, hz0))
            if hz1 < z1:
                cut.append((mx0, hz1, mx1, z1))
        pieces = cut
    return pieces


def slab(level, rect, y0, y1, holes, mats):
    """A slab with holes, in as few boxes as the holes allow."""
    for x0, z0, x1, z1 in subtract(rect, holes):
        level.box((x0, y0, z0), (x1, y1, z1), mats)


# Openings that one part of the complex asks for in a wall that another part builds, and stretches of such
# walls where no opening may go: keyed by (storey, wall line), the line named by its centre ("x-14.5").
REQUESTS = {}
FORBIDDEN = {}


def request(storey, line, hole):
    REQUESTS.setdefault((storey, line), []).append(hole)


def requested(storey, line):
    return REQUESTS.get((storey, line), [])


def forbid(storey, line, a0, a1):
    FORBIDDEN.setdefault((storey, line), []).append((min(a0, a1), max(a0, a1)))


def allowed(storey, line, a0, a1):
    a0, a1 = min(a0, a1), max(a0, a1)
    return all(a1 <= f0 or a0 >= f1 for f0, f1 in FORBIDDEN.get((storey, line), []))


# ---------------------------------------------------------------------------------------------- materials

MATERIALS = [
    ("flags", "floor_tiles.jpg", 4), ("bigflags", "floor_tiles.jpg", 6), ("stone", "stone_wall.jpg", 4),
    ("brick", "brick.jpg", 3.5), ("concrete", "concrete.jpg", 4), ("marble", "marble.jpg", 3),
    ("trim", "metal_trim.jpg", 2), ("panels", "metal_panels.jpg", 4), ("plate", "diamond_plate.jpg", 2),
    ("cobble", "cobble.jpg", 4), ("rock", "rock.jpg", 4), ("plaster", "plaster.jpg", 4), ("wood", "wood.jpg", 4),
]

THEMES = {
    "barracks": {
        "floors": ["wood", "flags", "wood"], "walls": ["brick", "plaster", "brick"], "ceilings": ["wood", "plaster"],
        "trim": "wood", "light": (1.0, 0.72, 0.45), "seed": 11,
    },
    "foundry": {
        "floors": ["plate", "concrete", "plate"], "walls": ["panels", "concrete", "panels"],
        "ceilings": ["concrete", "panels"], "trim": "trim", "light": (0.62, 0.82, 1.0), "seed": 23,
    },
    "archive": {
        "floors": ["wood", "marble", "wood"], "walls": ["plaster", "plaster", "stone"], "ceilings": ["wood", "plaster"],
        "trim": "wood", "light": (1.0, 0.88, 0.62), "seed": 37,
    },
    "cisterns": {
        "floors": ["cobble", "flags", "cobble"], "walls": ["rock", "stone", "rock"], "ceilings": ["stone", "rock"],
        "trim": "stone", "light": (0.55, 0.95, 0.82), "seed": 41,
    },
}


def mats(top, side, bottom=None):
    return f"top {top} side {side} bottom {bottom or side}"


# ---------------------------------------------------------------------------------------------- blocks of rooms


class Frame:
    """A block's own coordinates: u across the block from its inner side, v from the main corridor outwards."""

    def __init__(self, x0, su, z0, sv):
        self.x0, self.su, self.z0, self.sv = x0, su, z0, sv

    def x(self, u):
        return self.x0 + self.su * u

    def z(self, v):
        return self.z0 + self.sv * v

    def p(self, u, y, v):
        return (self.x(u), y, self.z(v))

    def up(self, axis, sign):
        if axis == "u":
            return ("+x" if sign * self.su > 0 else "-x")
        return ("+z" if sign * self.sv > 0 else "-z")


class Room:
    def __init__(self, u0, u1, v0, v1, column, part):
        self.u0, self.u1, self.v0, self.v1 = u0, u1, v0, v1
        self.column = column  # "a", "b" or "strip"
        self.part = part      # "whole", "front" or "back"
        self.holes = 0

    def area(self):
        return (self.u1 - self.u0) * (self.v1 - self.v0)


# Block layout, in block coordinates.
COLUMN_A = (0, 28)
COLUMN_B = (29, 57)
SPLIT_A = 14          # split wall u 14..15 between front (u 0..14) and back rooms
SPLIT_B = 43          # split wall u 43..44 between back (u 29..43) and front rooms
BLOCK_CORRIDOR = (58, 63)
STRIP = (64, 73)
STAIRWELL_END = 32    # the stairwell fills the strip from v 0 to 32; its back wall is v 32..33
BLOCK_DEPTH = 84
STRIP_START = 33


class Block:
    def __init__(self, name, theme, frame, inner_line, corridor_line):
        self.name = name
        self.theme = THEMES[theme]
        self.theme_name = theme
        self.f = frame
        self.inner_line = inner_line        # the wall line at u -1..0 (built by the atrium, gallery or hall)
        self.corridor_line = corridor_line  # the wall line at v -1..0 (built by the main corridor)
        self.storeys = []

    # -------------------------------------------------------------------- planning

    def plan(self):
        for storey in range(3):
            random = Random(self.theme["seed"] * 1000 + storey * 7 + 1)
            self.storeys.append(self.plan_storey(storey, random))

    def split_column(self, random, start, end, depths, smallest):
        rows = []
        v = start
        while end - v > max(depths) + 1 + smallest:
            depth = random.choice(depths)
            rows.append((v, v + depth))
            v += depth + 1
        rows.append((v, end))
        return rows

    def plan_storey(self, storey, random):
        plan = {"rooms": [], "walls": {}, "cross": [], "splits": [], "strip_cross": []}
        rooms = plan["rooms"]
        columns = [("a", COLUMN_A, SPLIT_A), ("b", COLUMN_B, SPLIT_B)]
        for column, (u0, u1), split in columns:
            rows = self.split_column(random, 0, BLOCK_DEPTH, [18, 22, 26, 30], 18)
            for index, (v0, v1) in enumerate(rows):
                if index > 0:
                    plan["cross"].append((column, v0 - 1, v0, u0, u1))
                if v1 - v0 >= 14 and random.chance(0.5):
                    first = Room(u0, split, v0, v1, column, "front" if column == "a" else "back")
                    second = Room(split + 1, u1, v0, v1, column, "back" if column == "a" else "front")
                    rooms += [first, second]
                    plan["splits"].append((split, v0, v1))
                else:
                    rooms.append(Room(u0, u1, v0, v1, column, "whole"))
        rows = self.split_column(random, STRIP_START, BLOCK_DEPTH, [15, 20], 15)
        for index, (v0, v1) in enumerate(rows):
            if index > 0:
                plan["strip_cross"].append((v0 - 1, v0))
            rooms.append(Room(STRIP[0], STRIP[1], v0, v1, "strip", "whole"))
        self.plan_doors(storey, random, plan)
        return plan

    def door(self, random, storey, s0, s1, width=4.0, arch_share=0.12):
        """A hole somewhere in the stretch s0..s1 (block coordinates), or None when it does not fit."""
        room = s1 - s0 - width - 1.0
        if room < 0:
            return None
        offset = round(random.unit() * room * 2) / 2
        centre = s0 + 0.5 + width / 2 + offset
        height = DOOR_HEIGHT[storey]
        if random.chance(arch_share):
            return ("arch", centre, width, height + 1.0)
        return ("door", centre, width, height)

    def plan_doors(self, storey, random, plan):
        rooms = plan["rooms"]
        parent = list(range(len(rooms) + 1))
        outside = len(rooms)

        def root(i):
            while parent[i] != i:
                parent[i] = parent[parent[i]]
                i = parent[i]
            return i

        def join(i, j):
            parent[root(i)] = root(j)

        doors = []  # (line kind, line data, hole in block coordinates)

        def add(i, j, line, hole):
            doors.append((line, hole))
            rooms[i].holes += 1
            if j != outside:
                rooms[j].holes += 1
            join(i, j)

        # Fronts: column a onto the gallery, hall or atrium; column b and the strip onto the block corridor.
        for i, r in enumerate(rooms):
            if r.column == "a" and r.part in ("whole", "front"):
                hole = self.door(random, storey, r.v0, r.v1, arch_share=0.15)
                if hole is not None:
                    a0 = self.f.z(hole[1] - hole[2] / 2 - 0.5)
                    a1 = self.f.z(hole[1] + hole[2] / 2 + 0.5)
                    if allowed(storey, self.inner_line, a0, a1):
                        add(i, outside, ("inner",), hole)
            elif r.column == "b" and r.part in ("whole", "front"):
                hole = self.door(random, storey, r.v0, r.v1)
                if hole is not None:
                    add(i, outside, ("u", 57.5), hole)
            elif r.column == "strip":
                hole = self.door(random, storey, r.v0, r.v1, arch_share=0.0)
                if hole is not None:
                    add(i, outside, ("u", 63.5), hole)
        # Front to back through the split walls.
        for i, r in enumerate(rooms):
            if r.part == "back":
                for j, other in enumerate(rooms):
                    if other.part == "front" and other.column == r.column and other.v0 == r.v0:
                        split = SPLIT_A if r.column == "a" else SPLIT_B
                        hole = self.door(random, storey, r.v0, r.v1, width=3.5, arch_share=0.15)
                        if hole is not None:
                            add(i, j, ("split", split + 0.5, r.v0, r.v1), hole)
        # Rooms along the main corridor may open onto it.
        for i, r in enumerate(rooms):
            if r.v0 == 0 and r.column in ("a", "b") and random.chance(0.35):
                hole = self.door(random, storey, r.u0, r.u1, arch_share=0.15)
                if hole is not None:
                    add(i, outside, ("corridor",), hole)
        # Neighbours: across cross walls and the wall between the columns.
        candidates = []
        for i, r in enumerate(rooms):
            for j, other in enumerate(rooms):
                if j <= i:
                    continue
                if r.column == other.column and (other.v0 == r.v1 + 1 or r.v0 == other.v1 + 1):
                    s0, s1 = max(r.u0, other.u0), min(r.u1, other.u1)
                    if s1 - s0 >= 5.5:
                        wall_v = min(r.v1, other.v1)
                        candidates.append((i, j, ("cross", r.column, wall_v), s0, s1))
                elif {r.column, other.column} == {"a", "b"} and (other.u0 == r.u1 + 1 or r.u0 == other.u1 + 1):
                    s0, s1 = max(r.v0, other.v0), min(r.v1, other.v1)
                    if s1 - s0 >= 5.5:
                        candidates.append((i, j, ("u", 28.5), s0, s1))
        for i, j, line, s0, s1 in candidates:
            if random.chance(0.15):
                hole = self.door(random, storey, s0, s1, arch_share=0.1)
                if hole is not None and self.fits(doors, line, hole):
                    add(i, j, line, hole)
        # Every room must be reachable: join what is still apart.
        changed = True
        while changed:
            changed = False
            for i, j, line, s0, s1 in candidates:
                if root(i) != root(j) and (root(i) != root(outside) or root(j) != root(outside)):
                    if root(i) == root(outside) or root(j) == root(outside):
                        hole = self.door(random, storey, s0, s1, arch_share=0.1)
                        if hole is not None and self.fits(doors, line, hole):
                            add(i, j, line, hole)
                            changed = True
        for i, r in enumerate(rooms):
            if root(i) != root(outside):
                raise ValueError(f"{self.name} storey {storey}: a room at u {r.u0} v {r.v0} cannot be reached")
        plan["doors"] = doors

    @staticmethod
    def fits(doors, line, hole):
        for other_line, other in doors:
            if other_line == line and abs(other[1] - hole[1]) < (other[2] + hole[2]) / 2 + 1.0:
                return False
        return True

    def request_fronts(self):
        """Asks the walls built by others for this block's openings onto them."""
        for storey, plan in enumerate(self.storeys):
            for line, hole in plan["doors"]:
                kind, centre, width, height = hole
                if line[0] == "inner":
                    request(storey, self.inner_line, Hole(self.f.z(centre), width, height, kind))
                elif line[0] == "corridor":
                    request(storey, self.corridor_line, Hole(self.f.x(centre), width, height, kind))
            # The block corridor meets the main corridor; the stairwell opens onto it at the bottom and the top.
            request(storey, self.corridor_line, Hole(self.f.x(60.5), 5, DOOR_HEIGHT[storey] + 0.5,
                                                     note="into the block corridor"))
            if storey != 1:
                request(storey, self.corridor_line, Hole(self.f.x(68.5), 4, DOOR_HEIGHT[storey],
                                                         note="into the stairwell"))

    # -------------------------------------------------------------------- building

    def build(self, level):
        f = self.f
        level.section(f"{self.name}: the {self.theme_name}")
        rect = (min(f.x(0), f.x(STRIP[1])), min(f.z(0), f.z(BLOCK_DEPTH)),
                max(f.x(0), f.x(STRIP[1])), max(f.z(0), f.z(BLOCK_DEPTH)))
        well = (min(f.x(STRIP[0]), f.x(STRIP[1])), min(f.z(0), f.z(STAIRWELL_END)),
                max(f.x(STRIP[0]), f.x(STRIP[1])), max(f.z(0), f.z(STAIRWELL_END)))
        walls = self.theme["walls"]
        level.text("# outer walls and slabs")
        level.box(f.p(STRIP[1], 0, 0), f.p(STRIP[1] + 1, ROOF_TOP, BLOCK_DEPTH + 1), f"mat {walls[0]}")
        level.box(f.p(0, 0, BLOCK_DEPTH), f.p(STRIP[1], ROOF_TOP, BLOCK_DEPTH + 1), f"mat {walls[0]}")
        # Storey 1's slab leaves the stairwell open but for its far landing; storey 2's keeps the near landing.
        hole1 = (well[0], min(f.z(0), f.z(28)), well[2], max(f.z(0), f.z(28)))
        hole2 = (well[0], min(f.z(4), f.z(28)), well[2], max(f.z(4), f.z(28)))
        ceilings = self.theme["ceilings"]
        slab(level, rect, CEIL[0], FLOOR[1], [hole1], mats(self.theme["floors"][1], "stone", ceilings[0]))
        slab(level, rect, CEIL[1], FLOOR[2], [hole2], mats(self.theme["floors"][2], "stone", ceilings[1]))
        level.box((rect[0], CEIL[2], rect[1]), (rect[2], ROOF_TOP, rect[3]), mats("stone", "stone", ceilings[0]))
        self.build_stairwell(level)
        for storey, plan in enumerate(self.storeys):
            self.build_storey(level, storey, plan)

    def build_stairwell(self, level):
        f = self.f
        theme = self.theme
        level.text("# stairwell: two flights of 25 steps (0.32 x 0.96) each way, landings at both ends")
        flight_a = (STRIP[0], STRIP[0] + 4)
        flight_b = (STRIP[1] - 4, STRIP[1])
        step_mats = mats(theme["floors"][0] if theme["floors"][0] != "cobble" else "flags", "stone")
        level.stairs(f.p(flight_a[0], 0, 4), f.p(flight_a[1], 8, 28), f.up("v", 1), 25, step_mats, "up to storey 1")
        level.box(f.p(flight_b[0], 0, 4), f.p(flight_b[1], 8, 28), "mat stone", "under the upper flight")
        level.stairs(f.p(flight_b[0], 8, 4), f.p(flight_b[1], 16, 28), f.up("v", -1), 25, step_mats, "up to storey 2")
        level.box(f.p(flight_a[1], 0, 4), f.p(flight_b[0], CEIL[2], 28), "mat stone", "between the flights")
        floor = mats("concrete", "stone")
        ceiling = mats("stone", "concrete")
        level.box(f.p(STRIP[0], -0.2, 0), f.p(STRIP[1], 0, 4), floor)
        level.box(f.p(STRIP[0], FLOOR[1] - 0.2, 28), f.p(STRIP[1], FLOOR[1], STAIRWELL_END), floor)
        level.box(f.p(STRIP[0], FLOOR[2] - 0.2, 0), f.p(STRIP[1], FLOOR[2], 4), floor)
        level.box(f.p(STRIP[0], CEIL[1], 0), f.p(STRIP[1], CEIL[1] + 0.2, 4), ceiling)
        level.box(f.p(STRIP[0], CEIL[1], 28), f.p(STRIP[1], CEIL[1] + 0.2, STAIRWELL_END), ceiling)
        level.box(f.p(STRIP[0], CEIL[2], 0), f.p(STRIP[1], CEIL[2] + 0.2, STAIRWELL_END), ceiling)
        level.light(f.x(flight_a[0] + 2), 12.5, f.z(14), theme["light"], 18, 1.1, f"{self.name} stairwell")

    def build_storey(self, level, storey, plan):
        f = self.f
        theme = self.theme
        y0, y1 = FLOOR[storey], CEIL[storey]
        wall_mats = f"mat {theme['walls'][storey]}"
        level.text(f"# storey {storey}")
        # Walls with their doors, by line.
        by_line = {}
        for line, hole in plan["doors"]:
            by_line.setdefault(line, []).append(hole)

        def holes(line, frame_axis):
            result = []
            for kind, centre, width, height in by_line.get(line, []):
                world = f.x(centre) if frame_axis == "u" else f.z(centre)
                result.append(Hole(world, width, height, kind))
            return result

        def along_v(u0, u1, v0, v1, line):
            wall(level, "x", f.x(u0), f.x(u1), f.z(v0), f.z(v1), y0, y1, holes(line, "v"), wall_mats)

        def along_u(v0, v1, u0, u1, line):
            wall(level, "z", f.z(v0), f.z(v1), f.x(u0), f.x(u1), y0, y1, holes(line, "u"), wall_mats)

        along_v(28, 29, 0, BLOCK_DEPTH, ("u", 28.5))
        along_v(57, 58, 0, BLOCK_DEPTH, ("u", 57.5))
        # The corridor's outer wall also closes the stairwell, whose landing doors open onto the corridor.
        landing = 30 if storey == 1 else 2
        by_line.setdefault(("u", 63.5), []).append(("door", landing, 4, DOOR_HEIGHT[storey]))
        along_v(63, 64, 0, BLOCK_DEPTH, ("u", 63.5))
        for column, v0, v1, u0, u1 in plan["cross"]:
            along_u(v0, v1, u0, u1, ("cross", column, v0))
        for split, v0, v1 in plan["splits"]:
            along_v(split, split + 1, v0, v1, ("split", split + 0.5, v0, v1))
        along_u(STAIRWELL_END, STAIRWELL_END + 1, STRIP[0], STRIP[1], None)
        for v0, v1 in plan["strip_cross"]:
            along_u(v0, v1, STRIP[0], STRIP[1], None)
        self.build_block_corridor(level, storey)
        lit = sorted(range(len(plan["rooms"])), key=lambda i: -plan["rooms"][i].area())[:3]
        for i, room in enumerate(plan["rooms"]):
            self.dress_room(level, storey, room, i in lit, Random(self.theme["seed"] * 7919 + storey * 131 + i))

    def build_block_corridor(self, level, storey):
        f = self.f
        theme = self.theme
        y0, y1 = FLOOR[storey], CEIL[storey]
        u0, u1 = BLOCK_CORRIDOR
        level.box(f.p(u0, y0 - 0.2, 0), f.p(u1, y0, BLOCK_DEPTH), mats("concrete" if storey else "flags", "stone"))
        level.box(f.p(u0, y1, 0), f.p(u1, y1 + 0.2, BLOCK_DEPTH), mats("stone", "concrete"))
        for v in range(9, BLOCK_DEPTH - 3, 12):
            level.box(f.p(u0, y1 - 0.6, v - 0.3), f.p(u1, y1, v + 0.3), f"mat {theme['trim']}")
        level.light(f.x((u0 + u1) / 2), y1 - 1.6, f.z(45), theme["light"], 22, 1.0,
                    f"{self.name} corridor, storey {storey}")

    def dress_room(self, level, storey, room, lit, random):
        f = self.f
        theme = self.theme
        y0, y1 = FLOOR[storey], CEIL[storey]
        floor = random.choice(theme["floors"])
        ceiling = random.choice(theme["ceilings"])
        # The room's own floor and ceiling, sunk into the slabs: a face that many walls stand on would be cut
        # into many pieces, a room's floor only by what stands in the room.
        level.box(f.p(room.u0, y0 - 0.2, room.v0), f.p(room.u1, y0, room.v1), mats(floor, "stone"))
        top = y1
        if room.area() < 200 and storey < 2 and random.chance(0.4):
            top = y1 - 0.75   # a low room: 6.25 high, still above every door
        level.box(f.p(room.u0, top, room.v0), f.p(room.u1, y1 + 0.2, room.v1), mats("stone", ceiling, ceiling))
        # Furniture keeps 2.5 units from the walls, so that every door stays free and a way leads round it.
        iu0, iu1, iv0, iv1 = room.u0 + 2.5, room.u1 - 2.5, room.v0 + 2.5, room.v1 - 2.5
        if iu1 - iu0 < 3 or iv1 - iv0 < 3:
            return
        light_at = ((room.u0 + room.u1) / 2, top - 1.5, (room.v0 + room.v1) / 2)
        keep_clear = (light_at[0] - 1.5, light_at[0] + 1.5, light_at[2] - 1.5, light_at[2] + 1.5) if lit else None
        dress = {
            "barracks": self.dress_barracks, "foundry": self.dress_foundry,
            "archive": self.dress_archive, "cisterns": self.dress_cisterns,
        }[self.theme_name]
        if random.chance(0.5):
            dress(level, storey, (iu0, iu1, iv0, iv1), top, random, keep_clear)
        if lit:
            level.light(f.x(light_at[0]), light_at[1], f.z(light_at[2]), theme["light"], 16, 1.0,
                        f"{self.name} storey {storey}")

    @staticmethod
    def clear_of(area, keep_clear):
        if keep_clear is None:
            return True
        u0, u1, v0, v1 = area
        k0, k1, k2, k3 = keep_clear
        return u1 <= k0 or u0 >= k1 or v1 <= k2 or v0 >= k3

    def dress_barracks(self, level, storey, interior, top, random, keep_clear):
        f = self.f
        iu0, iu1, iv0, iv1 = interior
        y0 = FLOOR[storey]
        # Up to four bunks side by side, a walkway between each pair, and a chest at the foot of some.
        length = min(4.5, iv1 - iv0)
        u = iu0
        for _ in range(4):
            if u + 2.0 > iu1:
                break
            area = (u, u + 2.0, iv0, iv0 + length)
            if self.clear_of(area, keep_clear):
                level.box(f.p(u, y0, iv0), f.p(u + 2.0, y0 + 1.0, iv0 + length), mats("wood", "wood"))
                if length + 2.0 < iv1 - iv0 and random.chance(0.4):
                    level.box(f.p(u + 0.4, y0, iv0 + length + 0.6), f.p(u + 1.6, y0 + 0.9, iv0 + length + 1.4),
                              mats("wood", "wood"))
            u += 4.0

    def dress_foundry(self, level, storey, interior, top, random, keep_clear):
        f = self.f
        iu0, iu1, iv0, iv1 = interior
        y0 = FLOOR[storey]
        cu, cv = (iu0 + iu1) / 2, (iv0 + iv1) / 2
        if (iu1 - iu0) * (iv1 - iv0) > 120:
            # Two tanks at opposite corners.
            for u, v in ((iu0 + 1.6, iv0 + 1.6), (iu1 - 1.6, iv1 - 1.6)):
                if self.clear_of((u - 1.6, u + 1.6, v - 1.6, v + 1.6), keep_clear):
                    level.pillar(f.x(u), f.z(v), y0, y0 + 4.2, 1.5, 8, mats("trim", "panels"))
            return
        size = min(3.0, iu1 - iu0, iv1 - iv0)
        area = (cu - size / 2, cu + size / 2, cv - size / 2, cv + size / 2)
        if self.clear_of(area, keep_clear):
            level.box(f.p(area[0], y0, area[2]), f.p(area[1], y0 + 2.2, area[3]), mats("plate", "panels"))
            level.box(f.p(cu - 0.6, y0 + 2.2, cv - 0.6), f.p(cu + 0.6, y0 + 3.4, cv + 0.6), "mat trim")

    def dress_archive(self, level, storey, interior, top, random, keep_clear):
        f = self.f
        iu0, iu1, iv0, iv1 = interior
        y0 = FLOOR[storey]
        # Up to four rows of shelves across the longer side, 3.4 apart.
        along_v = iv1 - iv0 >= iu1 - iu0
        length = (iv1 - iv0) if along_v else (iu1 - iu0)
        rows = min(4, int((length + 2.6) // 4.2))
        start = (iv0 if along_v else iu0) + (length - (rows * 4.2 - 3.4)) / 2
        for k in range(rows):
            a = start + k * 4.2
            area = (iu0, iu1, a, a + 0.8) if along_v else (a, a + 0.8, iv0, iv1)
            if self.clear_of(area, keep_clear):
                level.box(f.p(area[0], y0, area[2]), f.p(area[1], y0 + 3.6, area[3]), mats("wood", "wood"))

    def dress_cisterns(self, level, storey, interior, top, random, keep_clear):
        f = self.f
        iu0, iu1, iv0, iv1 = interior
        y0 = FLOOR[storey]
        # A basin: a low rim around the middle of the room, a rock column by it in large rooms.
        cu, cv = (iu0 + iu1) / 2, (iv0 + iv1) / 2
        hu, hv = min(4.0, (iu1 - iu0) / 2), min(4.0, (iv1 - iv0) / 2)
        iu0, iu1, iv0, iv1 = cu - hu, cu + hu, cv - hv, cv + hv
        area = (iu0, iu1, iv0, iv1)
        if self.clear_of(area, keep_clear):
            if hu * hv >= 16 and iu0 - 2.2 > interior[0]:
                level.pillar(f.x(iu0 - 1.4), f.z(cv), y0, top, 0.8, 6, "mat rock")
            for a, b in (((iu0, iv0), (iu1, iv0 + 0.5)), ((iu0, iv1 - 0.5), (iu1, iv1)),
                         ((iu0, iv0), (iu0 + 0.5, iv1)), ((iu1 - 0.5, iv0), (iu1, iv1))):
                level.box(f.p(a[0], y0, a[1]), f.p(b[0], y0 + 0.9, b[1]), mats("stone", "stone"))


# ---------------------------------------------------------------------------------------------- central parts


def build_atrium(level):
    level.section("atrium: open to the sky, balconies on the upper storeys")
    level.box((-15, -0.2, -15), (15, 0, 15), mats("flags", "stone"))
    level.box((-9, -0.2, -9), (9, 0, 9), mats("marble", "stone"))
    level.box((-2.5, -0.2, -2.5), (2.5, 0, 2.5), mats("stone", "stone"))
    # Lights 0 to 4: around the start, where the player mostly is.
    level.light(0, 10, 0, (1.0, 0.95, 0.85), 30, 1.0, "over the start")
    level.light(-12, 5.5, 0, (1.0, 0.85, 0.65), 14, 1.0, "west colonnade")
    level.light(12, 5.5, 0, (1.0, 0.85, 0.65), 14, 1.0, "east colonnade")
    level.light(0, 5.5, 12, (1.0, 0.85, 0.65), 14, 1.0, "north colonnade")
    level.light(0, 5.5, -12, (1.0, 0.85, 0.65), 14, 1.0, "south colonnade")
    void = (-10, -10, 10, 10)
    for storey in (1, 2):
        slab(level, (-15, -15, 15, 15), CEIL[storey - 1], FLOOR[storey], [void], mats("flags", "stone", "plaster"))
        y = FLOOR[storey]
        rail = mats("trim", "stone")
        level.box((10, y, -10), (10.4, y + SILL, 10), rail)
        level.box((-10.4, y, -10), (-10, y + SILL, 10), rail)
        level.box((-10, y, 10), (10, y + SILL, 10.4), rail)
        level.box((-10, y, -10.4), (10, y + SILL, -10), rail)
    slab(level, (-15, -15, 15, 15), CEIL[2], ROOF_TOP, [void], mats("stone", "stone", "plaster"))
    level.text("# the opening's walls reach the top of the level's box")
    level.box((-12, CEIL[2], -12), (-10, PARAPET_TOP, 12), "mat stone")
    level.box((10, CEIL[2], -12), (12, PARAPET_TOP, 12), "mat stone")
    level.box((-10, CEIL[2], -12), (10, PARAPET_TOP, -10), "mat stone")
    level.box((-10, CEIL[2], 10), (10, PARAPET_TOP, 12), "mat stone")
    for x, z in ((-10, -10), (10, -10), (-10, 10), (10, 10), (-10, -4), (-10, 4), (10, -4), (10, 4)):
        level.pillar(x, z, 0, CEIL[2], 0.9, 8, "mat marble")
    level.text("# benches")
    for x0, z0, x1, z1 in ((-8, 6.5, -5, 7.5), (5, 6.5, 8, 7.5), (-8, -7.5, -5, -6.5), (5, -7.5, 8, -6.5)):
        level.box((x0, 0, z0), (x1, 0.8, z1), mats("wood", "stone"))
    level.light(12, 13.5, 12, (1.0, 0.9, 0.75), 16, 1.0, "balcony, storey 1")
    level.light(-12, 21.5, -12, (1.0, 0.9, 0.75), 16, 1.0, "balcony, storey 2")
    for storey in range(3):
        y0, y1 = FLOOR[storey], CEIL[storey]
        h = DOOR_HEIGHT[storey]
        north = [Hole(-10.5, 4, h), Hole(10.5, 4, h)]
        south = [Hole(-11, 4, h), Hole(11, 4, h)]
        if storey == 0:
            north.append(Hole(0, 8, 6, note="into the long gallery"))
            south.append(Hole(0, 8, 6, note="into the south hall"))
        elif storey == 1:
            north.append(Hole(0, 6, 5, note="window onto the gallery's nave"))
            south.append(Hole(0, 6, 5, note="window onto the hall's nave"))
        else:
            north.append(Hole(0, 4, h + 0.5, note="into the upper hall"))
            south.append(Hole(0, 6, 5, note="window onto the hall's nave"))
        wall(level, "z", 14, 15, -15, 15, y0, y1, north, "mat stone")
        wall(level, "z", -15, -14, -15, 15, y0, y1, south, "mat stone")
        for x0, x1, line in ((-15, -14, "x-14.5"), (14, 15, "x14.5")):
            holes = [Hole(0, 4, h, note="into the corridor")] + [
                hole for hole in requested(storey, line) if -14 < hole.centre < 14]
            wall(level, "x", x0, x1, -14, 14, y0, y1, holes, "mat stone")
        if storey == 1:
            level.box((-3, y0, 14), (3, y0 + SILL, 15), mats("trim", "stone"), "sill")
        if storey > 0:
            level.box((-3, y0, -15), (3, y0 + SILL, -14), mats("trim", "stone"), "sill")


def build_gallery(level):
    level.section("long gallery: nave, aisles with mezzanines, ramps at the north end, the upper hall above")
    level.box((-15, 0, 88), (15, ROOF_TOP, 89), "mat stone")
    level.box((-15, -0.2, 15), (15, 0, 88), mats("cobble", "stone"))
    level.box((-7, -0.2, 15), (7, 0, 88), mats("bigflags", "stone"))
    level.box((-2, -0.2, 15), (2, 0, 88), mats("marble", "stone"))
    for side in (-1, 1):
        x_in, x_well, x_wall = 7 * side, 10 * side, 14 * side
        level.text("# mezzanine" + (" east" if side > 0 else " west"))
        slab(level, (min(x_in, 15 * side), 15, max(x_in, 15 * side), 88), CEIL[0], FLOOR[1],
             [(min(x_well, x_wall), 68, max(x_well, x_wall), 88)], mats("wood", "stone", "plaster"))
        level.box((x_in, 8, 15), (x_in + 0.4 * side, 8 + SILL, 88), mats("trim", "stone"), "parapet")
        level.box((x_well - 0.4 * side, 8, 68), (x_well, 8 + SILL, 88), mats("trim", "stone"), "parapet")
        level.wedge((x_well, 0, 68), (x_wall, 8, 84), "-z", mats("wood", "stone"), "ramp, 27 degrees")
        for i in range(6):
            level.pillar(x_in, 21 + 12 * i, 0, CEIL[1], 1.0, 8, "mat marble")
        # upper hall alcoves
        for z in (31, 47, 63, 79):  # the alcove walls
            level.box((9 * side, FLOOR[2], z), (x_wall, CEIL[2], z + 1), "mat plaster")
        for i in range(3):
            level.pillar(4.5 * side, 39 + 16 * i, FLOOR[2], CEIL[2], 0.7, 8, "mat stone")
    slab(level, (-15, 15, 15, 88), CEIL[1], FLOOR[2], [], mats("wood", "stone", "plaster"))
    slab(level, (-15, 15, 15, 88), CEIL[2], ROOF_TOP, [], mats("stone", "stone", "wood"))
    for i in range(6):
        z = 21 + 12 * i
        level.box((-7, CEIL[1] - 0.8, z - 0.4), (7, CEIL[1], z + 0.4), "mat wood", "beam")
    level.light(0, 11, 30, (1.0, 0.85, 0.55), 26, 1.1, "gallery nave")
    level.light(0, 11, 56, (1.0, 0.85, 0.55), 26, 1.1, "gallery nave")
    level.light(0, 11, 80, (1.0, 0.85, 0.55), 26, 1.1, "gallery nave, north end")
    level.light(0, 21.5, 35, (0.9, 0.9, 1.0), 24, 1.0, "upper hall")
    level.light(0, 21.5, 70, (0.9, 0.9, 1.0), 24, 1.0, "upper hall")
    for storey in range(3):
        for x0, x1, line in ((-15, -14, "x-14.5"), (14, 15, "x14.5")):
            holes = [hole for hole in requested(storey, line) if hole.centre > 15]
            wall(level, "x", x0, x1, 15, 88, FLOOR[storey], CEIL[storey], holes, "mat plaster")


def build_hall(level):
    level.section("south hall: a nave open to the roof, arcades on three storeys, a dais at the south end")
    level.box((-15, 0, -89), (15, ROOF_TOP, -88), "mat stone")
    pillars = [-21 - 12 * i for i in range(5)]
    level.box((-15, -0.2, -88), (15, 0, -15), mats("flags", "stone"))
    level.box((-8, -0.2, -88), (8, 0, -15), mats("marble", "stone"))
    level.box((-1.5, -0.2, -74), (1.5, 0, -15), mats("cobble", "stone"))
    for side in (-1, 1):
        x_in = 8 * side
        level.text("# aisle" + (" east" if side > 0 else " west"))
        for storey in (1, 2):
            slab(level, (min(x_in, 15 * side), -88, max(x_in, 15 * side), -15), CEIL[storey - 1], FLOOR[storey], [],
                 mats("flags", "stone", "plaster"))
        for z in pillars:
            level.pillar(x_in, z, 0, CEIL[2], 1.0, 8, "mat stone")
        for storey in range(3):
            y0, y1 = FLOOR[storey], CEIL[storey]
            for k in range(len(pillars) - 1):
                z0, z1 = pillars[k + 1], pillars[k]
                # Arches on the ground, plain openings above the sills upstairs.
                hole = Hole((z0 + z1) / 2, 6, 6.5, "arch", 6) if storey == 0 else Hole((z0 + z1) / 2, 6, 5.5)
                wall(level, "x", x_in - 0.4, x_in + 0.4, z0, z1, y0, y1, [hole], "mat stone")
                if storey > 0:
                    level.box((x_in - 0.4, y0, z0), (x_in + 0.4, y0 + SILL, z1), mats("trim", "stone"))
            if storey > 0:
                level.box((x_in - 0.4, y0, pillars[0]), (x_in + 0.4, y0 + SILL, -15), mats("trim", "stone"))
                level.box((x_in - 0.4, y0, -88), (x_in + 0.4, y0 + SILL, pillars[-1]), mats("trim", "stone"))
    slab(level, (-15, -88, 15, -15), CEIL[2], ROOF_TOP, [], mats("stone", "stone", "stone"))
    for z in pillars:
        level.box((-8, CEIL[2] - 1.2, z - 0.4), (8, CEIL[2], z + 0.4), "mat stone", "rib")
    level.text("# dais, its steps and the altar")
    level.box((-8, 0, -88), (8, 1.92, -80), mats("marble", "stone"))
    level.stairs((-6, 0, -80), (6, 1.92, -74.24), "-z", 6, mats("marble", "stone"))
    level.box((-2, 1.92, -86), (2, 3.1, -84), "mat marble")
    level.light(0, 14, -32, (0.85, 0.62, 1.0), 30, 1.1, "hall nave")
    level.light(0, 14, -58, (0.85, 0.62, 1.0), 30, 1.1, "hall nave")
    level.light(0, 8, -82, (1.0, 0.8, 0.9), 18, 1.2, "over the dais")
    level.light(11, 13, -45, (0.9, 0.7, 1.0), 18, 1.0, "hall gallery, storey 1")
    level.light(-11, 21.5, -62, (0.9, 0.7, 1.0), 18, 1.0, "hall gallery, storey 2")
    for storey in range(3):
        for x0, x1, line in ((-15, -14, "x-14.5"), (14, 15, "x14.5")):
            holes = [hole for hole in requested(storey, line) if hole.centre < -15]
            wall(level, "x", x0, x1, -88, -15, FLOOR[storey], CEIL[storey], holes, "mat stone")


def build_corridor(level, side):
    name = "east" if side > 0 else "west"
    level.section(f"{name} corridor")
    x_in, x_out = 15 * side, 88 * side
    lo, hi = min(x_in, x_out), max(x_in, x_out)
    level.box((min(x_out, 89 * side), 0, -4), (max(x_out, 89 * side), ROOF_TOP, 4), "mat stone")
    level.box((lo, -0.2, -4), (hi, 0, 4), mats("flags", "stone"))
    for storey in (1, 2):
        slab(level, (lo, -4, hi, 4), CEIL[storey - 1], FLOOR[storey], [], mats("concrete", "stone", "plaster"))
    slab(level, (lo, -4, hi, 4), CEIL[2], ROOF_TOP, [], mats("stone", "stone", "plaster"))
    colour = (1.0, 0.8, 0.6) if side < 0 else (0.7, 0.85, 1.0)
    for storey in range(3):
        y0, y1 = FLOOR[storey], CEIL[storey]
        for x in range(18, 87, 9):
            level.box((x * side - 0.3, y1 - 0.6, -3), (x * side + 0.3, y1, 3), "mat trim")
        for z0, z1, line in ((3, 4, "z3.5"), (-4, -3, "z-3.5")):
            holes = requested(storey, line)
            holes = [hole for hole in holes if lo < hole.centre < hi]
            wall(level, "z", z0, z1, lo, hi, y0, y1, holes, "mat concrete")
        for x in (36, 68):
            level.light(x * side + 1.5 * side, y1 - 1.7, 0, colour, 20, 1.0, f"{name} corridor, storey {storey}")


# ---------------------------------------------------------------------------------------------- the level


def make_level():
    level = Level()
    blocks = [
        Block("north-west block", "barracks", Frame(-15, -1, 4, 1), "x-14.5", "z3.5"),
        Block("north-east block", "foundry", Frame(15, 1, 4, 1), "x14.5", "z3.5"),
        Block("south-west block", "archive", Frame(-15, -1, -4, -1), "x-14.5", "z-3.5"),
        Block("south-east block", "cisterns", Frame(15, 1, -4, -1), "x14.5", "z-3.5"),
    ]
    forbid_openings()
    for block in blocks:
        block.plan()
        block.request_fronts()

    level.text("# The Citadel: a three-storey complex of wings around an atrium open to the sky.")
    level.text("# Written by scripts/make-citadel-level.py: change the script and run it again rather than editing")
    level.text("# this file. The plan is in the script's description.")
    level.text()
    level.text("level The Citadel")
    level.text("texel 0.5")
    level.text("page 1024")
    level.text("ambient 0.12 0.12 0.13")
    level.text("sky 0.40 0.46 0.58")
    level.text("sun -0.30 -0.90 0.32 color 1.00 0.92 0.76")
    level.text("bounce 0.6")
    level.text("spawn 0 0 0")
    level.text()
    for name, texture, repeat in MATERIALS:
        level.text(f"material {name:<9} {texture:<18} {num(repeat)}")
    level.section("ground: one slab under everything")
    level.box((-89, -1, -89), (89, 0, 89), mats("flags", "stone"))
    build_atrium(level)
    build_gallery(level)
    build_hall(level)
    build_corridor(level, -1)
    build_corridor(level, 1)
    for block in blocks:
        block.build(level)
    level.check_lights()
    return level


def forbid_openings():
    """Stretches of the central walls where the blocks may not open doors: by the gallery's ramps and the
    upper hall's alcove walls, and where the atrium's walls meet the gallery's and the hall's."""
    for side in (-1, 1):
        line = "x" + num(14.5 * side)
        for z in (31, 47, 63, 79):
            forbid(2, line, z - 2.5, z + 3.5)
        forbid(0, line, 66, 88)
        forbid(1, line, 66, 88)
        for storey in range(3):
            forbid(storey, line, 13, 16)
            forbid(storey, line, -16, -13)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets", "levels", "citadel.level")
    level = make_level()
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(level.lines) + "\n")
    print(f"{path}: {len(level.solid_boxes)} solid statements, {len(level.lights)} lights")


if __name__ == "__main__":
    main()
