// Tests of the collision tree's sphere and segment queries on a tree of known shape.
#include "space/XOctTree.h"

#include "ClusterTree.h"
#include "OctreeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace octree_test;

namespace {

using OctreeShape = ClusterTree;
using OctreeSphereQuery = ClusterTree;
using OctreeSegmentQuery = ClusterTree;

} // namespace

TEST_F(OctreeShape, ClustersLandWhereTheChildTableSays)
{
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(root->Child(i), nullptr) << "child " << i;
    }
    EXPECT_EQ(root->Child(0)->TriangleCount(), 61);
    EXPECT_EQ(root->Child(3)->TriangleCount(), 61);
    EXPECT_EQ(root->Child(6)->TriangleCount(), 0);
    EXPECT_EQ(root->Child(6)->ChildCount(), 2);
    ASSERT_NE(root->Child(6)->Child(0), nullptr);
    EXPECT_EQ(root->Child(6)->Child(0)->TriangleCount(), 1);
    EXPECT_TRUE(Near(inner->Cube().Center(), XVector3(4.0f, -4.0f, -4.0f), 0.0));
    EXPECT_EQ(inner->Cube().HalfSize(), 4.0f);
    EXPECT_EQ(inner->TriangleCount(), 0);
    EXPECT_TRUE(Near(inner->Child(3)->Cube().Center(), XVector3(6.0f, -2.0f, -2.0f), 0.0));
    EXPECT_TRUE(Near(inner->Child(4)->Cube().Center(), XVector3(2.0f, -6.0f, -6.0f), 0.0));
    EXPECT_EQ(inner->Child(3)->TriangleCount(), 75);
    EXPECT_EQ(inner->Child(4)->TriangleCount(), 75);
}

TEST_F(OctreeSphereQuery, SphereInsideOneLeafReturnsThatLeaf)
{
    EXPECT_EQ(Sphere(XVector3(-5.0f, 5.0f, -5.0f), 1.0f), std::vector<XOctNode*>{root->Child(0)});
}

TEST_F(OctreeSphereQuery, ReturnsOnlyTheLeavesOfASubdividedNodeThatMeetTheSphere)
{
    EXPECT_EQ(Sphere(XVector3(6.0f, -2.0f, -2.0f), 1.0f), std::vector<XOctNode*>{inner->Child(3)});
    const std::vector<XOctNode*> both = {inner->Child(3), inner->Child(4)};
    EXPECT_EQ(Sphere(XVector3(4.0f, -4.0f, -4.0f), 0.1f), both);
}

// Every child cube touches the origin; child 6 holds no triangles and none of its children reaches there.
TEST_F(OctreeSphereQuery, SphereAtTheCentreMeetsEveryChildThatHoldsTriangles)
{
    const std::vector<XOctNode*> expected = {root->Child(0), root->Child(1), root->Child(2), root->Child(3),
                                             root->Child(4), root->Child(5), root->Child(7)};
    EXPECT_EQ(Sphere(XVector3(), 0.5f), expected);
}

TEST_F(OctreeSphereQuery, SphereOutsideTheRootFindsNothing)
{
    EXPECT_TRUE(Sphere(XVector3(100.0f, 0.0f, 0.0f), 1.0f).empty());
}

TEST_F(OctreeSphereQuery, AppendsToTheCallersList)
{
    std::vector<XOctNode*> nodes = {inner};
    tree.SphereQuery(XVector3(-5.0f, 5.0f, -5.0f), 1.0f, nodes);
    const std::vector<XOctNode*> expected = {inner, root->Child(0)};
    EXPECT_EQ(nodes, expected);
}

// The segment runs along y = 5 from child 0 to child 3 and passes the edge that children 0 to 3 share: all four
// are returned, in index order, whichever way the segment runs.
TEST_F(OctreeSegmentQuery, ReturnsNodesInIndexOrderWhateverTheDirection)
{
    const std::vector<XOctNode*> expected = {root->Child(0), root->Child(1), root->Child(2), root->Child(3)};
    EXPECT_EQ(tree.SegmentQuery(XVector3(-5.0f, 5.0f, -5.0f), XVector3(5.0f, 5.0f, 5.0f)), expected);
    EXPECT_EQ(tree.SegmentQuery(XVector3(5.0f, 5.0f, 5.0f), XVector3(-5.0f, 5.0f, -5.0f)), expected);
}

TEST_F(OctreeSegmentQuery, ReturnsTheLeavesOfASubdividedNode)
{
    const std::vector<XOctNode*> expected = {inner->Child(3), inner->Child(4)};
    EXPECT_EQ(tree.SegmentQuery(XVector3(2.0f, -6.0f, -6.0f), XVector3(6.0f, -2.0f, -2.0f)), expected);
    EXPECT_EQ(tree.SegmentQuery(XVector3(6.0f, -2.0f, -2.0f), XVector3(2.0f, -6.0f, -6.0f)), expected);
}

TEST_F(OctreeSegmentQuery, EachQueryReplacesTheLastResult)
{
    const std::vector<XOctNode*>& first =
        tree.SegmentQuery(XVector3(-5.0f, 5.0f, -5.0f), XVector3(-4.0f, 5.0f, -5.0f));
    EXPECT_EQ(first, std::vector<XOctNode*>{root->Child(0)});
    const std::vector<XOctNode*>& second =
        tree.SegmentQuery(XVector3(6.0f, -2.0f, -2.0f), XVector3(6.5f, -2.0f, -2.0f));
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second, std::vector<XOctNode*>{inner->Child(3)});
    EXPECT_TRUE(tree.SegmentQuery(XVector3(100.0f, 0.0f, 0.0f), XVector3(100.0f, 50.0f, 0.0f)).empty());
}

TEST(OctreeQueryWithoutBuild, FindsNothing)
{
    XOctTree tree;
    std::vector<XOctNode*> nodes;
    tree.SphereQuery(XVector3(), 1000.0f, nodes);
    EXPECT_TRUE(nodes.empty());
    EXPECT_TRUE(tree.SegmentQuery(XVector3(-1000.0f, 0.0f, 0.0f), XVector3(1000.0f, 0.0f, 0.0f)).empty());
}
