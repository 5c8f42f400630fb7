// Tests of the effect passes: decals (fading, ageing, removal, size and picture by type), explosion sprites
// (frames, removal at 390 ms, size), explosion glow (ageing, removal after 500 ms, size, turning) and
// projectiles (spark points, rocket glows).
#include "RendererTestSupport.h"

#include "render/XDecal.h"
#include "render/XExplosion.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace {

// A mark on a wall 5 ahead of the camera, facing it, as the weapons make them: side = normal x edge.
XDecal MakeDecal(uint8_t type, int32_t age)
{
    XDecal decal;
    decal.type = type;
    decal.age = age;
    decal.normal = XVector3(0.0f, 0.0f, -1.0f);
    decal.edge = XVector3(3.0f, 0.0f, 0.0f); // any length: the pass normalises the axes
    decal.side = Cross(decal.normal, decal.edge);
    decal.position = XVector3(0.0f, 0.0f, 5.0f);
    return decal;
}

XExplosion MakeExplosion(const XVector3& position, int32_t age, float scale, int32_t rotation)
{
    XExplosion explosion;
    explosion.position = position;
    explosion.age = age;
    explosion.scale = scale;
    explosion.rotation = rotation;
    return explosion;
}

class Decals : public RendererTest {
protected:
    void SetUp() override
    {
        RendererTest::SetUp();
        glEnable(GL_CULL_FACE); // as the world pass leaves it: the decal must face the viewer
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        renderer.Clear();
    }
};

TEST_F(Decals, FreshBulletHoleIsOpaqueAndFortyPixelsWide)
{
    GetDecalList()->Add(MakeDecal(1, 0));
    renderer.DrawDecals();
    EXPECT_TRUE(PixelNear(400, 300, kWhite, 1));
    // 0.4 units at depth 5 with 60 degrees of field of view: 0.4 / 5 / tan 30 x 300 = 41.6 pixels.
    EXPECT_NEAR(PixelsOfColorInBlock(400, 0, 1, 600, kWhite, 1), 42, 1);
}

TEST_F(Decals, BulletHoleSevenSecondsOldIsDrawnAtHalfAlpha)
{
    SetClock(20000, 500.0f);
    GetDecalList()->Add(MakeDecal(1, 7000));
    renderer.DrawDecals();
    // Faded by the age it had when drawn; the age grows afterwards.
    EXPECT_TRUE(PixelNear(400, 300, {128, 128, 255}, 2));
    EXPECT_EQ(GetDecalList()->Decals()[0].age, 7500);
}

TEST_F(Decals, OlderThanEightSecondsIsRemovedBeforeDrawing)
{
    GetDecalList()->Add(MakeDecal(1, 8001));
    GetDecalList()->Add(MakeDecal(1, 8000));
    GetDecalList()->Add(MakeDecal(2, 100));
    renderer.DrawDecals();
    ASSERT_EQ(GetDecalList()->Count(), 2);
    EXPECT_EQ(GetDecalList()->Decals()[0].age, 8000); // kept, drawn fully faded
    EXPECT_EQ(GetDecalList()->Decals()[1].type, 2);
}

TEST_F(Decals, ScorchesAgeTwiceAsFastAsBulletHoles)
{
    SetClock(1000, 16.7f); // taken as 16 whole milliseconds
    GetDecalList()->Add(MakeDecal(1, 0));
    GetDecalList()->Add(MakeDecal(2, 0));
    renderer.DrawDecals();
    EXPECT_EQ(GetDecalList()->Decals()[0].age, 16);
    EXPECT_EQ(GetDecalList()->Decals()[1].age, 32);
}

TEST_F(Decals, ScorchIsGoneAfterAboutFourSecondsOfFrames)
{
    SetClock(1000, 16.0f);
    GetDecalList()->Add(MakeDecal(2, 0));
    GetDecalList()->Add(MakeDecal(1, 0));
    for (int frame = 0; frame < 251; ++frame) {
        renderer.DrawDecals();
    }
    EXPECT_EQ(GetDecalList()->Count(), 2); // 4016 ms: the scorch has reached 8032 but is removed next frame
    renderer.DrawDecals();
    ASSERT_EQ(GetDecalList()->Count(), 1);
    EXPECT_EQ(GetDecalList()->Decals()[0].type, 1);
    EXPECT_EQ(GetDecalList()->Decals()[0].age, 252 * 16);
}

