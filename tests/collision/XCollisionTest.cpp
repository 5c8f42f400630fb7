// Collision queries: sliding along walls, standing on floors, push-out, segment casts and line of sight.
#include "SceneBuilder.h"

#include "shell/XDebugText.h"
#include "space/XCollision.h"

#include <gtest/gtest.h>
#include <random>

namespace {

XMotion Motion(const XVector3& position, const XVector3& velocity)
{
    XMotion motion;
    motion.position = position;
    motion.velocity = velocity;
    return motion;
}

} // namespace

TEST(CollideAndSlide, NothingNearMovesByTheWholeVelocityAndReportsZeros)
{
    SceneWithOctree scene(SceneBuilder().Floor(-100.0f, -5.0f, -5.0f, 5.0f, 5.0f).Build());
    GetDebugText()->Clear();
    XCollision collision;
    const XVector3 end =
        collision.CollideAndSlide(scene.get(), Motion(XVector3(0.0f, 5.0f, 0.0f), XVector3(0.3f, -0.1f, 0.2f)),
                                  kPlayerScale);
    EXPECT_NEAR(end.x, 0.3f, 1e-6f);
    EXPECT_NEAR(end.y, 4.9f, 1e-6f);
    EXPECT_NEAR(end.z, 0.2f, 1e-6f);
    EXPECT_FALSE(collision.OnFloor());
    EXPECT_FALSE(collision.OnCeiling());
    EXPECT_STREQ(GetDebugText()->Text(), "# nodes checked : 0\nOverlaps : 0\nSlides : 0\n");
}

TEST(CollideAndSlide, WithoutAnOctreeTheMotionIsUnchanged)
{
    XScene empty;
    XCollision collision;
    const XVector3 end =
        collision.CollideAndSlide(&empty, Motion(XVector3(1.0f, 2.0f, 3.0f), XVector3(0.5f, 0.0f, 0.0f)), kPlayerScale);
    EXPECT_NEAR(end.x, 1.5f, 1e-6f);
    XContact contact;
    EXPECT_FALSE(collision.CastSegment(&empty, Motion(XVector3(), XVector3(0.0f, 0.0f, 10.0f)), kUnitScale, contact));
    EXPECT_FALSE(collision.IsSegmentBlocked(&empty, XVector3(), XVector3(0.0f, 0.0f, 10.0f)));
}

TEST(CollideAndSlide, WalkingIntoAWallStopsTenEleventhsInFrontAndKeepsTheAlongWallPart)
{
    SceneWithOctree scene(SceneBuilder().WallFacingMinusZ(5.0f, -50.0f, 50.0f, -10.0f, 10.0f).Build());
    XCollision collision;
    XVector3 position(0.0f, 0.0f, 0.0f);
    for (int step = 0; step < 12; ++step) {
        position = collision.CollideAndSlide(scene.get(), Motion(position, XVector3(0.5f, 0.0f, 1.0f)), kPlayerScale);
    }
    EXPECT_NEAR(position.z, 5.0f - 10.0f / 11.0f, 1e-4f);
    const XVector3 before = position;
    position = collision.CollideAndSlide(scene.get(), Motion(position, XVector3(0.5f, 0.0f, 1.0f)), kPlayerScale);
    EXPECT_NEAR(position.x - before.x, 0.5f, 1e-4f) << "the component along the wall is kept whole";
    EXPECT_NEAR(position.z, 5.0f - 10.0f / 11.0f, 1e-4f);
    EXPECT_EQ(collision.Slides(), 1);
    EXPECT_FALSE(collision.OnFloor());
}

TEST(CollideAndSlide, StandingOnAFloorStopsTheFallAndReportsTheFloor)
{
    SceneWithOctree scene(SceneBuilder().Floor(0.0f, -10.0f, -10.0f, 10.0f, 10.0f).Build());
    XCollision collision;
    const XVector3 end =
        collision.CollideAndSlide(scene.get(), Motion(XVector3(0.0f, 2.0f, 0.0f), XVector3(0.0f, -0.01f, 0.0f)),
                                  kPlayerScale);
    EXPECT_NEAR(end.y, 2.0f, 1e-5f);
    EXPECT_TRUE(collision.OnFloor());
    EXPECT_FALSE(collision.OnCeiling());
}

