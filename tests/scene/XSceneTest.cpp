// Tests of XScene and XSceneNode: lookup, setup with an octree builder, mesh preparation, material groups.
#include "scene/XScene.h"

#include <gtest/gtest.h>

#include <memory> // std::make_unique
#include <string>
#include <vector>

namespace {

// A triangle mesh with the scene loader's arrays.
std::unique_ptr<XMesh> MakeMesh(float x)
{
    std::unique_ptr<XMesh> mesh = std::make_unique<XMesh>();
    mesh->Create(3, 1, 0xF);
    mesh->GetPositions()[0] = XVector3(x, 0.0f, 0.0f);
    mesh->GetPositions()[1] = XVector3(x + 1.0f, 0.0f, 0.0f);
    mesh->GetPositions()[2] = XVector3(x, 1.0f, 0.0f);
    for (int i = 0; i < 3; ++i) {
        mesh->GetNormals()[i] = XVector3(0.0f, 0.0f, 1.0f);
    }
    mesh->GetTexCoordsA()[1] = XVector2(1.0f, 0.0f);
    mesh->GetTexCoordsA()[2] = XVector2(0.0f, 1.0f);
    mesh->GetTriangles()[1] = 1;
    mesh->GetTriangles()[2] = 2;
    return mesh;
}

XSceneNode* AddNode(XScene& scene, const std::string& name, bool withMesh = true, float x = 0.0f)
{
    std::unique_ptr<XSceneNode> node = std::make_unique<XSceneNode>();
    node->SetName(name);
    if (withMesh) {
        node->SetMesh(MakeMesh(x));
    }
    return scene.AddNode(std::move(node));
}

// The fake octree builder remembers the meshes it was given and how often it ran.
XMesh* builtFrom = nullptr;
std::vector<XMesh*> builtFromParts;
int buildCount = 0;
XOctTree* FakeBuilder(const std::vector<XMesh*>& worldParts)
{
    builtFromParts = worldParts;
    builtFrom = worldParts.empty() ? nullptr : worldParts[0];
    ++buildCount;
    return reinterpret_cast<XOctTree*>(&buildCount); // never dereferenced: the scene only stores it
}

class SceneSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        builtFrom = nullptr;
        buildCount = 0;
    }
    XScene scene;
};

} // namespace

TEST(SceneFindNode, ReturnsTheFirstExactMatch)
{
    XScene scene;
    XSceneNode* const first = AddNode(scene, "world", true, 1.0f);
    AddNode(scene, "world", true, 2.0f);
    XSceneNode* const capital = AddNode(scene, "World");
    EXPECT_EQ(scene.FindNode("world"), first);
    EXPECT_EQ(scene.FindNode("World"), capital);
    EXPECT_EQ(scene.FindNode("worl"), nullptr);
    EXPECT_EQ(scene.FindNode("world "), nullptr);
    EXPECT_EQ(scene.FindNode("sky"), nullptr);
}

TEST(SceneFindNode, EmptySceneFindsNothing)
{
    const XScene scene;
    EXPECT_EQ(scene.FindNode("world"), nullptr);
    EXPECT_EQ(scene.GetNode(0), nullptr);
    EXPECT_EQ(scene.GetNodeCount(), 0);
}

TEST_F(SceneSetupTest, BuildsTheOctreeFromTheWorldMeshAndSortsSpecialNodes)
{
    AddNode(scene, "bullet");
    AddNode(scene, "rocket");
    XSceneNode* const world = AddNode(scene, "world");
    AddNode(scene, "crate");
    AddNode(scene, "skydome");
    AddNode(scene, "plasma");

    scene.SetupScene(FakeBuilder);

    EXPECT_EQ(buildCount, 1);
    EXPECT_EQ(builtFrom, world->GetMesh());
    EXPECT_EQ(scene.GetOctree(), reinterpret_cast<XOctTree*>(&buildCount));
    ASSERT_EQ(scene.GetPlainNodes().size(), 3u);
    EXPECT_EQ(scene.GetPlainNodes()[0]->GetName(), "world");
    EXPECT_EQ(scene.GetPlainNodes()[1]->GetName(), "skydome");
    EXPECT_EQ(scene.GetPlainNodes()[2]->GetName(), "bullet");
    ASSERT_EQ(scene.GetTangentNodes().size(), 2u);
    EXPECT_EQ(scene.GetTangentNodes()[0]->GetName(), "plasma");
    EXPECT_EQ(scene.GetTangentNodes()[1]->GetName(), "rocket");
    EXPECT_EQ(scene.GetNodeCount(), 6) << "sorting copies pointers; the node list stays whole";
}