TEST_F(Decals, ScorchUsesItsOwnPictureAndIsThreeTimesLarger)
{
    GetDecalList()->Add(MakeDecal(2, 0));
    renderer.DrawDecals();
    EXPECT_TRUE(PixelNear(400, 300, {255, 255, 0}, 1));
    // 1.2 units at depth 5: 124.7 pixels.
    EXPECT_NEAR(PixelsOfColorInBlock(400, 0, 1, 600, {255, 255, 0}, 1), 125, 1);
}

TEST_F(Decals, MarkOnItsWallIsNotLostInTheDepthTest)
{
    SetSceneColors({kGreen, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({{0.0f, 0.0f, 5.0f, 2.0f}}), {{0, 2}});
    renderer.DrawWorld(scene);
    GetDecalList()->Add(MakeDecal(1, 0));
    renderer.DrawDecals();
    EXPECT_TRUE(PixelNear(400, 300, kWhite, 1));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE); // restored for the passes after it
}

class Explosions : public RendererTest {
protected:
    const XVector3 eye = XVector3(0.0f, 0.0f, 0.0f);
    const XVector3 ahead = XVector3(0.0f, 0.0f, 20.0f);
    std::vector<XSpriteRecord> sprites;
};

TEST_F(Explosions, AnimationFrameFollowsTheAge)
{
    // Frame age / 75 of slot 9 + frame, which holds picture file frame + 1.
    const struct {
        int32_t age;
        int file;
    } cases[] = {{0, 1}, {74, 1}, {75, 2}, {150, 3}, {389, 6}};
    for (const auto& c : cases) {
        GetExplosionList()->Clear();
        GetExplosionList()->Add(MakeExplosion(ahead, c.age, 1.0f, 0));
        renderer.Clear();
        renderer.DrawExplosionSprites(scene, eye);
        EXPECT_TRUE(PixelNear(400, 300, ExplosionFileColor(c.file), 1)) << "age " << c.age;
    }
}

TEST_F(Explosions, SpriteIsRemovedAt390Milliseconds)
{
    GetExplosionList()->Add(MakeExplosion(ahead, 390, 1.0f, 0));
    renderer.DrawExplosionSprites(scene, eye);
    EXPECT_EQ(GetExplosionList()->Count(), 0);
    EXPECT_TRUE(PixelNear(400, 300, kBlack, 0));
}

TEST_F(Explosions, RemovalKeepsTheOthersInOrderAndDrawsEachOnce)
{
    renderer.SetSpriteLog(&sprites);
    GetExplosionList()->Add(MakeExplosion(XVector3(1.0f, 0.0f, 20.0f), 100, 1.0f, 0));
    GetExplosionList()->Add(MakeExplosion(XVector3(2.0f, 0.0f, 20.0f), 400, 1.0f, 0));
    GetExplosionList()->Add(MakeExplosion(XVector3(3.0f, 0.0f, 20.0f), 200, 1.0f, 0));
    renderer.DrawExplosionSprites(scene, eye);
    ASSERT_EQ(GetExplosionList()->Count(), 2);
    EXPECT_EQ(GetExplosionList()->Explosions()[0].age, 100);
    EXPECT_EQ(GetExplosionList()->Explosions()[1].age, 200);
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(sprites[0].centre.x, 1.0f);
    EXPECT_EQ(sprites[1].centre.x, 3.0f);
}

TEST_F(Explosions, SpriteSideGrowsWithAgeAndTheWholeScale)
{
    renderer.SetSpriteLog(&sprites);
    GetExplosionList()->Add(MakeExplosion(ahead, 250, 2.7f, 33)); // scale taken as 2
    renderer.DrawExplosionSprites(scene, eye);
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_FLOAT_EQ(sprites[0].side, 250.0f / 500.0f * 2.0f + 3.0f);
    EXPECT_FLOAT_EQ(sprites[0].rotation, 33.0f);
    EXPECT_EQ(GetExplosionList()->Explosions()[0].age, 250); // the sprite pass does not age
}

TEST_F(Explosions, GlowAgesByTheWholeFrameTime)
{
    SetClock(5000, 20.9f);
    GetExplosionList()->Add(MakeExplosion(ahead, 100, 1.0f, 0));
    renderer.DrawExplosionGlow();
    EXPECT_EQ(GetExplosionList()->Explosions()[0].age, 120);
}

