// XCollisionMesh: gathering the octree's leaf triangles, scaling them and building their box tree.
// Depends on: XOctTree, XOctNode, LargePages.
#include "space/XCollisionMesh.h"

#include "shell/LargePages.h"
#include "space/XOctNode.h"
#include "space/XOctTree.h"
#include "space/Permutation.h"

#include <algorithm> // std::min, std::max
#include <cmath>     // fabs
#include <utility>   // std::move

namespace {

// The triangle's box, widened so that every point the contact tests accept lies inside it: their inside test
// lets a point lie up to 0.00001 / (edge length) beyond an edge, and their double results are rounded to float.
XBox BoundsOf(const XTriangle& t)
{
    XBox box{t.vertex[0], t.vertex[0]};
    float shortestEdge = Distance(t.vertex[0], t.vertex[1]);
    float largest = 0.0f;
    for (int i = 0; i < 3; ++i) {
        const XVector3& v = t.vertex[i];
        for (int axis = 0; axis < 3; ++axis) {
            box.min[axis] = std::min(box.min[axis], v[axis]);
            box.max[axis] = std::max(box.max[axis], v[axis]);
            largest = std::max(largest, std::fabs(v[axis]));
        }
        shortestEdge = std::min(shortestEdge, Distance(v, t.vertex[(i + 1) % 3]));
    }
    const float edgeSlack = shortestEdge > 0.0f ? 2e-5f / shortestEdge : 1.0f;
    const float margin = std::min(edgeSlack, 1.0f) + 1e-5f * (1.0f + largest);
    box.min = box.min + (-margin);
    box.max = box.max + margin;
    return box;
}

// The triangles of the node and its subtree, in the octree's query order: a node's own triangles, then its
// children by index.
void CollectLeaves(const XOctNode& node, const XVector3& scale, int& leafCount, std::vector<XCollisionFace>& faces,
                   std::vector<XBox>& boxes, std::vector<int32_t>& leaves, std::vector<XCollisionTriangle>& out)
{
    const int count = node.TriangleCount();
    if (count > 0) {
        // Multiplying by 1 changes no corner, so the unit scale keeps the node's own triangles.
        const bool unit = scale.x == 1.0f && scale.y == 1.0f && scale.z == 1.0f;
        for (int i = 0; i < count; ++i) {
            XCollisionTriangle prepared;
            prepared.triangle = unit ? node.Triangle(i) : node.Triangle(i).Scaled(scale);
            prepared.indexInLeaf = i;
            prepared.classification = prepared.triangle.Classify();
            XCollisionFace face;
            face.normal = prepared.triangle.normal;
            face.d = prepared.triangle.d;
            face.normalDotCorner = Dot(XVector3d(face.normal), XVector3d(prepared.triangle.vertex[0]));
            prepared.leaf = leafCount;
            prepared.order = static_cast<int32_t>(out.size());
            faces.push_back(face);
            boxes.push_back(BoundsOf(prepared.triangle));
            leaves.push_back(leafCount);
            out.push_back(prepared);
        }
        ++leafCount;
    }
    for (int i = 0; i < 8; ++i) {
        if (const XOctNode* const child = node.Child(i)) {
            CollectLeaves(*child, scale, leafCount, faces, boxes, leaves, out);
        }
    }
}

// How many triangles the node and its subtree hold.
size_t CountTriangles(const XOctNode& node)
{
    size_t count = static_cast<size_t>(node.TriangleCount());
    for (int i = 0; i < 8; ++i) {
        if (const XOctNode* const child = node.Child(i)) {
            count += CountTriangles(*child);
        }
    }
    return count;
}

} // namespace

XCollisionMesh::XCollisionMesh(const XOctTree& octree, const XVector3& meshScale)
    : scale(meshScale), treeSerial(octree.Serial())
{
    std::vector<XBox> boxes;
    std::vector<int32_t> leaves;
    if (const XOctNode* const root = octree.Root()) {
        // A large level's lists would otherwise be copied over and over as they grow.
        const size_t count = CountTriangles(*root);
        ReserveLarge(faces, count);
        ReserveLarge(triangles, count);
        ReserveLarge(boxes, count);
        ReserveLarge(leaves, count);
        CollectLeaves(*root, scale, leafCount, faces, boxes, leaves, triangles);
    }
    tree.Build(std::move(boxes), leaves);
    // The arrays in the tree's order, so that the tree's slots are the arrays' indices: rearranged where they are
    // rather than copied, which on a large level spares tens of megabytes of fresh memory.
    const std::vector<int32_t>& order = tree.Order();
    PutInOrder(faces, order);
    PutInOrder(triangles, order);
    ReserveLarge(leafOf, triangles.size());
    ReserveLarge(indexOfOrder, triangles.size());
    indexOfOrder.resize(triangles.size());
    for (size_t i = 0; i < triangles.size(); ++i) {
        indexOfOrder[static_cast<size_t>(order[i])] = static_cast<int32_t>(i);
        leafOf.push_back(triangles[i].leaf);
    }
}
