// The weapons as a player meets them, read from the trace of fixed-step runs (10 ms per frame, so frame N
// runs at game time (N - 1) * 10 until a pause shifts it): the gun's rate of fire, bullet holes and sparks,
// the rocket's flight, hit and explosion, the shared shot clock, the weapon switch, and the pause.
#include "WeaponLevels.h"

#include <gtest/gtest.h>

namespace {

constexpr float kNearWall = 10.25f; // between frame steps of the rocket, so no hit lands on a tie
constexpr float kFarWall = 20.25f;

// A rocket starts half a unit in front of the eye (z = 0.5), moves 0.05 units per ms (0.5 per frame) and
// looks 3 units ahead; the segment cast counts hits up to twice a segment's length ahead, so the rocket
// explodes in the first frame that brings its position within 6 units of the wall.
int RocketFramesToWall(float wallZ)
{
    int frames = 0;
    while (0.5f + 0.5f * static_cast<float>(frames) + 6.0f < wallZ) {
        ++frames;
    }
    return frames;
}

// Weapon 2 from frame 10 (Tab; it arrives at frame 41), then one click at `launch`.
std::string RocketScript(int launch)
{
    return Tap(10, "TAB") + Click(launch, "left");
}

} // namespace

TEST(GunFiring, HoldingTheButtonAgainstAWallGivesOneBulletHoleAndTwentySparksPerHundredMilliseconds)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(WallAhead(kNearWall)).Script("20 mouse down left\n").Frames(140).Run(directory);
    ASSERT_EQ(run.frames.size(), 140u);
    EXPECT_EQ(run.Frame(19).Int("decals"), 0);
    int shots = 0;
    int lastShotTime = -1;
    for (int n = 20; n <= 140; ++n) {
        const bool shotFrame = (n - 20) % 10 == 0;
        ASSERT_EQ(Rise(run, n, "decals"), shotFrame ? 1 : 0) << "frame " << n;
        // Sparks come 20 a shot and go 51 frames later (their age passes 500 ms in the 51st update).
        const bool sparksEnd = n - 51 >= 20 && (n - 51 - 20) % 10 == 0;
        ASSERT_EQ(Rise(run, n, "projectiles"), (shotFrame ? 20 : 0) - (sparksEnd ? 20 : 0)) << "frame " << n;
        if (shotFrame) {
            const int time = run.Frame(n).Int("time");
            if (lastShotTime >= 0) {
                EXPECT_EQ(time - lastShotTime, 100);
            }
            lastShotTime = time;
            ++shots;
        }
    }
    EXPECT_EQ(shots, 13);
    EXPECT_EQ(run.Frame(140).Int("decals"), 13);
    EXPECT_EQ(run.Frame(140).Int("rockets"), 0);
}

TEST(GunFiring, SparksLastFiveHundredMillisecondsOfFrameTime)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(WallAhead(kNearWall)).Script(Click(20, "left")).Frames(90).Run(directory);
    EXPECT_EQ(run.Frame(19).Int("projectiles"), 0);
    for (int n = 20; n <= 70; ++n) {
        ASSERT_EQ(run.Frame(n).Int("projectiles"), 20) << "frame " << n;
    }
    EXPECT_EQ(run.Frame(70).Int("time") - run.Frame(20).Int("time"), 500) << "aged exactly 500: still there";
    EXPECT_EQ(run.Frame(71).Int("projectiles"), 0);
    EXPECT_EQ(run.Frame(90).Int("decals"), 1) << "one click, one shot";
}

TEST(GunFiring, IntoOpenSpaceLeavesNoBulletHoleAndNoSparks)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(OpenSpace()).Script(LookUp(10) + "20 mouse down left\n").Frames(120).Run(directory);
    ASSERT_EQ(run.frames.size(), 120u);
    EXPECT_FLOAT_EQ(run.Frame(20).Number("pitch"), 20.0f);
    for (const TraceFrame& frame : run.frames) {
        ASSERT_EQ(frame.Int("decals"), 0);
        ASSERT_EQ(frame.Int("projectiles"), 0);
    }
}