TEST(CollideAndSlide, ATinyScaledVelocityIsNotSlid)
{
    SceneWithOctree scene(SceneBuilder().Floor(0.0f, -10.0f, -10.0f, 10.0f, 10.0f).Build());
    XCollision collision;
    // 0.0002 world units down is 0.001 in the scaled space: at the limit, so no slide happens.
    collision.CollideAndSlide(scene.get(), Motion(XVector3(0.0f, 2.0f, 0.0f), XVector3(0.0f, -0.0002f, 0.0f)),
                              kPlayerScale);
    EXPECT_EQ(collision.Slides(), 0);
    EXPECT_TRUE(collision.OnFloor()) << "the contact is still recorded";
}

TEST(CollideAndSlide, HittingTheCeilingIsReported)
{
    SceneWithOctree scene(SceneBuilder().Ceiling(5.0f, -10.0f, -10.0f, 10.0f, 10.0f).Build());
    XCollision collision;
    const XVector3 end =
        collision.CollideAndSlide(scene.get(), Motion(XVector3(0.0f, 2.5f, 0.0f), XVector3(0.0f, 1.0f, 0.0f)),
                                  kPlayerScale);
    EXPECT_TRUE(collision.OnCeiling());
    EXPECT_NEAR(end.y, 3.0f, 1e-5f) << "the body's top (two units above its centre) meets the ceiling";
}

TEST(CollideAndSlide, PushOutsStopAtFifteen)
{
    // A gap lower than the body: floor and ceiling push it back and forth without end.
    SceneWithOctree scene(
        SceneBuilder().Floor(0.0f, -10.0f, -10.0f, 10.0f, 10.0f).Ceiling(3.0f, -10.0f, -10.0f, 10.0f, 10.0f).Build());
    XCollision collision;
    collision.CollideAndSlide(scene.get(), Motion(XVector3(0.0f, 1.5f, 0.0f), XVector3()), kPlayerScale);
    EXPECT_EQ(collision.Overlaps(), 15);
}

TEST(CollideAndSlide, RandomWalksInAClosedRoomNeverLeaveItAndRespectTheLimits)
{
    SceneBuilder room;
    const float h = 8.0f;
    room.Floor(0.0f, -h, -h, h, h).Ceiling(12.0f, -h, -h, h, h).WallFacingMinusZ(h, -h, h, 0.0f, 12.0f);
    room.Quad(XVector3(-h, 0.0f, -h), XVector3(h, 0.0f, -h), XVector3(h, 12.0f, -h), XVector3(-h, 12.0f, -h));
    room.Quad(XVector3(h, 0.0f, -h), XVector3(h, 0.0f, h), XVector3(h, 12.0f, h), XVector3(h, 12.0f, -h));
    room.Quad(XVector3(-h, 0.0f, -h), XVector3(-h, 12.0f, -h), XVector3(-h, 12.0f, h), XVector3(-h, 0.0f, h));
    SceneWithOctree scene(room.Build());
    XCollision collision;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> component(-0.6f, 0.6f);
    XVector3 position(0.0f, 4.0f, 0.0f);
    for (int step = 0; step < 3000; ++step) {
        const XVector3 velocity(component(random), component(random) - 0.1f, component(random));
        position = collision.CollideAndSlide(scene.get(), Motion(position, velocity), kPlayerScale);
        ASSERT_LE(collision.Slides(), 5);
        ASSERT_LE(collision.Overlaps(), 15);
        ASSERT_GT(position.y, 0.0f) << "step " << step;
        ASSERT_LT(position.y, 12.0f) << "step " << step;
        ASSERT_LT(std::fabs(position.x), h) << "step " << step;
        ASSERT_LT(std::fabs(position.z), h) << "step " << step;
    }
}

