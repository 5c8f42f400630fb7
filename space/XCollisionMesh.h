// XCollisionMesh: the collision octree's triangles prepared once for the queries of one scale.
//
// The collision queries run in a space stretched by a per-axis scale (the player's body is a sphere there).
// This class takes every triangle of the octree's leaves, scales it exactly as XTriangle::Scaled does, and keeps
// it in one array with its classification and where it came from, under a box tree for the broad
// phase. The array keeps the octree's order of leaves (depth first, children by index); within a leaf the
// triangles lie in the box tree's order, and each remembers its place in the octree's order. A query then
// looks at the few triangles near its path, leaf by leaf as the octree would hand them over, and touches no
// pointer but the array's.
// Depends on: XOctTree, XOctNode, XTriangle, XBoxTree.
#pragma once

#include "math/XTriangle.h"
#include "math/XVector3d.h"
#include "space/XBoxTree.h"

#include <cstdint> // int32_t, uint64_t
#include <vector>

class XOctTree;

// What the quick tests of a triangle read besides its box, kept apart from the rest in records of 24 bytes: most
// candidates of a query are turned away on these alone, and a query's memory traffic is its cost. The boxes are
// the box tree's own (XCollisionMesh::Bounds), in the same order.
struct XCollisionFace {
    XVector3 normal;              // the triangle's plane, as in its XTriangle
    float d = 0.0f;
    double normalDotCorner = 0.0; // normal . first corner, in double, as XTriangle::SegmentHit works it out

    // The same value as XTriangle::PlaneDistance.
    float PlaneDistance(const XVector3& p) const { return SignedPlaneDistance(normal, d, p); }
    // Where the line p + dir * t meets the plane, to the bit as XTriangle::SegmentHit puts it (dir not parallel).
    XVector3 PlaneCrossing(const XVector3d& p, const XVector3d& dir, double normalDotDir) const
    {
        const XVector3d n(normal);
        const double t = -(Dot(n, p) - normalDotCorner) / normalDotDir;
        return (p + dir * t).ToFloat();
    }
};

// The rest of a triangle of the collision mesh.
struct XCollisionTriangle {
    XTriangle triangle;         // the octree's triangle, Scaled by the mesh's scale (bit for bit)
    int32_t order = 0;          // its place in the octree's order (leaf by leaf, triangle by triangle)
    int32_t leaf = 0;           // which leaf of the octree holds it, counted in the octree's order
    int32_t indexInLeaf = 0;
    int32_t classification = 0; // the scaled triangle's Classify
};

class XCollisionMesh {
public:
    // Prepares the triangles of the tree's collision leaves for the scale.
    XCollisionMesh(const XOctTree& tree, const XVector3& scale);

    const XVector3& Scale() const { return scale; }
    // The serial of the octree build it was made from (XOctTree::Serial).
    uint64_t TreeSerial() const { return treeSerial; }
    int TriangleCount() const { return static_cast<int>(triangles.size()); }
    int LeafCount() const { return leafCount; }
    const XCollisionFace& Face(int32_t i) const { return faces[static_cast<size_t>(i)]; }
    // The triangle's box, widened by a rounding margin.
    const XBox& Bounds(int32_t i) const { return tree.SlotBox(i); }
    const XCollisionTriangle& Triangle(int32_t i) const { return triangles[static_cast<size_t>(i)]; }
    // Triangle(i).leaf, from an array of its own for reading many at once.
    int32_t LeafOf(int32_t i) const { return leafOf[static_cast<size_t>(i)]; }
    // The index of the triangle whose place in the octree's order is given.
    int32_t IndexOfOrder(int32_t order) const { return indexOfOrder[static_cast<size_t>(order)]; }

    // Appends the triangles whose bounds overlap the box, in increasing index: leaf by leaf in the octree's order.
    void Query(const XBox& box, std::vector<int32_t>& found) const { tree.Query(box, found); }
    // Visits the triangles the segment may meet, nearest leaf first (see XBoxTree::WalkSegment).
    template <typename Visit, typename Limit>
    void WalkSegment(const XVector3& from, const XVector3& direction, double lo, double hi, Visit&& visit,
                     Limit&& limit) const
    {
        tree.WalkSegment(from, direction, lo, hi, visit, limit);
    }

private:
    XVector3 scale;
    uint64_t treeSerial = 0;
    int leafCount = 0;
    std::vector<XCollisionFace> faces;
    std::vector<XCollisionTriangle> triangles;
    std::vector<int32_t> indexOfOrder;
    std::vector<int32_t> leafOf;
    XBoxTree tree;
};
