// Walks through the default level from the spawn: up the stairs and up the ramp to the gallery, into the
// courtyard, and down the steep slope from the terrace — checking that the player gets there and never falls
// through a floor.
#include "GameRun.h"
#include "WalkScript.h"

#include <gtest/gtest.h>

namespace {

GameRunResult WalkDefaultLevel(const ScratchDirectory& directory, const WalkScript& walk)
{
    ProgramRun run;
    run.workingDirectory = directory.Path();
    directory.Write("walk.txt", walk.Text());
    run.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--fixed-step", "10", "--frames",
                     std::to_string(walk.EndFrame()), "--script", "walk.txt", "--trace", "trace.jsonl",
                     "--fast-forward"};
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    run.timeLimitSeconds = 300.0;
    GameRunResult result;
    result.program = run.Run();
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    result.frames = ReadTrace(directory.Path() / "trace.jsonl");
    return result;
}

// No frame finds the player's centre below the lowest floor's standing height.
void ExpectNeverBelowTheFloor(const GameRunResult& run)
{
    for (const TraceFrame& frame : run.frames) {
        ASSERT_GT(frame.Vector("pos").y, 1.9f) << "frame " << frame.Int("frame");
    }
}

} // namespace

TEST(DefaultLevelWalks, UpTheStairsToTheGallery)
{
    ScratchDirectory directory;
    WalkScript walk(0.0f, 0.0f, 40);
    walk.To(-15.5f, 0.0f).To(-15.5f, 44.0f);
    const GameRunResult run = WalkDefaultLevel(directory, walk);
    ASSERT_FALSE(run.frames.empty());
    const XVector3 end = run.frames.back().Vector("pos");
    EXPECT_GT(end.z, 40.5f);
    EXPECT_NEAR(end.y, 10.0f, 0.1f) << "standing on the gallery, 8 units up";
    ExpectNeverBelowTheFloor(run);
}

TEST(DefaultLevelWalks, UpTheRampToTheGallery)
{
    ScratchDirectory directory;
    WalkScript walk(0.0f, 0.0f, 40);
    walk.To(15.5f, 0.0f).To(15.5f, 44.0f);
    const GameRunResult run = WalkDefaultLevel(directory, walk);
    ASSERT_FALSE(run.frames.empty());
    const XVector3 end = run.frames.back().Vector("pos");
    EXPECT_GT(end.z, 40.5f);
    EXPECT_NEAR(end.y, 10.0f, 0.1f);
    ExpectNeverBelowTheFloor(run);
}

TEST(DefaultLevelWalks, IntoTheCourtyard)
{
    ScratchDirectory directory;
    WalkScript walk(0.0f, 0.0f, 40);
    walk.To(11.0f, 0.0f).To(11.0f, 14.0f).To(34.0f, 14.0f).To(34.0f, 24.0f);
    const GameRunResult run = WalkDefaultLevel(directory, walk);
    ASSERT_FALSE(run.frames.empty());
    const XVector3 end = run.frames.back().Vector("pos");
    EXPECT_GT(end.x, 30.0f) << "past the arch at x 25..26";
    EXPECT_GT(end.z, 20.0f) << "out of the colonnade, under the open sky";
    EXPECT_NEAR(end.y, 2.0f, 0.1f);
    ExpectNeverBelowTheFloor(run);
}

TEST(DefaultLevelWalks, DownTheSteepSlopeFromTheTerrace)
{
    ScratchDirectory directory;
    WalkScript walk(0.0f, 0.0f, 40);
    // Up the ramp, through the upper corridor and the low room, along the terrace corridor to the terrace,
    // then over its edge onto the steep slope.
    walk.To(15.5f, 0.0f).To(15.5f, 44.0f).To(0.0f, 46.0f).To(0.0f, 66.0f).To(28.0f, 66.0f).To(46.0f, 60.0f);
    walk.To(46.0f, 49.0f);
    const GameRunResult run = WalkDefaultLevel(directory, walk);
    ASSERT_FALSE(run.frames.empty());
    bool onTheTerrace = false;
    bool slid = false;
    for (const TraceFrame& frame : run.frames) {
        const XVector3 p = frame.Vector("pos");
        onTheTerrace = onTheTerrace || (p.x > 30.0f && std::fabs(p.y - 10.0f) < 0.2f && p.z > 56.0f);
        slid = slid || (onTheTerrace && p.z < 56.0f && p.y < 9.0f && p.y > 2.5f && frame.Bool("airborne"));
    }
    EXPECT_TRUE(onTheTerrace) << "reached the terrace";
    EXPECT_TRUE(slid) << "went down the slope in the air, not standing on it";
    const XVector3 end = run.frames.back().Vector("pos");
    EXPECT_NEAR(end.y, 2.0f, 0.1f) << "down on the courtyard floor";
    EXPECT_LT(end.z, 53.0f);
    ExpectNeverBelowTheFloor(run);
}