TEST(CollideAndSlide, ALongMotionThroughAThinWallStopsTheBodyInFrontOfIt)
{
    // A wall 0.05 thick across the path and a motion of 6 units through it (a 300 ms frame at full speed is 3):
    // the sweep meets its near face whatever the length, and the body slides no further than touching it.
    SceneBuilder builder;
    builder.Floor(0.0f, -20.0f, -20.0f, 20.0f, 20.0f);
    builder.WallFacingMinusZ(3.0f, -20.0f, 20.0f, 0.0f, 6.0f);
    builder.Quad(XVector3(20.0f, 0.0f, 3.05f), XVector3(20.0f, 6.0f, 3.05f), XVector3(-20.0f, 6.0f, 3.05f),
                 XVector3(-20.0f, 0.0f, 3.05f));
    SceneWithOctree scene(builder.Build());
    XCollision collision;
    const XVector3 end =
        collision.CollideAndSlide(scene.get(), Motion(XVector3(0.0f, 2.0f, 0.0f), XVector3(0.0f, -0.1f, 6.0f)), kPlayerScale);
    EXPECT_LE(end.z, 3.0f - 10.0f / 11.0f + 1e-4f);
    EXPECT_GE(end.y, 2.0f - 1e-4f) << "and stands on the floor";
}

TEST(CollideAndSlide, ALongMotionPastTheEndOfAThinWallStopsWhereTheBodyFirstTouchesIt)
{
    // A thin wall ending at x = -1, met at a slant: the sphere's point nearest the wall reaches its plane beyond
    // the wall's end, so the sweep finds no face, while the centre's path crosses the wall further on.
    SceneBuilder builder;
    builder.Floor(0.0f, -20.0f, -20.0f, 20.0f, 20.0f);
    builder.WallFacingMinusZ(3.0f, -20.0f, -1.0f, 0.0f, 6.0f);
    builder.Quad(XVector3(-1.0f, 0.0f, 3.05f), XVector3(-1.0f, 6.0f, 3.05f), XVector3(-20.0f, 6.0f, 3.05f),
                 XVector3(-20.0f, 0.0f, 3.05f));
    SceneWithOctree scene(builder.Build());
    XCollision collision;
    const XMotion motion = Motion(XVector3(5.0f, 2.0f, 0.0f), XVector3(-10.0f, -0.05f, 4.0f));
    const XVector3 end = collision.CollideAndSlide(scene.get(), motion, kPlayerScale);
    EXPECT_TRUE(collision.Stopped());
    EXPECT_LT(end.z, 3.0f) << "on the near side";
    EXPECT_LT(end.x, 3.0f) << "having come part of the way";
    const XTriangle wall(XVector3(-20.0f, 0.0f, 3.0f), XVector3(-20.0f, 6.0f, 3.0f), XVector3(-1.0f, 6.0f, 3.0f));
    XVector3 h;
    EXPECT_FALSE(wall.SegmentHit(motion.position, end - motion.position, 0.0f, h));
}

TEST(CollideAndSlide, AFaceTheBodyMovesAwayFromDoesNotThrowItForward)
{
    // A body sunk 0.002 into a floor rising off it while walking: the floor is not in its way, so it moves by its
    // own motion (a push-out lifts it onto the floor), not by twice that.
    SceneWithOctree scene(SceneBuilder().Floor(0.0f, -10.0f, -10.0f, 10.0f, 10.0f).Build());
    XCollision collision;
    const XVector3 end = collision.CollideAndSlide(
        scene.get(), Motion(XVector3(0.0f, 1.998f, 0.0f), XVector3(0.1f, 0.0015f, 0.0f)), kPlayerScale);
    EXPECT_NEAR(end.x, 0.1f, 1e-5f);
    EXPECT_EQ(collision.Slides(), 0);
    EXPECT_GE(end.y, 2.0f - 1e-4f);
}

TEST(CastSegment, FindsTheNearestFacingTriangle)
{
    SceneWithOctree scene(SceneBuilder()
                              .WallFacingMinusZ(8.0f, -10.0f, 10.0f, -10.0f, 10.0f)
                              .WallFacingMinusZ(5.0f, -10.0f, 10.0f, -10.0f, 10.0f)
                              .Build());
    XCollision collision;
    XContact contact;
    ASSERT_TRUE(collision.CastSegment(scene.get(), Motion(XVector3(1.0f, 2.0f, 0.0f), XVector3(0.0f, 0.0f, 10.0f)),
                                      kUnitScale, contact));
    EXPECT_NEAR(contact.point.z, 5.0f, 1e-6f);
    EXPECT_NEAR(contact.point.x, 1.0f, 1e-6f);
    EXPECT_NEAR(contact.normal.z, -1.0f, 1e-6f);
    EXPECT_NEAR(contact.distance, 5.0, 1e-6);
    EXPECT_NEAR(contact.triangle.vertex[0].z, 5.0f, 1e-6f) << "the hit triangle comes with the contact";
    EXPECT_EQ(contact.classification, 0);
}

