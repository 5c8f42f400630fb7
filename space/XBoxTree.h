// XBoxTree: a bounding-volume hierarchy over a list of axis-aligned boxes (the collision triangles' bounds), the
// broad phase of the collision queries. It answers "which items may meet this box" and walks the items along a
// segment nearest first, so that a query touches a few dozen items of a level of tens of thousands.
//
// The items come in groups (the octree leaves that hold the triangles), numbered in the order the queries must
// take them. The build may reorder the items within a group but keeps the groups in their order, and a box query
// hands out the items in the order of the tree's slots, so that its answer comes group by group without sorting.
// Built once as a binary tree (binned surface-area heuristic), then collapsed into four-wide nodes of one
// 128-byte record each, the four children's boxes side by side: a query then takes half as many steps down the
// tree, each testing four boxes at once. Queries are bound by fetching nodes, not by arithmetic. They allocate
// nothing beyond the output list, whose capacity the caller keeps.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

#include <cstdint> // int32_t
#include <vector>

// An axis-aligned box given by its corners.
struct XBox {
    XVector3 min;
    XVector3 max;

    bool Overlaps(const XBox& other) const
    {
        // Without short cuts: one branch instead of six that are hard to predict.
        return (min.x <= other.max.x) & (other.min.x <= max.x) & (min.y <= other.max.y) & (other.min.y <= max.y) &
               (min.z <= other.max.z) & (other.min.z <= max.z);
    }
    // Whether other lies wholly inside this box.
    bool Encloses(const XBox& other) const
    {
        return min.x <= other.min.x && other.max.x <= max.x && min.y <= other.min.y && other.max.y <= max.y &&
               min.z <= other.min.z && other.max.z <= max.z;
    }
};

class XBoxTree {
public:
    // Items per leaf, at most.
    static constexpr int kLeafSize = 2;
    // The queries' stacks: deeper than any tree the build makes (see XBoxTree.cpp).
    static constexpr int kStackDepth = 192;

    // Builds the tree over the boxes; groups[i] is box i's group, and the groups never decrease along the list.
    // Replaces any earlier tree. The tree keeps the boxes, in its own order: a list moved in is not copied.
    void Build(std::vector<XBox> boxes, const std::vector<int32_t>& groups);

    // The tree's slots hold the items in this order: Order()[slot] is the item (its index in the boxes given to
    // Build). Items of a group have consecutive slots, and the groups follow each other in their order.
    const std::vector<int32_t>& Order() const { return order; }

    // Appends the slot of every item whose box overlaps the query box (touching counts), in increasing order.
    void Query(const XBox& box, std::vector<int32_t>& slots) const;

    // Calls visit(slot) for the items whose boxes the segment from + direction * t, lo <= t <= hi, may meet,
    // leaf by leaf in order of where the segment enters each leaf's box, and stops once the segment enters
    // boxes beyond t = limit(), which the caller may lower as it finds hits.
    template <typename Visit, typename Limit>
    void WalkSegment(const XVector3& from, const XVector3& direction, double lo, double hi, Visit&& visit,
                     Limit&& limit) const;

    int NodeCount() const { return static_cast<int>(nodes.size()); }
    // The box of the item in the slot.
    const XBox& SlotBox(int32_t slot) const { return slotBoxes[static_cast<size_t>(slot)]; }

private:
    // Four children side by side. A child is an inner node (count 0, child its node index), a leaf (count > 0,
    // child its first slot) or nothing (count 0, child -1, a box that overlaps nothing).
    struct alignas(64) Node {
        float minX[4];
        float minY[4];
        float minZ[4];
        float maxX[4];
        float maxY[4];
        float maxZ[4];
        int32_t child[4];
        int32_t count[4];
    };
    // A child waiting on a query's stack.
    struct Pending {
        int32_t child;
        int32_t count;
        double entry;
    };

    // The segment's entry parameter into child lane of the node (clipped to lo..hi), or false when it misses it.
    // Bit i set when lane i's box overlaps the box.
    static int OverlappingLanes(const Node& node, const XBox& box);
    static bool SegmentEnters(const Node& node, int lane, const double from[3], const double inverse[3], double lo,
                              double hi, double& entry);

    std::vector<Node> nodes;
    std::vector<int32_t> order;
    std::vector<XBox> slotBoxes; // the items' boxes, by slot
    // The root when it is a leaf (a tree of few items): its slot count, else 0.
    int32_t rootLeafCount = 0;
};

template <typename Visit, typename Limit>
void XBoxTree::WalkSegment(const XVector3& from, const XVector3& direction, double lo, double hi, Visit&& visit,
                           Limit&& limit) const
{
    if (order.empty()) {
        return;
    }
    const double start[3] = {from.x, from.y, from.z};
    // 1/0 gives an infinity, which the slab test handles: a segment parallel to a slab is inside it or not.
    const double inverse[3] = {1.0 / static_cast<double>(direction.x), 1.0 / static_cast<double>(direction.y),
                               1.0 / static_cast<double>(direction.z)};
    Pending stack[kStackDepth];
    int depth = 0;
    stack[depth++] = {0, rootLeafCount, lo};
    while (depth > 0) {
        const Pending pending = stack[--depth];
        if (pending.entry > limit()) {
            continue;
        }
        if (pending.count > 0) {
            for (int32_t slot = pending.child; slot < pending.child + pending.count; ++slot) {
                visit(slot);
            }
            continue;
        }
        const Node& node = nodes[static_cast<size_t>(pending.child)];
        Pending met[4];
        int metCount = 0;
        for (int lane = 0; lane < 4; ++lane) {
            double entry = 0.0;
            if ((node.count[lane] > 0 || node.child[lane] >= 0) &&
                SegmentEnters(node, lane, start, inverse, lo, hi, entry)) {
                // Kept in order of entry, farthest first, so that the nearest goes on the stack last.
                int at = metCount++;
                while (at > 0 && met[at - 1].entry < entry) {
                    met[at] = met[at - 1];
                    --at;
                }
                met[at] = {node.child[lane], node.count[lane], entry};
            }
        }
        for (int k = 0; k < metCount; ++k) {
            stack[depth++] = met[k];
        }
    }
}
