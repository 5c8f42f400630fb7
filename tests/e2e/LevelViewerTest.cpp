// The level viewer (--level FILE): a level source compiled on the fly and walked, and a broken source
// reported with its line before any window opens.
#include "GameRun.h"
#include "RoomLevel.h"

#include <gtest/gtest.h>

#include <cmath> // fabs

namespace {

ProgramResult RunViewer(const ScratchDirectory& directory, const std::string& level, std::vector<std::string> extra)
{
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--level", level};
    run.arguments.insert(run.arguments.end(), extra.begin(), extra.end());
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    return run.Run();
}

} // namespace

TEST(LevelViewer, ALevelSourceIsCompiledAndWalkedWithoutRepacking)
{
    ScratchDirectory directory;
    directory.Write("room.level", kRoomLevel);
    directory.Write("walk.txt", "30 key down UP\n");
    const ProgramResult walked = RunViewer(directory, "room.level",
                                           {"--fixed-step", "10", "--frames", "200", "--script", "walk.txt",
                                            "--trace", "trace.jsonl", "--dump-scene", "dump.json"});
    ASSERT_EQ(walked.exitCode, 0) << walked.err;
    EXPECT_NE(walked.out.find("room.level: "), std::string::npos) << walked.out;
    const std::string dump = ReadWholeFile(directory.Path() / "dump.json");
    EXPECT_NE(dump.find("{\"name\": \"world\""), std::string::npos);
    EXPECT_NE(dump.find("\"lights\": {\"count\": 1"), std::string::npos) << "the level's own light, not the default level's";
    const std::vector<TraceFrame> frames = ReadTrace(directory.Path() / "trace.jsonl");
    ASSERT_EQ(frames.size(), 200u);
    EXPECT_NEAR(frames.back().Vector("pos").y, 2.0f, 1e-3f) << "standing on the room's floor";
    EXPECT_NEAR(frames.back().Vector("pos").z, 7.0f - 10.0f / 11.0f, 1e-3f) << "stopped by the room's far wall";
}

TEST(LevelViewer, ThePlayerStartsAtTheLevelsSpawnAndF8PutsHimBackNearIt)
{
    // A room far from the origin, where there is nothing to stand on.
    ScratchDirectory directory;
    directory.Write("far.level", "level far\n"
                                 "spawn 40 0 -30\n"
                                 "material floor floor_tiles.jpg 4\n"
                                 "box 32 -1 -38  48 0 -22  mat floor\n"
                                 "box 32 9 -38  48 10 -22  mat floor\n"
                                 "box 32 0 -38  33 9 -22  mat floor\n"
                                 "box 47 0 -38  48 9 -22  mat floor\n"
                                 "box 33 0 -38  47 9 -37  mat floor\n"
                                 "box 33 0 -23  47 9 -22  mat floor\n"
                                 "light 40 4 -30 color 1 1 1 radius 15\n");
    directory.Write("reset.txt", "60 key down RIGHT\n90 key up RIGHT\n100 key down F8\n101 key up F8\n");
    const ProgramResult result = RunViewer(directory, "far.level",
                                           {"--fixed-step", "10", "--frames", "101", "--script", "reset.txt",
                                            "--trace", "trace.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<TraceFrame> frames = ReadTrace(directory.Path() / "trace.jsonl");
    ASSERT_EQ(frames.size(), 101u);
    const XVector3 settled = frames[58].Vector("pos");
    EXPECT_NEAR(settled.x, 40.0f, 1e-3f);
    EXPECT_NEAR(settled.y, 2.0f, 1e-3f) << "standing on the room's floor";
    EXPECT_NEAR(settled.z, -30.0f, 1e-3f);
    EXPECT_GT(std::fabs(frames[98].Vector("pos").x - 40.0f), 1.0f) << "walked away before the reset";
    const XVector3 reset = frames[99].Vector("pos"); // frame 100: put back, then moved on by one step
    EXPECT_NEAR(reset.x, 41.0f, 0.1f);
    EXPECT_NEAR(reset.y, 5.0f, 0.01f);
    EXPECT_NEAR(reset.z, -31.0f, 1e-3f);
}

TEST(LevelViewer, ABrokenLevelSourceIsReportedWithItsLineBeforeAnyWindow)
{
    ScratchDirectory directory;
    directory.Write("broken.level", "level broken\nmaterial floor floor_tiles.jpg 4\nbox -8 -1 -8  8 zero 8  mat floor\n");
    const ProgramResult result = RunViewer(directory, "broken.level", {"--frames", "2"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("broken.level:3"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(directory.Path() / "Korvath.log")) << "the game did not start";
}
