// The program as a whole: window sizes, the frame loop's end, pictures read back, and the command line's
// contract (clear messages and status 2 for bad input, before any window opens).
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm> // std::count
#include <cstdlib>   // getenv

namespace {

ProgramResult RunKorvath(const ScratchDirectory& directory, std::vector<std::string> arguments)
{
    ProgramRun run;
    run.arguments = {"--archive", DefaultArchive()};
    run.arguments.insert(run.arguments.end(), arguments.begin(), arguments.end());
    run.workingDirectory = directory.Path();
    return run.Run();
}

} // namespace

TEST(ProgramWindow, ThreeFramesGiveAnExactScreenshotOfTheDefaultSize)
{
    ScratchDirectory directory;
    const ProgramResult result = RunKorvath(directory, {"--no-dialogs", "--frames", "3", "--screenshot", "2:a.png"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    Picture picture;
    ASSERT_TRUE(picture.Load(directory.Path() / "a.png"));
    EXPECT_EQ(picture.width, 800);
    EXPECT_EQ(picture.height, 600);
}

TEST(ProgramWindow, ModeNumbersChooseTheWindowSize)
{
    const std::vector<std::pair<std::string, std::pair<int, int>>> modes = {
        {"0", {640, 480}}, {"2", {1024, 768}}, {"7", {800, 600}}};
    for (const auto& mode : modes) {
        ScratchDirectory directory;
        const ProgramResult result =
            RunKorvath(directory, {"--no-dialogs", "--mode", mode.first, "--frames", "1", "--screenshot", "1:m.png"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        Picture picture;
        ASSERT_TRUE(picture.Load(directory.Path() / "m.png")) << "mode " << mode.first;
        EXPECT_EQ(picture.width, mode.second.first) << "mode " << mode.first;
        EXPECT_EQ(picture.height, mode.second.second) << "mode " << mode.first;
    }
}

// Fast forward leaves the frames that take no picture unrasterised, and changes nothing that a picture or the
// trace shows: gunfire, a rocket and its explosion, the weapon switch, the help panel.
TEST(ProgramLoop, FastForwardGivesTheSamePicturesAndTrace)
{
    const std::vector<std::string> run = {"--headless", "--mode", "0", "--frames", "800", "--script",
                                          std::string(KORVATH_SOURCE_DIR) + "/assets/demos/fight.demo",
                                          "--trace", "trace.jsonl"};
    const std::vector<int> shots = {60, 200, 420, 650, 800};
    ScratchDirectory drawn;
    ScratchDirectory skipped;
    for (const ScratchDirectory* directory : {&drawn, &skipped}) {
        std::vector<std::string> arguments = run;
        for (const int frame : shots) {
            arguments.push_back("--screenshot");
            arguments.push_back(std::to_string(frame) + ":" + std::to_string(frame) + ".png");
        }
        if (directory == &skipped) {
            arguments.push_back("--fast-forward");
        }
        const ProgramResult result = RunKorvath(*directory, arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    const std::string trace = ReadWholeFile((drawn.Path() / "trace.jsonl").string());
    EXPECT_GT(std::count(trace.begin(), trace.end(), '\n'), 799);
    EXPECT_EQ(trace, ReadWholeFile((skipped.Path() / "trace.jsonl").string()));
    for (const int frame : shots) {
        const std::string name = std::to_string(frame) + ".png";
        Picture expected;
        Picture actual;
        ASSERT_TRUE(expected.Load(drawn.Path() / name) && actual.Load(skipped.Path() / name)) << name;
        EXPECT_TRUE(expected.rgb == actual.rgb) << "frame " << frame << " differs with --fast-forward";
    }
}

TEST(ProgramLoop, AFightReplaysTheSameWhateverElseDrawsFromTheLibraryGenerator)
{
    // Frame 200 of the fight shows bullet holes and sparks, which the shots' random spread places.
    ScratchDirectory plain;
    ScratchDirectory drawnFrom;
    for (const ScratchDirectory* directory : {&plain, &drawnFrom}) {
        ProgramRun run;
        run.arguments = {"--archive", DefaultArchive(), "--headless", "--mode", "0", "--frames", "200", "--fast-forward",
                         "--script", std::string(KORVATH_SOURCE_DIR) + "/assets/demos/fight.demo", "--screenshot",
                         "200:200.png"};
        run.workingDirectory = directory->Path();
        if (directory == &drawnFrom) {
            run.setEnvironment["LD_PRELOAD"] = KORVATH_RAND_DRAWER;
            // A sanitized program wants its runtime first among the libraries; the preloaded one comes before it.
            const char* const asan = std::getenv("ASAN_OPTIONS");
            run.setEnvironment["ASAN_OPTIONS"] = std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0";
        }
        const ProgramResult result = run.Run();
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    Picture expected;
    Picture actual;
    ASSERT_TRUE(expected.Load(plain.Path() / "200.png") && actual.Load(drawnFrom.Path() / "200.png"));
    EXPECT_TRUE(expected.rgb == actual.rgb) << "the shots landed elsewhere";
}

TEST(ProgramLoop, FrameLimitRunsExactlyThatManyFrames)
{
    ScratchDirectory directory;
    const ProgramResult result = RunKorvath(
        directory, {"--no-dialogs", "--frames", "4", "--screenshot", "4:last.png", "--screenshot", "5:beyond.png"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(directory.Path() / "last.png"));
    EXPECT_FALSE(std::filesystem::exists(directory.Path() / "beyond.png"));
}

TEST(ProgramLoop, ClosingTheWindowStillRunsThatPassFrame)
{
    ScratchDirectory directory;
    const auto script = directory.Write("close.txt", "# the player closes the window\n5 close\n");
    const ProgramResult result =
        RunKorvath(directory, {"--no-dialogs", "--frames", "50", "--script", script.string(), "--screenshot",
                               "5:closing.png", "--screenshot", "6:after.png"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(directory.Path() / "closing.png"))
        << "the pass that removes the quit message runs its frame";
    EXPECT_FALSE(std::filesystem::exists(directory.Path() / "after.png"));
}

TEST(ProgramHeadless, RunsOffScreenWithoutADisplay)
{
    ScratchDirectory directory;
    ProgramRun run;
    run.arguments = {"--archive", DefaultArchive(), "--headless", "--frames", "2", "--screenshot", "2:h.png"};
    run.workingDirectory = directory.Path();
    run.unsetEnvironment = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    const ProgramResult result = run.Run();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    Picture picture;
    ASSERT_TRUE(picture.Load(directory.Path() / "h.png"));
    EXPECT_EQ(picture.width, 800);
}

TEST(ProgramHeadless, WithoutADisplayAWindowedRunSaysWhyAndFails)
{
    ScratchDirectory directory;
    ProgramRun run;
    run.arguments = {"--no-dialogs", "--frames", "2"};
    run.workingDirectory = directory.Path();
    run.unsetEnvironment = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    const ProgramResult result = run.Run();
    EXPECT_NE(result.exitCode, 0);
    EXPECT_FALSE(result.timedOut);
    EXPECT_NE(result.err.find("cannot open a window"), std::string::npos) << result.err;
}

TEST(ProgramCommandLine, BadInputExitsWithStatusTwoAndNamesIt)
{
    ScratchDirectory directory;
    const auto badScript = directory.Write("bad.txt", "1 key down UP\n2 key down NOPE\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--mode", "abc"}, "'abc'"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--frames"}, "--frames expects a value"},
        {{"--script", badScript.string()}, "bad.txt:2: unknown key 'NOPE'"},
        {{"--script", "missing-script.txt"}, "missing-script.txt"},
        {{"--script", directory.Path().string()}, directory.Path().string() + ": cannot open script: it is a folder"},
        {{"--timedemo", directory.Path().string()}, directory.Path().string() + ": cannot open script: it is a folder"},
        {{"--screenshot", "2:no-such-folder/shot.png"}, "the folder 'no-such-folder' does not exist"},
        {{"--screenshot", "2:" + directory.Path().string()}, directory.Path().string() + "': it is a folder"},
    };
    for (const auto& c : cases) {
        const ProgramResult result = RunKorvath(directory, c.first);
        EXPECT_EQ(result.exitCode, 2) << c.second;
        EXPECT_NE(result.err.find(c.second), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(directory.Path() / "Korvath.log")) << "nothing ran before the check";
    }
}

TEST(ProgramLoop, APictureThatCannotBeWrittenEndsTheRunWithAFailure)
{
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full to fail the write";
    }
    ScratchDirectory directory;
    // /dev/full opens like any file and refuses every byte: the check before the window cannot tell.
    const ProgramResult result = RunKorvath(directory, {"--no-dialogs", "--frames", "40", "--screenshot",
                                                        "2:/dev/full", "--screenshot", "5:later.png"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("cannot write picture '/dev/full': No space left on device"), std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(directory.Path() / "later.png")) << "the run ended after that frame";
}

TEST(ProgramCommandLine, HelpListsEveryOptionOnItsOwnLine)
{
    ScratchDirectory directory;
    const ProgramResult result = RunKorvath(directory, {"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option : {"--archive", "--mode", "--fullscreen", "--frames", "--fixed-step", "--script",
                               "--screenshot", "--loading-shots", "--no-dialogs", "--headless", "--version"}) {
        EXPECT_NE(result.out.find(std::string("\n  ") + option), std::string::npos) << option;
    }
    const ProgramResult version = RunKorvath(directory, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("korvath ", 0), 0u) << version.out;
}
