// XOctTree: building both trees and the collision tree's sphere and segment queries.
// Depends on: XOctTreeBuilder, XFrameProfile (the build time).
#include "space/XOctTree.h"

#include "shell/XFrameProfile.h"
#include "space/XOctTreeBuilder.h"

#include <atomic>

namespace {

// The last serial handed to a collision build, across all trees of the process (a level may be built on the
// level watcher's thread while the game runs).
std::atomic<uint64_t> lastSerial{0};

void SphereQueryFrom(XOctNode* node, const XVector3& centre, float radius, std::vector<XOctNode*>& nodes)
{
    if (!node->Cube().IntersectsSphere(centre, radius)) {
        return;
    }
    // Only leaves hold triangles, so a node with triangles ends the descent.
    if (node->TriangleCount() > 0) {
        nodes.push_back(node);
        return;
    }
    for (int i = 0; i < 8; ++i) {
        XOctNode* child = node->Child(i);
        if (child != nullptr) {
            SphereQueryFrom(child, centre, radius, nodes);
        }
    }
}

void SegmentQueryFrom(XOctNode* node, const XCubeSegment& segment, std::vector<XOctNode*>& nodes)
{
    if (!node->Cube().IntersectsSegment(segment)) {
        return;
    }
    if (node->TriangleCount() > 0) {
        nodes.push_back(node);
    }
    for (int i = 0; i < 8; ++i) {
        XOctNode* child = node->Child(i);
        if (child != nullptr) {
            SegmentQueryFrom(child, segment, nodes);
        }
    }
}

} // namespace

void XOctTree::Build(const XMesh* worldMesh)
{
    root.reset();
    mesh = worldMesh;
    serial = ++lastSerial;
    if (worldMesh == nullptr) {
        return;
    }
    XOctTreeBuilder builder;
    root = builder.BuildCollisionTree(*worldMesh);
}

void XOctTree::BuildRenderTree(const XMesh* worldMesh)
{
    renderRoot.reset();
    mesh = worldMesh;
    if (worldMesh == nullptr) {
        return;
    }
    XOctTreeBuilder builder;
    renderRoot = builder.BuildRenderTree(*worldMesh);
}

void XOctTree::SphereQuery(const XVector3& centre, float radius, std::vector<XOctNode*>& nodes) const
{
    if (root) {
        SphereQueryFrom(root.get(), centre, radius, nodes);
    }
}

const std::vector<XOctNode*>& XOctTree::SegmentQuery(const XVector3& from, const XVector3& to)
{
    queryResult.clear();
    if (root) {
        SegmentQueryFrom(root.get(), XCubeSegment(from, to), queryResult);
    }
    return queryResult;
}

XOctTree* BuildOctTree(XMesh* worldMesh)
{
    if (worldMesh == nullptr) {
        return nullptr;
    }
    const double start = XFrameProfile::Now();
    XOctTree* tree = new XOctTree();
    tree->BuildRenderTree(worldMesh);
    tree->Build(worldMesh);
    tree->buildTime = XFrameProfile::Now() - start;
    return tree;
}
