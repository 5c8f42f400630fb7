// The collision mesh: the octree's triangles prepared once per scale for the queries. Preparing must never show
// in a result: every triangle is what scaling the octree's own gives, to the bit, in the octree's leaf order,
// the broad phase finds exactly the triangles whose bounds meet a box, and queries at changing scales answer
// as on a fresh tree.
#include "SceneBuilder.h"

#include "space/XCollision.h"
#include "space/XCollisionMesh.h"
#include "space/XOctNode.h"

#include <gtest/gtest.h>

#include <cstring> // memcmp
#include <functional>
#include <random>
#include <vector>

namespace {

bool SameBits(const XTriangle& a, const XTriangle& b)
{
    return std::memcmp(a.vertex, b.vertex, sizeof(a.vertex)) == 0 &&
           std::memcmp(&a.normal, &b.normal, sizeof(a.normal)) == 0 && std::memcmp(&a.d, &b.d, sizeof(a.d)) == 0;
}

// Every node of the tree below `node` that holds triangles.
void ForEachLeaf(const XOctNode& node, const std::function<void(const XOctNode&)>& visit)
{
    if (node.TriangleCount() > 0) {
        visit(node);
    }
    for (int i = 0; i < 8; ++i) {
        if (const XOctNode* const child = node.Child(i)) {
            ForEachLeaf(*child, visit);
        }
    }
}

// A closed box room with a ramp and a pillar: enough triangles (over 100) for the octree to clip them.
std::unique_ptr<XScene> Room()
{
    SceneBuilder builder;
    builder.Floor(0.0f, -20.0f, -20.0f, 20.0f, 20.0f).Ceiling(8.0f, -20.0f, -20.0f, 20.0f, 20.0f);
    builder.WallFacingMinusZ(20.0f, -20.0f, 20.0f, 0.0f, 8.0f);
    for (int i = 0; i < 60; ++i) {
        const float x = -19.0f + 0.6f * static_cast<float>(i);
        builder.Quad(XVector3(x, 0.0f, -3.0f), XVector3(x, 0.2f * static_cast<float>(i % 7), 3.0f),
                     XVector3(x + 0.6f, 0.2f * static_cast<float>((i + 1) % 7), 3.0f), XVector3(x + 0.6f, 0.0f, -3.0f));
    }
    return builder.Build();
}

// The octree's triangles in its order: leaf by leaf, depth first, children by index.
std::vector<XTriangle> InOctreeOrder(const XOctNode& root)
{
    std::vector<XTriangle> triangles;
    ForEachLeaf(root, [&triangles](const XOctNode& node) {
        for (int i = 0; i < node.TriangleCount(); ++i) {
            triangles.push_back(node.Triangle(i));
        }
    });
    return triangles;
}

} // namespace

TEST(CollisionMesh, HoldsEveryOctreeTriangleScaledToTheBitInLeafOrder)
{
    SceneWithOctree scene(Room());
    const XOctTree& octree = *scene.get()->GetOctree();
    const std::vector<XTriangle> originals = InOctreeOrder(*octree.Root());
    ASSERT_GT(octree.Root()->ChildCount(), 0) << "the room must be big enough to be subdivided";
    for (const XVector3& scale : {kPlayerScale, XVector3(2.0f, 0.5f, 3.0f), XVector3(-1.0f, 1.0f, 1.0f), kUnitScale}) {
        const XCollisionMesh mesh(octree, scale);
        ASSERT_EQ(mesh.TriangleCount(), static_cast<int>(originals.size()));
        for (int order = 0; order < mesh.TriangleCount(); ++order) {
            const int32_t i = mesh.IndexOfOrder(order);
            const XTriangle expected = originals[static_cast<size_t>(order)].Scaled(scale);
            EXPECT_TRUE(SameBits(mesh.Triangle(i).triangle, expected)) << "triangle " << order;
            EXPECT_EQ(mesh.Triangle(i).order, order);
            EXPECT_TRUE(SameBits(mesh.Face(i).normal, expected.normal));
            EXPECT_EQ(mesh.Triangle(i).classification, expected.Classify());
        }
        // Leaf by leaf in the octree's order along the array, whatever the order within a leaf.
        for (int i = 1; i < mesh.TriangleCount(); ++i) {
            ASSERT_LE(mesh.Triangle(i - 1).leaf, mesh.Triangle(i).leaf) << "index " << i;
            ASSERT_EQ(mesh.LeafOf(i), mesh.Triangle(i).leaf);
        }
    }
}

