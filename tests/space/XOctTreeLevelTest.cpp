// Tests over a level-like mesh: what must hold for every node and every query, whatever the mesh.
#include "space/XOctTree.h"
#include "space/XOctTreeStats.h"

#include "LevelMesh.h"
#include "OctreeTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint> // uint32_t
#include <memory>  // unique_ptr
#include <vector>

using namespace octree_test;

namespace {

class LevelTree : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        level = new LevelMesh(6000);
        mesh = level->MakeMesh().release();
        tree = new XOctTree();
        tree->BuildRenderTree(mesh);
        tree->Build(mesh);
    }
    static void TearDownTestSuite()
    {
        delete tree;
        delete mesh;
        delete level;
        tree = nullptr;
        mesh = nullptr;
        level = nullptr;
    }

    static LevelMesh* level;
    static XMesh* mesh;
    static XOctTree* tree;
};

LevelMesh* LevelTree::level = nullptr;
XMesh* LevelTree::mesh = nullptr;
XOctTree* LevelTree::tree = nullptr;

using OctreeLevelClipping = LevelTree;
using OctreeLevelQueries = LevelTree;

double MeshArea(const XMesh& mesh)
{
    double area = 0.0;
    for (int i = 0; i < mesh.GetTriangleCount(); ++i) {
        const uint16_t* t = mesh.GetTriangles() + 3 * i;
        area += Area(XTriangle(mesh.GetPositions()[t[0]], mesh.GetPositions()[t[1]], mesh.GetPositions()[t[2]]));
    }
    return area;
}

} // namespace

// Clipping neither loses nor doubles any of the surface.
TEST_F(OctreeLevelClipping, LeavesCoverExactlyTheMeshSurface)
{
    double area = 0.0;
    for (const XTriangle& t : AllTriangles(*tree)) {
        area += Area(t);
    }
    const double expected = MeshArea(*mesh);
    EXPECT_NEAR(area, expected, expected * 1e-5);
}

// Every piece lies inside the cube of the leaf that holds it, so that a query finding the cubes near a point
// finds every triangle near it.
TEST_F(OctreeLevelClipping, EveryPieceLiesInsideItsLeaf)
{
    int outside = 0;
    for (const XOctNode* node : FilledNodes(*tree)) {
        EXPECT_EQ(node->ChildCount(), 0);
        EXPECT_LE(node->TriangleCount(), XOctTree::subdivisionThreshold);
        for (int i = 0; i < node->TriangleCount(); ++i) {
            if (!CubeHolds(node->Cube(), node->Triangle(i), 1e-4f)) {
                ++outside;
            }
        }
    }
    EXPECT_EQ(outside, 0);
}

TEST_F(OctreeLevelClipping, StatisticsAgreeWithTheTree)
{
    const XOctTreeStats stats = XOctTreeStats::Gather(*tree);
    EXPECT_EQ(stats.leafTriangles, static_cast<int>(AllTriangles(*tree).size()));
    EXPECT_GT(stats.leafTriangles, mesh->GetTriangleCount());
    EXPECT_EQ(stats.oversizedLeaves, 0);
    EXPECT_EQ(stats.renderRootTriangles, 6000);
    EXPECT_GT(stats.deepestLevel, 1);
    EXPECT_LT(stats.deepestLevel, XOctTree::maxDepth);
}

// The pruned descent of the queries returns the same nodes, in the same order, as testing every node.
TEST_F(OctreeLevelQueries, SphereQueryReturnsEveryLeafThatMeetsTheSphere)
{
    const std::vector<XOctNode*> filled = FilledNodes(*tree);
    std::vector<XOctNode*> nodes;
    int found = 0;
    for (const XVector3& centre : level->PlayerPositions(200)) {
        nodes.clear();
        tree->SphereQuery(centre, 2.0f, nodes);
        std::vector<XOctNode*> expected;
        for (XOctNode* node : filled) {
            if (node->Cube().IntersectsSphere(centre, 2.0f)) {
                expected.push_back(node);
            }
        }
        ASSERT_EQ(nodes, expected);
        found += static_cast<int>(nodes.size());
    }
    EXPECT_GT(found, 200);
}

TEST_F(OctreeLevelQueries, SegmentQueryReturnsEveryLeafThatMeetsTheSegment)
{
    const std::vector<XOctNode*> filled = FilledNodes(*tree);
    uint32_t state = 99u;
    for (const XVector3& from : level->PlayerPositions(100)) {
        const XVector3 to = from + LevelMesh::Direction(state) * 200.0f;
        std::vector<XOctNode*> expected;
        for (XOctNode* node : filled) {
            if (node->Cube().IntersectsSegment(from, to)) {
                expected.push_back(node);
            }
        }
        ASSERT_EQ(tree->SegmentQuery(from, to), expected);
    }
}
