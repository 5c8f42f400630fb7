// Tests of the world passes: clearing, the objects with base texture and light map, the opacity rule, the
// missing-texture rule, the sky and its scrolling, and scenes that lack the special objects.
#include "RendererTestSupport.h"

#include "scene/XShaderManager.h"
#include "support/FileContents.h"

#include <gmock/gmock.h> // HasSubstr
#include <gtest/gtest.h>

namespace {

using testing::HasSubstr;


// A quad straight ahead covering the middle of the picture.
const Quad kCentreQuad = {0.0f, 0.0f, 10.0f, 3.0f};
// Quads seen left and right of the centre (the viewer's right is -x).
const Quad kLeftQuad = {3.0f, 0.0f, 10.0f, 1.0f};
const Quad kMiddleQuad = {0.0f, 0.0f, 10.0f, 1.0f};
const Quad kRightQuad = {-3.0f, 0.0f, 10.0f, 1.0f};
// Picture positions of their centres: 3 units at depth 10 is 0.3 / (tan 30 x 1.33) of the half width.
const int kLeftX = 400 - 156;
const int kRightX = 400 + 156;

using ClearPass = RendererTest;

TEST_F(ClearPass, ClearsColourAndDepthEvenAfterAPassTurnedDepthWritesOff)
{
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glDepthMask(GL_FALSE);
    renderer.Clear();
    EXPECT_TRUE(PixelNear(400, 300, kGreen, 0));
    float depth = 0.0f;
    glReadPixels(400, 300, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
}

using MaterialOpacity = RendererTest;

TEST_F(MaterialOpacity, NinetyPercentIsDrawnOpaque)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 1, 0.9f}});
    AddNode(scene, "wall", QuadMesh({kCentreQuad}), {{0, 2}});
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    renderer.Clear();
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, kRed, 1));
}

TEST_F(MaterialOpacity, JustBelowNinetyPercentIsBlendedWithItsOpacityAsAlpha)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 1, 0.89f}});
    AddNode(scene, "glass", QuadMesh({kCentreQuad}), {{0, 2}});
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    renderer.Clear();
    renderer.DrawWorld(scene);
    // 0.89 of the red picture over 0.11 of the blue background.
    EXPECT_TRUE(PixelNear(400, 300, {227, 0, 28}, 2));
}

TEST_F(MaterialOpacity, OpaqueGroupAfterATranslucentOneIsNotBlended)
{
    SetSceneColors({kRed, kWhite, kGreen});
    SetMaterials({{0, 1, 0.5f}, {2, 1, 1.0f}});
    AddNode(scene, "mixed", QuadMesh({kLeftQuad, kRightQuad}), {{0, 2}, {1, 2}});
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    renderer.Clear();
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(kLeftX, 300, {128, 0, 128}, 2));
    EXPECT_TRUE(PixelNear(kRightX, 300, kGreen, 1));
}

TEST_F(MaterialOpacity, ObjectsAreDrawnInFileOrder)
{
    // Both half transparent; the far one comes first in the file, so the near one blends over it. Drawn the
    // other way round, the near one's depth would hide the far one completely.
    SetSceneColors({kRed, kWhite, kGreen});
    SetMaterials({{0, 1, 0.5f}, {2, 1, 0.5f}});
    AddNode(scene, "far", QuadMesh({{0.0f, 0.0f, 10.0f, 3.0f}}), {{0, 2}});
    AddNode(scene, "near", QuadMesh({{0.0f, 0.0f, 9.0f, 3.0f}}), {{1, 2}});
    renderer.Clear();
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, {64, 128, 0}, 2));
}

using TextureLayers = RendererTest;

TEST_F(TextureLayers, BaseIsModulatedByTheLightMap)
{
    SetSceneColors({{200, 100, 50}, {128, 128, 128}});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({kCentreQuad}), {{0, 2}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, {100, 50, 25}, 2));
}

