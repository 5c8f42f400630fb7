// The player as a player feels it: standing, walking, running into walls, jumping, flying, sliding — measured
// from the trace of fixed-step runs (10 ms per frame) on small test levels.
#include "GameRun.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

float HorizontalSpeed(const XVector3& v)
{
    return std::sqrt(v.x * v.x + v.z * v.z);
}

} // namespace

TEST(PlayerStanding, FallsFromTheSpawnAndStandsStillOnFlatGround)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround()).Frames(120).Run(directory);
    ASSERT_EQ(run.frames.size(), 120u);
    const XVector3 start = run.Frame(1).Vector("pos");
    EXPECT_FLOAT_EQ(start.y, 3.0f) << "the player starts at (0, 3, 0)";
    for (int n = 60; n <= 120; ++n) {
        const TraceFrame& frame = run.Frame(n);
        EXPECT_FALSE(frame.Bool("airborne")) << "frame " << n;
        EXPECT_TRUE(frame.Bool("onFloor")) << "frame " << n;
        EXPECT_NEAR(frame.Vector("pos").y, 2.0f, 1e-3f) << "the body's centre stands its half-height above the floor";
        EXPECT_EQ(frame.Vector("vel").y, 0.0f) << "the floor contact zeroes the vertical speed";
    }
    EXPECT_NEAR(run.Frame(120).Vector("eye").y, 3.0f, 1e-3f);
}

TEST(PlayerWalking, UpArrowReachesTwoUnitsPerStepTenUnitsPerSecond)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround()).Script("50 key down UP\n").Frames(150).Run(directory);
    ASSERT_EQ(run.frames.size(), 150u);
    EXPECT_NEAR(HorizontalSpeed(run.Frame(120).Vector("vel")), 2.0f, 1e-6f);
    const float travelled = run.Frame(150).Vector("pos").z - run.Frame(130).Vector("pos").z;
    EXPECT_NEAR(travelled / 0.2f, 10.0f, 1e-3f) << "units per second";
    EXPECT_NEAR(run.Frame(150).Vector("pos").x, 0.0f, 1e-4f) << "yaw 0 walks along +z";
}

TEST(PlayerWalking, HoldingRWalksAtAQuarterOfTheSpeed)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(FlatGround()).Script("50 key down R\n50 key down UP\n").Frames(150).Run(directory);
    const float travelled = run.Frame(150).Vector("pos").z - run.Frame(130).Vector("pos").z;
    EXPECT_NEAR(travelled / 0.2f, 2.5f, 1e-3f);
}

TEST(PlayerWalking, ReleasingTheKeyLetsFrictionStopThePlayer)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(FlatGround()).Script("50 key down UP\n100 key up UP\n").Frames(200).Run(directory);
    EXPECT_LT(HorizontalSpeed(run.Frame(200).Vector("vel")), 0.01f);
    EXPECT_NEAR(run.Frame(200).Vector("pos").z, run.Frame(199).Vector("pos").z, 1e-3f);
}

TEST(PlayerFlying, FlyModeMovesTwentyUnitsPerSecondAlongTheViewWithoutGravity)
{
    ScratchDirectory directory;
    // Look up a little (mouse moves need a running clock, so they come after frame 1).
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("10 key down F\n11 key up F\n20 mouse move 0 -200\n30 key down UP\n")
                                  .Frames(80)
                                  .Run(directory);
    EXPECT_TRUE(run.Frame(40).Bool("fly"));
    EXPECT_FLOAT_EQ(run.Frame(40).Number("pitch"), 20.0f);
    const XVector3 a = run.Frame(50).Vector("pos");
    const XVector3 b = run.Frame(70).Vector("pos");
    EXPECT_NEAR(Distance(a, b) / 0.2f, 20.0f, 1e-3f);
    EXPECT_GT(b.y, a.y) << "along the full view direction, pitch included";
}

TEST(PlayerFrameTime, AThreeHundredMillisecondFrameMovesNothingAndTwoNinetyNineDoes)
{
    ScratchDirectory still;
    const GameRunResult skipped = GameRun(FlatGround()).Step("300").Frames(10).Run(still);
    EXPECT_EQ(skipped.Frame(10).Vector("pos").y, 3.0f) << "walk physics skips frames of 300 ms";
    ScratchDirectory moving;
    const GameRunResult moved = GameRun(FlatGround()).Step("299").Frames(10).Run(moving);
    EXPECT_LT(moved.Frame(10).Vector("pos").y, 3.0f);
}

