// WeaponLevels: the test levels and trace readings shared by the weapon tests. The player spawns at
// (0, 3, 0), falls onto the floor at y = 0 and looks along +z with the eye at height 3.
#pragma once

#include "GameRun.h"

#include <functional>
#include <string>

// Flat ground with a lit wall across the view at z = wallZ (facing the player), 100 wide and 20 high.
TestLevel WallAhead(float wallZ);
// Flat ground only; looking up (see LookUp) nothing is in the line of fire.
TestLevel OpenSpace();

// Script lines that tilt the view up by 20 degrees at the given frame (mouse look needs a running clock).
std::string LookUp(int frame);
// Script lines that press and release a key or a mouse button over one frame.
std::string Tap(int frame, const std::string& key);
std::string Click(int frame, const std::string& button);

// The first frame at or after `from` that satisfies the condition, or 0 when none does.
int FirstFrame(const GameRunResult& run, int from, const std::function<bool(const TraceFrame&)>& condition);
// How much an integer key of the trace changed from frame n - 1 to frame n.
int Rise(const GameRunResult& run, int n, const std::string& key);
