#!/usr/bin/env python3
"""Writes the input scripts from which the committed demos (assets/demos/*.demo) were recorded:

    scripts/make-demo-scripts.py OUT_DIR
    build/korvath --fixed-step 16 --script OUT_DIR/walk.txt --record assets/demos/walk.demo --frames N
    build/korvath --map citadel --fixed-step 16 --script OUT_DIR/citadel.txt --record assets/demos/citadel.demo --frames N

A route is a list of waypoints walked with the up arrow after turning towards each with the mouse, at the
fixed step of 16 ms (10 units per second is 0.16 units per frame; friction glides about 1.6 units on after
the key is released)."""
import math
import os
import sys

STEP_MS = 16.0


class Script:
    def __init__(self, x, z, first_frame):
        self.x, self.z, self.frame, self.yaw, self.lines = x, z, first_frame, 0.0, []

    def event(self, text):
        self.lines.append(f"{self.frame} {text}")

    def wait(self, frames):
        self.frame += frames
        return self

    def look(self, yaw, pitch_change=0.0):
        pixels = round(-(yaw - self.yaw) * 10)
        self.event(f"mouse move {pixels} {round(-pitch_change * 10)}")
        self.yaw -= pixels / 10
        return self.wait(20)

    def to(self, x, z):
        dx, dz = x - self.x, z - self.z
        self.look(math.degrees(math.atan2(dx, dz)))
        per_frame = 10.0 * STEP_MS / 1000.0
        held = max(1, int((math.hypot(dx, dz) - 1.6) / per_frame))
        self.event("key down UP")
        self.wait(held)
        self.event("key up UP")
        self.x, self.z = x, z
        return self.wait(30)

    def key(self, name, hold=2):
        self.event(f"key down {name}")
        self.wait(hold)
        self.event(f"key up {name}")
        return self.wait(2)

    def button(self, name, hold):
        self.event(f"mouse down {name}")
        self.wait(hold)
        self.event(f"mouse up {name}")
        return self.wait(2)

    def text(self):
        return "\n".join(self.lines) + "\n"


def walk():
    s = Script(0.0, 0.0, 30)
    s.to(0, 20).to(-15.5, 12).to(-15.5, 44)          # the hall, then up the stairs to the gallery
    s.to(0, 46).to(0, 66).button("right", 1).wait(90)  # upper corridor, the low room: a jump to the ceiling
    s.to(28, 66).to(46, 60).to(46, 49)                # terrace corridor, terrace, down the steep slope
    s.to(38, 40).to(38, 13)                           # around the monument into the colonnade
    s.to(11, 13).to(15.5, 14).to(15.5, 44).to(0, 44)  # the east corridor back to the hall, up the ramp
    return s.wait(60)


def citadel():
    s = Script(0.0, 0.0, 30)
    s.to(0, 40).to(0, 84)                         # up the long gallery to its north end
    s.to(0, 20).to(0, 0)                          # back to the atrium
    s.to(40, 0).to(84, 0)                         # the east corridor, out to the foundry's outer wall
    s.to(20, 0).to(-84, 0)                        # back across the atrium and out west
    s.to(-20, 0).to(0, -6).to(0, -50).to(0, -82)  # the south hall down to the dais
    s.to(0, -30).to(0, 0)                         # and back to the start
    return s.wait(60)


def fight():
    s = Script(0.0, 0.0, 30)
    s.look(-60, 5).button("left", 90).wait(30)            # a gun burst at the west wall
    s.event("key down CONTROL")                           # the spotlight on
    s.look(-100, 0).button("left", 60).wait(20)
    s.event("key up CONTROL")
    s.wait(10).key("TAB").wait(50)                        # switch to the rocket launcher
    s.look(0, 0).button("left", 120).wait(120)            # rockets down the hall
    s.look(60, -5).button("left", 40).wait(80)            # a rocket at the pillars
    s.key("F1").wait(200).key("F1").wait(60)              # help on the pause panel, and back
    s.key("TAB").wait(50).look(90, 0).button("left", 80)  # the gun again, at the east wall
    s.key("SPACE").wait(40).key("SPACE").wait(60)         # pause and resume
    s.event("key down SHIFT")                             # zoomed shots
    s.wait(30).button("left", 40)
    s.event("key up SHIFT")
    return s.wait(120)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    for name, script in (("walk", walk()), ("fight", fight()), ("citadel", citadel())):
        with open(os.path.join(out, name + ".txt"), "w") as f:
            f.write(script.text())
        print(f"{name}: {script.frame} frames")


main()