TEST(PlayerWalls, WalkingIntoAWallStopsTenEleventhsInFrontAndSlidesAlongIt)
{
    TestLevel level = FlatGround();
    level.WallFacingMinusZ(10.0f, -50.0f, 50.0f, 0.0f, 10.0f);
    ScratchDirectory directory;
    // Turn a little to the left (yaw +10 degrees): the walk runs into the wall at an angle.
    const GameRunResult run =
        GameRun(level).Script("20 mouse move -100 0\n30 key down UP\n").Frames(400).Run(directory);
    const XVector3 end = run.Frame(400).Vector("pos");
    EXPECT_NEAR(end.z, 10.0f - 10.0f / 11.0f, 1e-3f);
    const XVector3 before = run.Frame(390).Vector("pos");
    EXPECT_GT(end.x - before.x, 0.01f) << "the component along the wall keeps moving the player";
    for (const TraceFrame& frame : run.frames) {
        ASSERT_LT(frame.Vector("pos").z, 10.0f) << "never through the wall";
    }
}

TEST(PlayerJumping, AJumpRisesAtMostThreeUnitsPerStepAndLandsAgain)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(FlatGround()).Script("60 mouse down right\n61 mouse up right\n").Frames(250).Run(directory);
    float highest = 0.0f;
    for (int n = 61; n <= 250; ++n) {
        const float rise = run.Frame(n).Vector("pos").y - run.Frame(n - 1).Vector("pos").y;
        EXPECT_LE(rise, 3.0f * 10.0f / 200.0f + 1e-4f) << "frame " << n;
        highest = std::max(highest, run.Frame(n).Vector("pos").y);
    }
    EXPECT_TRUE(run.Frame(62).Bool("airborne"));
    EXPECT_GT(highest, 4.5f) << "a jump lifts the body more than two and a half units";
    EXPECT_LT(highest, 6.0f);
    EXPECT_FALSE(run.Frame(250).Bool("airborne"));
    EXPECT_NEAR(run.Frame(250).Vector("pos").y, 2.0f, 1e-3f);
}

TEST(PlayerJumping, ALowCeilingStopsTheRiseAndZeroesTheVerticalSpeed)
{
    TestLevel level = FlatGround();
    level.Ceiling(5.0f, -50.0f, -50.0f, 50.0f, 50.0f);
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(level).Script("60 mouse down right\n61 mouse up right\n").Frames(200).Run(directory);
    int contactFrame = 0;
    for (int n = 61; n <= 200 && contactFrame == 0; ++n) {
        if (run.Frame(n).Bool("onCeiling")) {
            contactFrame = n;
        }
    }
    ASSERT_NE(contactFrame, 0) << "the head meets the ceiling";
    EXPECT_EQ(run.Frame(contactFrame).Vector("vel").y, 0.0f);
    for (const TraceFrame& frame : run.frames) {
        ASSERT_LE(frame.Vector("pos").y, 3.0f + 1e-3f) << "the top of the body stays below the ceiling";
    }
    EXPECT_NEAR(run.Frame(200).Vector("pos").y, 2.0f, 1e-3f);
}

// The collision classifies triangles in the space stretched by the player's scale (11, 5, 11), where slopes
// look flatter: a world slope is a floor for the player up to atan(2.2) = 65.6 degrees, and walking pushes the
// player up slopes of up to about 73 degrees.
TestLevel SlopeLevel(float degrees, float footZ)
{
    TestLevel level;
    const float rise = std::tan(degrees * 3.14159265f / 180.0f);
    level.Floor(0.0f, -20.0f, footZ, 20.0f, 30.0f);
    level.Quad(XVector3(-20.0f, 0.0f, footZ), XVector3(20.0f, 0.0f, footZ),
               XVector3(20.0f, 10.0f * rise, footZ - 10.0f), XVector3(-20.0f, 10.0f * rise, footZ - 10.0f));
    return level;
}

