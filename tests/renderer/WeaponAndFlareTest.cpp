// Tests of the weapon pass (placement from the camera, in front of the world, lighting by the level's lights)
// and of the light flares (size from the distance, colour, additive blending, hidden lights).
#include "RendererTestSupport.h"

#include "render/XExplosion.h"
#include "scene/XLightManager.h"

#include <GL/gl.h>
#include <GL/glu.h> // gluLookAt

#include <gtest/gtest.h>

#include <vector>

namespace {

void SetLight(int i, const XVector3& position, const XColor3& color)
{
    XLight& light = GetLightManager()->GetLight(i);
    light.SetPosition(position.x, position.y, position.z);
    light.SetColor(color.r, color.g, color.b);
}

void ExpectVectorNear(const XVector3& actual, const XVector3& expected, float tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class WeaponPass : public RendererTest {
protected:
    // Scene textures: 0 blue, 1 white. Material 0 is the blue wall, material 1 the white weapon.
    void SetUp() override
    {
        RendererTest::SetUp();
        SetSceneColors({kBlue, kWhite});
        SetMaterials({{0, 1, 1.0f}, {1, 1, 1.0f}});
        // The weapon: a quad of half-size 0.5 around its own origin, facing along its -z axis.
        weapon = AddNode(scene, "plasma", QuadMesh({{0.0f, 0.0f, 0.0f, 0.5f}}), {{1, 2}});
    }

    XSceneNode* weapon = nullptr;
};

TEST_F(WeaponPass, FrameFollowsTheCameraAxesAndPlacement)
{
    PlaceCamera(XVector3(1.0f, 2.0f, 3.0f), 90.0f, 0.0f, 1.0f); // looking along +x, right is +z
    renderer.DrawWeapon(*weapon, camera, XVector3(0.5f, -0.3f, 2.0f));
    const XFrame& frame = weapon->GetFrame();
    ExpectVectorNear(frame.rot0, XVector3(0.0f, 0.0f, -1.0f), 1e-3f); // -right
    ExpectVectorNear(frame.rot1, XVector3(0.0f, 1.0f, 0.0f), 1e-3f);  // up
    ExpectVectorNear(frame.rot2, XVector3(1.0f, 0.0f, 0.0f), 1e-3f);  // forward
    // Eye (1, 3, 3), then 0.5 right, 0.3 down and 2 ahead.
    ExpectVectorNear(frame.translate, XVector3(3.0f, 2.7f, 3.5f), 1e-3f);
}

TEST_F(WeaponPass, StaysVisibleWhenThePlayerStandsAgainstAWall)
{
    PlaceCamera(XVector3(0.0f, 0.0f, 0.0f), 0.0f, 0.0f, 1.0f);
    SetLight(0, XVector3(0.0f, 1.0f, 0.0f), XColor3(1.0f, 1.0f, 1.0f));
    GetLightManager()->SetCount(1);
    // A wall 0.3 ahead of the eye, nearer than the weapon 2 ahead.
    AddNode(scene, "wall", QuadMesh({{0.0f, 1.0f, 0.3f, 1.0f}}), {{0, 2}});
    renderer.DrawWorld(scene); // draws the wall and skips the weapon node "plasma"
    ASSERT_TRUE(PixelNear(400, 300, kBlue, 1));
    renderer.DrawWeapon(*weapon, camera, XVector3(0.0f, 0.0f, 2.0f));
    const RGBPixel centre = Pixel(400, 300);
    EXPECT_GT(centre.r, 150);
    EXPECT_NEAR(centre.r, centre.b, 3); // grey to white: lit white picture, no blue wall
    EXPECT_TRUE(PixelNear(30, 30, kBlue, 1)); // the wall around it
}

TEST_F(WeaponPass, LeavesTheWorldsDepthsToThePassesAfterIt)
{
    PlaceCamera(XVector3(0.0f, 0.0f, 0.0f), 0.0f, 0.0f, 1.0f);
    SetLight(0, XVector3(0.0f, 1.0f, 0.0f), XColor3(1.0f, 1.0f, 1.0f));
    GetLightManager()->SetCount(1);
    AddNode(scene, "wall", QuadMesh({{0.0f, 1.0f, 5.0f, 3.0f}}), {{0, 2}});
    renderer.DrawWorld(scene);
    renderer.DrawWeapon(*weapon, camera, XVector3(1.0f, 0.0f, 2.0f)); // beside the middle of the picture
    EXPECT_LT(PixelsOfColorInBlock(0, 295, 800, 10, kBlue, 1), 800 * 10 - 1000); // the weapon is drawn

    // A spark behind the wall in the middle stays hidden, as it does without a weapon.
    const std::vector<XVector3> sparks = {XVector3(0.0f, 1.0f, 10.0f)};
    renderer.DrawProjectiles(sparks, {});
    EXPECT_EQ(PixelsOfColorInBlock(390, 290, 20, 20, kBlue, 1), 20 * 20);

    GLdouble range[2] = {-1.0, -1.0};
    glGetDoublev(GL_DEPTH_RANGE, range);
    EXPECT_EQ(range[0], 0.0);
    EXPECT_EQ(range[1], 1.0);
}

TEST_F(WeaponPass, StaysInFrontOfAnExplosionShownWholeBehindIt)
{
    PlaceCamera(XVector3(0.0f, 0.0f, 0.0f), 0.0f, 0.0f, 1.0f);
    SetLight(0, XVector3(0.0f, 1.0f, 0.0f), XColor3(1.0f, 1.0f, 1.0f));
    GetLightManager()->SetCount(1);
    renderer.DrawWeapon(*weapon, camera, XVector3(0.0f, 0.0f, 2.0f));
    const RGBPixel weaponPixel = Pixel(400, 300);
    ASSERT_GT(weaponPixel.r, 150);

    XExplosion explosion;
    explosion.position = XVector3(0.0f, 1.0f, 20.0f); // straight ahead of the eye, far behind the weapon
    explosion.scale = 7.0f;
    GetExplosionList()->Add(explosion);
    renderer.DrawExplosionSprites(scene, XVector3(0.0f, 1.0f, 0.0f));
    GetExplosionList()->Clear();
    EXPECT_TRUE(PixelNear(400, 300, {weaponPixel.r, weaponPixel.g, weaponPixel.b}, 0));
}

TEST_F(WeaponPass, IsLitByTheLightsWhereTheLevelPutsThem)
{
    // Looking along -z; the weapon 2 ahead of the eye faces the eye, where the only light stands. Placed in
    // the weapon's own frame, that light would sit in the weapon's plane and leave its face unlit.
    PlaceCamera(XVector3(0.0f, 0.0f, 0.0f), 180.0f, 0.0f, 1.0f);
    SetLight(0, XVector3(0.0f, 1.0f, 0.0f), XColor3(1.0f, 1.0f, 1.0f));
    GetLightManager()->SetCount(1);
    renderer.DrawWeapon(*weapon, camera, XVector3(0.0f, 0.0f, 2.0f));
    EXPECT_GT(Pixel(400, 300).r, 150);
}

TEST_F(WeaponPass, UnlitWithoutLightsInFront)
{
    PlaceCamera(XVector3(0.0f, 0.0f, 0.0f), 0.0f, 0.0f, 1.0f);
    SetLight(0, XVector3(0.0f, 1.0f, 10.0f), XColor3(1.0f, 1.0f, 1.0f)); // behind the weapon's face
    GetLightManager()->SetCount(1);
    renderer.DrawWeapon(*weapon, camera, XVector3(0.0f, 0.0f, 2.0f));
    EXPECT_LT(Pixel(400, 300).r, 40); // the global ambient term only
}

TEST_F(WeaponPass, UsesTheFirstFiveLightTableEntriesWithTheirColours)
{
    for (int i = 0; i < 6; ++i) {
        SetLight(i, XVector3(0.0f, 0.0f, 0.0f), XColor3(0.1f * i, 0.2f, 0.3f));
    }
    GetLightManager()->SetCount(2); // fewer than five: the others are still taken from the table
    glDisable(GL_LIGHT5);
    renderer.DrawWeapon(*weapon, camera, XVector3(0.0f, 0.0f, 2.0f));
    for (int i = 0; i < 5; ++i) {
        const GLenum id = static_cast<GLenum>(GL_LIGHT0 + i);
        EXPECT_TRUE(glIsEnabled(id)) << "light " << i;
        GLfloat diffuse[4] = {};
        GLfloat specular[4] = {};
        GLfloat attenuation = 0.0f;
        glGetLightfv(id, GL_DIFFUSE, diffuse);
        glGetLightfv(id, GL_SPECULAR, specular);
        glGetLightfv(id, GL_LINEAR_ATTENUATION, &attenuation);
        EXPECT_FLOAT_EQ(diffuse[0], 0.1f * i) << "light " << i;
        EXPECT_FLOAT_EQ(specular[2], 0.3f) << "light " << i;
        EXPECT_FLOAT_EQ(attenuation, 0.2f) << "light " << i;
    }
    EXPECT_FALSE(glIsEnabled(GL_LIGHT5));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)); // the lit draw leaves lighting off for the passes after it
}

