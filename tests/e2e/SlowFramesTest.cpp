// Slow frames: a player on a slow or busy machine gets frames of 100 to 290 ms, each of which the game still
// simulates in one step, moving the body up to 3 units at a time. Random input (walking, turning, jumping,
// walking slowly) over thousands of such frames, in several seeded runs of the real program on the default
// level: the body must never be inside geometry and never pass through a wall or a floor from one frame to
// the next.
#include "ProgramRun.h"
#include "Trace.h"

#include "lab/CollisionLab.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

// frames frames of random input, each with a random frame time of 100 to 290 ms.
std::string RandomInputScript(uint32_t seed, int frames)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> frameTime(100, 290);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> turn(-120, 120);
    const char* const keys[] = {"UP", "DOWN", "LEFT", "RIGHT", "R"};
    bool held[5] = {};
    bool jumping = false;
    std::ostringstream script;
    for (int frame = 1; frame <= frames; ++frame) {
        script << frame << " dt " << frameTime(random) << "\n";
        for (int k = 0; k < 5; ++k) {
            // Up is held most of the time, the others now and then.
            const int change = k == 0 ? 8 : 4;
            if (percent(random) < change) {
                held[k] = !held[k];
                script << frame << " key " << (held[k] ? "down " : "up ") << keys[k] << "\n";
            }
        }
        if (percent(random) < 30) {
            script << frame << " mouse move " << turn(random) << " 0\n";
        }
        if (percent(random) < 6) {
            jumping = !jumping;
            script << frame << " mouse " << (jumping ? "down" : "up") << " right\n";
        }
    }
    return script.str();
}

} // namespace

TEST(SlowFrames, RandomInputNeverTakesTheBodyIntoOrThroughGeometry)
{
    const std::unique_ptr<lab::Level> level = lab::LoadDefaultLevel(KORVATH_BINARY_DIR);
    ASSERT_NE(level, nullptr) << "the default level is not built";
    const int frames = 2000;
    for (const uint32_t seed : {1u, 2u, 3u}) {
        ScratchDirectory directory;
        directory.Write("input.txt", RandomInputScript(seed, frames));
        ProgramRun run;
        run.workingDirectory = directory.Path();
        run.arguments = {"--archive", DefaultArchive(), "--headless", "--mode", "0", "--frames", std::to_string(frames),
                         "--script", "input.txt", "--trace", "trace.jsonl", "--fast-forward"};
        run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
        run.timeLimitSeconds = 600.0;
        const ProgramResult result = run.Run();
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::vector<TraceFrame> trace = ReadTrace(directory.Path() / "trace.jsonl");
        ASSERT_EQ(static_cast<int>(trace.size()), frames);

        double travelled = 0.0;
        for (size_t i = 1; i < trace.size(); ++i) {
            const XVector3 before = trace[i - 1].Vector("pos");
            const XVector3 after = trace[i].Vector("pos");
            travelled += Distance(before, after);
            const XVector3d scaledAfter = level->check.Scaled(after);
            const double clearance = level->check.Clearance(scaledAfter, 2.0 * lab::kBodyRadius);
            ASSERT_GE(clearance, lab::kEmbedded)
                << "seed " << seed << ", frame " << trace[i].Int("frame") << ": the body at (" << after.x << ", "
                << after.y << ", " << after.z << ") is inside geometry";
            ASSERT_FALSE(level->check.Crosses(level->check.Scaled(before), scaledAfter))
                << "seed " << seed << ", frame " << trace[i].Int("frame") << ": from (" << before.x << ", "
                << before.y << ", " << before.z << ") to (" << after.x << ", " << after.y << ", " << after.z
                << ") passes through a triangle";
        }
        // The runs must really roam the level, or they would prove nothing.
        EXPECT_GT(travelled, 500.0) << "seed " << seed;
    }
}
