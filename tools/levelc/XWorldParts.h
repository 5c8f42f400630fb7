// XWorldParts: a world too large for one engine mesh, cut into parts the engine takes.
//
// The engine's meshes hold fewer than 50,000 vertices and 50,000 triangles (their indices are 16-bit). A larger
// world goes into the scene file as "world", "world.2", "world.3", ...: the triangles in their order, cut into
// consecutive parts that each stay under both limits, every part with its own copy of the vertices it uses and
// its own material groups. Taken in turn, the parts' triangles are the world's, so triangle numbers that count
// through the whole world (the visibility data's) count through the parts in turn.
// Depends on: XSceneObject.
#pragma once

#include "tools/levelc/XSceneObject.h"

#include <vector>

namespace XWorldParts {

// The parts of the world, each under limit vertices and triangles (limit as the engine's: counts must stay
// below it). A world that fits is returned as it is, as its one part.
std::vector<XSceneObject> Split(const XSceneObject& world, int limit);

} // namespace XWorldParts
