// XSolid: a convex solid of a level, as its faces wound counter-clockwise seen from outside.
//
// Every shape of the level source (boxes, ramps, steps, pillars, arch pieces) becomes one or more of these.
// A face's material is chosen by the way it faces: up (top), down (bottom) or sideways (side).
// Depends on: XConvexPolygon.
#pragma once

#include "tools/levelc/XConvexPolygon.h"

#include <vector>

struct XSolidFace {
    XConvexPolygon polygon;
    XPlaneD plane;      // outward
    int material = 0;
};

// The three materials of a solid, by face direction.
struct XSolidMaterials {
    int top = -1;
    int side = -1;
    int bottom = -1;
};

class XSolid {
public:
    // Faces whose normal has a y component above this take the top material, below its negative the bottom.
    static constexpr double kTopFacing = 0.7;

    XSolid() = default;

    // The prism swept by a flat convex loop moved along extrusion. The loop may be wound either way.
    static XSolid Extrude(const std::vector<XVector3d>& loop, const XVector3d& extrusion,
                          const XSolidMaterials& materials, int sourceLine);

    const std::vector<XSolidFace>& Faces() const { return faces; }
    const XVector3d& Min() const { return boxMin; }
    const XVector3d& Max() const { return boxMax; }
    int SourceLine() const { return line; }

    // Whether p lies inside the solid, farther than margin from every face.
    bool Contains(const XVector3d& p, double margin) const;

private:
    std::vector<XSolidFace> faces;
    XVector3d boxMin;
    XVector3d boxMax;
    int line = 0;
};
