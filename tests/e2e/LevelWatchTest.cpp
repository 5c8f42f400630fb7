// The level viewer's watch mode (--level FILE --watch): the level source rewritten while the game runs. The
// script waits for each save with "wait level N" at a frame of its own, and the test writes the save once the
// log says the game waits for it, so every frame before the wait shows the old level and every frame after it
// the new one, however long the compiles take.
#include "GameRun.h"
#include "RoomLevel.h"

#include <gtest/gtest.h>

#include <algorithm> // std::min_element
#include <chrono>
#include <cstdlib> // std::abs, std::atoi, std::atof
#include <future>
#include <sstream>

namespace {

// The room with a pillar ahead of the player.
const std::string kPillarRoom = std::string(kRoomLevel) + "box -1.5 0 5.5  1.5 6 6.5  mat wall\n";
// A mistake on line 13.
const std::string kBrokenRoom = kPillarRoom + "box 2 0 zero  3 6 6  mat wall\n";

// A level save as an editor makes it: written in place, or written beside and renamed over the source.
void Save(const ScratchDirectory& directory, const std::string& text, bool byRename)
{
    if (!byRename) {
        directory.Write("room.level", text);
        return;
    }
    directory.Write("room.level.new", text);
    std::filesystem::rename(directory.Path() / "room.level.new", directory.Path() / "room.level");
}

// A run of the watch mode in the background, while the test saves the level.
class WatchRun {
public:
    WatchRun(const ScratchDirectory& scratch, const std::string& script, int frames,
             std::vector<std::string> extra = {})
        : directory(scratch)
    {
        scratch.Write("script.txt", script);
        ProgramRun run;
        run.workingDirectory = scratch.Path();
        run.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--level", "room.level", "--watch",
                         "--fixed-step", "10", "--script", "script.txt", "--frames", std::to_string(frames),
                         "--trace", "trace.jsonl", "--fast-forward"};
        run.arguments.insert(run.arguments.end(), extra.begin(), extra.end());
        run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
        run.timeLimitSeconds = 600.0;
        result = std::async(std::launch::async, [run] { return run.Run(); });
    }

    // Saves the level once the game waits for save `save`; false when it never does.
    bool SaveWhenAwaited(int save, const std::string& text, bool byRename) const
    {
        const std::string awaited = "the script waits for save " + std::to_string(save) + " of";
        for (int i = 0; i < 30000; ++i) {
            if (ReadWholeFile(directory.Path() / "Korvath.log").find(awaited) != std::string::npos) {
                Save(directory, text, byRename);
                return true;
            }
            if (result.wait_for(std::chrono::milliseconds(10)) == std::future_status::ready) {
                return false;
            }
        }
        return false;
    }

    ProgramResult Finish() { return result.get(); }

private:
    const ScratchDirectory& directory;
    std::future<ProgramResult> result;
};

// Pixels whose colour differs noticeably, counted inside and outside the picture's top quarter, where the
// notes stand.
struct Changes {
    int inNoteArea = 0;
    int elsewhere = 0;
};

Changes ChangesByArea(const Picture& a, const Picture& b)
{
    Changes changes;
    for (int y = 0; y < a.height && y < b.height; ++y) {
        for (int x = 0; x < a.width && x < b.width; ++x) {
            const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(a.width) + static_cast<size_t>(x)) * 3;
            const int difference = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                                   std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
            if (difference > 24) {
                (y < a.height / 4 ? changes.inNoteArea : changes.elsewhere) += 1;
            }
        }
    }
    return changes;
}

Picture Load(const ScratchDirectory& directory, const std::string& name)
{
    Picture picture;
    EXPECT_TRUE(picture.Load(directory.Path() / name)) << name;
    return picture;
}

// The figures the log gives after each reload: the live GL textures after the swap, and the heap in use once the
// replaced level is freed; each by quality, in order.
struct Reloads {
    std::vector<int> textures[2]; // [0] preview, [1] full quality
    std::vector<double> heapBytes[2];
};

Reloads ReloadsLogged(const std::string& log)
{
    Reloads reloads;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t full = line.find(" at full quality") != std::string::npos ? 1 : 0;
        const size_t textures = line.find("GL textures alive ");
        const size_t heap = line.find("heap in use ");
        if (line.rfind("Level: ", 0) != 0) {
            continue;
        }
        if (textures != std::string::npos) {
            reloads.textures[full].push_back(std::atoi(line.c_str() + textures + 18));
        } else if (heap != std::string::npos) {
            reloads.heapBytes[full].push_back(std::atof(line.c_str() + heap + 12));
        }
    }
    return reloads;
}

} // namespace

