// XBoxTree: building the hierarchy (binned surface-area heuristic, groups kept in order) and the box query.
// Depends on: XVector3, LargePages.
#include "space/XBoxTree.h"

#include "shell/LargePages.h"
#include "space/Permutation.h"

#include <algorithm> // std::min, std::max, std::partition, std::nth_element
#include <cmath>     // isnan
#include <utility>   // std::swap, std::move

#if defined(__SSE2__)
#include <emmintrin.h> // the four-lane box test
#endif

namespace {

// Centroid bins per axis when choosing where to split a group's items.
const int kBins = 12;
// Down to this depth splits follow the heuristic; deeper, a node is halved by count (at the group boundary
// nearest the middle), so that no input makes the tree deeper than the queries' stacks.
const int kHeuristicDepth = 16;

// A box's centre, padded to four floats so that it loads as one.
struct alignas(16) Centre {
    float v[4];
};

// The fourth lane only pads the sides to four floats, so that a box grows by one instruction per side. Made
// empty by Empty(); a plain declaration leaves it unset, for the bins that most splits never fill.
struct Bounds {
    alignas(16) float min[4];
    alignas(16) float max[4];

    static Bounds Empty() { return Bounds{{1e30f, 1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f, -1e30f}}; }

    // The build grows bounds some ten million times on a large level. Each side takes the lesser (or greater) of
    // its value and the box's, as std::min (std::max) would with the bounds' value first, NaN included.
    void Grow(const XBox& box)
    {
#if defined(__SSE2__)
        // The box's maxima are read from its third float on, all inside the box, and moved into place.
        const __m128 tail = _mm_loadu_ps(&box.min.z);
        Grow(_mm_loadu_ps(&box.min.x), _mm_shuffle_ps(tail, tail, _MM_SHUFFLE(0, 3, 2, 1)));
#else
        Grow(&box.min.x, &box.max.x);
#endif
    }
    void Grow(const Centre& point)
    {
#if defined(__SSE2__)
        const __m128 p = _mm_load_ps(point.v);
        Grow(p, p);
#else
        Grow(point.v, point.v);
#endif
    }
    void Grow(const Bounds& other) { Grow(other.min, other.max); }

private:
#if defined(__SSE2__)
    void Grow(__m128 lower, __m128 upper)
    {
        _mm_store_ps(min, _mm_min_ps(lower, _mm_load_ps(min)));
        _mm_store_ps(max, _mm_max_ps(upper, _mm_load_ps(max)));
    }
#endif
    // Three sides from each of lower and upper.
    void Grow(const float* lower, const float* upper)
    {
        for (int axis = 0; axis < 3; ++axis) {
            min[axis] = std::min(min[axis], lower[axis]);
            max[axis] = std::max(max[axis], upper[axis]);
        }
    }

public:
    // Half the surface area, the cost of a box to the heuristic; 0 for an empty one.
    double HalfArea() const
    {
        if (min[0] > max[0]) {
            return 0.0;
        }
        const double x = static_cast<double>(max[0]) - min[0];
        const double y = static_cast<double>(max[1]) - min[1];
        const double z = static_cast<double>(max[2]) - min[2];
        return x * y + y * z + z * x;
    }
};

// Builds the nodes over slots [begin, end) of order, which it may reorder within groups.
class Builder {
public:
    Builder(const std::vector<XBox>& itemBoxes, const std::vector<int32_t>& itemGroups, std::vector<int32_t>& slots)
        : boxes(itemBoxes), groups(itemGroups), order(slots)
    {
        ReserveLarge(centres, boxes.size());
        for (const XBox& box : boxes) {
            const XVector3 centre = (box.min + box.max) * 0.5f;
            centres.push_back(Centre{{centre.x, centre.y, centre.z, 0.0f}});
        }
        // The groups' runs of slots and their bounds. Splits between groups cut only at run boundaries, and
        // reordering stays within a group, so a run keeps its slots and its bounds for the whole build.
        ReserveLarge(runOf, boxes.size());
        for (size_t item = 0; item < boxes.size(); ++item) {
            if (item == 0 || groups[item] != groups[item - 1]) {
                runStart.push_back(static_cast<int32_t>(item));
                runBounds.push_back(Bounds::Empty());
            }
            runBounds.back().Grow(boxes[item]);
            runOf.push_back(static_cast<int32_t>(runStart.size() - 1));
        }
    }

