// XCube: the axis-aligned cube of an octree node, with the overlap tests the octree queries use.
//
// min and max are kept equal to center -/+ halfSize on every axis; Set is the only way to move the cube.
// All tests include the boundary: a point on a face is inside, a sphere touching a face meets the cube.
// Depends on: XVector3, XVector3d.
#pragma once

#include "math/XVector3.h"
#include "math/XVector3d.h"

// A segment prepared for tests against many cubes: what the separating-axis test needs of it (middle, half length,
// unit direction, in double precision) is worked out once instead of once per cube.
struct XCubeSegment {
    XCubeSegment(const XVector3& from, const XVector3& to);

    XVector3 p1;
    XVector3 p2;
    XVector3d mid;
    XVector3d u;
    double halfLength = 0.0;
};

class XCube {
public:
    XCube() = default;
    XCube(const XVector3& cubeCenter, float cubeHalfSize) { Set(cubeCenter, cubeHalfSize); }

    // Places the cube and recomputes its corners.
    void Set(const XVector3& cubeCenter, float cubeHalfSize);

    const XVector3& Center() const { return center; }
    float HalfSize() const { return halfSize; }
    const XVector3& Min() const { return min; }
    const XVector3& Max() const { return max; }

    // min <= p <= max on every axis.
    bool Contains(const XVector3& p) const
    {
        return min.x <= p.x && p.x <= max.x && min.y <= p.y && p.y <= max.y && min.z <= p.z && p.z <= max.z;
    }

    // True when the sphere reaches the cube (touching counts).
    bool IntersectsSphere(const XVector3& sphereCenter, float radius) const;

    // True when the segment from p1 to p2 meets the cube, including segments with an end inside.
    bool IntersectsSegment(const XVector3& p1, const XVector3& p2) const;
    bool IntersectsSegment(const XCubeSegment& segment) const;

private:
    XVector3 center;
    float halfSize = 0.0f;
    XVector3 min;
    XVector3 max;
};