TEST(LevelWatch, SavesAreSwappedInWithThePlayerKeptAndABrokenSaveIsShownWhileTheGameRuns)
{
    ScratchDirectory directory;
    directory.Write("room.level", kRoomLevel);
    // Walk ahead and turn a little, come to rest, fire at the far wall (a mark and sparks), then stand still
    // while the level is saved: the pillar, a mistake, the pillar again, and a box where the player stands.
    // A note stays 4 s, 400 frames: the pictures of the levels are taken after it.
    const std::string script = "5 key down UP\n40 key up UP\n10 mouse move 20 0\n320 mouse down left\n"
                               "322 mouse up left\n340 wait level 1\n810 wait level 2\n820 wait level 3\n"
                               "1310 wait level 4\n";
    WatchRun run(directory, script, 1320,
                 {"--screenshot", "339:old.png", "--screenshot", "800:pillar.png", "--screenshot", "811:broken.png",
                  "--screenshot", "1300:fixed.png"});
    ASSERT_TRUE(run.SaveWhenAwaited(1, kPillarRoom, true));
    ASSERT_TRUE(run.SaveWhenAwaited(2, kBrokenRoom, false));
    ASSERT_TRUE(run.SaveWhenAwaited(3, kPillarRoom, true));
    // The trace of frame 339 has been written by now: a box around the player, away from the start.
    const XVector3 standing = ReadTrace(directory.Path() / "trace.jsonl").at(338).Vector("pos");
    ASSERT_GT(standing.z, 2.5f) << "the walk must leave the start's room clear";
    const std::string box = "box " + std::to_string(standing.x - 1.0f) + " 0 " + std::to_string(standing.z - 1.0f) +
                            " " + std::to_string(standing.x + 1.0f) + " 6 " + std::to_string(standing.z + 1.0f) +
                            " mat wall\n";
    ASSERT_TRUE(run.SaveWhenAwaited(4, kPillarRoom + box, false));
    const ProgramResult result = run.Finish();
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const std::vector<TraceFrame> frames = ReadTrace(directory.Path() / "trace.jsonl");
    ASSERT_EQ(frames.size(), 1320u);
    const TraceFrame& before = frames[338];
    const TraceFrame& after = frames[339];
    EXPECT_EQ(before.Int("reloads"), 0);
    EXPECT_EQ(after.Int("reloads"), 2) << "the preview, then the full-quality build";
    EXPECT_GT(after.Int("drawnTriangles"), before.Int("drawnTriangles")) << "the pillar is drawn";
    EXPECT_EQ(after.Vector("pos").x, before.Vector("pos").x);
    EXPECT_EQ(after.Vector("pos").z, before.Vector("pos").z);
    EXPECT_EQ(after.Number("yaw"), before.Number("yaw"));
    EXPECT_GT(before.Int("decals"), 0);
    EXPECT_GT(before.Int("projectiles"), 0);
    EXPECT_EQ(after.Int("decals"), 0) << "the old level's marks go with it";
    EXPECT_EQ(after.Int("projectiles"), 0);

    EXPECT_EQ(frames[810].Int("reloads"), 2) << "the broken save is not swapped in";
    EXPECT_EQ(frames[810].Int("drawnTriangles"), after.Int("drawnTriangles"));
    EXPECT_EQ(frames[819].Int("reloads"), 4) << "the fixed save is";
    const std::string log = ReadWholeFile(directory.Path() / "Korvath.log");
    EXPECT_NE(log.find("room.level:13: 'zero' is not a number"), std::string::npos) << log;
    EXPECT_NE(result.err.find("room.level:13: "), std::string::npos) << result.err;

    const TraceFrame& boxed = frames[1309];
    EXPECT_EQ(boxed.Int("reloads"), 6);
    EXPECT_EQ(boxed.Vector("pos").x, 0.0f) << "moved out of the box to the start";
    EXPECT_EQ(boxed.Vector("pos").z, 0.0f);
    EXPECT_EQ(boxed.Number("yaw"), before.Number("yaw")) << "the view is kept";

    const Picture old = Load(directory, "old.png");
    const Picture pillar = Load(directory, "pillar.png");
    const Picture broken = Load(directory, "broken.png");
    const Picture fixed = Load(directory, "fixed.png");
    EXPECT_GT(ChangesByArea(old, pillar).elsewhere, 2000) << "the pillar stands in the view";
    const Changes errorShown = ChangesByArea(pillar, broken);
    EXPECT_GT(errorShown.inNoteArea, 200) << "the error stands over the level";
    EXPECT_EQ(errorShown.elsewhere, 0) << "the level stays as it was";
    const Changes backAgain = ChangesByArea(pillar, fixed);
    EXPECT_EQ(backAgain.inNoteArea + backAgain.elsewhere, 0) << "the fixed save shows the level of the same text";
}