TEST_F(SceneSetupTest, AWorldInPartsIsBuiltAndDrawnAsOneUpToTheFirstMissingPart)
{
    AddNode(scene, "skydome");
    XSceneNode* const third = AddNode(scene, "world.3");
    XSceneNode* const world = AddNode(scene, "world");
    AddNode(scene, "world.5"); // after a gap: not a part
    XSceneNode* const second = AddNode(scene, "world.2");
    AddNode(scene, "world.4", false);

    scene.SetupScene(FakeBuilder);

    EXPECT_EQ(builtFromParts, (std::vector<XMesh*>{world->GetMesh(), second->GetMesh(), third->GetMesh()}));
    EXPECT_EQ(scene.GetWorldParts(), (std::vector<XSceneNode*>{world, second, third}));
    ASSERT_EQ(scene.GetPlainNodes().size(), 4u);
    EXPECT_EQ(scene.GetPlainNodes()[2], third);
    EXPECT_EQ(scene.GetPlainNodes()[3]->GetName(), "skydome");
    EXPECT_EQ(scene.GetWorldTriangleCount(), 3);
    EXPECT_EQ(third->GetMesh()->GetRenderPositions(), third->GetMesh()->GetPositions()) << "parts are prepared";
}

TEST_F(SceneSetupTest, MissingSkydomeLeavesOneNodeFewer)
{
    AddNode(scene, "world");
    AddNode(scene, "bullet");
    scene.SetupScene(FakeBuilder);
    ASSERT_EQ(scene.GetPlainNodes().size(), 2u);
    EXPECT_EQ(scene.GetPlainNodes()[1]->GetName(), "bullet");
    EXPECT_TRUE(scene.GetTangentNodes().empty());
}

TEST_F(SceneSetupTest, WithoutAWorldNothingIsBuiltOrSorted)
{
    AddNode(scene, "World");
    AddNode(scene, "skydome");
    testing::internal::CaptureStderr();
    scene.SetupScene(FakeBuilder);
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("World mesh could not be found in scene"), std::string::npos);
    EXPECT_EQ(buildCount, 0);
    EXPECT_EQ(scene.GetOctree(), nullptr);
    EXPECT_TRUE(scene.GetPlainNodes().empty());
}

TEST_F(SceneSetupTest, WorldWithoutMeshCountsAsMissing)
{
    AddNode(scene, "world", false);
    testing::internal::CaptureStderr();
    scene.SetupScene(FakeBuilder);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("World mesh could not be found"), std::string::npos);
    EXPECT_EQ(buildCount, 0);
}

TEST_F(SceneSetupTest, SpecialNodesWithoutMeshAreLeftOut)
{
    AddNode(scene, "world");
    AddNode(scene, "skydome", false);
    AddNode(scene, "rocket", false);
    scene.SetupScene(FakeBuilder);
    EXPECT_EQ(scene.GetPlainNodes().size(), 1u);
    EXPECT_TRUE(scene.GetTangentNodes().empty());
}

TEST_F(SceneSetupTest, SecondSetupDoesNotListNodesTwice)
{
    AddNode(scene, "world");
    scene.SetupScene(FakeBuilder);
    scene.SetupScene(FakeBuilder);
    EXPECT_EQ(scene.GetPlainNodes().size(), 1u);
}

