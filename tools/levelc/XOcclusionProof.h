// XOcclusionProof: proofs that nothing of a set of triangles can be seen from a region of open space.
//
// Sampled lines of sight can show that a cell is seen (one clear line is enough), never that it is not: a line
// through a narrow gap between the samples goes unnoticed. This proof answers the other way round. Every
// straight line from a point of box A to a point of box B that passes through one layer of solid cells between
// the boxes, wherever it crosses that layer, is blocked (XSolidCells::SeparatesBoxes). When no single layer
// blocks the whole bundle of lines, the larger of the two boxes is cut in half, each half shrunk to what it
// still holds (eye space, or pieces of triangles), and each half proved on its own: walls with doorways, floors
// with stairwells and walls behind them then block the bundle between them. The proof gives up, answering "may
// be seen", when the parts get smaller than a limit or the work passes a budget; so it never calls a triangle
// hidden that some line reaches, and its only error is to leave some hidden ones in.
// Depends on: XSolidCells, XRayTracer (its triangles), XVector3d.
#pragma once

#include "math/XVector3d.h"
#include "tools/levelc/XRayTracer.h"
#include "tools/levelc/XSolidCells.h"

#include <vector>

struct XBox {
    XVector3d min;
    XVector3d max;
};

// Where the eye can be: boxes (overlapping or not) and the box around them all. Empty boxes are left out.
struct XEyeRegion {
    XEyeRegion(std::vector<XBox> regionBoxes); // not explicit: a region is made from its boxes where one is asked for
    bool Empty() const { return boxes.empty(); }

    std::vector<XBox> boxes;
    XBox bounds;
};

struct XOcclusionLimits {
    double endGap = 0.03;        // solid cells this close to either box do not count (the lines' ends)
    double smallestPart = 0.5;   // parts no longer than this on every axis are not cut further
    int budget = 4000;           // box pairs looked at, at most, before giving up
};

class XOcclusionProof {
public:
    XOcclusionProof(const XSolidCells& solidCells, const XOcclusionLimits& limits);

    // Whether every line from a point of the eye region to a point of one of the triangles passes through the
    // inside of a solid. False when that cannot be proved within the limits.
    bool Hidden(const XEyeRegion& eye, const std::vector<XRayTracer::Triangle>& triangles) const;

private:
    struct Target {
        std::vector<std::vector<XVector3d>> polygons; // pieces of triangles, each inside `bounds`
        XBox bounds;
    };

    bool Prove(const XEyeRegion& eye, const Target& target, int& budget) const;

    const XSolidCells& cells;
    XOcclusionLimits limits;
};