class LightFlares : public RendererTest {
protected:
    // An orthographic view of 80 x 60 units (10 pixels a unit) from the origin along +z, deep enough for far
    // lights: a flare's side in units is its width in pixels / 10.
    void SetUp() override
    {
        RendererTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-40.0, 40.0, -30.0, 30.0, -300.0, 300.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
    }

    // A white wall 20 units ahead, 20 units wide, and the collision tree over it.
    void AddWallAhead()
    {
        SetSceneColors({kWhite, kWhite});
        SetMaterials({{0, 1, 1.0f}});
        AddNode(scene, "world", QuadMesh({{0.0f, 0.0f, 20.0f, 10.0f}}), {{0, 2}});
        SetUpScene();
    }

    const XVector3 eye = XVector3(0.0f, 0.0f, 0.0f);
};

TEST_F(LightFlares, FlareSideIsAFifthOfTheDistancePlusThree)
{
    SetLight(0, XVector3(0.0f, 0.0f, 50.0f), XColor3(1.0f, 1.0f, 1.0f));
    GetLightManager()->SetCount(1);
    renderer.DrawFlares(scene, eye);
    EXPECT_NEAR(LitPixelsInRow(300, 127), 130, 1); // 50 / 5 + 3 = 13 units
    EXPECT_NEAR(LitPixelsInColumn(400, 127), 130, 1);

    renderer.Clear();
    SetLight(0, XVector3(0.0f, 0.0f, 100.0f), XColor3(1.0f, 1.0f, 1.0f));
    renderer.DrawFlares(scene, eye);
    EXPECT_NEAR(LitPixelsInRow(300, 127), 230, 1); // 100 / 5 + 3 = 23 units
}