    // Where to split slots [begin, end), or begin when they should stay one leaf.
    int32_t Split(int32_t begin, int32_t end, int depth)
    {
        const int32_t count = end - begin;
        if (count <= XBoxTree::kLeafSize) {
            return begin;
        }
        if (GroupOf(begin) != GroupOf(end - 1)) {
            return SplitBetweenGroups(begin, end, depth);
        }
        return SplitWithinGroup(begin, end, depth);
    }

private:
    int32_t GroupOf(int32_t slot) const { return groups[static_cast<size_t>(order[static_cast<size_t>(slot)])]; }

    // The cheapest group boundary by the heuristic (or, deep down, the one nearest the middle). The slots hold
    // whole runs, so the sweeps go run by run: a run's bounds stand for its items' boxes, which give the same box
    // in any order.
    int32_t SplitBetweenGroups(int32_t begin, int32_t end, int depth)
    {
        const int32_t firstRun = runOf[static_cast<size_t>(begin)];
        const int32_t lastRun = runOf[static_cast<size_t>(end - 1)];
        // Every entry read below is written first: the list only needs the room.
        if (rightArea.size() < static_cast<size_t>(lastRun - firstRun + 1)) {
            rightArea.resize(static_cast<size_t>(lastRun - firstRun + 1));
        }
        Bounds right = Bounds::Empty();
        for (int32_t run = lastRun; run > firstRun; --run) {
            right.Grow(runBounds[static_cast<size_t>(run)]);
            rightArea[static_cast<size_t>(run - firstRun)] = right.HalfArea();
        }
        Bounds left = Bounds::Empty();
        int32_t best = begin;
        double bestCost = 0.0;
        for (int32_t run = firstRun + 1; run <= lastRun; ++run) {
            left.Grow(runBounds[static_cast<size_t>(run - 1)]);
            const int32_t slot = runStart[static_cast<size_t>(run)];
            const double rightCost = rightArea[static_cast<size_t>(run - firstRun)] * (end - slot);
            const double cost = depth < kHeuristicDepth ? left.HalfArea() * (slot - begin) + rightCost
                                                        : static_cast<double>(std::abs(2 * slot - begin - end));
            if (best == begin || cost < bestCost) {
                best = slot;
                bestCost = cost;
            }
        }
        return best;
    }

