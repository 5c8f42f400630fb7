// The help text on the pause panel types itself out at one character per 5 ms of game time: screenshots of
// consecutive frames of a fixed-step run change exactly when the characters typed in between leave ink, and
// nothing changes once the whole text is out. Fixed step 10 ms: frame N runs at game time (N - 1) * 10, so with F1 pressed
// at frame 10 (time 90) frame N shows the first 2 * (N - 10) characters.
#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib> // std::abs
#include <string>

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

} // namespace

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