// Decals age by the whole frame time of each drawn frame, not by game time: a pause, which stops the frame
// time but not the clock, lengthens their life by its own length.
TEST(GunFiring, BulletHolesGoOnceTheirFrameTimeAgePassesEightSeconds)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(WallAhead(kNearWall))
                                  .Script(Click(20, "left") + Tap(300, "SPACE") + Tap(400, "SPACE"))
                                  .Frames(960)
                                  .Run(directory);
    ASSERT_EQ(run.frames.size(), 960u);
    // The decal is made in frame 20 and aged by the decal pass of every frame from 20 on; the pass removes it
    // before drawing once its age is above 8000.
    int expectedGone = 0;
    int age = 0;
    for (int n = 20; n <= 960 && expectedGone == 0; ++n) {
        if (age > 8000) {
            expectedGone = n;
        }
        age += static_cast<int>(run.Frame(n).Number("dt"));
    }
    ASSERT_NE(expectedGone, 0);
    EXPECT_GT(expectedGone, 821 + 50) << "the pause of about 130 frames moved the end";
    int paused = 0;
    for (const TraceFrame& frame : run.frames) {
        paused += frame.Bool("paused") ? 1 : 0;
    }
    EXPECT_GT(paused, 100);
    EXPECT_EQ(run.Frame(expectedGone - 1).Int("decals"), 1);
    EXPECT_EQ(run.Frame(expectedGone).Int("decals"), 0);
}

TEST(GunFiring, ABulletHoleLastsEightHundredFramesOfTen)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(WallAhead(kNearWall)).Script(Click(20, "left")).Frames(830).Run(directory);
    ASSERT_EQ(run.frames.size(), 830u);
    EXPECT_EQ(run.Frame(20).Int("decals"), 1);
    EXPECT_EQ(run.Frame(820).Int("decals"), 1) << "8000 ms old when the pass checks it: not yet above";
    EXPECT_EQ(run.Frame(821).Int("decals"), 0);
}

TEST(RocketFlight, FliesFiftyUnitsPerSecondAndExplodesBeforeReachingTheWall)
{
    int flight[2] = {0, 0};
    const float walls[2] = {kNearWall, kFarWall};
    for (int i = 0; i < 2; ++i) {
        ScratchDirectory directory;
        const GameRunResult run = GameRun(WallAhead(walls[i])).Script(RocketScript(60)).Frames(120).Run(directory);
        ASSERT_EQ(run.frames.size(), 120u);
        EXPECT_EQ(run.Frame(59).Int("rockets"), 0);
        EXPECT_EQ(run.Frame(60).Int("rockets"), 1) << "launched in the frame of the click";
        const int hit = FirstFrame(run, 60, [](const TraceFrame& f) { return f.Int("explosions") > 0; });
        ASSERT_NE(hit, 0) << "wall at " << walls[i];
        flight[i] = hit - 60;
        for (int n = 60; n <= hit; ++n) {
            ASSERT_EQ(run.Frame(n).Int("rockets"), 1) << "flying (and, expired, still listed) in frame " << n;
        }
        EXPECT_EQ(run.Frame(hit + 1).Int("rockets"), 0) << "the expired rocket goes with the next update";
        EXPECT_EQ(flight[i], RocketFramesToWall(walls[i])) << "wall at " << walls[i];
        const float position = 0.5f + 0.5f * static_cast<float>(flight[i]);
        EXPECT_LT(position + 3.0f, walls[i]) << "its position is still more than the probe short of the wall";
    }
    // Ten more units of flight take twenty more frames of 10 ms: 50 units per second.
    EXPECT_EQ(flight[1] - flight[0], 20);
}

TEST(RocketFlight, TheHitAddsOneExplosionAHundredSparksAndAScorchAndEachEndsOnTime)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(WallAhead(kNearWall)).Script(RocketScript(60)).Frames(500).Run(directory);
    ASSERT_EQ(run.frames.size(), 500u);
    const int hit = FirstFrame(run, 60, [](const TraceFrame& f) { return f.Int("explosions") > 0; });
    ASSERT_NE(hit, 0);
    EXPECT_EQ(run.Frame(hit).Int("explosions"), 1);
    EXPECT_EQ(run.Frame(hit).Int("projectiles"), 101) << "the rocket and its 100 sparks";
    EXPECT_EQ(run.Frame(hit + 1).Int("projectiles"), 100);
    EXPECT_EQ(run.Frame(hit).Int("decals"), 1);
    // The explosion's sprite goes once its age reaches 390 ms, well before the glow's 500.
    EXPECT_EQ(run.Frame(hit + 38).Int("explosions"), 1);
    EXPECT_EQ(run.Frame(hit + 39).Int("explosions"), 0);
    EXPECT_EQ(run.Frame(hit + 50).Int("projectiles"), 100);
    EXPECT_EQ(run.Frame(hit + 51).Int("projectiles"), 0);
    // A scorch ages twice as fast as a bullet hole: gone after 4000 ms of frames.
    EXPECT_EQ(run.Frame(hit + 400).Int("decals"), 1);
    EXPECT_EQ(run.Frame(hit + 401).Int("decals"), 0);
}