    // Items of one group: a binned heuristic split over their centres, or the median when it finds none.
    int32_t SplitWithinGroup(int32_t begin, int32_t end, int depth)
    {
        Bounds centreBounds = Bounds::Empty();
        for (int32_t slot = begin; slot < end; ++slot) {
            centreBounds.Grow(centres[static_cast<size_t>(order[static_cast<size_t>(slot)])]);
        }
        // One pass over the items fills the bins of every axis along which the centres spread.
        bool binned[3] = {false, false, false};
        float los[3] = {0.0f, 0.0f, 0.0f};
        float extents[3] = {0.0f, 0.0f, 0.0f};
        for (int axis = 0; axis < 3 && depth < kHeuristicDepth; ++axis) {
            los[axis] = centreBounds.min[axis];
            extents[axis] = centreBounds.max[axis] - los[axis];
            binned[axis] = extents[axis] > 0.0f;
        }
        Bounds binBounds[3][kBins]; // each made empty when its first item comes
        int binCounts[3][kBins] = {};
        if (binned[0] || binned[1] || binned[2]) {
            for (int32_t slot = begin; slot < end; ++slot) {
                const int32_t item = order[static_cast<size_t>(slot)];
                const XBox& box = boxes[static_cast<size_t>(item)];
                int bins[3];
                BinsOf(item, los, extents, bins);
                for (int axis = 0; axis < 3; ++axis) {
                    if (binned[axis]) {
                        Bounds& bin = binBounds[axis][bins[axis]];
                        if (binCounts[axis][bins[axis]]++ == 0) {
                            bin = Bounds::Empty();
                        }
                        bin.Grow(box);
                    }
                }
            }
        }
        int bestAxis = -1;
        int bestBin = 0;
        double bestCost = 0.0;
        for (int axis = 0; axis < 3; ++axis) {
            if (!binned[axis]) {
                continue;
            }
            // Only the bins that hold items matter: every split between two of them parts the items alike and
            // costs the same, and of equal costs the first, just after the lower bin, wins.
            int filled[kBins];
            int filledCount = 0;
            for (int bin = 0; bin < kBins; ++bin) {
                if (binCounts[axis][bin] > 0) {
                    filled[filledCount++] = bin;
                }
            }
            double rightAreas[kBins];
            int rightCounts[kBins];
            Bounds right = Bounds::Empty();
            int rightCount = 0;
            for (int k = filledCount - 1; k > 0; --k) {
                right.Grow(binBounds[axis][filled[k]]);
                rightCount += binCounts[axis][filled[k]];
                rightAreas[k] = right.HalfArea();
                rightCounts[k] = rightCount;
            }
            Bounds left = Bounds::Empty();
            int leftCount = 0;
            for (int k = 1; k < filledCount; ++k) {
                left.Grow(binBounds[axis][filled[k - 1]]);
                leftCount += binCounts[axis][filled[k - 1]];
                const double cost = left.HalfArea() * leftCount + rightAreas[k] * rightCounts[k];
                if (bestAxis < 0 || cost < bestCost) {
                    bestAxis = axis;
                    bestBin = filled[k - 1] + 1;
                    bestCost = cost;
                }
            }
        }
        if (bestAxis >= 0) {
            const float lo = centreBounds.min[bestAxis];
            const float extent = centreBounds.max[bestAxis] - lo;
            const auto first = order.begin() + begin;
            const auto middle = std::partition(first, order.begin() + end, [&](int32_t item) {
                return BinOf(item, bestAxis, lo, extent) < bestBin;
            });
            return static_cast<int32_t>(middle - order.begin());
        }
        // All centres alike, or deep: halve by count along the longest axis.
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (centreBounds.max[a] - centreBounds.min[a] > centreBounds.max[axis] - centreBounds.min[axis]) {
                axis = a;
            }
        }
        const int32_t middle = begin + (end - begin) / 2;
        std::nth_element(order.begin() + begin, order.begin() + middle, order.begin() + end,
                         [&](int32_t a, int32_t b) {
                             return centres[static_cast<size_t>(a)].v[axis] < centres[static_cast<size_t>(b)].v[axis];
                         });
        return middle;
    }

    // The item's bin on each axis, as BinOf gives it, all three from one division. An axis whose extent is not
    // positive gets a meaningless bin.
    void BinsOf(int32_t item, const float (&lo)[3], const float (&extent)[3], int (&bins)[3]) const
    {
#if defined(__SSE2__)
        const __m128 centre = _mm_load_ps(centres[static_cast<size_t>(item)].v);
        const __m128 offset = _mm_sub_ps(centre, _mm_setr_ps(lo[0], lo[1], lo[2], 0.0f));
        const __m128 fraction = _mm_div_ps(offset, _mm_setr_ps(extent[0], extent[1], extent[2], 1.0f));
        alignas(16) int32_t raw[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(raw), _mm_cvttps_epi32(_mm_mul_ps(_mm_set1_ps(kBins), fraction)));
        for (int axis = 0; axis < 3; ++axis) {
            bins[axis] = std::min(std::max(static_cast<int>(raw[axis]), 0), kBins - 1);
        }
#else
        for (int axis = 0; axis < 3; ++axis) {
            bins[axis] = extent[axis] > 0.0f ? BinOf(item, axis, lo[axis], extent[axis]) : 0;
        }
#endif
    }