TEST(CastSegment, IgnoresTrianglesSeenFromBehind)
{
    SceneWithOctree scene(SceneBuilder().WallFacingMinusZ(5.0f, -10.0f, 10.0f, -10.0f, 10.0f).Build());
    XCollision collision;
    XContact contact;
    EXPECT_FALSE(collision.CastSegment(scene.get(), Motion(XVector3(0.0f, 0.0f, 9.0f), XVector3(0.0f, 0.0f, -10.0f)),
                                       kUnitScale, contact));
}

TEST(CastSegment, HitsUpToTwiceTheLengthAheadAndNoneBehindTheStart)
{
    SceneWithOctree scene(SceneBuilder().WallFacingMinusZ(5.0f, -10.0f, 10.0f, -10.0f, 10.0f).Build());
    XCollision collision;
    XContact contact;
    auto cast = [&](float startZ, float length) {
        return collision.CastSegment(scene.get(), Motion(XVector3(0.0f, 0.0f, startZ), XVector3(0.0f, 0.0f, length)),
                                     kUnitScale, contact);
    };
    EXPECT_TRUE(cast(0.0f, 2.6f)) << "t = 1.92";
    EXPECT_FALSE(cast(0.0f, 2.4f)) << "t = 2.08";
    EXPECT_FALSE(cast(7.0f, 2.5f)) << "t = -0.8: the wall is behind the start";
    EXPECT_TRUE(cast(5.0f, 2.5f)) << "t = 0: a start on the wall hits it";
}

TEST(CastSegment, AShotAwayFromAThinWallAtTheShootersBackHitsTheWallAhead)
{
    // A wall 0.2 thick at the shooter's back: its far face looks away from the shooter, the way the shot goes.
    SceneWithOctree scene(SceneBuilder()
                              .WallFacingMinusZ(-0.2f, -10.0f, 10.0f, -10.0f, 10.0f)
                              .Quad(XVector3(-10.0f, -10.0f, 0.0f), XVector3(10.0f, -10.0f, 0.0f),
                                    XVector3(10.0f, 10.0f, 0.0f), XVector3(-10.0f, 10.0f, 0.0f))
                              .WallFacingMinusZ(30.0f, -10.0f, 10.0f, -10.0f, 10.0f)
                              .Build());
    XCollision collision;
    XContact contact;
    ASSERT_TRUE(collision.CastSegment(scene.get(), Motion(XVector3(0.0f, 0.0f, 0.9f), XVector3(0.0f, 0.0f, 200.0f)),
                                      kUnitScale, contact));
    EXPECT_NEAR(contact.point.z, 30.0f, 1e-4f);
}

TEST(SegmentBlocked, TouchingAnEndPointBlocksAndBackFacesBlockToo)
{
    SceneWithOctree scene(SceneBuilder().WallFacingMinusZ(5.0f, -10.0f, 10.0f, -10.0f, 10.0f).Build());
    XCollision collision;
    EXPECT_TRUE(collision.IsSegmentBlocked(scene.get(), XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 5.0f)));
    EXPECT_TRUE(collision.IsSegmentBlocked(scene.get(), XVector3(0.0f, 0.0f, 5.0f), XVector3(0.0f, 0.0f, 9.0f)));
    EXPECT_FALSE(collision.IsSegmentBlocked(scene.get(), XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 4.99f)));
    EXPECT_TRUE(collision.IsSegmentBlocked(scene.get(), XVector3(0.0f, 0.0f, 10.0f), XVector3(0.0f, 0.0f, 0.0f)));
    EXPECT_FALSE(collision.IsSegmentBlocked(scene.get(), XVector3(20.0f, 0.0f, 0.0f), XVector3(20.0f, 0.0f, 9.0f)))
        << "beside the wall";
}
