// XTriangle: a triangle with its plane, and the contact tests of the collision code and the octree.
//
// The normal follows the winding: normal = normalise((P1 - P0) x (P2 - P1)), and d = -normal . P0, so that
// normal . p + d is the signed distance of p from the triangle's plane. The collision code calls these tests for
// every triangle near the player every frame, so they allocate nothing.
// Depends on: XVector3, Segment.
#pragma once

#include "math/XVector3.h"

struct XSplitResult;

// A triangle's three corners in winding order, without its plane: all that clipping needs of it. The octree's
// build cuts its triangles as corners and gives only the pieces it keeps their planes.
struct XCorners {
    XVector3 vertex[3];
};

// The outcome of SplitCorners, as XSplitResult (below) but with the pieces as corners.
struct XCornerSplit {
    bool split = false;
    int count = 0;
    XCorners pieces[3];
};

// Cuts the triangle by the plane through planePoint with normal planeNormal, as XTriangle::Split does.
XCornerSplit SplitCorners(const XCorners& triangle, const XVector3& planeNormal, const XVector3& planePoint);

// The centroid of the corners, summed in double and rounded once.
XVector3 CentroidOf(const XCorners& triangle);

// Signed distance of p from the plane normal . x + d = 0, in double and rounded once.
inline float SignedPlaneDistance(const XVector3& normal, float d, const XVector3& p)
{
    return static_cast<float>(static_cast<double>(normal.x) * p.x + static_cast<double>(normal.y) * p.y +
                              static_cast<double>(normal.z) * p.z + d);
}

struct XTriangle {
    // Classify results.
    static constexpr int Wall = 0;
    static constexpr int Floor = 1;
    static constexpr int Ceiling = 2;

    XVector3 vertex[3];
    XVector3 normal;
    float d = 0.0f;

    XTriangle() = default;
    // Computes normal and d from the corners. Corners on one line give a non-finite normal, which every test
    // below treats as "no contact".
    XTriangle(const XVector3& p0, const XVector3& p1, const XVector3& p2);
    explicit XTriangle(const XCorners& corners) : XTriangle(corners.vertex[0], corners.vertex[1], corners.vertex[2])
    {
    }

    XCorners Corners() const { return XCorners{{vertex[0], vertex[1], vertex[2]}}; }

    // Signed distance of p from the triangle's plane, positive on the front side.
    float PlaneDistance(const XVector3& p) const { return SignedPlaneDistance(normal, d, p); }

    // Whether p, taken as lying in the triangle's plane, is inside the triangle. Points on an edge or up to
    // 0.00001 (times the edge length) outside it count as inside.
    bool ContainsProjectedPoint(const XVector3& p) const;

    // Contact of a sphere of radius 10.0 around p with the triangle. Only spheres whose centre lies from 0.5
    // behind to 10.0 in front of the plane are tested. The contact point is p projected onto the plane when
    // that falls inside the triangle, else the nearest point of the nearest edge (the lower edge on a tie) when
    // it is at most 10.0 away.
    bool SphereContact(const XVector3& p, XVector3& contact) const;

    // Where the segment p + dir * t meets the triangle, for t from -tolerance to 1 + tolerance. False when dir
    // runs parallel to the plane, the crossing is outside that range, or it misses the triangle.
    bool SegmentHit(const XVector3& p, const XVector3& dir, float tolerance, XVector3& hit) const;
    // The same, also giving the hit's place t along the segment.
    bool SegmentHit(const XVector3& p, const XVector3& dir, float tolerance, XVector3& hit, double& t) const;

    // Floor when the normal is less than 45 degrees from straight up, ceiling when less than 45 degrees from
    // straight down, else wall.
    int Classify() const;

    XVector3 Centroid() const;

    // The triangle with every corner multiplied component-wise by s; normal and d follow the new corners.
    XTriangle Scaled(const XVector3& s) const;

    // Cuts the triangle by the plane through planePoint with normal planeNormal (see XSplitResult).
    XSplitResult Split(const XVector3& planeNormal, const XVector3& planePoint) const;
};

// The outcome of XTriangle::Split. split is false when the plane does not cut two of the triangle's edges, and
// the triangle stays whole. Otherwise the cut gives three pieces with the winding of the original; pieces whose
// corners are (nearly) on one line, as when the plane only touches a corner, are dropped, so count is 0 to 3.
struct XSplitResult {
    bool split = false;
    int count = 0;
    XTriangle pieces[3];
};