    int BinOf(int32_t item, int axis, float lo, float extent) const
    {
        const int bin = static_cast<int>(kBins * ((centres[static_cast<size_t>(item)].v[axis] - lo) / extent));
        return std::min(std::max(bin, 0), kBins - 1);
    }

    const std::vector<XBox>& boxes;
    const std::vector<int32_t>& groups;
    std::vector<int32_t>& order;
    std::vector<Centre> centres;
    std::vector<double> rightArea; // by run, from the node's first run
    std::vector<int32_t> runStart;  // the first slot of each run of one group's items
    std::vector<Bounds> runBounds;  // the bounds of each run's boxes
    std::vector<int32_t> runOf;     // the run of each slot
};

// A node of the binary tree the build makes first, in 32 bytes: the tree is made depth first, so that an inner
// node's left child is the node just after it.
struct BinaryNode {
    float min[3] = {1e30f, 1e30f, 1e30f};
    float max[3] = {-1e30f, -1e30f, -1e30f};
    int32_t count = 0; // leaf: slot count; inner: 0
    int32_t link = 0;  // leaf: first slot; inner: its right child

    Bounds Box() const
    {
        return Bounds{{min[0], min[1], min[2], 1e30f}, {max[0], max[1], max[2], -1e30f}};
    }
    void SetBox(const Bounds& box)
    {
        for (int axis = 0; axis < 3; ++axis) {
            min[axis] = box.min[axis];
            max[axis] = box.max[axis];
        }
    }
};

// The binary tree over all slots, depth first; node 0 is the root. A leaf's bounds are its items' boxes; an inner
// node's, its two children's together, the same box as its items' (a box's sides are each the least or the greatest
// of its items' values, whatever order they are taken in), without walking all of its items once more.
std::vector<BinaryNode> BuildBinary(Builder& builder, const std::vector<XBox>& boxes, const std::vector<int32_t>& order)
{
    struct Frame {
        int32_t begin;
        int32_t end;
        int32_t parent; // the binary node whose right child this is, or -1
        int depth;
    };
    std::vector<BinaryNode> tree;
    ReserveLarge(tree, 2 * boxes.size()); // a binary tree over n items has at most 2n - 1 nodes
    std::vector<Frame> pending{{0, static_cast<int32_t>(boxes.size()), -1, 0}};
    while (!pending.empty()) {
        const Frame frame = pending.back();
        pending.pop_back();
        const int32_t index = static_cast<int32_t>(tree.size());
        if (frame.parent >= 0) {
            tree[static_cast<size_t>(frame.parent)].link = index;
        }
        const int32_t middle = builder.Split(frame.begin, frame.end, frame.depth);
        BinaryNode node;
        if (middle <= frame.begin || middle >= frame.end) {
            Bounds box = Bounds::Empty();
            for (int32_t slot = frame.begin; slot < frame.end; ++slot) {
                box.Grow(boxes[static_cast<size_t>(order[static_cast<size_t>(slot)])]);
            }
            node.SetBox(box);
            node.link = frame.begin;
            node.count = frame.end - frame.begin;
            tree.push_back(node);
            continue;
        }
        tree.push_back(node);
        // The left child goes on the stack last, to be made next.
        pending.push_back({middle, frame.end, index, frame.depth + 1});
        pending.push_back({frame.begin, middle, -1, frame.depth + 1});
    }
    // Children come after their parent, so from the back every inner node finds its children's bounds made.
    for (size_t i = tree.size(); i-- > 0;) {
        BinaryNode& node = tree[i];
        if (node.count == 0) {
            Bounds box = Bounds::Empty();
            box.Grow(tree[i + 1].Box());
            box.Grow(tree[static_cast<size_t>(node.link)].Box());
            node.SetBox(box);
        }
    }
    return tree;
}

