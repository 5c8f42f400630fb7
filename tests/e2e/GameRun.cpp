// GameRun: archive, script, run and trace.
#include "GameRun.h"

#include <gtest/gtest.h>

Picture GameRunResult::Screenshot(const std::string& name) const
{
    Picture picture;
    EXPECT_TRUE(picture.Load(directory / name)) << name;
    return picture;
}

GameRunResult GameRun::Run(const ScratchDirectory& directory) const
{
    GameRunResult result;
    result.directory = directory.Path();
    const std::filesystem::path archive = directory.Path() / "level.pck";
    EXPECT_TRUE(testLevel.WriteArchive(archive)) << "the build's data folder is missing";
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", archive.string(), "--no-dialogs", "--fixed-step", step, "--frames",
                     std::to_string(frames), "--trace", "trace.jsonl", "--fast-forward"};
    if (!script.empty()) {
        directory.Write("script.txt", script);
        run.arguments.push_back("--script");
        run.arguments.push_back("script.txt");
    }
    run.arguments.insert(run.arguments.end(), extra.begin(), extra.end());
    run.setEnvironment = environment;
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    result.program = run.Run();
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    result.frames = ReadTrace(directory.Path() / "trace.jsonl");
    return result;
}

TestLevel FlatGround()
{
    TestLevel level;
    level.Floor(0.0f, -50.0f, -50.0f, 50.0f, 50.0f);
    return level;
}
