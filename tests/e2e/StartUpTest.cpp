// Start-up as a player sees it: the loading screens, the first frames with their texts, and what happens
// when the archive or the level is missing or broken.
#include "GameRun.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct Extent {
    int left = 100000;
    int right = -1;
    int top = 100000;
    int bottom = -1;
    int count = 0;
};

// Where the bright pixels of a picture lie (rows counted from the top).
Extent BrightPixels(const Picture& picture, int threshold = 128)
{
    Extent extent;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* p = &picture.rgb[static_cast<size_t>((y * picture.width + x) * 3)];
            if (p[0] > threshold && p[1] > threshold && p[2] > threshold) {
                extent.left = std::min(extent.left, x);
                extent.right = std::max(extent.right, x);
                extent.top = std::min(extent.top, y);
                extent.bottom = std::max(extent.bottom, y);
                ++extent.count;
            }
        }
    }
    return extent;
}

// Pixels that differ between two pictures of the same size, inside and outside a rectangle.
std::pair<int, int> DifferingPixels(const Picture& a, const Picture& b, int left, int top, int right, int bottom)
{
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const size_t i = static_cast<size_t>((y * a.width + x) * 3);
            if (a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2]) {
                const bool in = x >= left && x <= right && y >= top && y <= bottom;
                (in ? inside : outside) += 1;
            }
        }
    }
    return {inside, outside};
}

ProgramResult RunWithArchive(const ScratchDirectory& directory, const std::string& archive,
                             std::vector<std::string> extra = {})
{
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", archive, "--no-dialogs", "--frames", "3"};
    run.arguments.insert(run.arguments.end(), extra.begin(), extra.end());
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    return run.Run();
}

} // namespace

TEST(StartUpScreens, LoadingMessagesAppearInOrderAtTheOverlaysPlaces)
{
    ScratchDirectory directory;
    const ProgramResult result =
        RunWithArchive(directory, DefaultArchive(), {"--loading-shots", (directory.Path() / "load").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // "Initializing...", "Importing scene...", one line per texture, "File import completed.", "Building octree.".
    const std::vector<std::string> first = {"Initializing...", "Importing scene..."};
    std::vector<std::filesystem::path> shots;
    for (const auto& entry : std::filesystem::directory_iterator(directory.Path() / "load")) {
        shots.push_back(entry.path());
    }
    std::sort(shots.begin(), shots.end());
    ASSERT_GE(shots.size(), 5u);
    EXPECT_EQ(shots.front().filename(), "001.png");
    for (size_t i = 0; i < shots.size(); ++i) {
        Picture picture;
        ASSERT_TRUE(picture.Load(shots[i]));
        const Extent text = BrightPixels(picture);
        ASSERT_GT(text.count, 20) << shots[i];
        // SetTextPosition(-200, 0): line 0's glyph quads are centred 13.6 pixels below the origin, 16 pixels
        // high, the first one centred 200 pixels left of the window centre, 16 pixels wide.
        EXPECT_GE(text.top, 300 + 13 - 8) << shots[i];
        EXPECT_LE(text.bottom, 300 + 14 + 8) << shots[i];
        EXPECT_GE(text.left, 400 - 200 - 8) << shots[i];
    }
    // The first two lines differ in length by three characters of 10.4 pixels each.
    Picture initializing;
    Picture importing;
    ASSERT_TRUE(initializing.Load(shots[0]));
    ASSERT_TRUE(importing.Load(shots[1]));
    const int initializingRight = BrightPixels(initializing).right;
    const int importingRight = BrightPixels(importing).right;
    EXPECT_NEAR(importingRight - initializingRight, 3 * 10.4, 3.0);
    EXPECT_NEAR(initializingRight, 400 - 200 + 14 * 10.4, 8.0) << "15 characters, the last one a dot";
}

TEST(StartUpScreens, TheHintShowsDuringTheFirstTwoSecondsOfGameTimeOnly)
{
    ScratchDirectory directory;
    const GameRunResult run =
        GameRun(FlatGround()).Frames(260).Screenshot(150, "early.png").Screenshot(250, "late.png").Run(directory);
    ASSERT_EQ(run.Frame(150).Int("time"), 1490);
    ASSERT_EQ(run.Frame(250).Int("time"), 2490);
    Picture early;
    Picture late;
    ASSERT_TRUE(early.Load(directory.Path() / "early.png"));
    ASSERT_TRUE(late.Load(directory.Path() / "late.png"));
    // "...press F1 for help" at (-350, 250): a line centred 63.6 pixels from the top, from x = 42.
    const auto differences = DifferingPixels(early, late, 40, 54, 260, 74);
    EXPECT_GT(differences.first, 100) << "the hint is drawn early and gone late";
    EXPECT_EQ(differences.second, 0) << "nothing else changed while the player stood still";
}

TEST(StartUpFailures, ALevelWithoutWorldSaysSoAndEndsWithAFailure)
{
    ScratchDirectory directory;
    const std::filesystem::path archive = directory.Path() / "empty.pck";
    ASSERT_TRUE(TestLevel().WithoutWorld().WriteArchive(archive));
    const ProgramResult result = RunWithArchive(directory, archive.string());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("RUdezer: World mesh could not be found in scene"), std::string::npos) << result.err;
}

TEST(StartUpFailures, AMissingArchiveIsNamedAndTheGameStopsWithoutCrashing)
{
    ScratchDirectory directory;
    const ProgramResult result = RunWithArchive(directory, "missing.pck");
    EXPECT_EQ(result.signal, 0) << "no crash";
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "RUdezer: Archive missing.pck could not be opened: file not found\n")
        << "the cause alone, none of its consequences";
}