double HalfAreaOf(const BinaryNode& node)
{
    return node.Box().HalfArea();
}

// The children of an inner node.
int32_t LeftOf(int32_t node)
{
    return node + 1;
}
int32_t RightOf(const std::vector<BinaryNode>& tree, int32_t node)
{
    return tree[static_cast<size_t>(node)].link;
}

} // namespace

void XBoxTree::Build(std::vector<XBox> boxes, const std::vector<int32_t>& groups)
{
    nodes.clear();
    slotBoxes.clear();
    rootLeafCount = 0;
    ReserveLarge(order, boxes.size());
    order.resize(boxes.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int32_t>(i);
    }
    if (boxes.empty()) {
        return;
    }
    Builder builder(boxes, groups, order);
    const std::vector<BinaryNode> binary = BuildBinary(builder, boxes, order);
    PutInOrder(boxes, order);
    slotBoxes = std::move(boxes);
    if (binary[0].count > 0) {
        rootLeafCount = binary[0].count; // a root leaf starts at slot 0
        return;
    }

    // Collapse: each four-wide node takes a binary node's children, then opens the largest inner ones among them
    // until it has four. Opening replaces a child by its two children in place, so the lanes keep the order of
    // the slots, and the nodes are made depth first, each followed by its first child's subtree.
    struct Frame {
        int32_t binaryNode;
        int32_t parent; // the four-wide node whose lane this is, or -1 for the root
        int lane;
    };
    ReserveLarge(nodes, binary.size() / 3 + 1);
    std::vector<Frame> pending{{0, -1, 0}};
    while (!pending.empty()) {
        const Frame frame = pending.back();
        pending.pop_back();
        const int32_t index = static_cast<int32_t>(nodes.size());
        nodes.emplace_back();
        if (frame.parent >= 0) {
            nodes[static_cast<size_t>(frame.parent)].child[frame.lane] = index;
        }
        int32_t lanes[4] = {LeftOf(frame.binaryNode), RightOf(binary, frame.binaryNode), -1, -1};
        int laneCount = 2;
        while (laneCount < 4) {
            int open = -1;
            for (int lane = 0; lane < laneCount; ++lane) {
                const BinaryNode& candidate = binary[static_cast<size_t>(lanes[lane])];
                if (candidate.count == 0 &&
                    (open < 0 || HalfAreaOf(candidate) > HalfAreaOf(binary[static_cast<size_t>(lanes[open])]))) {
                    open = lane;
                }
            }
            if (open < 0) {
                break;
            }
            const int32_t opened = lanes[open];
            for (int lane = laneCount; lane > open + 1; --lane) {
                lanes[lane] = lanes[lane - 1];
            }
            lanes[open] = LeftOf(opened);
            lanes[open + 1] = RightOf(binary, opened);
            ++laneCount;
        }
        Node& node = nodes[static_cast<size_t>(index)];
        for (int lane = 0; lane < 4; ++lane) {
            if (lane >= laneCount) {
                node.minX[lane] = node.minY[lane] = node.minZ[lane] = 1e30f;
                node.maxX[lane] = node.maxY[lane] = node.maxZ[lane] = -1e30f;
                node.child[lane] = -1;
                node.count[lane] = 0;
                continue;
            }
            const BinaryNode& child = binary[static_cast<size_t>(lanes[lane])];
            node.minX[lane] = child.min[0];
            node.minY[lane] = child.min[1];
            node.minZ[lane] = child.min[2];
            node.maxX[lane] = child.max[0];
            node.maxY[lane] = child.max[1];
            node.maxZ[lane] = child.max[2];
            node.count[lane] = child.count;
            node.child[lane] = child.count > 0 ? child.link : -1; // an inner child's index comes when it is made
        }
        // Depth first, lanes in order: the last lane goes on the stack first.
        for (int lane = laneCount - 1; lane >= 0; --lane) {
            if (binary[static_cast<size_t>(lanes[lane])].count == 0) {
                pending.push_back({lanes[lane], index, lane});
            }
        }
    }
}

