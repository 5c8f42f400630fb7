// The help text on the pause panel types itself out at one character per 5 ms of game time: screenshots of
// consecutive frames of a fixed-step run change exactly when the characters typed in between leave ink, and
// nothing changes once the whole text is out. Fixed step 10 ms: frame N runs at game time (N - 1) * 10, so with F1 pressed
// at frame 10 (time 90) frame N shows the first 2 * (N - 10) characters.
#include "GameRun.h"

#include <gtest/gtest.h>

#include <algorithm> // std::max, std::max_element
#include <cstdio>  // std::printf
#include <cstdlib> // std::abs
#include <string>
#include <vector>

namespace {

// The help text as the player should read it.
const std::string kHelpText =
    "F1 - this\nmouse        - look around\narrow keys   - move around\nshift        - zoom\nCTRL         - "
    "spotlight\nf            - fly mode on-off\nw            - enable/disable weapon\nTAB          - change "
    "weapons\nl. mouse btn - fire\nr. mouse btn - jump\n\nF3           - render Octree BB's\nF4           - "
    "switch between no\n              tri's, actual tri's(red),\n              and octree tri's(blue)\nF8      "
    "     - reset position\nF12          - debug info\n";

int TypedAt(int frame)
{
    return 2 * (frame - 10);
}

// Whether any of the characters [from, to) leaves ink: spaces and line breaks do not.
bool Visible(int from, int to)
{
    for (int i = from; i < to && i < static_cast<int>(kHelpText.size()); ++i) {
        const char c = kHelpText[static_cast<size_t>(i)];
        if (c != ' ' && c != '\n') {
            return true;
        }
    }
    return false;
}

// The number of pixels whose colour differs noticeably between two pictures of the same size.
int ChangedPixels(const Picture& a, const Picture& b)
{
    int changed = 0;
    for (size_t i = 0; i + 2 < a.rgb.size() && i + 2 < b.rgb.size(); i += 3) {
        const int difference = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                               std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
        changed += difference > 24 ? 1 : 0;
    }
    return changed;
}

// Luminance of a pixel, 0 to 255.
double Luminance(const Picture& picture, size_t pixel)
{
    const unsigned char* const rgb = &picture.rgb[pixel * 3];
    return 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
}

// The picture of frame 300 of a run that opens the pause panel at frame 10 with `key` (F1: with the help
// text, which is all typed out by then; SPACE: without it). `script` comes first.
Picture PanelPicture(const TestLevel& level, const std::string& script, const std::string& key)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(level)
                                  .Script(script + "10 key down " + key + "\n11 key up " + key + "\n")
                                  .Frames(300)
                                  .Screenshot(300, "300.png")
                                  .Run(directory);
    return run.Screenshot("300.png");
}

// How much ink the help text leaves on each pixel, told apart over a black sky: how much brighter the picture
// with the help text is than the same picture without it.
std::vector<double> HelpTextInk(const Picture& withHelp, const Picture& withoutHelp)
{
    std::vector<double> ink(withHelp.rgb.size() / 3, 0.0);
    for (size_t pixel = 0; pixel < ink.size() && pixel * 3 < withoutHelp.rgb.size(); ++pixel) {
        ink[pixel] = std::max(0.0, Luminance(withHelp, pixel) - Luminance(withoutHelp, pixel));
    }
    return ink;
}

// How far the help text's strokes stand out from what lies right beside them: the mean luminance of the
// strokes' cores (at least half the strongest ink) minus that of the pixels without ink at most two pixels
// from a core.
double TextContrast(const Picture& picture, const std::vector<double>& ink)
{
    const double strongest = *std::max_element(ink.begin(), ink.end());
    const auto isCore = [&](int x, int y) {
        return ink[static_cast<size_t>(y * picture.width + x)] >= strongest / 2.0;
    };
    double core = 0.0;
    double beside = 0.0;
    int coreCount = 0;
    int besideCount = 0;
    for (int y = 2; y + 2 < picture.height; ++y) {
        for (int x = 2; x + 2 < picture.width; ++x) {
            const size_t pixel = static_cast<size_t>(y * picture.width + x);
            if (isCore(x, y)) {
                core += Luminance(picture, pixel);
                ++coreCount;
                continue;
            }
            bool nearCore = false;
            for (int dy = -2; dy <= 2 && !nearCore; ++dy) {
                for (int dx = -2; dx <= 2 && !nearCore; ++dx) {
                    nearCore = isCore(x + dx, y + dy);
                }
            }
            if (nearCore && ink[pixel] < 8.0) {
                beside += Luminance(picture, pixel);
                ++besideCount;
            }
        }
    }
    EXPECT_GT(coreCount, 2000) << "the help text was found";
    return coreCount == 0 || besideCount == 0 ? 0.0 : core / coreCount - beside / besideCount;
}

} // namespace

