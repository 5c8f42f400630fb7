// XVisibilityBuilder: which parts of the world can be seen from where, worked out once by the level compiler so
// that the engine draws only those.
//
// The level's box is cut into cubic cells. Every world triangle belongs to the cell that holds its centroid (its
// owner cell); every cell that holds open space the player can reach is a view cell. A view cell sees an owner
// cell when a straight line from a point of the view cell's open space (or of the open space up to a margin
// around it) reaches a point of one of the owner cell's triangles without passing through any triangle. The lines
// are sampled: points on a lattice of the reachable open space and points spread over the triangles (corners,
// edge middles, centroid and more on large ones), paired at random up to a limit, stopping at the first clear
// line. Pairs farther apart than the camera sees are not looked at. The work is split over threads by view cell,
// each with a random sequence of its own, so the result never depends on the thread count.
//
// The triangles are also put into a drawing order: by owner cell, then by material, so that a cell's triangles
// of one material are one run.
// Depends on: XRayTracer, XSpaceGrid, XSolidCells, XSceneObject.
#pragma once

#include "math/XVector3d.h"
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

struct XVisibility {
    double cellSize = 8.0;
    XVector3d origin;
    int nx = 0;
    int ny = 0;
    int nz = 0;
    std::vector<int> order; // the world's triangles in the drawing order
    std::vector<XOwnerCell> owners;
    std::vector<XViewCell> views;

    // How many owner cells each view cell sees, on average.
    double AverageSeen() const;
};

struct XVisibilitySettings {
    double cellSize = 8.0;
    double margin = 1.0;       // the eye's points also come from this far around a view cell
    double eyeSpacing = 2.0;   // lattice of the eye's points in the open space
    int maxPairs = 600;        // lines tried between a view cell and an owner cell before it counts as unseen
    double reach = 200.0;      // the camera's far plane
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