TEST_F(TextureLayers, BaseUsesTheFirstCoordinateSetAndTheLightMapTheSecond)
{
    // Left texel red / right texel green for the base, black / white for the light map. Only the right
    // pairing of coordinate sets and units picks red base and white light.
    XTextureManager* const manager = GetTextureManager();
    manager->ResizeSceneTextures(2);
    manager->SetTexture(0, MakeTexture(2, 1, {255, 0, 0, 0, 255, 0}, GL_NEAREST));
    manager->SetTexture(1, MakeTexture(2, 1, {0, 0, 0, 255, 255, 255}, GL_NEAREST));
    SetMaterials({{0, 1, 1.0f}});
    std::unique_ptr<XMesh> mesh = QuadMesh({kCentreQuad});
    for (int v = 0; v < mesh->GetVertexCount(); ++v) {
        mesh->GetTexCoordsA()[v] = XVector2(0.25f, 0.5f);
        mesh->GetTexCoordsB()[v] = XVector2(0.75f, 0.5f);
    }
    AddNode(scene, "wall", std::move(mesh), {{0, 2}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, kRed, 1));
}

TEST_F(TextureLayers, PlasmaAndSkydomeAreLeftToTheirOwnPasses)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "plasma", QuadMesh({kLeftQuad}), {{0, 2}});
    AddNode(scene, "skydome", QuadMesh({kMiddleQuad}), {{0, 2}});
    AddNode(scene, "rocket", QuadMesh({kRightQuad}), {{0, 2}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(kLeftX, 300, kBlack, 0));
    EXPECT_TRUE(PixelNear(400, 300, kBlack, 0));
    EXPECT_TRUE(PixelNear(kRightX, 300, kRed, 1));
}

using MissingTextureRule = RendererTest;

TEST_F(MissingTextureRule, FirstGroupWithoutALightMapDrawsNothingOfTheObject)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, -1, 1.0f}, {0, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({kLeftQuad, kRightQuad}), {{0, 2}, {1, 2}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(kLeftX, 300, kBlack, 0));
    EXPECT_TRUE(PixelNear(kRightX, 300, kBlack, 0));
}

TEST_F(MissingTextureRule, GroupWithoutABaseTextureEndsTheObjectButNotTheScene)
{
    SetSceneColors({kRed, kWhite, kGreen});
    SetMaterials({{0, 1, 1.0f}, {-1, 1, 1.0f}, {2, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({kLeftQuad, kMiddleQuad, kRightQuad}), {{0, 2}, {1, 2}, {2, 2}});
    AddNode(scene, "crate", QuadMesh({{0.0f, 2.5f, 10.0f, 1.0f}}), {{2, 2}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(kLeftX, 300, kRed, 1));
    EXPECT_TRUE(PixelNear(400, 300, kBlack, 0));
    EXPECT_TRUE(PixelNear(kRightX, 300, kBlack, 0));
    EXPECT_TRUE(PixelNear(400, 430, kGreen, 1)); // the next object is drawn all the same
}

TEST_F(MissingTextureRule, TextureNumberOutsideTheTableCountsAsMissing)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 7, 1.0f}});
    AddNode(scene, "wall", QuadMesh({kCentreQuad}), {{0, 2}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, kBlack, 0));
}

TEST_F(MissingTextureRule, MaterialOutsideTheTableIsLoggedAndDrawsNothing)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({kCentreQuad}), {{5, 2}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, kBlack, 0));
    EXPECT_THAT(LogFileText(), HasSubstr("Warning: Trying to bind unexisting shader!"));
}

TEST_F(MissingTextureRule, MaterialOutsideTheTableIsLoggedOnceOverManyFrames)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({kCentreQuad}), {{6, 2}});
    const std::string warning = "Warning: Trying to bind unexisting shader!";
    const size_t before = CountOf(LogFileText(), warning);
    for (int frame = 0; frame < 30; ++frame) {
        renderer.DrawWorld(scene);
    }
    EXPECT_EQ(CountOf(LogFileText(), warning), before + 1);
}

TEST_F(MissingTextureRule, GroupsClaimingMoreTrianglesThanTheMeshHasDrawOnlyWhatIsThere)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({kCentreQuad}), {{0, 40000}, {0, 10}});
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, kRed, 1));
}

using SkyPass = RendererTest;

