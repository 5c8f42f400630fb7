// Helpers shared by the octree tests: walks over the built trees and the geometry checks on their triangles.
#pragma once

#include "math/XCube.h"
#include "math/XTriangle.h"
#include "space/XOctTree.h"

#include <gtest/gtest.h>

#include <cmath> // sqrt, fabs
#include <vector>

namespace octree_test {

// Where child index of a cube lies: the sign of its offset from the parent's centre on x, y and z.
inline XVector3 ChildDirection(int index)
{
    static const float x[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
    static const float y[8] = {1, 1, 1, 1, -1, -1, -1, -1};
    static const float z[8] = {-1, 1, -1, 1, -1, 1, -1, 1};
    return XVector3(x[index], y[index], z[index]);
}

// The centre a child of a node centred on parentCentre with the given half-size must have.
inline XVector3 ExpectedChildCentre(const XVector3& parentCentre, float parentHalfSize, int index)
{
    return parentCentre + ChildDirection(index) * (parentHalfSize / 2.0f);
}

inline double Area(const XTriangle& t)
{
    const double ux = static_cast<double>(t.vertex[1].x) - t.vertex[0].x;
    const double uy = static_cast<double>(t.vertex[1].y) - t.vertex[0].y;
    const double uz = static_cast<double>(t.vertex[1].z) - t.vertex[0].z;
    const double vx = static_cast<double>(t.vertex[2].x) - t.vertex[0].x;
    const double vy = static_cast<double>(t.vertex[2].y) - t.vertex[0].y;
    const double vz = static_cast<double>(t.vertex[2].z) - t.vertex[0].z;
    const double cx = uy * vz - uz * vy;
    const double cy = uz * vx - ux * vz;
    const double cz = ux * vy - uy * vx;
    return 0.5 * std::sqrt(cx * cx + cy * cy + cz * cz);
}

inline bool SameCorners(const XTriangle& a, const XVector3& p0, const XVector3& p1, const XVector3& p2)
{
    return a.vertex[0] == p0 && a.vertex[1] == p1 && a.vertex[2] == p2;
}

inline bool Near(const XVector3& a, const XVector3& b, double tolerance)
{
    return std::fabs(static_cast<double>(a.x) - b.x) <= tolerance &&
           std::fabs(static_cast<double>(a.y) - b.y) <= tolerance &&
           std::fabs(static_cast<double>(a.z) - b.z) <= tolerance;
}

// Every corner of the triangle inside the cube grown by tolerance on each side.
inline bool CubeHolds(const XCube& cube, const XTriangle& t, float tolerance)
{
    const XCube grown(cube.Center(), cube.HalfSize() + tolerance);
    return grown.Contains(t.vertex[0]) && grown.Contains(t.vertex[1]) && grown.Contains(t.vertex[2]);
}

// The collision nodes that hold triangles, node before children, children in index order.
inline void CollectFilledNodes(XOctNode* node, std::vector<XOctNode*>& nodes)
{
    if (node == nullptr) {
        return;
    }
    if (node->TriangleCount() > 0) {
        nodes.push_back(node);
    }
    for (int i = 0; i < 8; ++i) {
        CollectFilledNodes(node->Child(i), nodes);
    }
}

inline std::vector<XOctNode*> FilledNodes(const XOctTree& tree)
{
    std::vector<XOctNode*> nodes;
    CollectFilledNodes(tree.Root(), nodes);
    return nodes;
}

// Every triangle of the collision tree, in the order of FilledNodes.
inline std::vector<XTriangle> AllTriangles(const XOctTree& tree)
{
    std::vector<XTriangle> triangles;
    for (const XOctNode* node : FilledNodes(tree)) {
        for (int i = 0; i < node->TriangleCount(); ++i) {
            triangles.push_back(node->Triangle(i));
        }
    }
    return triangles;
}

} // namespace octree_test
