// XVisibilityBuilder: which parts of the world can be seen from where, worked out once by the level compiler so
// that the engine draws only those.
//
// The level's box is cut into cubic cells. Every world triangle belongs to the cell that holds its centroid (its
// owner cell); every cell that holds open space the player can reach is a view cell, and the eye can be anywhere
// in that open space. A view cell sees an owner cell unless it is proved that every straight line from where the
// eye can be to a point of the owner cell's triangles passes through the inside of a solid (XOcclusionProof), or
// the triangles lie beyond the farthest point the camera shows. So the set is conservative: what is left out is
// never in the picture. Sampled lines of sight (points of the eye's open space and points on the triangles,
// paired at random up to a limit) come first, as one clear line settles "seen" at once, and the proof is only run
// when none is found. The work is split over threads by view cell, each with a random sequence of its own, so the
// result never depends on the thread count.
//
// The triangles are also put into a drawing order: by owner cell, then by material, so that a cell's triangles
// of one material are one run.
// Depends on: XRayTracer, XSpaceGrid, XSolidCells, XOcclusionProof, XSceneObject.
#pragma once

#include "math/XVector3d.h"
#include "tools/levelc/XOcclusionProof.h"
#include "tools/levelc/XRayTracer.h"
#include "tools/levelc/XSceneObject.h"
#include "tools/levelc/XSolidCells.h"
#include "tools/levelc/XSpaceGrid.h"

#include <cstdint>
#include <string>
#include <vector>

// A run of triangles of one material in the drawing order.
struct XVisibilityRun {
    int first = 0;    // in the drawing order
    int count = 0;
    int material = 0; // the scene material (the world group's)
};

// A cell that owns triangles.
struct XOwnerCell {
    int cell = 0;         // index in the grid: (z * ny + y) * nx + x
    XVector3d min;        // the box around its triangles
    XVector3d max;
    std::vector<XVisibilityRun> runs;
};

// A cell the eye can be in, with the owner cells it sees (one bit each, in the order of the owner cell list).
struct XViewCell {
    int cell = 0;
    std::vector<uint8_t> sees;
};

// The space-grid cells the player can reach: the eye can only be within one such cell of them, and the sets
// hold only for an eye there (an eye flown into a wall and left there may see what its cell does not).
struct XEyeSpace {
    XVector3d origin;
    double cellSize = 0.0;
    int nx = 0;
    int ny = 0;
    int nz = 0;
    std::vector<uint8_t> reachable; // one bit a cell, as XSpaceGrid::ReachableBits
};

struct XVisibility {
    double cellSize = 8.0;
    double reach = 0.0; // nothing farther than this from the eye was looked at
    XVector3d origin;
    int nx = 0;
    int ny = 0;
    int nz = 0;
    std::vector<int> order; // the world's triangles in the drawing order
    std::vector<XOwnerCell> owners;
    std::vector<XViewCell> views;
    XEyeSpace eyeSpace;

    // How many owner cells each view cell sees, on average.
    double AverageSeen() const;
};

struct XVisibilitySettings {
    double cellSize = 8.0;
    double margin = 0.5;       // the sampled eye points also come from this far around a view cell
    double eyeSpacing = 2.0;   // lattice of the sampled eye points in the open space
    int maxPairs = 32;         // sampled lines between a view cell and an owner cell before the proof is asked
    // The farthest a point in the picture can be from the eye: the corner of the far plane (200 units ahead) of
    // a 60-degree vertical field of view in a 16:9 picture, 200 * sqrt(1 + tan(30)^2 * (1 + (16/9)^2)). The engine
    // draws everything when its view reaches farther.
    double reach = 310.0;
    XOcclusionLimits occlusion = {0.03, 0.5, 60};
    int threads = 2;
    bool sampled = true;       // false: every view cell sees every owner cell within reach (quick and safe)
};

class XVisibilityBuilder {
public:
    // solidCells gives quick answers for lines that pass through the inside of a solid (see XSolidCells).
    static XVisibility Build(const XSceneObject& world, const XSpaceGrid& grid, const XSolidCells& solidCells,
                             const XVisibilitySettings& settings);
    // Writes the visibility file (format in docs/scene-format.md). False when it cannot be written.
    static bool WriteFile(const std::string& path, const XVisibility& visibility);
};