TEST_F(SceneSetupTest, PreparedMeshesDrawFromTheirSources)
{
    AddNode(scene, "world");
    AddNode(scene, "plasma");
    scene.SetupScene(FakeBuilder);

    XMesh* const world = scene.FindNode("world")->GetMesh();
    EXPECT_EQ(world->GetRenderPositions(), world->GetPositions());
    EXPECT_EQ(world->GetRenderNormals(), world->GetNormals());
    EXPECT_EQ(world->GetRenderTexCoordsB(), world->GetTexCoordsB());
    EXPECT_EQ(world->GetRenderTangents(), nullptr);
    // The spotlight pass writes its directions through the world's render normals.
    world->GetRenderNormals()[0] = XVector3(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(world->GetNormals()[0], XVector3(1.0f, 0.0f, 0.0f));

    XMesh* const plasma = scene.FindNode("plasma")->GetMesh();
    ASSERT_NE(plasma->GetTangents(), nullptr);
    EXPECT_EQ(plasma->GetRenderTangents(), plasma->GetTangents());
    EXPECT_EQ(plasma->GetRenderBinormals(), plasma->GetBinormals());
    EXPECT_NEAR(plasma->GetTangents()[0].x, 1.0f, 1e-5f);
    ASSERT_NE(plasma->GetRenderVectors(), nullptr);
    EXPECT_NE(plasma->GetRenderVectors(), plasma->GetVectors());
}

TEST_F(SceneSetupTest, NullBuilderStillSortsAndPrepares)
{
    AddNode(scene, "world");
    scene.SetupScene(nullptr);
    EXPECT_EQ(scene.GetOctree(), nullptr);
    ASSERT_EQ(scene.GetPlainNodes().size(), 1u);
    EXPECT_NE(scene.GetPlainNodes()[0]->GetMesh()->GetRenderPositions(), nullptr);
}

TEST(SceneNodeGroups, GroupsFollowEachOtherWithoutGaps)
{
    XSceneNode node;
    node.SetMaterialGroups({{5, 10}, {2, 4}, {0, 1}});
    ASSERT_EQ(node.GetMaterialGroupCount(), 3);
    EXPECT_EQ(node.GetGroupFirstTriangle(0), 0);
    EXPECT_EQ(node.GetGroupFirstTriangle(1), 10); // the second group's triangles are 10 .. 13
    EXPECT_EQ(node.GetMaterialGroup(1).triangleCount, 4);
    EXPECT_EQ(node.GetGroupFirstTriangle(2), 14);
    EXPECT_EQ(node.GetMaterialGroup(1).materialId, 2);
}

TEST(SceneNodeGroups, GroupOutOfRangeIsEmpty)
{
    XSceneNode node;
    node.SetMaterialGroups({{5, 10}});
    EXPECT_EQ(node.GetMaterialGroup(1).triangleCount, 0);
    EXPECT_EQ(node.GetMaterialGroup(-1).triangleCount, 0);
}

TEST(SceneNodeBounds, FollowTheMeshPositions)
{
    XSceneNode node;
    node.SetMesh(MakeMesh(4.0f));
    EXPECT_FLOAT_EQ(node.GetBounds().center.x, 4.5f);
    EXPECT_FLOAT_EQ(node.GetBounds().size.y, 1.0f);
    node.GetMesh()->Scale(XVector3(2.0f, 2.0f, 2.0f));
    node.UpdateBounds();
    EXPECT_FLOAT_EQ(node.GetBounds().center.x, 9.0f);
    EXPECT_FLOAT_EQ(node.GetBounds().size.y, 2.0f);
}

TEST(SceneNodeLinks, ChildKnowsItsParent)
{
    XSceneNode parent;
    XSceneNode child;
    parent.AddChild(&child);
    parent.AddChild(nullptr);
    EXPECT_EQ(parent.GetChildCount(), 1);
    EXPECT_EQ(parent.GetChild(0), &child);
    EXPECT_EQ(parent.GetChild(1), nullptr);
    EXPECT_EQ(child.GetParent(), &parent);
}
