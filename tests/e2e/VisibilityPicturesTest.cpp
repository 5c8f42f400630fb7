// Visibility must not change a picture: the frames of the default level's walk and fight and of the Citadel's
// walk are the same to the pixel with the level's visibility data and with --no-visibility, while the frames with
// it draw fewer of the world's triangles. (Before the compiler stopped leaving corners inside its triangles'
// sides, the rasteriser left a pixel open now and then on such a seam, and the whole world showed through it what
// no line of sight reaches; now every frame is the same.)
#include "ProgramRun.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct DemoRun {
    std::vector<Picture> pictures;
    std::vector<TraceFrame> trace;
};

std::string Demo(const std::string& name)
{
    return std::string(KORVATH_SOURCE_DIR) + "/assets/demos/" + name;
}

// The script replayed with a screenshot every `spacing` frames up to `frames`; the frames in between are
// simulated but not rasterised.
DemoRun Replay(const std::string& script, const std::vector<std::string>& extra, int frames, int spacing)
{
    ScratchDirectory directory;
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", DefaultArchive(), "--headless", "--mode", "0", "--frames", std::to_string(frames),
                     "--script", script, "--trace", "trace.jsonl",
                     "--fast-forward"};
    run.arguments.insert(run.arguments.end(), extra.begin(), extra.end());
    for (int frame = spacing; frame <= frames; frame += spacing) {
        run.arguments.push_back("--screenshot");
        run.arguments.push_back(std::to_string(frame) + ":" + std::to_string(frame) + ".png");
    }
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    run.timeLimitSeconds = 900.0;
    const ProgramResult result = run.Run();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    DemoRun replay;
    for (int frame = spacing; frame <= frames; frame += spacing) {
        Picture picture;
        EXPECT_TRUE(picture.Load(directory.Path() / (std::to_string(frame) + ".png"))) << script << " frame " << frame;
        replay.pictures.push_back(picture);
    }
    replay.trace = ReadTrace(directory.Path() / "trace.jsonl");
    return replay;
}

long DrawnTriangles(const DemoRun& run)
{
    long total = 0;
    for (const TraceFrame& frame : run.trace) {
        total += static_cast<long>(frame.Number("drawnTriangles"));
    }
    return total;
}

int DifferentPixels(const Picture& a, const Picture& b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) {
        return -1;
    }
    int different = 0;
    for (size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        different += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2] ? 1 : 0;
    }
    return different;
}

// Replays the script with the visibility data (into culled) and with --no-visibility (into all), and expects
// every screenshot of the two the same.
void ReplayBothWays(const std::string& script, const std::vector<std::string>& extra, int frames, int spacing,
                    DemoRun& culled, DemoRun& all)
{
    std::vector<std::string> whole = extra;
    whole.push_back("--no-visibility");
    culled = Replay(script, extra, frames, spacing);
    all = Replay(script, whole, frames, spacing);
    ASSERT_EQ(culled.pictures.size(), all.pictures.size());
    for (size_t i = 0; i < culled.pictures.size(); ++i) {
        const int different = DifferentPixels(culled.pictures[i], all.pictures[i]);
        EXPECT_EQ(different, 0)
            << script << ": frame " << (i + 1) * static_cast<size_t>(spacing) << " differs with visibility in "
            << different << " pixels";
    }
}

void ExpectTheSamePictures(const std::string& demo, const std::vector<std::string>& extra, int frames, int spacing)
{
    DemoRun culled;
    DemoRun all;
    ReplayBothWays(Demo(demo), extra, frames, spacing, culled, all);
    ASSERT_EQ(culled.trace.size(), all.trace.size());
    EXPECT_LT(DrawnTriangles(culled), DrawnTriangles(all) / 2) << demo << ": visibility draws less than half";
}

} // namespace

TEST(VisibilityPictures, TheDefaultLevelsWalkLooksTheSameWithAndWithoutIt)
{
    ExpectTheSamePictures("walk.demo", {}, 2440, 20);
}

TEST(VisibilityPictures, TheFightLooksTheSameWithAndWithoutIt)
{
    ExpectTheSamePictures("fight.demo", {}, 1400, 20);
}

TEST(VisibilityPictures, TheCitadelsWalkLooksTheSameWithAndWithoutIt)
{
    ExpectTheSamePictures("citadel.demo", {"--map", "citadel"}, 4780, 40);
}

TEST(VisibilityPictures, AViewReachingFartherThanTheDataDrawsTheWholeWorld)
{
    // A 110-degree field of view puts the far plane's corners about 510 units from the eye, beyond the 310 the
    // level was compiled for: every frame draws every world triangle. The usual 60 degrees draw at most two thirds.
    const DemoRun wide = Replay(Demo("walk.demo"), {"--set", "field_of_view=110"}, 60, 60);
    const DemoRun usual = Replay(Demo("walk.demo"), {}, 60, 60);
    ASSERT_EQ(wide.trace.size(), 60u);
    ASSERT_EQ(usual.trace.size(), 60u);
    for (size_t i = 0; i < wide.trace.size(); ++i) {
        EXPECT_EQ(wide.trace[i].Number("drawnTriangles"), 3300) << "frame " << i + 1;
        EXPECT_LE(usual.trace[i].Number("drawnTriangles"), 2200) << "frame " << i + 1;
    }
}

TEST(VisibilityPictures, AnEyeInAWallSeesWhatTheWholeWorldShowsFlyingAndAfter)
{
    // Inside the great hall's north wall (frames 160 to 175) the eye sees through the wall's back faces into the
    // rooms beyond, which the hall's cells do not see: fly mode draws the whole world. Out of fly mode there, the
    // body is pushed about in the wall and never stands clear on a floor: the whole world is drawn still.
    const std::string script = std::string(KORVATH_SOURCE_DIR) + "/tests/e2e/data/fly-off-in-wall.script";
    DemoRun culled;
    DemoRun all;
    ReplayBothWays(script, {"--fixed-step", "16"}, 300, 10, culled, all);
    ASSERT_EQ(culled.trace.size(), 300u);
    for (const size_t frame : {size_t{170}, size_t{200}, size_t{300}}) {
        EXPECT_NEAR(culled.trace[frame - 1].Vector("pos").z, 50.5, 0.5) << "frame " << frame << ": inside the wall";
    }
    EXPECT_TRUE(culled.trace[169].Bool("fly"));
    EXPECT_FALSE(culled.trace[199].Bool("fly"));
}
