// Tests of the octree nodes: child slots, their argument checks, and the triangle arrays.
#include "space/XOctNode.h"
#include "space/XRenderOctNode.h"

#include <gtest/gtest.h>

#include <cstdint> // uint16_t
#include <vector>

namespace {

const char badIndexMessage[] = "Assertion failed: index >= 0 && index < 8, file xocttree, line [0-9]+";
const char nullChildMessage[] = "Assertion failed: child != NULL, file xocttree, line [0-9]+";

} // namespace

TEST(OctNodeChildren, NewNodeHasNoChildren)
{
    const XOctNode node;
    EXPECT_EQ(node.ChildCount(), 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(node.Child(i), nullptr) << "child " << i;
    }
}

TEST(OctNodeChildren, SetChildFillsOnlyItsSlot)
{
    XOctNode node;
    XOctNode* second = new XOctNode();
    XOctNode* last = new XOctNode();
    node.SetChild(2, second);
    node.SetChild(7, last);
    EXPECT_EQ(node.ChildCount(), 2);
    EXPECT_EQ(node.Child(2), second);
    EXPECT_EQ(node.Child(7), last);
    EXPECT_EQ(node.Child(0), nullptr);
    EXPECT_EQ(node.Child(3), nullptr);
}

TEST(OctNodeChildren, ReplacingAChildKeepsTheCount)
{
    XOctNode node;
    node.SetChild(4, new XOctNode());
    XOctNode* replacement = new XOctNode();
    node.SetChild(4, replacement);
    EXPECT_EQ(node.ChildCount(), 1);
    EXPECT_EQ(node.Child(4), replacement);
}

TEST(OctNodeTriangles, SetTrianglesCopiesInListOrder)
{
    XOctNode node;
    std::vector<XTriangle> list = {
        XTriangle(XVector3(0, 0, 0), XVector3(1, 0, 0), XVector3(0, 1, 0)),
        XTriangle(XVector3(5, 0, 0), XVector3(6, 0, 0), XVector3(5, 0, 1)),
    };
    node.SetTriangles(list);
    list[0] = list[1];
    ASSERT_EQ(node.TriangleCount(), 2);
    EXPECT_EQ(node.Triangle(0).vertex[1], XVector3(1, 0, 0));
    EXPECT_EQ(node.Triangle(1).vertex[2], XVector3(5, 0, 1));
}

TEST(OctNodeTriangles, SetTrianglesReplacesEarlierOnes)
{
    XOctNode node;
    const XTriangle t(XVector3(0, 0, 0), XVector3(1, 0, 0), XVector3(0, 1, 0));
    node.SetTriangles(std::vector<XTriangle>(5, t));
    node.SetTriangles(std::vector<XTriangle>(2, t));
    EXPECT_EQ(node.TriangleCount(), 2);
    node.FreeTriangles();
    EXPECT_EQ(node.TriangleCount(), 0);
}

TEST(RenderOctNodeIndices, SetIndicesCopiesTheTriples)
{
    XRenderOctNode node;
    std::vector<uint16_t> indices = {0, 1, 2, 7, 8, 9};
    node.SetIndices(indices.data(), 2);
    indices[4] = 100;
    ASSERT_EQ(node.TriangleCount(), 2);
    EXPECT_EQ(node.Indices()[0], 0);
    EXPECT_EQ(node.Indices()[4], 8);
    EXPECT_EQ(node.Indices()[5], 9);
}

TEST(RenderOctNodeIndices, ChildrenAreCountedLikeCollisionNodes)
{
    XRenderOctNode node;
    node.SetChild(0, new XRenderOctNode());
    node.SetChild(5, new XRenderOctNode());
    EXPECT_EQ(node.ChildCount(), 2);
    EXPECT_NE(node.Child(5), nullptr);
    EXPECT_EQ(node.Child(6), nullptr);
}

using OctNodeAssertionsDeathTest = testing::Test;

TEST_F(OctNodeAssertionsDeathTest, ChildIndexBelowZeroStops)
{
    const XOctNode node;
    EXPECT_DEATH(node.Child(-1), badIndexMessage);
}

TEST_F(OctNodeAssertionsDeathTest, ChildIndexEightStops)
{
    const XOctNode node;
    EXPECT_DEATH(node.Child(8), badIndexMessage);
}

TEST_F(OctNodeAssertionsDeathTest, SetChildIndexOutsideStops)
{
    EXPECT_DEATH(
        {
            XOctNode node;
            node.SetChild(8, new XOctNode());
        },
        badIndexMessage);
}

TEST_F(OctNodeAssertionsDeathTest, SetChildNullStops)
{
    XOctNode node;
    EXPECT_DEATH(node.SetChild(3, nullptr), nullChildMessage);
}

TEST_F(OctNodeAssertionsDeathTest, RenderNodeChecksTheSame)
{
    XRenderOctNode node;
    EXPECT_DEATH(node.Child(-3), badIndexMessage);
    EXPECT_DEATH(node.SetChild(0, nullptr), nullChildMessage);
}
