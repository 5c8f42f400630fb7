// The weapons' sounds, heard through SDL's disk audio driver, which writes the mixed output (16-bit samples)
// to a file in real time. The fixed step makes the game's frames exact but not their pace, so the checks
// compare whole runs: each run leaves out of its archive every sound but the one under test (the background
// loop too), so that any sound in the output is that one's and a run without it is exact silence.
#include "WeaponLevels.h"

#include <gtest/gtest.h>

#include <algorithm> // std::max
#include <cstdint>   // int16_t, uint8_t, INT16_MAX
#include <cstdlib>   // std::abs
#include <cstdio>    // std::printf
#include <initializer_list>
#include <string>
#include <vector>

namespace {

const char* const kSounds[] = {"sten", "bgSound", "rockfly", "rockfire", "rockexp"};

// The level with every game sound left out but `kept`.
TestLevel Keeping(TestLevel level, const std::string& kept)
{
    for (const char* name : kSounds) {
        if (kept != name) {
            level.WithoutEntry(std::string("sound/") + name + ".wav");
        }
    }
    return level;
}

struct Heard {
    std::vector<int16_t> samples;

    // Mean square of the samples.
    double Energy() const
    {
        double sum = 0.0;
        for (const int16_t sample : samples) {
            sum += static_cast<double>(sample) * sample;
        }
        return samples.empty() ? 0.0 : sum / static_cast<double>(samples.size());
    }
    // Largest magnitude of the samples.
    int Peak() const
    {
        int peak = 0;
        for (const int16_t sample : samples) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        }
        return peak;
    }
    // The share of the samples that sit at full scale, where the mix was cut off.
    double ClippedShare() const
    {
        size_t clipped = 0;
        for (const int16_t sample : samples) {
            clipped += sample == INT16_MAX || sample == INT16_MIN ? 1 : 0;
        }
        return samples.empty() ? 0.0 : static_cast<double>(clipped) / static_cast<double>(samples.size());
    }
    // The share of the output after its last sound sample (1 when all silent).
    double SilentTail() const
    {
        size_t last = samples.size();
        while (last > 0 && samples[last - 1] == 0) {
            --last;
        }
        return samples.empty() ? 1.0 : static_cast<double>(samples.size() - last) / static_cast<double>(samples.size());
    }
};

// Runs the level with the script on the disk driver and reads back what it wrote.
Heard Listen(const TestLevel& level, const std::string& script, int frames)
{
    ScratchDirectory directory;
    const std::filesystem::path archive = directory.Path() / "level.pck";
    EXPECT_TRUE(level.WriteArchive(archive));
    directory.Write("script.txt", script);
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive",   archive.string(),        "--no-dialogs", "--fixed-step", "10",
                     "--frames",    std::to_string(frames), "--script",     "script.txt"};
    run.setEnvironment["SDL_AUDIODRIVER"] = "disk";
    run.setEnvironment["SDL_DISKAUDIOFILE"] = (directory.Path() / "out.raw").string();
    const ProgramResult result = run.Run();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string bytes = ReadWholeFile(directory.Path() / "out.raw");
    EXPECT_GT(bytes.size(), 4000u) << "the mixer wrote its output";
    Heard heard;
    heard.samples.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        heard.samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                                     (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return heard;
}

// Weapon 2 from frame 10 on (it arrives at frame 41), one click at 60.
std::string OneRocket()
{
    return Tap(10, "TAB") + Click(60, "left");
}

} // namespace

TEST(WeaponSounds, EveryGunShotSoundsAtAWallAndIntoOpenSpaceAlike)
{
    const Heard quiet = Listen(Keeping(WallAhead(10.25f), "sten"), "", 200);
    const Heard atWall = Listen(Keeping(WallAhead(10.25f), "sten"), "20 mouse down left\n", 200);
    const Heard intoSpace = Listen(Keeping(OpenSpace(), "sten"), LookUp(10) + "20 mouse down left\n", 200);
    EXPECT_EQ(quiet.Energy(), 0.0) << "without shots the run is silent";
    EXPECT_GT(atWall.Energy(), 1000.0);
    EXPECT_GT(intoSpace.Energy(), 1000.0) << "a shot that hits nothing still sounds";
}

TEST(WeaponSounds, ARocketLaunchSounds)
{
    const Heard quiet = Listen(Keeping(OpenSpace(), "rockfire"), LookUp(5) + Tap(10, "TAB"), 150);
    const Heard launched = Listen(Keeping(OpenSpace(), "rockfire"), LookUp(5) + OneRocket(), 150);
    EXPECT_EQ(quiet.Energy(), 0.0);
    EXPECT_GT(launched.Energy(), 100.0);
}

TEST(WeaponSounds, TheExplosionSoundsOnlyWhenTheRocketHits)
{
    const Heard hit = Listen(Keeping(WallAhead(10.25f), "rockexp"), OneRocket(), 200);
    const Heard miss = Listen(Keeping(OpenSpace(), "rockexp"), LookUp(5) + OneRocket(), 200);
    EXPECT_GT(hit.Energy(), 1000.0);
    EXPECT_EQ(miss.Energy(), 0.0);
}

TEST(WeaponSounds, TheFlightSoundLastsWhileTheRocketFlies)
{
    // Still flying when the run ends: the flight loop sounds up to the end of the output.
    const Heard flying = Listen(Keeping(OpenSpace(), "rockfly"), LookUp(5) + OneRocket(), 400);
    EXPECT_GT(flying.Energy(), 100.0);
    EXPECT_LT(flying.SilentTail(), 0.05) << "sound reaches the end of the output";
    // Into open space for 5000 ms, then removed with its sound, and 400 more frames of silence.
    const Heard expired = Listen(Keeping(OpenSpace(), "rockfly"), LookUp(5) + OneRocket(), 960);
    EXPECT_GT(expired.Energy(), 100.0);
    EXPECT_GT(expired.SilentTail(), 0.2) << "the sound stops at 5000 ms, long before the run ends";
    // Into a wall 45 units ahead (about 80 frames of flight): it stops at the explosion.
    const Heard exploded = Listen(Keeping(WallAhead(45.25f), "rockfly"), OneRocket(), 500);
    EXPECT_GT(exploded.Energy(), 10.0);
    EXPECT_GT(exploded.SilentTail(), 0.3) << "silent from the explosion on";
}

TEST(WeaponSounds, AFightOfRocketsAndGunfireNeverClipsAndStaysLoud)
{
    // Every sound at once: the background loop, rockets launched three times a second into a wall 15 units
    // ahead (each explosion rings for almost two seconds, so six or seven overlap), then the gun under the
    // explosions' tails.
    const std::string script = Tap(10, "TAB") + "80 mouse down left\n280 mouse up left\n" + Tap(285, "TAB") +
                               "350 mouse down left\n460 mouse up left\n";
    const Heard fight = Listen(WallAhead(15.25f), script, 480);
    const double clipped = fight.ClippedShare();
    const int peak = fight.Peak();
    std::printf("fight: %zu samples, %.4f %% at full scale, peak %d\n", fight.samples.size(), clipped * 100.0,
                peak);
    EXPECT_EQ(clipped, 0.0) << "samples cut off at full scale";
    EXPECT_GT(peak, 16384) << "the loudest moments are still loud";
}