TEST(StartUpFailures, AnArchiveThatIsAFolderOrNoArchiveIsRefusedWithItsReason)
{
    ScratchDirectory directory;
    const std::filesystem::path notes = directory.Write("notes.txt", "These are notes, not an archive.\n");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {directory.Path().string(), "it is a folder, not an archive file"},
        {notes.string(), "not a ZIP archive"},
    };
    for (const auto& c : cases) {
        const ProgramResult result = RunWithArchive(directory, c.first);
        EXPECT_EQ(result.exitCode, 1) << c.first;
        EXPECT_EQ(result.err, "RUdezer: Archive " + c.first + " could not be opened: " + c.second + "\n");
        EXPECT_NE(ReadWholeFile(directory.Path() / "Korvath.log").find("Archive " + c.first + " could not be opened"),
                  std::string::npos)
            << "the log keeps it too";
    }
}

TEST(StartUpFailures, AMissingFontIsReportedAndEndsTheSpecialTextures)
{
    ScratchDirectory directory;
    const std::filesystem::path archive = directory.Path() / "nofont.pck";
    ASSERT_TRUE(FlatGround().WithoutEntry("misc/font.bmp").WriteArchive(archive));
    const ProgramResult result = RunWithArchive(directory, archive.string());
    EXPECT_EQ(result.exitCode, 0) << "the game goes on without its font";
    const size_t missing = result.err.find("RUdezer: Texture file misc\\font.bmp not found.");
    const size_t stopped = result.err.find("RUdezer: Error processing [void XTextureManager::LoadSpecialTextures(void)]");
    ASSERT_NE(missing, std::string::npos) << result.err;
    ASSERT_NE(stopped, std::string::npos) << result.err;
    EXPECT_LT(missing, stopped);
}

TEST(StartUpFailures, WithoutASoundDeviceTheGameRunsSilently)
{
    ScratchDirectory directory;
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--frames", "5"};
    run.setEnvironment["SDL_AUDIODRIVER"] = "nosuchdriver";
    const ProgramResult result = run.Run();
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST(StartUpSound, TheBackgroundLoopIsAudible)
{
    ScratchDirectory directory;
    ProgramRun run;
    run.workingDirectory = directory.Path();
    // The disk driver writes the mixed output in real time: give it about a second of real frames.
    run.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--frames", "400"};
    run.setEnvironment["SDL_AUDIODRIVER"] = "disk";
    run.setEnvironment["SDL_DISKAUDIOFILE"] = (directory.Path() / "out.raw").string();
    const ProgramResult result = run.Run();
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string bytes = ReadWholeFile(directory.Path() / "out.raw");
    ASSERT_GT(bytes.size(), 4000u) << "the mixer wrote its output";
    long long energy = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const int sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
        energy += static_cast<long long>(sample) * sample;
    }
    EXPECT_GT(energy / static_cast<long long>(bytes.size() / 2), 1000) << "not silence";
}

TEST(StartUpDump, TheSceneDumpDescribesTheTestLevel)
{
    TestLevel level = FlatGround();
    level.WallFacingMinusZ(10.0f, -50.0f, 50.0f, 0.0f, 10.0f).Light(XVector3(1.0f, 5.0f, 2.0f), XVector3(1.0f, 0.5f, 0.25f));
    ScratchDirectory directory;
    const GameRunResult run = GameRun(level).Frames(2).Argument("--dump-scene").Argument("dump.json").Run(directory);
    const std::string dump = ReadWholeFile(directory.Path() / "dump.json");
    EXPECT_NE(dump.find("{\"name\": \"world\", \"vertices\": 8, \"triangles\": 4"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"plainNodes\": [\"world\"]"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"tangentNodes\": []"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"name\": \"scene\\\\base.bmp\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"lights\": {\"count\": 1"), std::string::npos) << dump;
    EXPECT_NE(dump.find("{\"position\": [1, 5, 2], \"color\": [1, 0.5, 0.25]}"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"trianglesAtRoot\": 4"), std::string::npos) << dump;
}