TEST_F(LightFlares, FlareTakesItsLightsColourAndAddsUp)
{
    SetLight(0, XVector3(-20.0f, 0.0f, 30.0f), XColor3(1.0f, 0.5f, 0.25f));
    SetLight(1, XVector3(20.0f, 0.0f, 30.0f), XColor3(0.3f, 0.0f, 0.0f));
    SetLight(2, XVector3(20.0f, 0.0f, 30.0f), XColor3(0.3f, 0.0f, 0.0f));
    GetLightManager()->SetCount(3);
    renderer.DrawFlares(scene, eye);
    EXPECT_TRUE(PixelNear(400 + 200, 300, {255, 128, 64}, 2)); // x = -20 is on the right of this view
    EXPECT_TRUE(PixelNear(400 - 200, 300, {153, 0, 0}, 2));    // two flares of 0.3 on one spot
}

TEST_F(LightFlares, LightBehindAWallHasNoFlare)
{
    AddWallAhead();
    ASSERT_NE(octree, nullptr);
    SetLight(0, XVector3(0.0f, 0.0f, 50.0f), XColor3(1.0f, 1.0f, 1.0f)); // behind the wall
    SetLight(1, XVector3(30.0f, 20.0f, 50.0f), XColor3(1.0f, 1.0f, 1.0f)); // beside it, in view
    GetLightManager()->SetCount(2);
    renderer.DrawFlares(scene, eye);
    EXPECT_TRUE(PixelNear(400, 300, kBlack, 0));
    EXPECT_TRUE(PixelNear(400 - 300, 300 + 200, kWhite, 1));
}

TEST_F(LightFlares, AStillEyeSeesWhatMovesChangeTheFlares)
{
    AddWallAhead();
    ASSERT_NE(octree, nullptr);
    SetLight(0, XVector3(30.0f, 20.0f, 50.0f), XColor3(1.0f, 1.0f, 1.0f)); // beside the wall, in view
    GetLightManager()->SetCount(1);
    renderer.DrawFlares(scene, eye);
    ASSERT_TRUE(PixelNear(400 - 300, 300 + 200, kWhite, 1));

    // The light moves behind the wall; the eye stands still.
    glClear(GL_COLOR_BUFFER_BIT);
    SetLight(0, XVector3(0.0f, 0.0f, 50.0f), XColor3(1.0f, 1.0f, 1.0f));
    renderer.DrawFlares(scene, eye);
    EXPECT_EQ(LitPixelsInBlock(0, 0, 800, 600, 0), 0);

    // The wall is moved aside and the same tree rebuilt in place; the light shows again.
    XMesh* const mesh = scene.FindNode("world")->GetMesh();
    for (int v = 0; v < mesh->GetVertexCount(); ++v) {
        mesh->GetPositions()[v].x += 100.0f;
    }
    octree->Build(mesh);
    renderer.DrawFlares(scene, eye);
    EXPECT_TRUE(PixelNear(400, 300, kWhite, 1));
}

TEST_F(LightFlares, OnlyTheLevelsLightsGetFlares)
{
    SetLight(0, XVector3(0.0f, 0.0f, 50.0f), XColor3(1.0f, 1.0f, 1.0f));
    GetLightManager()->SetCount(0);
    renderer.DrawFlares(scene, eye);
    EXPECT_EQ(LitPixelsInBlock(0, 0, 800, 600, 0), 0);
}

} // namespace