TEST(RocketFlight, IntoOpenSpaceFliesFiveSecondsAndLeavesNothing)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(OpenSpace()).Script(LookUp(5) + RocketScript(60)).Frames(570).Run(directory);
    ASSERT_EQ(run.frames.size(), 570u);
    for (int n = 60; n <= 560; ++n) {
        ASSERT_EQ(run.Frame(n).Int("rockets"), 1) << "frame " << n;
    }
    EXPECT_EQ(run.Frame(560).Int("time") - run.Frame(60).Int("time"), 5000);
    EXPECT_EQ(run.Frame(561).Int("rockets"), 0) << "removed once its age passes 5000 ms";
    for (const TraceFrame& frame : run.frames) {
        ASSERT_EQ(frame.Int("explosions"), 0);
        ASSERT_EQ(frame.Int("decals"), 0);
        ASSERT_EQ(frame.Int("projectiles"), frame.Int("rockets"));
    }
}

TEST(ShotClock, AfterAGunShotARocketWaitsThreeHundredMilliseconds)
{
    ScratchDirectory directory;
    // The gun fires at frame 20 (190 ms). Tab at 21 lowers the gun; releasing the button at 22 sends the model
    // back to rest over 200 ms, and that arrival completes the switch early, at the first tick after 410 ms.
    const GameRunResult run =
        GameRun(WallAhead(kNearWall))
            .Script("20 mouse down left\n" + Tap(21, "TAB") + "22 mouse up left\n44 mouse down left\n")
            .Frames(70)
            .Run(directory);
    ASSERT_EQ(run.frames.size(), 70u);
    EXPECT_EQ(run.Frame(20).Int("decals"), 1);
    const int arrived = FirstFrame(run, 21, [](const TraceFrame& f) { return f.Int("weapon") == 2; });
    ASSERT_EQ(arrived, 43);
    EXPECT_FALSE(run.Frame(43).Bool("switching"));
    const int launch = FirstFrame(run, 21, [](const TraceFrame& f) { return f.Int("rockets") > 0; });
    EXPECT_EQ(launch, 50);
    EXPECT_EQ(run.Frame(launch).Int("time") - run.Frame(20).Int("time"), 300);
}

TEST(ShotClock, AfterARocketTheGunHeldThroughTheSwitchBackFiresAsSoonAsItIsUp)
{
    ScratchDirectory directory;
    // Weapon 2 from frame 41. Shift at 40 starts the zoom, which arrives at the first tick after 590 ms (frame
    // 61) and has nothing to do with the weapons. The rocket goes at 55 (540 ms); Tab at 56 (550 ms) lowers
    // the launcher, and the gun arrives at the first tick after 850 ms. By then the 100 ms the gun waits after
    // a rocket are long over: the held button fires at once.
    const GameRunResult run = GameRun(WallAhead(kFarWall))
                                  .Script(Tap(10, "TAB") + "40 key down SHIFT\n55 mouse down left\n" + Tap(56, "TAB"))
                                  .Frames(95)
                                  .Run(directory);
    ASSERT_EQ(run.frames.size(), 95u);
    EXPECT_EQ(run.Frame(55).Int("rockets"), 1);
    EXPECT_FLOAT_EQ(static_cast<float>(run.Frame(61).Number("zoom")), 10.0f);
    const int arrived = FirstFrame(run, 56, [](const TraceFrame& f) { return f.Int("weapon") == 1; });
    ASSERT_EQ(arrived, 87);
    EXPECT_FALSE(run.Frame(87).Bool("switching"));
    const int shot = FirstFrame(run, 56, [](const TraceFrame& f) { return f.Int("decals") > 1; });
    EXPECT_EQ(shot, arrived) << "the bullet hole beside the rocket's scorch";
    EXPECT_EQ(run.Frame(shot).Int("time") - run.Frame(55).Int("time"), 320);
}

TEST(WeaponSwitch, TabStopsTheGunUntilTheLauncherHasArrivedThenItFiresAtOnce)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(WallAhead(kFarWall)).Script("20 mouse down left\n" + Tap(45, "TAB")).Frames(90).Run(directory);
    ASSERT_EQ(run.frames.size(), 90u);
    EXPECT_EQ(run.Frame(44).Int("decals"), 3) << "shots at 20, 30 and 40";
    // Tab at 440 ms: the gun slides down for 300 ms; the launcher arrives at the first tick after 740 ms.
    for (int n = 45; n <= 75; ++n) {
        ASSERT_TRUE(run.Frame(n).Bool("switching")) << "frame " << n;
        ASSERT_EQ(run.Frame(n).Int("weapon"), 1);
        ASSERT_EQ(run.Frame(n).Int("decals"), 3) << "no shot while switching, frame " << n;
        ASSERT_EQ(run.Frame(n).Int("rockets"), 0);
    }
    EXPECT_EQ(run.Frame(76).Int("weapon"), 2);
    EXPECT_FALSE(run.Frame(76).Bool("switching"));
    EXPECT_EQ(run.Frame(76).Int("rockets"), 1) << "the held button fires as soon as the launcher is up";
}

