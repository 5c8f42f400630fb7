// The box tree, the collision queries' broad phase: whatever its shape, a box query must give exactly the items
// whose boxes meet the box, group by group in the groups' order, and a segment walk must offer every item whose
// box the segment meets before the caller's limit, nearest leaves first.
#include "space/XBoxTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Items {
    std::vector<XBox> boxes;
    std::vector<int32_t> groups;
};

// count boxes of up to 4 units scattered over 200, in groups of 1 to 60 consecutive items.
Items Scattered(int count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> place(-100.0f, 100.0f);
    std::uniform_real_distribution<float> size(0.0f, 4.0f);
    std::uniform_int_distribution<int> groupSize(1, 60);
    Items items;
    int group = 0;
    int left = groupSize(random);
    for (int i = 0; i < count; ++i) {
        const XVector3 corner(place(random), place(random), place(random));
        items.boxes.push_back({corner, corner + XVector3(size(random), size(random), size(random))});
        items.groups.push_back(group);
        if (--left == 0) {
            ++group;
            left = groupSize(random);
        }
    }
    return items;
}

std::vector<int32_t> BruteForce(const XBoxTree& tree, const Items& items, const XBox& box)
{
    std::vector<int32_t> slots;
    for (size_t slot = 0; slot < tree.Order().size(); ++slot) {
        if (items.boxes[static_cast<size_t>(tree.Order()[slot])].Overlaps(box)) {
            slots.push_back(static_cast<int32_t>(slot));
        }
    }
    return slots;
}

// Whether the segment from + direction * t, lo <= t <= hi, meets the box, and where it enters it.
bool SegmentMeets(const XBox& box, const XVector3& from, const XVector3& direction, double lo, double hi, double& entry)
{
    double enter = lo;
    double leave = hi;
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0.0f) {
            if (from[axis] < box.min[axis] || from[axis] > box.max[axis]) {
                return false;
            }
            continue;
        }
        double t0 = (static_cast<double>(box.min[axis]) - from[axis]) / direction[axis];
        double t1 = (static_cast<double>(box.max[axis]) - from[axis]) / direction[axis];
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
    }
    entry = enter;
    return enter <= leave;
}

} // namespace

TEST(BoxTree, KeepsEachGroupTogetherAndTheGroupsInOrder)
{
    const Items items = Scattered(3000, 1);
    XBoxTree tree;
    tree.Build(items.boxes, items.groups);
    std::vector<int32_t> order = tree.Order();
    ASSERT_EQ(order.size(), items.boxes.size());
    for (size_t slot = 1; slot < order.size(); ++slot) {
        ASSERT_LE(items.groups[static_cast<size_t>(order[slot - 1])], items.groups[static_cast<size_t>(order[slot])]);
    }
    std::sort(order.begin(), order.end());
    for (size_t i = 0; i < order.size(); ++i) {
        ASSERT_EQ(order[i], static_cast<int32_t>(i)) << "every item has exactly one slot";
    }
}

TEST(BoxTree, BoxQueriesGiveExactlyTheMeetingItemsInSlotOrder)
{
    for (const int count : {0, 1, 3, 9, 2500}) {
        const Items items = Scattered(count, 2 + static_cast<uint32_t>(count));
        XBoxTree tree;
        tree.Build(items.boxes, items.groups);
        std::mt19937 random(7);
        std::uniform_real_distribution<float> place(-110.0f, 110.0f);
        std::uniform_real_distribution<float> size(0.0f, 40.0f);
        std::vector<int32_t> found;
        for (int query = 0; query < 200; ++query) {
            const XVector3 corner(place(random), place(random), place(random));
            const XBox box{corner, corner + XVector3(size(random), size(random), size(random))};
            found.clear();
            tree.Query(box, found);
            ASSERT_EQ(found, BruteForce(tree, items, box)) << count << " items, query " << query;
        }
    }
}

TEST(BoxTree, BoxesAllAlikeStillBuildAShallowTree)
{
    // Centres that never separate: the heuristic finds no split, and halving by count must end the build.
    Items items;
    for (int i = 0; i < 20000; ++i) {
        items.boxes.push_back({XVector3(1.0f, 2.0f, 3.0f), XVector3(2.0f, 3.0f, 4.0f)});
        items.groups.push_back(i / 7000);
    }
    XBoxTree tree;
    tree.Build(items.boxes, items.groups);
    std::vector<int32_t> found;
    tree.Query({XVector3(1.5f, 2.5f, 3.5f), XVector3(1.5f, 2.5f, 3.5f)}, found);
    EXPECT_EQ(found.size(), items.boxes.size());
    int visited = 0;
    tree.WalkSegment(XVector3(0.0f, 0.0f, 0.0f), XVector3(4.0f, 8.0f, 12.0f), 0.0, 1.0, [&](int32_t) { ++visited; },
                     [] { return 1e30; });
    EXPECT_EQ(visited, 20000);
}

TEST(BoxTree, SegmentWalksOfferEveryMetItemNearestLeavesFirst)
{
    const Items items = Scattered(2500, 5);
    XBoxTree tree;
    tree.Build(items.boxes, items.groups);
    std::mt19937 random(9);
    std::uniform_real_distribution<float> place(-100.0f, 100.0f);
    for (int walk = 0; walk < 300; ++walk) {
        const XVector3 from(place(random), place(random), place(random));
        XVector3 direction(place(random), place(random), place(random));
        if (walk % 10 == 0) {
            direction.y = 0.0f; // parallel to a pair of slabs
        }
        const double lo = walk % 3 == 0 ? -0.5 : 0.0;
        const double hi = 1.5;
        // Without a limit: every item whose box the segment meets, once.
        std::vector<int32_t> visited;
        tree.WalkSegment(from, direction, lo, hi, [&](int32_t slot) { visited.push_back(slot); }, [] { return 1e30; });
        std::vector<int32_t> met;
        for (size_t slot = 0; slot < tree.Order().size(); ++slot) {
            double entry = 0.0;
            if (SegmentMeets(items.boxes[static_cast<size_t>(tree.Order()[slot])], from, direction, lo, hi, entry)) {
                met.push_back(static_cast<int32_t>(slot));
            }
        }
        std::vector<int32_t> visitedMet;
        for (const int32_t slot : visited) {
            double entry = 0.0;
            if (SegmentMeets(items.boxes[static_cast<size_t>(tree.Order()[slot])], from, direction, lo, hi, entry)) {
                visitedMet.push_back(slot);
            }
        }
        std::sort(visitedMet.begin(), visitedMet.end());
        ASSERT_EQ(visitedMet, met) << "walk " << walk;

        // With the limit lowered to the first met item's entry, no item entered before the limit is missed.
        double firstEntry = 1e30;
        for (const int32_t slot : met) {
            double entry = 0.0;
            SegmentMeets(items.boxes[static_cast<size_t>(tree.Order()[slot])], from, direction, lo, hi, entry);
            firstEntry = std::min(firstEntry, entry);
        }
        double limit = 1e30;
        bool sawFirst = false;
        tree.WalkSegment(from, direction, lo, hi,
                         [&](int32_t slot) {
                             double entry = 0.0;
                             if (SegmentMeets(items.boxes[static_cast<size_t>(tree.Order()[slot])], from, direction,
                                              lo, hi, entry)) {
                                 sawFirst = sawFirst || entry == firstEntry;
                                 limit = std::min(limit, entry);
                             }
                         },
                         [&] { return limit; });
        EXPECT_EQ(sawFirst, !met.empty()) << "walk " << walk;
    }
}
