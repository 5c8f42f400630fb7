// Settings as a player meets them: a settings file (--config) and --set change the look speed, the look's
// vertical direction and the bindings; bad lines are warnings and the game runs with the defaults; --mode
// WIDTHxHEIGHT gives a picture of that size in which the level keeps its proportions.
#include "GameRun.h"

#include <gtest/gtest.h>

#include <algorithm> // std::min, std::max
#include <string>
#include <vector>

namespace {

// Turning between frames 9 and 12, around the mouse move of frame 10.
struct Turn {
    double yaw = 0.0;
    double pitch = 0.0;
};

Turn TurnOf(const GameRunResult& run)
{
    return {run.Frame(12).Number("yaw") - run.Frame(9).Number("yaw"),
            run.Frame(12).Number("pitch") - run.Frame(9).Number("pitch")};
}

const char* const kMouseMove = "10 mouse move 40 -30\n";

// The bounds of the bright pixels between the top and bottom sixths (where the overlay's texts are).
struct Bounds {
    int left = 1 << 30;
    int right = -1;
    int top = 1 << 30;
    int bottom = -1;
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

Bounds BrightBounds(const Picture& picture)
{
    Bounds bounds;
    for (int y = picture.height / 6; y < picture.height * 5 / 6; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)) * 3;
            if (picture.rgb[i] > 200 && picture.rgb[i + 1] > 200 && picture.rgb[i + 2] > 200) {
                bounds.left = std::min(bounds.left, x);
                bounds.right = std::max(bounds.right, x);
                bounds.top = std::min(bounds.top, y);
                bounds.bottom = std::max(bounds.bottom, y);
            }
        }
    }
    return bounds;
}

// A white 4 x 4 square 10 units ahead of the eye, and nothing else; the player flies from frame 1 on so that
// nothing moves.
TestLevel SquareAhead()
{
    TestLevel level;
    level.WallFacingMinusZ(10.0f, -2.0f, 2.0f, 2.0f, 6.0f).WhiteSurfaces();
    return level;
}

} // namespace

TEST(SettingsLook, SensitivityScalesTheTurnAndInvertedLookPitchesTheOtherWay)
{
    ScratchDirectory plainDirectory;
    const Turn plain = TurnOf(GameRun(FlatGround()).Script(kMouseMove).Frames(15).Run(plainDirectory));
    EXPECT_NEAR(plain.yaw, -4.0, 1e-4) << "the default: a tenth of a degree per pixel";
    EXPECT_NEAR(plain.pitch, 3.0, 1e-4);

    ScratchDirectory fileDirectory;
    fileDirectory.Write("settings.ini", "# faster, and inverted\nmouse_sensitivity = 2\ninvert_look = on\n");
    const Turn fromFile = TurnOf(GameRun(FlatGround())
                                     .Script(kMouseMove)
                                     .Frames(15)
                                     .Argument("--config")
                                     .Argument("settings.ini")
                                     .Run(fileDirectory));
    EXPECT_NEAR(fromFile.yaw, 2.0 * plain.yaw, 1e-4) << "twice as far for the same motion";
    EXPECT_NEAR(fromFile.pitch, -2.0 * plain.pitch, 1e-4) << "inverted: the same motion pitches the other way";

    ScratchDirectory setDirectory;
    const Turn fromSet = TurnOf(GameRun(FlatGround())
                                    .Script(kMouseMove)
                                    .Frames(15)
                                    .Argument("--set")
                                    .Argument("mouse_sensitivity=0.5")
                                    .Run(setDirectory));
    EXPECT_NEAR(fromSet.yaw, 0.5 * plain.yaw, 1e-4);
    EXPECT_NEAR(fromSet.pitch, 0.5 * plain.pitch, 1e-4);
}

TEST(SettingsBindings, ABoundKeyOrButtonDoesTheActionAndTheOldKeyNoLonger)
{
    ScratchDirectory directory;
    directory.Write("settings.ini", "bind.fly = G, Mouse Middle\n");
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("10 key down G\n11 key up G\n20 key down F\n21 key up F\n"
                                          "30 mouse down middle\n31 mouse up middle\n")
                                  .Frames(40)
                                  .Argument("--config")
                                  .Argument("settings.ini")
                                  .Run(directory);
    EXPECT_FALSE(run.Frame(9).Bool("fly"));
    EXPECT_TRUE(run.Frame(15).Bool("fly")) << "G flies";
    EXPECT_TRUE(run.Frame(25).Bool("fly")) << "F no longer toggles fly mode";
    EXPECT_FALSE(run.Frame(35).Bool("fly")) << "the middle mouse button, bound too, toggles it back";
}