TEST_F(Explosions, GlowIsRemovedAfter500Milliseconds)
{
    SetClock(5000, 16.0f);
    GetExplosionList()->Add(MakeExplosion(ahead, 501, 1.0f, 0));
    GetExplosionList()->Add(MakeExplosion(ahead, 500, 1.0f, 0));
    renderer.DrawExplosionGlow();
    ASSERT_EQ(GetExplosionList()->Count(), 1);
    EXPECT_EQ(GetExplosionList()->Explosions()[0].age, 516);
    renderer.DrawExplosionGlow();
    EXPECT_EQ(GetExplosionList()->Count(), 0);
}

TEST_F(Explosions, GlowAgesEachExplosionOnceWhenAnotherIsRemoved)
{
    SetClock(5000, 10.0f);
    GetExplosionList()->Add(MakeExplosion(ahead, 100, 1.0f, 0));
    GetExplosionList()->Add(MakeExplosion(ahead, 600, 1.0f, 0));
    GetExplosionList()->Add(MakeExplosion(ahead, 200, 1.0f, 0));
    renderer.DrawExplosionGlow();
    ASSERT_EQ(GetExplosionList()->Count(), 2);
    EXPECT_EQ(GetExplosionList()->Explosions()[0].age, 110);
    EXPECT_EQ(GetExplosionList()->Explosions()[1].age, 210);
}

TEST_F(Explosions, GlowGrowsFor250MillisecondsThenShrinksAtTheSameRate)
{
    renderer.SetSpriteLog(&sprites);
    GetExplosionList()->Add(MakeExplosion(ahead, 100, 10.0f, 0));
    GetExplosionList()->Add(MakeExplosion(ahead, 250, 10.0f, 0));
    GetExplosionList()->Add(MakeExplosion(ahead, 400, 10.9f, 0)); // scale taken as 10
    renderer.DrawExplosionGlow();
    ASSERT_EQ(sprites.size(), 6u);
    EXPECT_FLOAT_EQ(sprites[0].side, 4.0f); // 100 / 500 x 10 + 2
    EXPECT_FLOAT_EQ(sprites[1].side, 4.0f);
    EXPECT_FLOAT_EQ(sprites[2].side, 7.0f); // the peak: 250 / 500 x 10 + 2
    EXPECT_FLOAT_EQ(sprites[4].side, 4.0f); // 150 ms past the peak, as large as 150 ms before it
}

TEST_F(Explosions, GlowSpritesTurnAtHundredDegreesPerSecondInOppositeDirections)
{
    renderer.SetSpriteLog(&sprites);
    GetExplosionList()->Add(MakeExplosion(ahead, 100, 1.0f, 0));
    SetClock(1000, 0.0f);
    renderer.DrawExplosionGlow();
    SetClock(1500, 0.0f);
    renderer.DrawExplosionGlow();
    ASSERT_EQ(sprites.size(), 4u);
    EXPECT_FLOAT_EQ(sprites[0].rotation, 100.0f);
    EXPECT_FLOAT_EQ(sprites[1].rotation, -100.0f);
    EXPECT_FLOAT_EQ(sprites[2].rotation, 150.0f);
    EXPECT_FLOAT_EQ(sprites[3].rotation, -150.0f);
}

TEST_F(Explosions, GlowIsAddedOverThePicture)
{
    glClearColor(0.2f, 0.0f, 0.0f, 1.0f);
    renderer.Clear();
    GetExplosionList()->Add(MakeExplosion(ahead, 100, 1.0f, 0));
    renderer.DrawExplosionGlow();
    const RGBPixel centre = Pixel(400, 300);
    EXPECT_EQ(centre.r, 255); // the white glow added onto the red background
    EXPECT_GT(centre.g, 250);
}

// Explosions where rockets hit: the sprite stands in the surface it hit, which must not cut it.
class ExplosionsAtWalls : public RendererTest {
protected:
    // The eye at (-10, 0, 15) looking along +x (its right is +z); a blue wall in the plane z = 20 runs along
    // the right of the view, facing the eye, with the collision tree over it.
    void SetUp() override
    {
        RendererTest::SetUp();
        PlaceCamera(XVector3(-10.0f, -1.0f, 15.0f), 90.0f, 0.0f, 1.0f);
        SetSceneColors({kBlue, kWhite});
        SetMaterials({{0, 1, 1.0f}});
        AddNode(scene, "world", QuadMesh({{0.0f, 0.0f, 20.0f, 40.0f}}), {{0, 2}});
        SetUpScene();
        renderer.DrawWorld(scene);
    }

