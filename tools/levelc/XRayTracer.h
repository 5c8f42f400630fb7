// XRayTracer: fast segment tests against the level's triangles, for baking light maps.
//
// A bounding volume hierarchy over the triangles, split at the median of the longest axis; built the same
// way every time, so that results never depend on anything but the geometry. Triangles block from both
// sides. Equivalent to testing every triangle of the octree's segment query with XTriangle::SegmentHit,
// only much faster, which matters for the millions of rays of a bake.
// Depends on: XVector3d.
#pragma once

#include "math/XVector3d.h"

#include <vector>

struct XRayHit {
    double distance = 0.0;  // along the unit direction
    int triangle = -1;
    double u = 0.0;         // barycentric weights of corners 1 and 2
    double v = 0.0;
};

class XRayTracer {
public:
    struct Triangle {
        XVector3d p0;
        XVector3d p1;
        XVector3d p2;
    };

    explicit XRayTracer(std::vector<Triangle> triangles);

    // Whether any triangle crosses the segment from `from` to `to`, ignoring hits within `startGap` of from
    // and of to.
    bool Blocked(const XVector3d& from, const XVector3d& to, double startGap) const;

    // The nearest hit along the unit direction between minDistance and maxDistance; false when none.
    bool Nearest(const XVector3d& origin, const XVector3d& direction, double minDistance, double maxDistance,
                 XRayHit& hit) const;

    int TriangleCount() const { return static_cast<int>(triangles.size()); }
    const Triangle& GetTriangle(int i) const { return triangles[static_cast<size_t>(i)]; }

private:
    struct Node {
        double min[3];
        double max[3];
        int first = 0;  // leaf: first triangle in order; inner: index of the right child (left is next)
        int count = 0;  // leaf: triangle count; inner: 0
    };

    int BuildNode(int first, int count, std::vector<XVector3d>& centroids);
    template <bool anyHit>
    bool Trace(const XVector3d& origin, const XVector3d& direction, double minDistance, double maxDistance,
               XRayHit& hit) const;

    // A triangle as the hit test reads it: a corner and the two edges from it, in the hierarchy's order.
    struct Prepared {
        XVector3d p0;
        XVector3d e1;
        XVector3d e2;
    };

    std::vector<Triangle> triangles;
    std::vector<int> order;
    std::vector<Prepared> prepared; // prepared[i] is triangle order[i]
    std::vector<Node> nodes;
};
