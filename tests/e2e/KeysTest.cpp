// The keys and the mouse as a player uses them: pause panel and clock, zoom, look, toggles, weapon switch,
// quitting. Fixed step 10 ms: frame N runs at game time (N - 1) * 10 until a pause shifts it.
#include "GameRun.h"

#include <gtest/gtest.h>

#include <string>

TEST(KeysPause, SpaceOpensThePanelStopsPlayAndF8AndF3WaitWhileF4StillCycles)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("60 key down SPACE\n61 key up SPACE\n70 key down F8\n71 key up F8\n"
                                          "72 key down F4\n73 key up F4\n74 key down F3\n75 key up F3\n"
                                          "76 key down F\n77 key up F\n")
                                  .Frames(120)
                                  .Run(directory);
    EXPECT_FALSE(run.Frame(59).Bool("paused"));
    EXPECT_TRUE(run.Frame(60).Bool("paused"));
    EXPECT_EQ(run.Frame(59).Number("dt"), 10.0);
    EXPECT_EQ(run.Frame(60).Number("dt"), 0.0) << "frame time is 0 from the frame the pause began";
    EXPECT_EQ(run.Frame(120).Vector("pos").x, run.Frame(59).Vector("pos").x) << "F8 does nothing while paused";
    EXPECT_EQ(run.Frame(120).Int("triangleMode"), 1) << "F4 still cycles";
    EXPECT_FALSE(run.Frame(120).Bool("octreeBoxes"));
    EXPECT_FALSE(run.Frame(120).Bool("fly"));
    // The panel slides in from 500 to 75 over 300 ms of (still running) game time.
    EXPECT_FLOAT_EQ(run.Frame(60).Number("panelY"), 500.0f);
    EXPECT_NEAR(run.Frame(75).Number("panelY"), 500.0 - 425.0 * 150.0 / 300.0, 1e-3);
    EXPECT_FLOAT_EQ(run.Frame(100).Number("panelY"), 75.0f);
}

TEST(KeysPause, SpaceTwiceReversesThePanelAndPlayResumes300MsAfterTheSecondPress)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("10 key down SPACE\n11 key up SPACE\n15 key down SPACE\n16 key up SPACE\n")
                                  .Frames(80)
                                  .Run(directory);
    // Paused at game time 90 (frame 10 starts at 90); the second press at 140 starts the slide out.
    const float panelAtSecondPress = static_cast<float>(run.Frame(15).Number("panelY"));
    EXPECT_GT(panelAtSecondPress, 75.0f);
    EXPECT_LT(panelAtSecondPress, 500.0f);
    EXPECT_GT(run.Frame(20).Number("panelY"), panelAtSecondPress) << "the panel turns back towards 500";
    EXPECT_TRUE(run.Frame(45).Bool("paused"));
    EXPECT_EQ(run.Frame(45).Int("time"), 440);
    EXPECT_FALSE(run.Frame(46).Bool("paused")) << "resumed at the first tick after 140 + 300";
    EXPECT_EQ(run.Frame(46).Int("time"), 90) << "game time steps back to the moment of the pause";
    EXPECT_FLOAT_EQ(run.Frame(46).Number("panelY"), 500.0f);
    EXPECT_EQ(run.Frame(47).Number("dt"), 10.0);
}

TEST(KeysPause, F1OpensTheHelpOnThePanelAndClosesItWithThePanel)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("10 key down F1\n11 key up F1\n12 key down F12\n13 key up F12\n"
                                          "50 key down F1\n51 key up F1\n")
                                  .Frames(100)
                                  .Run(directory);
    EXPECT_TRUE(run.Frame(10).Bool("helpShown"));
    EXPECT_TRUE(run.Frame(10).Bool("paused"));
    EXPECT_FALSE(run.Frame(12).Bool("debugInfo")) << "F12 waits while paused";
    EXPECT_TRUE(run.Frame(80).Bool("helpShown")) << "shown until the panel has slid out";
    EXPECT_FALSE(run.Frame(90).Bool("helpShown"));
    EXPECT_FALSE(run.Frame(90).Bool("paused"));
}

// Keys that change hands during a pause: Space at frame 40 (390 ms) pauses, Space at 60 (590 ms) starts the
// panel's slide out, and play resumes at frame 91, the first tick after 890 ms.
namespace {
const char* const kPauseFrom40To91 = "40 key down SPACE\n41 key up SPACE\n60 key down SPACE\n61 key up SPACE\n";
} // namespace