    // Pixels of the first explosion picture in the row through the eye's height.
    int ExplosionPixelsInRow() const { return PixelsOfColorInBlock(0, 300, 800, 1, ExplosionFileColor(1), 1); }

    const XVector3 eye = XVector3(-10.0f, 0.0f, 15.0f);
};

TEST_F(ExplosionsAtWalls, AnExplosionSeenFromTheEyeShowsWholeThoughItReachesIntoItsWall)
{
    // Half a unit in front of the wall, 20 ahead: a third of the 3-unit sprite lies behind the wall's plane.
    GetExplosionList()->Add(MakeExplosion(XVector3(10.0f, 0.0f, 19.5f), 0, 1.0f, 0));
    renderer.DrawExplosionSprites(scene, eye);
    // 3 units at a distance of 20 with 60 degrees of field of view: 3 / 20 / tan 30 x 300 = 77.9 pixels.
    EXPECT_NEAR(ExplosionPixelsInRow(), 78, 1);
}

TEST_F(ExplosionsAtWalls, AnExplosionBehindTheWallStaysHidden)
{
    GetExplosionList()->Add(MakeExplosion(XVector3(10.0f, 0.0f, 21.0f), 0, 1.0f, 0));
    renderer.DrawExplosionSprites(scene, eye);
    EXPECT_EQ(ExplosionPixelsInRow(), 0);
    EXPECT_EQ(GetExplosionList()->Count(), 1) << "hidden, not gone";
}

class Projectiles : public RendererTest {
protected:
    std::vector<XVector3> sparks;
    std::vector<XVector3> rockets;
    std::vector<XSpriteRecord> sprites;
};

TEST_F(Projectiles, SparksAreThreePixelPointsOfTheirColour)
{
    glEnable(GL_POINT_SMOOTH); // as the crosshair of the previous frame leaves it
    glEnable(GL_BLEND);
    sparks.push_back(XVector3(0.0f, 0.0f, 10.0f));
    renderer.DrawProjectiles(sparks, rockets);
    EXPECT_TRUE(PixelNear(400, 300, {255, 0, 77}, 1));
    EXPECT_EQ(LitPixelsInBlock(390, 290, 20, 20, 0), 9);
    EXPECT_TRUE(BlockHasColor(398, 298, 4, 4, {255, 0, 77}, 1));
}

TEST_F(Projectiles, SparksBehindAWallAreHidden)
{
    SetSceneColors({kBlue, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "wall", QuadMesh({{0.0f, 0.0f, 5.0f, 1.0f}}), {{0, 2}});
    renderer.DrawWorld(scene);
    sparks.push_back(XVector3(0.0f, 0.0f, 10.0f)); // behind the wall, in the middle of the picture
    sparks.push_back(XVector3(0.5f, 0.0f, 3.0f));  // in front of it, 87 pixels to the left
    renderer.DrawProjectiles(sparks, rockets);
    EXPECT_EQ(PixelsOfColorInBlock(390, 290, 20, 20, kBlue, 1), 20 * 20);
    EXPECT_TRUE(BlockHasColor(308, 295, 10, 10, {255, 0, 77}, 1));
}

TEST_F(Projectiles, RocketsAreTwoTurningGlowSprites)
{
    renderer.SetSpriteLog(&sprites);
    SetClock(900, 0.0f); // a quarter turn each way: both squares upright
    rockets.push_back(XVector3(0.0f, 0.0f, 2.0f));
    renderer.DrawProjectiles(sparks, rockets);
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_FLOAT_EQ(sprites[0].side, 0.4f);
    EXPECT_FLOAT_EQ(sprites[0].rotation, 90.0f);
    EXPECT_FLOAT_EQ(sprites[1].rotation, -90.0f);
    EXPECT_EQ(sprites[0].centre, rockets[0]);
    // Added in white: 0.4 units at depth 2 are about 104 pixels high.
    EXPECT_GT(Pixel(400, 300).r, 250);
    EXPECT_NEAR(LitPixelsInColumn(400, 100), 104, 3);
}

} // namespace
