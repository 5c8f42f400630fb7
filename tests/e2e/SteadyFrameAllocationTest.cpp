// Steady frames allocate nothing: the committed fight demo (gun, rockets with their explosions, sparks, bullet
// holes and scorch marks, the spotlight, the pause panel, the help text and the zoom) is replayed headless by
// the allocation probe, the program itself with an allocation counter linked in, with the trace on. Once the
// start-up frame is over, no loop pass may call the heap from the engine's own code. What the OpenGL driver,
// SDL and the mixer allocate inside their own calls is counted apart by the probe (see
// probe/AllocationCounter.cpp) and not held against the engine.
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#ifdef KORVATH_ALLOCATION_PROBE

namespace {

// Passes 0 (before the loop) and 1 (the start-up, which loads everything and reserves the pools).
constexpr int kWarmUpPasses = 1;

struct PassCount {
    int pass = 0;
    long own = 0;
    long foreign = 0;
};

// The number of the last frame a script names: the frame the replay has to run to.
int LastFrameOf(const std::string& scriptPath)
{
    std::ifstream file(scriptPath);
    std::string line;
    int last = 0;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        int frame = 0;
        if (fields >> frame && frame > last) {
            last = frame;
        }
    }
    return last;
}

std::vector<PassCount> ReadPassCounts(const std::string& report)
{
    std::vector<PassCount> counts;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string word;
        std::string ownWord;
        std::string foreignWord;
        PassCount count;
        if (fields >> word >> count.pass >> ownWord >> count.own >> foreignWord >> count.foreign && word == "pass") {
            counts.push_back(count);
        }
    }
    return counts;
}

} // namespace

TEST(SteadyFrameAllocations, FightDemoAllocatesNothingAfterTheStartUp)
{
    const std::string demo = std::string(KORVATH_SOURCE_DIR) + "/assets/demos/fight.demo";
    const int frames = LastFrameOf(demo);
    ASSERT_GT(frames, 1000) << demo;

    ScratchDirectory directory;
    ProgramRun run;
    run.program = KORVATH_ALLOCATION_PROBE;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", DefaultArchive(), "--headless", "--script", demo,
                     "--frames", std::to_string(frames), "--trace", "trace.jsonl", "--fast-forward"};
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    run.setEnvironment["KORVATH_ALLOCATION_REPORT"] = (directory.Path() / "allocations.txt").string();
    run.timeLimitSeconds = 600.0;
    const ProgramResult result = run.Run();
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const std::string report = ReadWholeFile(directory.Path() / "allocations.txt");
    const std::vector<PassCount> counts = ReadPassCounts(report);
    ASSERT_EQ(static_cast<int>(counts.size()), frames + 1) << "one line per pass, from 0 to " << frames;
    // The start-up loads the level through our own code: a probe that saw nothing there counts nothing at all.
    ASSERT_GT(counts[1].own, 0);

    std::ostringstream allocating;
    int allocatingPasses = 0;
    long total = 0;
    for (const PassCount& count : counts) {
        if (count.pass > kWarmUpPasses && count.own > 0) {
            ++allocatingPasses;
            total += count.own;
            if (allocatingPasses <= 10) {
                allocating << " pass " << count.pass << ": " << count.own << ";";
            }
        }
    }
    EXPECT_EQ(allocatingPasses, 0) << total << " allocations in " << allocatingPasses << " of the "
                                   << frames - kWarmUpPasses << " steady frames (first ones:" << allocating.str()
                                   << ")\nThe probe's report with the call stacks:\n"
                                   << report.substr(report.find("\nstack ") == std::string::npos
                                                        ? report.size()
                                                        : report.find("\nstack ") + 1,
                                                    6000);
}

#endif // KORVATH_ALLOCATION_PROBE