TEST(HelpText, StandsOutOverADarkSceneAndOverTheBrightestOne)
{
    // Looking up at the empty (black) sky, and at a pure white wall close ahead.
    const std::string lookUp = "5 mouse move 0 -200\n";
    const Picture dark = PanelPicture(FlatGround(), lookUp, "F1");
    const Picture darkWithoutHelp = PanelPicture(FlatGround(), lookUp, "SPACE");
    TestLevel whiteWall = FlatGround();
    whiteWall.WallFacingMinusZ(4.25f, -50.0f, 50.0f, 0.0f, 20.0f).WhiteSurfaces();
    const Picture bright = PanelPicture(whiteWall, "", "F1");
    ASSERT_EQ(dark.width, 800);
    ASSERT_EQ(bright.width, 800);

    const std::vector<double> ink = HelpTextInk(dark, darkWithoutHelp);
    const double overDark = TextContrast(dark, ink);
    const double overBright = TextContrast(bright, ink);
    std::printf("help text contrast: %.1f over the dark scene, %.1f over the white one\n", overDark, overBright);
    // Under the translucent panel the text was dimmed to about half over the dark scene and lost entirely in
    // the white one.
    EXPECT_GT(overDark, 140.0);
    EXPECT_GT(overBright, 80.0);
}

TEST(HelpText, TypesTwoCharactersEachTenMillisecondFrameAndStopsAtItsEnd)
{
    ScratchDirectory directory;
    // The panel has slid in by frame 40; from then on only the typing changes the picture.
    constexpr int kFirst = 41;
    constexpr int kLast = 76;
    GameRun game(FlatGround());
    game.Script("10 key down F1\n11 key up F1\n").Frames(300).Screenshot(260, "260.png").Screenshot(300, "300.png");
    for (int frame = kFirst; frame <= kLast; ++frame) {
        game.Screenshot(frame, std::to_string(frame) + ".png");
    }
    const GameRunResult run = game.Run(directory);
    ASSERT_EQ(run.frames.size(), 300u);
    ASSERT_TRUE(run.Frame(300).Bool("helpShown"));
    ASSERT_GT(TypedAt(260), static_cast<int>(kHelpText.size())) << "frame 260 has typed it all";

    // Between two frames exactly the characters [TypedAt(n - 1), TypedAt(n)) appear: ink only when one of
    // them is neither a space nor a line break. The span covers both kinds of frame pairs.
    int inkFrames = 0;
    int blankFrames = 0;
    Picture previous = run.Screenshot(std::to_string(kFirst) + ".png");
    ASSERT_EQ(previous.width, 800);
    for (int frame = kFirst + 1; frame <= kLast; ++frame) {
        const Picture current = run.Screenshot(std::to_string(frame) + ".png");
        const bool ink = Visible(TypedAt(frame - 1), TypedAt(frame));
        const int changed = ChangedPixels(previous, current);
        if (ink) {
            ++inkFrames;
            EXPECT_GT(changed, 0) << "frame " << frame << " types \""
                                   << kHelpText.substr(static_cast<size_t>(TypedAt(frame - 1)), 2) << "\"";
        } else {
            ++blankFrames;
            EXPECT_EQ(changed, 0) << "frame " << frame << " types only blanks";
        }
        previous = current;
    }
    EXPECT_GT(inkFrames, 10);
    EXPECT_GT(blankFrames, 3);
    EXPECT_EQ(ChangedPixels(run.Screenshot("260.png"), run.Screenshot("300.png")), 0)
        << "nothing more once the text is out";
}