TEST(LevelWatch, RepeatedReloadsKeepTheLiveTexturesAndTheHeapSteady)
{
    ScratchDirectory directory;
    directory.Write("room.level", kRoomLevel);
    const int saves = 12;
    std::string script;
    for (int save = 1; save <= saves; ++save) {
        script += std::to_string(save * 10) + " wait level " + std::to_string(save) + "\n";
    }
    WatchRun run(directory, script, saves * 10 + 5);
    for (int save = 1; save <= saves; ++save) {
        ASSERT_TRUE(run.SaveWhenAwaited(save, save % 2 == 1 ? kPillarRoom : kRoomLevel, save % 2 == 0));
    }
    const ProgramResult result = run.Finish();
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const Reloads reloads = ReloadsLogged(ReadWholeFile(directory.Path() / "Korvath.log"));
    for (int full = 0; full < 2; ++full) {
        ASSERT_EQ(reloads.textures[full].size(), static_cast<size_t>(saves));
        ASSERT_EQ(reloads.heapBytes[full].size(), static_cast<size_t>(saves));
        for (const int textures : reloads.textures[full]) {
            EXPECT_EQ(textures, reloads.textures[full].front()) << "the old level's textures are deleted";
        }
    }
    // The figure is taken while the next save may already be compiling, so it takes one of a few levels some
    // 17 MiB apart (seen: 44, 51 and 61 MiB on a busy machine); the least of three reloads is mostly the lowest.
    // A reload that kept its build (8 MiB of decoded pictures alone) would add at least 48 MiB over the six or
    // more reloads between the two groups.
    const std::vector<double>& heap = reloads.heapBytes[1];
    const double early = *std::min_element(heap.begin() + 1, heap.begin() + 4);
    const double late = *std::min_element(heap.end() - 3, heap.end());
    EXPECT_LT(late, early + 24.0 * 1024 * 1024) << "the least heap in use of the 2nd-4th and of the last 3 reloads";
}

TEST(LevelWatch, WatchingNeedsALevelAndAGameWithoutItIgnoresSaves)
{
    ScratchDirectory directory;
    ProgramRun withoutLevel;
    withoutLevel.workingDirectory = directory.Path();
    withoutLevel.arguments = {"--watch", "--frames", "2"};
    const ProgramResult refused = withoutLevel.Run();
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--watch"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--level"), std::string::npos) << refused.err;

    directory.Write("room.level", kRoomLevel);
    directory.Write("script.txt", "5 wait level 1\n");
    ProgramRun waitWithoutWatch;
    waitWithoutWatch.workingDirectory = directory.Path();
    waitWithoutWatch.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--level", "room.level",
                                  "--script", "script.txt", "--frames", "10"};
    const ProgramResult scriptRefused = waitWithoutWatch.Run();
    EXPECT_EQ(scriptRefused.exitCode, 2);
    EXPECT_NE(scriptRefused.err.find("script.txt: frame 5: 'wait level'"), std::string::npos) << scriptRefused.err;

    // Without --watch a save during the run changes nothing, and the trace is the one it always was.
    ProgramRun unwatched;
    unwatched.workingDirectory = directory.Path();
    unwatched.arguments = {"--archive", DefaultArchive(), "--no-dialogs", "--level", "room.level",
                           "--fixed-step", "10", "--frames", "300", "--trace", "trace.jsonl"};
    unwatched.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    auto running = std::async(std::launch::async, [unwatched] { return unwatched.Run(); });
    while (!std::filesystem::exists(directory.Path() / "Korvath.log") &&
           running.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    }
    Save(directory, kPillarRoom, true);
    const ProgramResult result = running.get();
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<TraceFrame> frames = ReadTrace(directory.Path() / "trace.jsonl");
    ASSERT_EQ(frames.size(), 300u);
    EXPECT_FALSE(frames.back().Has("reloads"));
    EXPECT_EQ(frames.back().Int("drawnTriangles"), frames.front().Int("drawnTriangles"));
}
