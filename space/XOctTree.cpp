// XOctTree: building both trees and the collision tree's sphere and segment queries.
// Depends on: XOctTreeBuilder, XFrameProfile (the build time).
#include "space/XOctTree.h"

#include "shell/XFrameProfile.h"
#include "space/XOctTreeBuilder.h"

#include <algorithm> // std::find
#include <atomic>
#include <future> // async
#include <system_error>

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

// The render tree of each part.
std::vector<std::unique_ptr<XRenderOctNode>> RenderRootsOf(const std::vector<const XMesh*>& worldParts)
{
    std::vector<std::unique_ptr<XRenderOctNode>> roots;
    XOctTreeBuilder builder;
    for (const XMesh* const part : worldParts) {
        roots.push_back(builder.BuildRenderTree(*part));
    }
    return roots;
}

} // namespace

void XOctTree::Build(const XMesh* worldMesh)
{
    Build(worldMesh != nullptr ? std::vector<const XMesh*>{worldMesh} : std::vector<const XMesh*>{});
}

void XOctTree::Build(const std::vector<const XMesh*>& worldParts)
{
    root.reset();
    mesh = worldParts.empty() ? nullptr : worldParts[0];
    serial = ++lastSerial;
    if (worldParts.empty()) {
        return;
    }
    XOctTreeBuilder builder;
    root = builder.BuildCollisionTree(worldParts);
}

void XOctTree::BuildRenderTree(const XMesh* worldMesh)
{
    BuildRenderTrees(worldMesh != nullptr ? std::vector<const XMesh*>{worldMesh} : std::vector<const XMesh*>{});
}

void XOctTree::BuildRenderTrees(const std::vector<const XMesh*>& worldParts)
{
    mesh = worldParts.empty() ? nullptr : worldParts[0];
    renderRoots = RenderRootsOf(worldParts);
}

XRenderOctNode* XOctTree::RenderRoot(int part) const
{
    return part >= 0 && part < RenderRootCount() ? renderRoots[static_cast<size_t>(part)].get() : nullptr;
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
    return BuildOctTree(std::vector<XMesh*>{worldMesh});
}

XOctTree* BuildOctTree(const std::vector<XMesh*>& worldParts)
{
    if (worldParts.empty() || std::find(worldParts.begin(), worldParts.end(), nullptr) != worldParts.end()) {
        return nullptr;
    }
    const std::vector<const XMesh*> parts(worldParts.begin(), worldParts.end());
    const double start = XFrameProfile::Now();
    XOctTree* tree = new XOctTree();
    // The render trees are made on a second thread while the collision tree's first split, which one thread
    // makes before it shares the subtrees between two, is made here; the tree takes them when both are done.
    std::future<std::vector<std::unique_ptr<XRenderOctNode>>> renderRoots;
    try {
        renderRoots = std::async(std::launch::async, [&parts] { return RenderRootsOf(parts); });
    } catch (const std::system_error&) {
        // No second thread to be had: made below, after the collision tree.
    }
    tree->Build(parts);
    tree->renderRoots = renderRoots.valid() ? renderRoots.get() : RenderRootsOf(parts);
    tree->buildTime = XFrameProfile::Now() - start;
    return tree;
}