TEST(PlayerSlopes, AFiftyDegreeSlopeIsStillAFloorAtThePlayersScale)
{
    ScratchDirectory directory;
    // F8 drops the player at (1, 5, -1), over the slope.
    const GameRunResult run =
        GameRun(SlopeLevel(50.0f, 1.0f)).Script("20 key down F8\n21 key up F8\n").Frames(200).Run(directory);
    EXPECT_TRUE(run.Frame(200).Bool("onFloor"));
    EXPECT_FALSE(run.Frame(200).Bool("airborne"));
    // The constant push into the ground lets the player creep down a floor slope, slowly.
    EXPECT_LT(std::fabs(run.Frame(200).Vector("pos").z - run.Frame(150).Vector("pos").z), 0.1f);
}

TEST(PlayerSlopes, ASeventyFiveDegreeSlopeCannotBeClimbedAndDropsThePlayerToItsFoot)
{
    ScratchDirectory walking;
    // The slope rises towards -z from z = -1.5; walking backwards from the spawn meets it.
    const GameRunResult walk =
        GameRun(SlopeLevel(75.0f, -1.5f)).Script("30 key down DOWN\n").Frames(300).Run(walking);
    EXPECT_LT(walk.Frame(300).Vector("pos").y, 3.0f);
    EXPECT_GT(walk.Frame(300).Vector("pos").z, -3.0f);

    ScratchDirectory dropped;
    const GameRunResult drop =
        GameRun(SlopeLevel(75.0f, -0.3f)).Script("20 key down F8\n21 key up F8\n").Frames(300).Run(dropped);
    EXPECT_NEAR(drop.Frame(20).Vector("pos").x, 1.0f, 1e-4f);
    bool slidOnTheWall = false;
    for (int n = 21; n <= 300; ++n) {
        slidOnTheWall = slidOnTheWall || (drop.Frame(n).Int("slides") > 0 && !drop.Frame(n).Bool("onFloor"));
    }
    EXPECT_TRUE(slidOnTheWall) << "the slope is a wall for the player";
    const XVector3 end = drop.Frame(300).Vector("pos");
    EXPECT_GT(end.z, -1.0f) << "slid down towards the foot";
    EXPECT_NEAR(end.y, 2.0f, 1e-2f) << "and stands on the flat ground";
    EXPECT_FALSE(drop.Frame(300).Bool("airborne"));
}

TEST(PlayerSteps, LowStepsAreClimbedByWalking)
{
    TestLevel level = FlatGround();
    // A step 0.3 high and 1 deep at z = 5, then a raised floor.
    level.Quad(XVector3(-10.0f, 0.0f, 5.0f), XVector3(-10.0f, 0.3f, 5.0f), XVector3(10.0f, 0.3f, 5.0f),
               XVector3(10.0f, 0.0f, 5.0f));
    level.Floor(0.3f, -10.0f, 5.0f, 10.0f, 30.0f);
    ScratchDirectory directory;
    const GameRunResult run = GameRun(level).Script("30 key down UP\n").Frames(250).Run(directory);
    const XVector3 end = run.Frame(250).Vector("pos");
    EXPECT_GT(end.z, 8.0f) << "the player got past the step";
    EXPECT_NEAR(end.y, 2.3f, 0.05f) << "and stands on the raised floor";
}

TEST(PlayerWalking, AWorldTooLargeForOneMeshIsWalkedOnAndDrawnWholeAcrossItsParts)
{
    // 112 x 112 tiles: 50,176 vertices, more than one mesh holds, in three parts cut along z (rows of tiles
    // in turn). The player starts over the second part and walks into the third.
    TestLevel level;
    for (int row = 0; row < 112; ++row) {
        for (int column = 0; column < 112; ++column) {
            const float x = static_cast<float>(column) - 56.0f;
            const float z = static_cast<float>(row) - 56.0f;
            level.Floor(0.0f, x, z, x + 1.0f, z + 1.0f);
        }
    }
    level.InParts(5000); // rows 0..44, 44..89, 89..111: the parts meet at z -11.4 and 33.3
    ScratchDirectory directory;
    const GameRunResult run = GameRun(level).Script("50 key down UP\n").Frames(520).Run(directory);
    ASSERT_EQ(run.frames.size(), 520u);
    for (const TraceFrame& frame : run.frames) {
        ASSERT_GT(frame.Vector("pos").y, 1.99f) << "frame " << frame.Int("frame") << ": fell through";
    }
    EXPECT_EQ(run.frames.back().Int("drawnTriangles"), 2 * 112 * 112) << "every part is drawn";
    EXPECT_GT(run.frames.back().Vector("pos").z, 40.0f) << "walked onto the third part";
}
