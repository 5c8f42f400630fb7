// Recordings and the timedemo: a recorded session replays to the same frames, in real time or on a fixed
// step, and the timedemo reports what the frames cost.
#include "GameRun.h"

#include <gtest/gtest.h>

namespace {

ProgramResult RunProgram(const ScratchDirectory& directory, const std::filesystem::path& archive,
                         std::vector<std::string> arguments)
{
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", archive.string(), "--no-dialogs"};
    run.arguments.insert(run.arguments.end(), arguments.begin(), arguments.end());
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    return run.Run();
}

// A level with a wall to shoot at, and a script that walks, looks, shoots and pauses.
TestLevel Arena()
{
    TestLevel level = FlatGround();
    level.WallFacingMinusZ(15.0f, -50.0f, 50.0f, 0.0f, 10.0f);
    return level;
}

const char* const kSession = "10 key down UP\n40 mouse move 35 -12\n60 key up UP\n70 mouse down left\n"
                             "95 mouse up left\n100 key down SPACE\n101 key up SPACE\n120 key down SPACE\n"
                             "121 key up SPACE\n150 key down TAB\n151 key up TAB\n200 mouse down left\n"
                             "230 mouse up left\n";

} // namespace

TEST(Recording, AReplayOfARealTimeRecordingReproducesEveryFrame)
{
    ScratchDirectory directory;
    const std::filesystem::path archive = directory.Path() / "arena.pck";
    ASSERT_TRUE(Arena().WriteArchive(archive));
    directory.Write("session.txt", kSession);
    // Recorded in real time: the frame times are whatever the machine took.
    const ProgramResult recorded = RunProgram(
        directory, archive, {"--script", "session.txt", "--record", "session.demo", "--frames", "260", "--trace", "live.jsonl"});
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
    const std::string demo = ReadWholeFile(directory.Path() / "session.demo");
    EXPECT_NE(demo.find("\n1 dt "), std::string::npos) << "every pass's frame time is recorded";
    EXPECT_NE(demo.find("\n70 mouse down left\n"), std::string::npos);

    const ProgramResult replayed =
        RunProgram(directory, archive, {"--script", "session.demo", "--frames", "260", "--trace", "replay.jsonl"});
    ASSERT_EQ(replayed.exitCode, 0) << replayed.err;
    const std::string live = ReadWholeFile(directory.Path() / "live.jsonl");
    ASSERT_FALSE(live.empty());
    EXPECT_EQ(ReadWholeFile(directory.Path() / "replay.jsonl"), live) << "the same frames, to the last digit";
    EXPECT_NE(live.find("\"decals\": 1"), std::string::npos) << "the session did shoot at the wall";
}

TEST(Recording, TheTimedemoReplaysTheRecordingAndReportsItsCost)
{
    ScratchDirectory directory;
    const std::filesystem::path archive = directory.Path() / "arena.pck";
    ASSERT_TRUE(Arena().WriteArchive(archive));
    directory.Write("session.txt", kSession);
    const ProgramResult recorded = RunProgram(directory, archive,
                                              {"--fixed-step", "16", "--script", "session.txt", "--record",
                                               "session.demo", "--frames", "250", "--trace", "live.jsonl"});
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
    const ProgramResult timedemo =
        RunProgram(directory, archive, {"--timedemo", "session.demo", "--trace", "timedemo.jsonl"});
    ASSERT_EQ(timedemo.exitCode, 0) << timedemo.err;
    EXPECT_EQ(ReadWholeFile(directory.Path() / "timedemo.jsonl"), ReadWholeFile(directory.Path() / "live.jsonl"))
        << "the timedemo runs the recorded frames, no more, no less";
    EXPECT_NE(timedemo.out.find("timedemo: 249 frames, "), std::string::npos) << timedemo.out;
    for (const char* line : {"simulation   mean ", "submission   mean ", "driver wait  mean ", "peak memory  "}) {
        EXPECT_NE(timedemo.out.find(line), std::string::npos) << line;
    }
}

TEST(Recording, ATimedemoNeedsARecordingWithFrameTimes)
{
    ScratchDirectory directory;
    directory.Write("plain.txt", "5 key down UP\n");
    const ProgramResult result = RunProgram(directory, DefaultArchive(), {"--timedemo", "plain.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("no frame times"), std::string::npos) << result.err;
    const ProgramResult both = RunProgram(directory, DefaultArchive(), {"--timedemo", "plain.txt", "--script", "plain.txt"});
    EXPECT_EQ(both.exitCode, 2);
}
