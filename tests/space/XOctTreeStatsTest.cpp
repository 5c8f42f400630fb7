// Tests of the octree statistics, of the scene's builder function and of meshes the build must refuse in part.
#include "space/XOctTree.h"
#include "space/XOctTreeStats.h"

#include "ClusterTree.h"
#include "TriangleSoup.h"

#include <gtest/gtest.h>

#include <cstdint> // uint16_t
#include <memory>  // unique_ptr

using OctreeStats = ClusterTree;

// 13 nodes: the root, its 8 children, child 6's two children and the two children of child 6's child 1.
TEST_F(OctreeStats, CountsTheKnownTree)
{
    const XOctTreeStats stats = XOctTreeStats::Gather(tree);
    EXPECT_EQ(stats.nodeCount, 13);
    EXPECT_EQ(stats.leafCount, 10);
    EXPECT_EQ(stats.leafTriangles, 8 + 60 + 60 + 150);
    EXPECT_EQ(stats.deepestLevel, 3);
    EXPECT_EQ(stats.oversizedLeaves, 0);
    EXPECT_EQ(stats.renderNodeCount, 13);
    EXPECT_EQ(stats.renderRootTriangles, 278);
}

TEST(OctreeStatsOfCopies, CopiesOfOneTriangleStayInOneOversizedLeaf)
{
    TriangleSoup soup;
    for (int i = 0; i < 200; ++i) {
        soup.Add(XVector3(0.0f, 0.0f, 0.0f), XVector3(1.0f, 0.0f, 0.0f), XVector3(0.0f, 1.0f, 0.0f));
    }
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    tree.Build(mesh.get());
    const XOctTreeStats stats = XOctTreeStats::Gather(tree);
    EXPECT_EQ(stats.nodeCount, 1);
    EXPECT_EQ(stats.leafCount, 1);
    EXPECT_EQ(stats.leafTriangles, 200);
    EXPECT_EQ(stats.deepestLevel, 0);
    EXPECT_EQ(stats.oversizedLeaves, 1);
    EXPECT_EQ(stats.renderNodeCount, XOctTree::maxDepth + 1);
    EXPECT_EQ(stats.renderRootTriangles, 200);
}

TEST(OctreeStatsOfNothing, TreeNotBuiltCountsNoNodes)
{
    const XOctTreeStats stats = XOctTreeStats::Gather(XOctTree());
    EXPECT_EQ(stats.nodeCount, 0);
    EXPECT_EQ(stats.leafCount, 0);
    EXPECT_EQ(stats.renderNodeCount, 0);
}

TEST(BuildOctTreeHook, BuildsBothTreesOverTheMesh)
{
    TriangleSoup soup;
    soup.AddFrame(4.0f);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    const std::unique_ptr<XOctTree> tree(BuildOctTree(mesh.get()));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Mesh(), mesh.get());
    ASSERT_NE(tree->Root(), nullptr);
    ASSERT_NE(tree->RenderRoot(), nullptr);
    EXPECT_EQ(tree->Root()->TriangleCount(), 8);
    EXPECT_EQ(tree->RenderRoot()->TriangleCount(), 8);
}

TEST(BuildOctTreeHook, NoMeshNoTree)
{
    EXPECT_EQ(BuildOctTree(nullptr), nullptr);
}

// Triangle 1 names vertex 7 of a mesh with 4: reading it would go past the vertex array, so both trees leave
// that triangle out and keep the others.
TEST(OctreeMeshInput, TrianglesWithIndicesPastTheVerticesAreLeftOut)
{
    XMesh mesh;
    mesh.Create(4, 3, XMesh::kPositions);
    mesh.GetPositions()[0] = XVector3(0.0f, 0.0f, 0.0f);
    mesh.GetPositions()[1] = XVector3(1.0f, 0.0f, 0.0f);
    mesh.GetPositions()[2] = XVector3(0.0f, 1.0f, 0.0f);
    mesh.GetPositions()[3] = XVector3(0.0f, 0.0f, 1.0f);
    const uint16_t indices[9] = {0, 1, 2, 1, 2, 7, 1, 3, 2};
    for (int i = 0; i < 9; ++i) {
        mesh.GetTriangles()[i] = indices[i];
    }
    XOctTree tree;
    tree.BuildRenderTree(&mesh);
    tree.Build(&mesh);
    ASSERT_EQ(tree.Root()->TriangleCount(), 2);
    EXPECT_EQ(tree.Root()->Triangle(1).vertex[1], XVector3(0.0f, 0.0f, 1.0f));
    ASSERT_EQ(tree.RenderRoot()->TriangleCount(), 2);
    EXPECT_EQ(tree.RenderRoot()->Indices()[3], 1);
    EXPECT_EQ(tree.RenderRoot()->Indices()[4], 3);
}

TEST(OctreeMeshInput, MeshWithoutPositionsGivesEmptyTrees)
{
    XMesh mesh;
    mesh.Create(3, 1, XMesh::kNormals);
    XOctTree tree;
    tree.BuildRenderTree(&mesh);
    tree.Build(&mesh);
    ASSERT_NE(tree.Root(), nullptr);
    EXPECT_EQ(tree.Root()->TriangleCount(), 0);
    EXPECT_EQ(tree.RenderRoot()->TriangleCount(), 0);
}
