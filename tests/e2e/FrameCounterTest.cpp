// The frame counter in the lower left corner ("fps: N", drawn at (-350, -250) from the window centre): a frame
// whose frame time is 0 (the first frame, which no measurement precedes, or a pass the clock did not advance)
// has no rate of its own, and the counter shows the last one measured, or nothing when none was.
#include "GameRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The counter's line on an 800 x 600 picture: glyphs 16 pixels high centred 13.6 pixels below y = -250, from
// x = -358 on (pixel rows from the top, columns from the left).
constexpr int kLineTop = 300 + 250 + 4;
constexpr int kLineBottom = 300 + 250 + 24;
constexpr int kLineLeft = 400 - 360;
constexpr int kLineRight = 400;

bool IsInk(const Picture& picture, int x, int y)
{
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)) * 3;
    return picture.rgb[at] + picture.rgb[at + 1] + picture.rgb[at + 2] > 600;
}

// The column just right of the counter's rightmost ink (kLineLeft when the line is empty).
int InkEnd(const Picture& picture)
{
    int end = kLineLeft;
    for (int y = kLineTop; y < kLineBottom; ++y) {
        for (int x = kLineLeft; x < kLineRight; ++x) {
            if (IsInk(picture, x, y) && x + 1 > end) {
                end = x + 1;
            }
        }
    }
    return end;
}

} // namespace

TEST(FrameCounter, AFrameWithoutAFrameTimeShowsNoNumberOrTheLastOne)
{
    ScratchDirectory directory;
    // 10 ms passes, but pass 60 leaves the clock where it was: frame 61 runs with a frame time of 0.
    const GameRunResult run = GameRun(FlatGround())
                                  .Script("1 dt 10\n60 dt 0\n61 dt 10\n")
                                  .Frames(62)
                                  .Screenshot(1, "1.png")
                                  .Screenshot(60, "60.png")
                                  .Screenshot(61, "61.png")
                                  .Screenshot(62, "62.png")
                                  .Run(directory);
    ASSERT_EQ(run.frames.size(), 62u);
    ASSERT_EQ(run.Frame(61).Number("dt"), 0.0);
    ASSERT_FALSE(run.Frame(61).Bool("paused"));

    const int shown = InkEnd(run.Screenshot("60.png"));
    ASSERT_GT(shown, kLineLeft + 60) << "frame 60 shows \"fps: 100\"";
    EXPECT_EQ(InkEnd(run.Screenshot("1.png")), kLineLeft) << "the first frame has no rate to show";
    EXPECT_EQ(InkEnd(run.Screenshot("61.png")), shown) << "a frame of no time shows the last rate";
    EXPECT_EQ(InkEnd(run.Screenshot("62.png")), shown);
}