TEST(CollisionMesh, UnitScaleKeepsTheOctreesOwnTrianglesEvenForClippedPieces)
{
    // Scaling by 1 must rebuild every triangle the build made (whole ones and clipped pieces alike) with the
    // very same plane, or the unit-scale mesh (the segment casts') would differ from the octree it stands for.
    SceneWithOctree scene(Room());
    const std::vector<XTriangle> originals = InOctreeOrder(*scene.get()->GetOctree()->Root());
    ASSERT_GT(originals.size(), 200u);
    for (const XTriangle& t : originals) {
        EXPECT_TRUE(SameBits(t.Scaled(kUnitScale), t));
    }
}

TEST(CollisionMesh, BroadPhaseFindsExactlyTheTrianglesWhoseBoundsMeetABoxInIncreasingOrder)
{
    SceneWithOctree scene(Room());
    const XCollisionMesh mesh(*scene.get()->GetOctree(), kPlayerScale);
    std::mt19937 random(21);
    std::uniform_real_distribution<float> across(-230.0f, 230.0f);
    std::uniform_real_distribution<float> size(0.0f, 60.0f);
    std::vector<int32_t> found;
    for (int query = 0; query < 300; ++query) {
        const XVector3 corner(across(random), across(random) / 5.0f, across(random));
        const XBox box{corner, corner + XVector3(size(random), size(random) / 3.0f, size(random))};
        found.clear();
        mesh.Query(box, found);
        std::vector<int32_t> expected;
        for (int32_t i = 0; i < mesh.TriangleCount(); ++i) {
            if (mesh.Bounds(i).Overlaps(box)) {
                expected.push_back(i);
            }
        }
        EXPECT_EQ(found, expected) << "query " << query;
    }
}

TEST(CollisionMesh, QueriesAtChangingScalesAnswerAsOnAFreshTree)
{
    // The same walks, once on a tree whose caches have been filled at other scales between the steps and once
    // on a fresh tree per step: every end position and flag must agree to the bit.
    SceneWithOctree used(Room());
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    XCollision collision;
    for (int step = 0; step < 40; ++step) {
        const XVector3 start(15.0f * unit(random), 1.5f + 0.5f * unit(random), 15.0f * unit(random));
        XMotion motion;
        motion.position = start;
        motion.velocity = XVector3(2.0f * unit(random), -0.5f, 2.0f * unit(random));
        const XVector3 scale = step % 2 == 0 ? kPlayerScale : XVector3(4.0f, 3.0f, 4.0f);

        XContact contact;
        XMotion shot;
        shot.position = start;
        shot.velocity = XVector3(unit(random), -1.0f, unit(random)) * 50.0f;
        (void)collision.CastSegment(used.get(), shot, kUnitScale, contact);
        (void)collision.CollideAndSlide(used.get(), motion, XVector3(1.0f, 2.0f, 1.0f));
        const XVector3 endUsed = collision.CollideAndSlide(used.get(), motion, scale);
        const bool floorUsed = collision.OnFloor();
        const int slidesUsed = collision.Slides();

        SceneWithOctree fresh(Room());
        XCollision freshCollision;
        const XVector3 endFresh = freshCollision.CollideAndSlide(fresh.get(), motion, scale);
        EXPECT_TRUE(SameBits(endUsed, endFresh)) << "step " << step;
        EXPECT_EQ(floorUsed, freshCollision.OnFloor()) << "step " << step;
        EXPECT_EQ(slidesUsed, freshCollision.Slides()) << "step " << step;
    }
}
