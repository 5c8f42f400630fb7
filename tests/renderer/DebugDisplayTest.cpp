// Tests of the debug displays: the objects' triangles in red, the collision octree's triangles in blue, and
// the render octree's cubes in green.
#include "RendererTestSupport.h"

#include "space/XRenderOctNode.h"

#include <gtest/gtest.h>

namespace {

const RGB kOutlineRed = {255, 0, 0};
const RGB kOutlineBlue = {0, 0, 255};

// A quad of half-size 3 straight ahead at depth 10; its two triangles share the diagonal that runs through
// the middle of the picture.
void AddGreenWall(XScene& scene, const char* name)
{
    SetSceneColors({kGreen, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, name, QuadMesh({{0.0f, 0.0f, 10.0f, 3.0f}}), {{0, 2}});
}

using TriangleDisplay = RendererTest;

TEST_F(TriangleDisplay, ModeOneOutlinesEveryTriangleInRedOverItsTexture)
{
    AddGreenWall(scene, "wall");
    renderer.SetTriangleMode(1);
    renderer.DrawWorld(scene);
    EXPECT_TRUE(BlockHasColor(397, 297, 7, 7, kOutlineRed, 20)); // the shared diagonal
    EXPECT_TRUE(PixelNear(440, 360, kGreen, 1));                // inside a triangle
}

TEST_F(TriangleDisplay, ModeZeroShowsNoOutlines)
{
    AddGreenWall(scene, "wall");
    renderer.SetTriangleMode(0);
    renderer.DrawWorld(scene);
    EXPECT_FALSE(BlockHasColor(397, 297, 7, 7, kOutlineRed, 60));
    EXPECT_TRUE(PixelNear(400, 300, kGreen, 1));
}

TEST_F(TriangleDisplay, ModeTwoShowsTheCollisionTreeInBlue)
{
    AddGreenWall(scene, "world");
    SetUpScene();
    ASSERT_NE(octree, nullptr);
    renderer.SetTriangleMode(2);
    renderer.DrawWorld(scene);
    EXPECT_TRUE(BlockHasColor(397, 297, 7, 7, kOutlineBlue, 20));
    EXPECT_FALSE(BlockHasColor(397, 297, 7, 7, kOutlineRed, 60));
    EXPECT_TRUE(PixelNear(440, 360, kGreen, 1));
}

TEST_F(TriangleDisplay, ModeTwoWithoutAnOctreeDrawsTheWorldOnly)
{
    AddGreenWall(scene, "world");
    renderer.SetTriangleMode(2);
    renderer.DrawWorld(scene);
    EXPECT_FALSE(BlockHasColor(397, 297, 7, 7, kOutlineBlue, 60));
    EXPECT_TRUE(PixelNear(400, 300, kGreen, 1));
}

using OctreeCubes = RendererTest;

const RGB kCubeGreen = {0, 255, 0};

// Picture row of height y at depth z for the camera at the origin (60 degrees of field of view).
int ScreenY(float y, float z)
{
    return static_cast<int>(300.0f + y / z / 0.57735f * 300.0f + 0.5f);
}

TEST_F(OctreeCubes, DrawsEveryNodeAsAWireCube)
{
    XRenderOctNode root(XCube(XVector3(0.0f, 0.0f, 10.0f), 2.0f), nullptr);
    root.SetChild(0, new XRenderOctNode(XCube(XVector3(-1.0f, 1.0f, 9.0f), 1.0f), nullptr));
    renderer.DrawOctreeCubes(&root);
    // Top edges of the root's near face (depth 8) and far face (depth 12).
    EXPECT_TRUE(BlockHasColor(398, ScreenY(2.0f, 8.0f) - 2, 5, 5, kCubeGreen, 10));
    EXPECT_TRUE(BlockHasColor(398, ScreenY(2.0f, 12.0f) - 2, 5, 5, kCubeGreen, 10));
    // The child's lower edge at height 0 runs right of the centre, where the root has no edge.
    EXPECT_TRUE(BlockHasColor(460, 298, 5, 5, kCubeGreen, 10));
    EXPECT_FALSE(BlockHasColor(340, 298, 5, 5, kCubeGreen, 10));
}

TEST_F(OctreeCubes, CubesOfTheSameSizeAtDifferentPlacesAreBothDrawn)
{
    // The second cube reuses the first one's compiled outline: it must still land at its own place.
    XRenderOctNode left(XCube(XVector3(3.0f, 0.0f, 10.0f), 1.0f), nullptr);
    XRenderOctNode right(XCube(XVector3(-3.0f, 0.0f, 10.0f), 1.0f), nullptr);
    renderer.DrawOctreeCubes(&left);
    renderer.DrawOctreeCubes(&right);
    // Their top edges at height 1: the near face at depth 9.
    EXPECT_TRUE(BlockHasColor(400 - 174, ScreenY(1.0f, 9.0f) - 2, 5, 5, kCubeGreen, 10));
    EXPECT_TRUE(BlockHasColor(400 + 170, ScreenY(1.0f, 9.0f) - 2, 5, 5, kCubeGreen, 10));
}

TEST_F(OctreeCubes, NoNodeDrawsNothing)
{
    renderer.DrawOctreeCubes(nullptr);
    EXPECT_EQ(LitPixelsInBlock(0, 0, 800, 600, 0), 0);
}

} // namespace