void XBoxTree::Query(const XBox& box, std::vector<int32_t>& slots) const
{
    if (order.empty()) {
        return;
    }
    // Stack entries: a node index (count 0) or a leaf's run of slots, taken in slot order.
    int32_t stackChild[kStackDepth];
    int32_t stackCount[kStackDepth];
    int depth = 0;
    stackChild[depth] = 0;
    stackCount[depth] = rootLeafCount;
    ++depth;
    while (depth > 0) {
        --depth;
        const int32_t child = stackChild[depth];
        const int32_t count = stackCount[depth];
        if (count > 0) {
            // A leaf's box holds several items: each is taken only when its own box meets the query's.
            for (int32_t slot = child; slot < child + count; ++slot) {
                if (slotBoxes[static_cast<size_t>(slot)].Overlaps(box)) {
                    slots.push_back(slot);
                }
            }
            continue;
        }
        const int met = OverlappingLanes(nodes[static_cast<size_t>(child)], box);
        const Node& node = nodes[static_cast<size_t>(child)];
        for (int lane = 3; lane >= 0; --lane) {
            if ((met >> lane) & 1) {
                stackChild[depth] = node.child[lane];
                stackCount[depth] = node.count[lane];
                ++depth;
            }
        }
    }
}

int XBoxTree::OverlappingLanes(const Node& node, const XBox& box)
{
#if defined(__SSE2__)
    // The four lanes side by side: six comparisons of four floats each.
    const __m128 apart = _mm_or_ps(
        _mm_or_ps(_mm_or_ps(_mm_cmpgt_ps(_mm_load_ps(node.minX), _mm_set1_ps(box.max.x)),
                            _mm_cmplt_ps(_mm_load_ps(node.maxX), _mm_set1_ps(box.min.x))),
                  _mm_or_ps(_mm_cmpgt_ps(_mm_load_ps(node.minY), _mm_set1_ps(box.max.y)),
                            _mm_cmplt_ps(_mm_load_ps(node.maxY), _mm_set1_ps(box.min.y)))),
        _mm_or_ps(_mm_cmpgt_ps(_mm_load_ps(node.minZ), _mm_set1_ps(box.max.z)),
                  _mm_cmplt_ps(_mm_load_ps(node.maxZ), _mm_set1_ps(box.min.z))));
    return ~_mm_movemask_ps(apart) & 0xf;
#else
    int met = 0;
    for (int lane = 0; lane < 4; ++lane) {
        const bool overlaps = node.minX[lane] <= box.max.x && box.min.x <= node.maxX[lane] &&
                              node.minY[lane] <= box.max.y && box.min.y <= node.maxY[lane] &&
                              node.minZ[lane] <= box.max.z && box.min.z <= node.maxZ[lane];
        met |= overlaps ? 1 << lane : 0;
    }
    return met;
#endif
}

bool XBoxTree::SegmentEnters(const Node& node, int lane, const double from[3], const double inverse[3], double lo,
                             double hi, double& entry)
{
    const double mins[3] = {node.minX[lane], node.minY[lane], node.minZ[lane]};
    const double maxs[3] = {node.maxX[lane], node.maxY[lane], node.maxZ[lane]};
    double enter = lo;
    double leave = hi;
    for (int axis = 0; axis < 3; ++axis) {
        double t0 = (mins[axis] - from[axis]) * inverse[axis];
        double t1 = (maxs[axis] - from[axis]) * inverse[axis];
        if (std::isnan(t0) || std::isnan(t1)) {
            // Parallel to the slab with the start on one of its faces (0 * infinity): inside it.
            continue;
        }
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave) {
            return false;
        }
    }
    entry = enter;
    return true;
}