TEST(WeaponSwitch, AZoomEndingDuringTheSwitchLeavesItRunning)
{
    ScratchDirectory directory;
    // Tab at frame 10 (90 ms): the gun slides down until 390 ms and the launcher comes at the first tick
    // after it. Shift at 12 (110 ms) zooms in until 310 ms: its arrival is the zoom's, not the switch's.
    const GameRunResult run = GameRun(FlatGround()).Script(Tap(10, "TAB") + "12 key down SHIFT\n").Frames(50).Run(directory);
    ASSERT_EQ(run.frames.size(), 50u);
    EXPECT_FLOAT_EQ(static_cast<float>(run.Frame(33).Number("zoom")), 10.0f) << "the zoom has arrived";
    for (int n = 10; n <= 40; ++n) {
        ASSERT_TRUE(run.Frame(n).Bool("switching")) << "frame " << n;
        ASSERT_EQ(run.Frame(n).Int("weapon"), 1) << "frame " << n;
    }
    EXPECT_EQ(run.Frame(41).Int("weapon"), 2);
    EXPECT_FALSE(run.Frame(41).Bool("switching"));
}

TEST(WeaponPause, NothingFiresJumpsOrMovesWhilePaused)
{
    ScratchDirectory directory;
    // A rocket at 60, pause at 63; buttons held and released inside the pause; Space again at 120 starts the
    // panel's slide out, and play resumes when it arrives.
    const GameRunResult run = GameRun(WallAhead(kNearWall))
                                  .Script(RocketScript(60) + Tap(63, "SPACE") +
                                          "70 mouse down left\n70 mouse down right\n100 mouse up left\n"
                                          "100 mouse up right\n" +
                                          Tap(120, "SPACE"))
                                  .Frames(220)
                                  .Run(directory);
    ASSERT_EQ(run.frames.size(), 220u);
    const int resumed = FirstFrame(run, 64, [](const TraceFrame& f) { return !f.Bool("paused"); });
    ASSERT_GT(resumed, 150);
    const float eyeY = static_cast<float>(run.Frame(62).Vector("eye").y);
    for (int n = 63; n < resumed; ++n) {
        const TraceFrame& frame = run.Frame(n);
        ASSERT_TRUE(frame.Bool("paused"));
        ASSERT_EQ(frame.Number("dt"), 0.0) << "frame " << n;
        ASSERT_EQ(frame.Int("rockets"), 1) << "one rocket, standing still, frame " << n;
        ASSERT_EQ(frame.Int("projectiles"), 1);
        ASSERT_EQ(frame.Int("explosions"), 0);
        ASSERT_EQ(frame.Int("decals"), 0);
        ASSERT_FLOAT_EQ(static_cast<float>(frame.Vector("eye").y), eyeY) << "no jump, frame " << n;
    }
    // The rocket flies on after the pause: it hits after the same number of moving frames as without one.
    const int hit = FirstFrame(run, 60, [](const TraceFrame& f) { return f.Int("explosions") > 0; });
    ASSERT_NE(hit, 0);
    int movingFrames = 0;
    for (int n = 61; n <= hit; ++n) {
        movingFrames += run.Frame(n).Number("dt") > 0.0 ? 1 : 0;
    }
    EXPECT_EQ(movingFrames, RocketFramesToWall(kNearWall));
    EXPECT_EQ(run.Frame(220).Int("rockets"), 0);
    EXPECT_EQ(run.Frame(220).Int("decals"), 1) << "only the rocket's scorch: the clicks in the pause fired nothing";
}

TEST(WeaponPause, TheGunHeldThroughAPauseStopsAndGoesOnAfterIt)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(WallAhead(kNearWall))
                                  .Script("20 mouse down left\n" + Tap(45, "SPACE") + Tap(80, "SPACE"))
                                  .Frames(160)
                                  .Run(directory);
    ASSERT_EQ(run.frames.size(), 160u);
    const int resumed = FirstFrame(run, 46, [](const TraceFrame& f) { return !f.Bool("paused"); });
    ASSERT_NE(resumed, 0);
    const int before = run.Frame(44).Int("decals");
    EXPECT_EQ(before, 3);
    for (int n = 45; n < resumed; ++n) {
        ASSERT_EQ(run.Frame(n).Int("decals"), before) << "frame " << n;
        ASSERT_EQ(run.Frame(n).Int("projectiles"), run.Frame(44).Int("projectiles")) << "sparks hang still";
    }
    EXPECT_GT(run.Frame(160).Int("decals"), before) << "the held button fires again after the pause";
}
