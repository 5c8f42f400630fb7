// XOctTreeStats: counting walks over both trees.
// Depends on: XOctTree.
#include "space/XOctTreeStats.h"

#include "space/XOctTree.h"

namespace {

void CountCollisionNodes(const XOctNode& node, int level, XOctTreeStats& stats)
{
    ++stats.nodeCount;
    if (level > stats.deepestLevel) {
        stats.deepestLevel = level;
    }
    if (node.ChildCount() == 0) {
        ++stats.leafCount;
        stats.leafTriangles += node.TriangleCount();
        if (node.TriangleCount() > XOctTree::subdivisionThreshold) {
            ++stats.oversizedLeaves;
        }
        return;
    }
    for (int i = 0; i < 8; ++i) {
        const XOctNode* child = node.Child(i);
        if (child != nullptr) {
            CountCollisionNodes(*child, level + 1, stats);
        }
    }
}

int CountRenderNodes(const XRenderOctNode& node)
{
    int count = 1;
    for (int i = 0; i < 8; ++i) {
        const XRenderOctNode* child = node.Child(i);
        if (child != nullptr) {
            count += CountRenderNodes(*child);
        }
    }
    return count;
}

} // namespace

XOctTreeStats XOctTreeStats::Gather(const XOctTree& tree)
{
    XOctTreeStats stats;
    if (tree.Root() != nullptr) {
        CountCollisionNodes(*tree.Root(), 0, stats);
    }
    for (int part = 0; part < tree.RenderRootCount(); ++part) {
        stats.renderNodeCount += CountRenderNodes(*tree.RenderRoot(part));
        stats.renderRootTriangles += tree.RenderRoot(part)->TriangleCount();
    }
    return stats;
}
