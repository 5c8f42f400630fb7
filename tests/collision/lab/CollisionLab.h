// CollisionLab: levels, motions and a verdict for measuring the player's collision: the default level as the
// build compiled it, generated rooms with the shapes that catch collision code out (corners, thin walls and
// plates, stairs, low ceilings, steep slopes), walking motions from starts checked to be clear (and a set that
// starts embedded), random motions of any length, and the judgement of where a motion ended.
// Used by the tunnelling tests and the collision benchmarks; it relies on the engine's public collision calls
// only, so that an older build can be measured with the same motions.
#pragma once

#include "lab/GeometryCheck.h"

#include "scene/XScene.h"
#include "space/XCollision.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lab {

// The player's collision scale and body radius in the stretched space.
const XVector3 kPlayerScale(11.0f, 5.0f, 11.0f);
const double kBodyRadius = 10.0;
// A start counts as clear when nothing is nearer than this (a body resting on a floor touches it at 10).
const double kClearStart = 9.9999;
// An end counts as embedded when something is nearer than this: 1 % of the body radius inside.
const double kEmbedded = 9.9;

// A level: a scene with its octree, and its world triangles as corners (three a triangle, world space).
struct Level {
    Level(const std::string& levelName, std::unique_ptr<XScene> levelScene, std::vector<XVector3> worldCorners);
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    std::string name;
    std::unique_ptr<XScene> scene;
    std::vector<XVector3> corners;
    GeometryCheck check;
};

// The default level from the build's data folder (scene/world.msa), or null when it has not been built.
std::unique_ptr<Level> LoadDefaultLevel(const std::string& buildDirectory);
// A 24 x 7 x 24 room (seeded layout) with an inner corner, thin walls and a one-sided plate, stairs, a low
// ceiling, a steep slope and a gentle ramp, and pillars.
std::unique_ptr<Level> GeneratedRooms(uint32_t seed);

// Walking motions of one 10 ms frame at full speed with the game's push into the ground: two thirds over open
// floor in any direction, a third from against a wall, a step or a pillar, heading into it. Every start is
// checked clear.
std::vector<XMotion> WalkingMotions(const Level& level, int count, uint32_t seed);
// Walking motions whose starts overlap geometry by 0.1 to 1 units of the stretched space (a tenth of the body
// radius at most): the push-out's work.
std::vector<XMotion> EmbeddedMotions(const Level& level, int count, uint32_t seed);
// Motions of lengths spread evenly from 0 to maxLength world units, in any direction, from clear starts on
// and above the level's floors (up to 3 units above).
std::vector<XMotion> RandomMotions(const Level& level, int count, uint32_t seed, float maxLength);

// Where a motion from a clear start ended: how near the nearest triangle is, whether the body is inside
// geometry and whether the centre's straight path from start to end passes through a triangle.
struct Verdict {
    double clearance = 0.0;
    bool embedded = false;
    bool crossed = false;
    bool Failed() const { return embedded || crossed; }
};
Verdict Judge(const Level& level, const XMotion& motion, const XVector3& end);

// Failures of a motion set by motion length, in ten equal bands up to the longest length.
struct TunnelReport {
    static constexpr int kBands = 10;
    float maxLength = 10.0f;
    int motions[kBands] = {};
    int embedded[kBands] = {};
    int crossed[kBands] = {};
    int failed[kBands] = {};
    std::vector<std::string> examples; // the first few failures
    int TotalFailed() const;
    std::string Table() const;
};
// Runs every motion through CollideAndSlide with the player's scale and judges where it ended.
TunnelReport MeasureTunnelling(const Level& level, const std::vector<XMotion>& motions, float maxLength);

} // namespace lab