// A sky picture of four texels: red, green in the first row (t = 0), blue, white in the second.
void AddSky(XScene& scene, const Quad& quad)
{
    XTextureManager* const manager = GetTextureManager();
    manager->ResizeSceneTextures(1);
    manager->SetTexture(0, MakeTexture(2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, GL_NEAREST));
    SetMaterials({{0, -1, 1.0f}});
    AddNode(scene, "skydome", QuadMesh({quad}), {{0, 2}});
}

// The dome quad spans texture (0, 0) .. (1, 1) over 104 pixels either side of the centre; this pixel samples
// texture point (0.25, 0.25) while the texture matrix is the identity.
const int kSkyX = 400 - 52;
const int kSkyY = 300 - 52;

TEST_F(SkyPass, ScrollsItsPictureWithTheGameTime)
{
    AddSky(scene, {0.0f, 0.0f, 5.0f, 1.0f});
    renderer.SetScene(&scene);
    const struct {
        int32_t now;
        RGB color;
    } steps[] = {{0, kRed}, {2500, kGreen}, {10000, kBlue}, {12500, kWhite}};
    for (const auto& step : steps) {
        SetClock(step.now, 0.0f);
        renderer.Clear();
        renderer.DrawSky(camera);
        EXPECT_TRUE(PixelNear(kSkyX, kSkyY, step.color, 0)) << "at " << step.now << " ms";
    }
}

TEST_F(SkyPass, TravelsWithTheCamera)
{
    AddSky(scene, {0.0f, 0.0f, 5.0f, 1.0f});
    renderer.SetScene(&scene);
    PlaceCamera(XVector3(500.0f, 20.0f, -300.0f), 0.0f, 0.0f, 0.0f);
    renderer.DrawSky(camera);
    EXPECT_TRUE(PixelNear(kSkyX, kSkyY, kRed, 0));
}

TEST_F(SkyPass, NeverHidesTheWorldDrawnAfterIt)
{
    AddSky(scene, {0.0f, 0.0f, 5.0f, 3.0f}); // nearer than the wall
    XTextureManager* const manager = GetTextureManager();
    manager->ResizeSceneTextures(3);
    manager->SetTexture(1, SolidTexture(kGreen));
    manager->SetTexture(2, SolidTexture(kWhite));
    GetShaderManager()->Resize(2);
    GetShaderManager()->GetShader(0).texture0 = 1; // the sky in plain green now
    GetShaderManager()->GetShader(1).texture0 = 2; // the wall in white
    GetShaderManager()->GetShader(1).texture1 = 2;
    AddNode(scene, "wall", QuadMesh({{0.0f, 0.0f, 10.0f, 1.0f}}), {{1, 2}});
    renderer.SetScene(&scene);
    renderer.DrawSky(camera);
    renderer.DrawWorld(scene);
    EXPECT_TRUE(PixelNear(400, 300, kWhite, 0));
    EXPECT_TRUE(PixelNear(400, 500, kGreen, 0));
}

using SceneWithoutSpecialObjects = RendererTest;

TEST_F(SceneWithoutSpecialObjects, EveryPassDrawsWhatThereIsWithoutAMessage)
{
    SetSceneColors({kRed, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "crate", QuadMesh({kCentreQuad}), {{0, 2}});
    renderer.SetScene(&scene);
    renderer.SetTriangleMode(2);
    const std::string logBefore = LogFileText();
    ::testing::internal::CaptureStderr();
    renderer.Clear();
    renderer.DrawSky(camera);
    renderer.DrawWorld(scene);
    renderer.DrawFlares(scene, XVector3(0.0f, 0.0f, 0.0f));
    renderer.DrawSpotlight(camera, XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 1.0f));
    renderer.DrawOctreeCubes(nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(LogFileText(), logBefore);
    EXPECT_TRUE(PixelNear(400, 300, kRed, 1));
}

TEST_F(SceneWithoutSpecialObjects, NullSceneDrawsNothing)
{
    renderer.SetScene(nullptr);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    renderer.Clear();
    renderer.DrawSky(camera);
    renderer.DrawSpotlight(camera, XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(PixelNear(400, 300, kBlue, 0));
}

} // namespace
