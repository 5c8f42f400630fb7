// Scaled triangles of the collision octree's nodes: the queries take them from a per-node cache instead of
// scaling each triangle at each test, which must never show in a result — not after a change of scale, not
// after new triangles, not for the unit scale that the segment casts use.
#include "SceneBuilder.h"

#include "space/XCollision.h"
#include "space/XOctNode.h"

#include <gtest/gtest.h>

#include <cmath>   // signbit
#include <cstring> // memcmp
#include <functional>
#include <random>
#include <vector>

namespace {

const XVector3 kPlayerScale(11.0f, 5.0f, 11.0f);
const XVector3 kUnitScale(1.0f, 1.0f, 1.0f);

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

std::vector<XTriangle> SomeTriangles(float offset)
{
    return {XTriangle(XVector3(offset, 0.0f, 0.0f), XVector3(offset, 1.0f, 2.0f), XVector3(offset + 3.0f, 0.5f, 1.0f)),
            XTriangle(XVector3(-1.0f, offset, 4.0f), XVector3(2.0f, offset, -4.0f), XVector3(0.5f, offset + 2.0f, 1.0f))};
}

} // namespace

TEST(ScaledTriangles, GiveWhatScalingEachTriangleGivesForEveryScaleAsked)
{
    XOctNode node;
    node.SetTriangles(SomeTriangles(1.5f));
    for (const XVector3& scale : {kPlayerScale, XVector3(2.0f, 0.5f, 3.0f), kPlayerScale, XVector3(-1.0f, 1.0f, 1.0f)}) {
        const XTriangle* const scaled = node.ScaledTriangles(scale);
        for (int i = 0; i < node.TriangleCount(); ++i) {
            EXPECT_TRUE(SameBits(scaled[i], node.Triangle(i).Scaled(scale)))
                << "triangle " << i << " at scale " << scale.x << ", " << scale.y << ", " << scale.z;
        }
    }
}

TEST(ScaledTriangles, FollowNewTrianglesOfTheNode)
{
    XOctNode node;
    node.SetTriangles(SomeTriangles(1.0f));
    (void)node.ScaledTriangles(kPlayerScale);
    node.SetTriangles(SomeTriangles(7.0f));
    const XTriangle* const scaled = node.ScaledTriangles(kPlayerScale);
    for (int i = 0; i < node.TriangleCount(); ++i) {
        EXPECT_TRUE(SameBits(scaled[i], node.Triangle(i).Scaled(kPlayerScale))) << "triangle " << i;
    }
    node.FreeTriangles();
    node.SetTriangles(SomeTriangles(-2.0f));
    EXPECT_TRUE(SameBits(node.ScaledTriangles(kPlayerScale)[1], node.Triangle(1).Scaled(kPlayerScale)));
}

TEST(ScaledTriangles, TellZeroFromMinusZeroInTheScale)
{
    // The two zeros scale corners to differently signed zeros; a cache keyed by == would mix them up.
    XOctNode node;
    node.SetTriangles(SomeTriangles(1.0f));
    const XVector3 minusZero(-0.0f, 1.0f, 1.0f);
    (void)node.ScaledTriangles(XVector3(0.0f, 1.0f, 1.0f));
    const XTriangle* const scaled = node.ScaledTriangles(minusZero);
    EXPECT_TRUE(std::signbit(scaled[0].vertex[0].x)); // 1 x -0
    for (int i = 0; i < node.TriangleCount(); ++i) {
        EXPECT_TRUE(SameBits(scaled[i].vertex[0], node.Triangle(i).Scaled(minusZero).vertex[0])) << "triangle " << i;
    }
}

TEST(ScaledTriangles, UnitScaleIsTheNodesOwnTrianglesEvenForClippedPieces)
{
    // The unit scale hands out the node's own array unscaled: that holds only if scaling by 1 rebuilds every
    // triangle the build made (whole ones and clipped pieces alike) with the very same plane.
    SceneWithOctree scene(Room());
    const XOctNode* const root = scene.get()->GetOctree()->Root();
    ASSERT_NE(root, nullptr);
    ASSERT_GT(root->ChildCount(), 0) << "the room must be big enough to be subdivided";
    int checked = 0;
    ForEachLeaf(*root, [&checked](const XOctNode& node) {
        EXPECT_EQ(node.ScaledTriangles(kUnitScale), node.Triangles());
        for (int i = 0; i < node.TriangleCount(); ++i) {
            EXPECT_TRUE(SameBits(node.Triangle(i).Scaled(kUnitScale), node.Triangle(i)));
            ++checked;
        }
    });
    EXPECT_GT(checked, 200);
}

TEST(ScaledTriangles, QueriesAtChangingScalesAnswerAsOnAFreshTree)
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
