// Tests of the render tree: whole index triangles, kept at every level, sorted by centroid.
#include "space/XOctTree.h"

#include "OctreeTestSupport.h"
#include "TriangleSoup.h"

#include <gtest/gtest.h>

#include <cstdint> // uint16_t
#include <vector>

using namespace octree_test;

namespace {

// 60 small triangles in each of the corners (-7, -7, -7) and (7, 7, 7) and one large triangle across the
// centre (its centroid in child 1): 121 triangles over a root centred on the origin with half-size 14.
TriangleSoup CrossingSoup()
{
    TriangleSoup soup;
    soup.AddSmall(XVector3(-7.0f, -7.0f, -7.0f), 60);
    soup.AddSmall(XVector3(7.0f, 7.0f, 7.0f), 60);
    soup.Add(XVector3(-3.0f, -1.0f, 1.0f), XVector3(2.0f, 2.0f, 2.0f), XVector3(-2.0f, 3.0f, 1.0f));
    return soup;
}

bool HoldsTriangle(const XRenderOctNode* node, uint16_t firstIndex)
{
    for (int t = 0; node != nullptr && t < node->TriangleCount(); ++t) {
        if (node->Indices()[3 * t] == firstIndex) {
            return true;
        }
    }
    return false;
}

// Walks the whole tree checking what holds at every node, and counts the nodes.
int CheckNode(const XRenderOctNode* node, const XMesh* mesh)
{
    EXPECT_EQ(node->Mesh(), mesh);
    const XVector3* positions = mesh->GetPositions();
    for (int t = 0; t < node->TriangleCount(); ++t) {
        const uint16_t* corners = node->Indices() + 3 * t;
        const XTriangle triangle(positions[corners[0]], positions[corners[1]], positions[corners[2]]);
        EXPECT_TRUE(node->Cube().Contains(triangle.Centroid()));
    }
    if (node->ChildCount() == 0) {
        EXPECT_LE(node->TriangleCount(), XOctTree::subdivisionThreshold);
        return 1;
    }
    int inChildren = 0;
    int nodes = 1;
    for (int i = 0; i < 8; ++i) {
        const XRenderOctNode* child = node->Child(i);
        if (child != nullptr) {
            EXPECT_GT(child->TriangleCount(), 0);
            EXPECT_TRUE(Near(child->Cube().Center(),
                             ExpectedChildCentre(node->Cube().Center(), node->Cube().HalfSize(), i), 1e-6));
            inChildren += child->TriangleCount();
            nodes += CheckNode(child, mesh);
        }
    }
    EXPECT_EQ(inChildren, node->TriangleCount()) << "a triangle was lost or doubled";
    return nodes;
}

} // namespace

TEST(RenderTree, RootHoldsTheWholeIndexListInMeshOrder)
{
    const TriangleSoup soup = CrossingSoup();
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    const XRenderOctNode* root = tree.RenderRoot();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->TriangleCount(), mesh->GetTriangleCount());
    for (int i = 0; i < 3 * mesh->GetTriangleCount(); ++i) {
        ASSERT_EQ(root->Indices()[i], mesh->GetTriangles()[i]) << "index " << i;
    }
    EXPECT_EQ(root->Mesh(), mesh.get());
    EXPECT_EQ(tree.Root(), nullptr);
}

TEST(RenderTree, SubdividedNodesKeepTheirTrianglesAndChildrenShareThem)
{
    const TriangleSoup soup = CrossingSoup();
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    const XRenderOctNode* root = tree.RenderRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->ChildCount(), 3);
    ASSERT_NE(root->Child(4), nullptr);
    ASSERT_NE(root->Child(3), nullptr);
    EXPECT_EQ(root->Child(4)->TriangleCount(), 60);
    EXPECT_EQ(root->Child(3)->TriangleCount(), 60);
    EXPECT_EQ(root->TriangleCount(), 121);
    EXPECT_EQ(CheckNode(root, mesh.get()), 4);
}

// The large triangle reaches into five octants but is never cut: it goes whole, as its own three indices, to
// the child of its centroid (-1, 4/3, 4/3): child 1.
TEST(RenderTree, TrianglesAreNeverSplit)
{
    const TriangleSoup soup = CrossingSoup();
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    const XRenderOctNode* child = tree.RenderRoot()->Child(1);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(child->TriangleCount(), 1);
    EXPECT_EQ(child->Indices()[0], 360);
    EXPECT_EQ(child->Indices()[1], 361);
    EXPECT_EQ(child->Indices()[2], 362);
}

TEST(RenderTree, CentroidOnTheFaceOfChildrenZeroAndTwoGoesToZero)
{
    TriangleSoup soup;
    soup.AddSmall(XVector3(-7.0f, -7.0f, -7.0f), 50);
    soup.AddSmall(XVector3(7.0f, 7.0f, 7.0f), 50);
    soup.Add(XVector3(0.0f, 2.0f, -2.0f), XVector3(0.0f, 3.0f, -2.0f), XVector3(0.0f, 2.0f, -3.0f));
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    EXPECT_TRUE(HoldsTriangle(tree.RenderRoot()->Child(0), 300));
    EXPECT_EQ(tree.RenderRoot()->Child(2), nullptr);
}

TEST(RenderTree, HundredTrianglesStayInTheRoot)
{
    TriangleSoup soup;
    soup.AddSmall(XVector3(-7.0f, -7.0f, -7.0f), 50);
    soup.AddSmall(XVector3(7.0f, 7.0f, 7.0f), 50);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    EXPECT_EQ(tree.RenderRoot()->ChildCount(), 0);
    EXPECT_EQ(tree.RenderRoot()->TriangleCount(), 100);
}