TEST(SettingsFileProblems, BadLinesAreWarningsAndBadOptionsStopBeforeTheWindow)
{
    ScratchDirectory directory;
    directory.Write("settings.ini", "mouse_sensitivity = fast\nfield_of_view = 75\n");
    const GameRunResult run =
        GameRun(FlatGround()).Script(kMouseMove).Frames(15).Argument("--config=settings.ini").Run(directory);
    EXPECT_NE(run.program.err.find("settings.ini:1: key 'mouse_sensitivity': 'fast'"), std::string::npos)
        << run.program.err;
    EXPECT_NEAR(TurnOf(run).yaw, -4.0, 1e-4) << "the bad key keeps its default";

    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--set", "mouse_sensitivity=fast"}, {"--set", "no_such_key=1"},
          {"--config", "missing.ini"}, {"--mode", "1280x"}}) {
        ProgramRun bad;
        bad.workingDirectory = directory.Path();
        bad.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--frames", "1"};
        bad.arguments.insert(bad.arguments.end(), arguments.begin(), arguments.end());
        const ProgramResult result = bad.Run();
        EXPECT_EQ(result.exitCode, 2) << arguments[1] << ": " << result.err;
        EXPECT_NE(result.err.find(arguments[1]), std::string::npos) << result.err;
    }
}

TEST(SettingsWindow, AnyModeGivesAPictureOfThatSizeWithTheLevelUndistorted)
{
    const std::string flyAtOnce = "1 key down F\n2 key up F\n";
    ScratchDirectory classicDirectory;
    const GameRunResult classic =
        GameRun(SquareAhead()).Script(flyAtOnce).Frames(5).Screenshot(4, "classic.png").Run(classicDirectory);
    ScratchDirectory wideDirectory;
    const GameRunResult wide = GameRun(SquareAhead())
                                   .Script(flyAtOnce)
                                   .Frames(5)
                                   .Argument("--mode")
                                   .Argument("1280x720")
                                   .Screenshot(4, "wide.png")
                                   .Run(wideDirectory);
    const Picture classicPicture = classic.Screenshot("classic.png");
    const Picture widePicture = wide.Screenshot("wide.png");
    ASSERT_EQ(classicPicture.width, 800);
    ASSERT_EQ(widePicture.width, 1280);
    ASSERT_EQ(widePicture.height, 720);

    const Bounds square = BrightBounds(classicPicture);
    const Bounds wideSquare = BrightBounds(widePicture);
    ASSERT_GT(square.Height(), 100) << "the square is in view";
    EXPECT_NEAR(square.Width(), square.Height(), 3);
    EXPECT_NEAR(wideSquare.Width(), wideSquare.Height(), 3) << "square in the wide picture too";
    EXPECT_NEAR(wideSquare.Height(), square.Height() * 720.0 / 600.0, 3) << "the vertical view is kept";
    EXPECT_NEAR((wideSquare.left + wideSquare.right) / 2.0, 640.0, 2.0) << "centred";
}

TEST(SettingsScreenshotKey, F10SavesTheFinishedFrameIntoThePicturesFolder)
{
    ScratchDirectory directory;
    const std::filesystem::path pictures = directory.Path() / "Pictures";
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("10 key down F10\n11 key up F10\n")
                                  .Frames(15)
                                  .Argument("--mode")
                                  .Argument("640x400")
                                  .Environment("XDG_PICTURES_DIR", pictures.string())
                                  .Run(directory);
    std::vector<std::filesystem::path> saved;
    for (const auto& entry : std::filesystem::directory_iterator(pictures / "korvath")) {
        saved.push_back(entry.path());
    }
    ASSERT_EQ(saved.size(), 1u) << "the folder is made, and one key press saves one picture";
    EXPECT_EQ(saved[0].filename().string().rfind("korvath-", 0), 0u) << saved[0];
    EXPECT_EQ(saved[0].extension(), ".png");
    EXPECT_NE(run.program.out.find(saved[0].string()), std::string::npos) << "the path is told: " << run.program.out;
    Picture picture;
    ASSERT_TRUE(picture.Load(saved[0]));
    EXPECT_EQ(picture.width, 640);
    EXPECT_EQ(picture.height, 400);
}