TEST(KeysPause, TheSpotlightAndTheZoomFollowKeysReleasedDuringThePause)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround())
                                  .Script(std::string("10 key down CONTROL\n10 key down SHIFT\n") + kPauseFrom40To91 +
                                          "50 key up CONTROL\n50 key up SHIFT\n")
                                  .Frames(120)
                                  .Run(directory);
    ASSERT_TRUE(run.Frame(90).Bool("paused"));
    ASSERT_FALSE(run.Frame(91).Bool("paused"));
    EXPECT_TRUE(run.Frame(90).Bool("spotlight")) << "the panel still shows the spotlit scene";
    EXPECT_FALSE(run.Frame(91).Bool("spotlight")) << "Ctrl is up when play resumes";
    EXPECT_FLOAT_EQ(static_cast<float>(run.Frame(90).Number("zoom")), 10.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(run.Frame(120).Number("zoom")), 1.0f) << "Shift is up: the zoom goes back";
}

TEST(KeysPause, AnArrowReleasedDuringThePauseNoLongerPushesAfterIt)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround())
                                  .Script(std::string("10 key down UP\n") + kPauseFrom40To91 + "50 key up UP\n")
                                  .Frames(95)
                                  .Run(directory);
    ASSERT_FALSE(run.Frame(91).Bool("paused"));
    const XVector3 before = run.Frame(90).Vector("vel");
    const XVector3 after = run.Frame(91).Vector("vel");
    ASSERT_FLOAT_EQ(before.z, 2.0f) << "walking at top speed when the pause began";
    EXPECT_FLOAT_EQ(after.z, before.z * 0.9f) << "only friction acts: the arrow is up";
}

TEST(KeysZoom, ShiftZoomsToTenTimesOver200MsAndBackOnRelease)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(FlatGround()).Script("20 key down SHIFT\n60 key up SHIFT\n").Frames(100).Run(directory);
    // Started at game time 190: 100 ms later half way from 1 to 10.
    EXPECT_NEAR(run.Frame(30).Number("zoom"), 5.5, 1e-4);
    EXPECT_FLOAT_EQ(run.Frame(50).Number("zoom"), 10.0f);
    EXPECT_NEAR(run.Frame(70).Number("zoom"), 5.5, 1e-4);
    EXPECT_FLOAT_EQ(run.Frame(90).Number("zoom"), 1.0f);
}

TEST(KeysLook, MouseMotionTurnsTheViewTenPixelsPerDegreeSlowedByTheZoom)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("10 mouse move 50 -30\n20 key down SHIFT\n50 mouse move 50 0\n"
                                          "55 key up SHIFT\n80 mouse move 0 -2000\n")
                                  .Frames(85)
                                  .Run(directory);
    EXPECT_FLOAT_EQ(run.Frame(10).Number("yaw"), -5.0f);
    EXPECT_FLOAT_EQ(run.Frame(10).Number("pitch"), 3.0f);
    EXPECT_FLOAT_EQ(run.Frame(50).Number("yaw"), -5.5f) << "at zoom 10 the same motion turns a tenth as far";
    EXPECT_FLOAT_EQ(run.Frame(80).Number("pitch"), 80.0f) << "pitch stops at 80 degrees";
}

TEST(KeysToggles, ControlHoldsTheSpotlightAndTheFunctionKeysToggle)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("10 key down CONTROL\n20 key up CONTROL\n30 key down F3\n31 key up F3\n"
                                          "32 key down F12\n33 key up F12\n34 key down F\n35 key up F\n"
                                          "36 key down F4\n37 key up F4\n38 key down F4\n39 key up F4\n"
                                          "40 key down F4\n41 key up F4\n")
                                  .Frames(45)
                                  .Run(directory);
    EXPECT_TRUE(run.Frame(15).Bool("spotlight"));
    EXPECT_FALSE(run.Frame(25).Bool("spotlight"));
    EXPECT_TRUE(run.Frame(45).Bool("octreeBoxes"));
    EXPECT_TRUE(run.Frame(45).Bool("debugInfo"));
    EXPECT_TRUE(run.Frame(45).Bool("fly"));
    EXPECT_EQ(run.Frame(37).Int("triangleMode"), 1);
    EXPECT_EQ(run.Frame(39).Int("triangleMode"), 2);
    EXPECT_EQ(run.Frame(41).Int("triangleMode"), 0);
}

TEST(KeysWeapons, TabSlidesTheWeaponDownAndUpAndSwitchesOnArrival)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround()).Script("10 key down TAB\n11 key up TAB\n").Frames(100).Run(directory);
    EXPECT_EQ(run.Frame(9).Int("weapon"), 1);
    EXPECT_TRUE(run.Frame(10).Bool("switching"));
    EXPECT_EQ(run.Frame(39).Int("weapon"), 1) << "300 ms down first";
    EXPECT_EQ(run.Frame(41).Int("weapon"), 2);
    EXPECT_FALSE(run.Frame(41).Bool("switching"));
}

TEST(KeysQuit, EscapeEndsTheRunAfterThatFrame)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(FlatGround()).Script("7 key down ESCAPE\n").Frames(100).Run(directory);
    EXPECT_EQ(run.frames.size(), 7u);
}
