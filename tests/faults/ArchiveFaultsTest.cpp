// The game's archive with every entry missing in turn, cut short, or not a ZIP at all: the game either runs
// on or stops with a message that names the cause — never a crash, never a hang.
#include "FaultRun.h"

#include <gtest/gtest.h>

namespace {

// What a player sees when one entry of the shipped data is missing: the exit status, and the one message
// (on stderr, or only in Korvath.log for what the game does without quietly) that names the entry.
struct MissingEntryOutcome {
    int exitCode = 0;
    std::string message;
    bool onStderr = true;
};

std::string Backslashed(std::string name)
{
    for (char& c : name) {
        c = c == '/' ? '\\' : c;
    }
    return name;
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The documented handling, entry by entry: the explosion frames and the raw pictures are required (the
// texture manager stops the game), the fonts, flare and glow pictures and the level's textures are reported
// and the game runs without them, the spot picture leaves the spotlight dark, a sound stays silent, the world is
// drawn whole without its visibility file, the player starts at the origin without the level's settings file,
// and without its scene file there is no level to play.
MissingEntryOutcome ExpectedWhenMissing(const std::string& entry)
{
    const std::string name = Backslashed(entry);
    if (StartsWith(entry, "explode/") && EndsWith(entry, ".tga")) {
        return {1, "RUdezer: Texture file " + name + " not found.", true};
    }
    if (EndsWith(entry, ".raw")) {
        return {1, "RUdezer: XTexture2D: Could not find file " + name, true};
    }
    if (entry == "misc/spot.bmp") {
        return {0, "Texture file misc\\spot.bmp not found.", false};
    }
    if (StartsWith(entry, "sound/")) {
        return {0, "Sound: no entry " + name + " in the archive; that sound stays silent", false};
    }
    if (entry == "scene/world.vis") {
        return {0, "Visibility: no scene\\world.vis in the archive; the whole world is drawn every frame.", false};
    }
    if (entry == "scene/world.info") {
        return {0, "Level: no scene\\world.info in the archive; the player starts at the origin.", false};
    }
    if (entry == "scene/world.msa") {
        return {1, "RUdezer: World mesh could not be found in scene", true};
    }
    return {0, "RUdezer: Texture file " + name + " not found.", true};
}

// The level's pictures and the sounds go through one loader path each and are missed together in one run; every
// other entry gets a run of its own (a stop names only the first entry missing, and a missing font ends the
// loading of the special pictures after it). The explosion's frames all go through one loop, so its first and
// last frame stand for the others.
bool IsLevelPicture(const std::string& entry)
{
    return StartsWith(entry, "scene/") && entry != "scene/world.msa" && entry != "scene/world.vis" &&
           entry != "scene/world.info";
}

bool IsSound(const std::string& entry)
{
    return StartsWith(entry, "sound/");
}

std::vector<std::string> EntriesWithARunOfTheirOwn()
{
    std::vector<std::string> own;
    for (const std::string& entry : DefaultDataEntryNames()) {
        const bool middleFrame = StartsWith(entry, "explode/rlboom_") && entry != "explode/rlboom_1.tga" &&
                                 entry != "explode/rlboom_8.tga";
        if (!IsLevelPicture(entry) && !IsSound(entry) && !middleFrame) {
            own.push_back(entry);
        }
    }
    return own;
}

// The data without every entry that `kind` picks, played through: the names of the entries left out.
FaultResult RunWithout(bool (*kind)(const std::string&), std::vector<std::string>& leftOut)
{
    std::vector<ZipEntry> entries = DefaultDataEntries();
    for (const std::string& entry : DefaultDataEntryNames()) {
        if (kind(entry)) {
            RemoveEntry(entries, entry);
            leftOut.push_back(entry);
        }
    }
    FaultRun run;
    return run.Entries(entries).Run();
}

void ExpectTold(const FaultResult& result, const MissingEntryOutcome& expected)
{
    if (expected.onStderr) {
        EXPECT_TRUE(result.SaysOnStderr(expected.message)) << "expected: " << expected.message << "\n"
                                                           << result.program.err;
    } else {
        EXPECT_TRUE(result.Logs(expected.message)) << "expected: " << expected.message << "\n" << result.log;
    }
    EXPECT_TRUE(result.Logs(expected.message.substr(expected.onStderr ? 9 : 0))) << "the log keeps it too";
}

class MissingEntry : public testing::TestWithParam<std::string> {};

std::string EntryTestName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    for (char& c : name) {
        c = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '_';
    }
    return name;
}

} // namespace

TEST(MissingEntries, TheGameDataHasEntriesToLeaveOut)
{
    const std::vector<std::string> names = DefaultDataEntryNames();
    EXPECT_GE(names.size(), 30u) << "the build's data folder is missing or incomplete";
    EXPECT_GE(EntriesWithARunOfTheirOwn().size(), 10u);
}

TEST(MissingEntries, WithoutAnyOfTheLevelsPicturesTheLevelLoadsAndTheLogNamesEachOne)
{
    std::vector<std::string> missing;
    const FaultResult result = RunWithout(IsLevelPicture, missing);
    ASSERT_GE(missing.size(), 10u);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.SaysOnStderr("RUdezer: " + std::to_string(missing.size()) + " texture files not found: "))
        << result.program.err;
    for (const std::string& entry : missing) {
        EXPECT_TRUE(result.Logs("Texture file " + Backslashed(entry) + " not found.")) << entry << "\n" << result.log;
    }
}

TEST(MissingEntries, WithoutAnySoundTheGamePlaysSilentlyAndTheLogNamesEachOne)
{
    std::vector<std::string> missing;
    const FaultResult result = RunWithout(IsSound, missing);
    ASSERT_GE(missing.size(), 3u);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    for (const std::string& entry : missing) {
        SCOPED_TRACE(entry);
        ExpectTold(result, ExpectedWhenMissing(entry));
    }
}

TEST_P(MissingEntry, EndsWithItsMessageOrRunsOn)
{
    std::vector<ZipEntry> entries = DefaultDataEntries();
    RemoveEntry(entries, GetParam());
    FaultRun run;
    const FaultResult result = run.Entries(entries).Run();
    ExpectCleanEnd(result);
    const MissingEntryOutcome expected = ExpectedWhenMissing(GetParam());
    EXPECT_EQ(result.program.exitCode, expected.exitCode) << result.program.err;
    ExpectTold(result, expected);
}

INSTANTIATE_TEST_SUITE_P(DefaultData, MissingEntry, testing::ValuesIn(EntriesWithARunOfTheirOwn()), EntryTestName);

TEST(BrokenArchive, ATruncatedArchiveIsNamedAsSuch)
{
    const std::string bytes = ReadWholeFile(DefaultArchive());
    ASSERT_GT(bytes.size(), 1000u);
    for (const size_t kept : {bytes.size() - 22, bytes.size() / 2, size_t{100}}) {
        FaultRun run;
        const std::filesystem::path archive = run.Directory() / "data.pck";
        run.Archive(archive);
        ASSERT_TRUE(WriteWholeFile(archive, bytes.substr(0, kept)));
        const FaultResult result = run.Run();
        ExpectCleanEnd(result);
        EXPECT_EQ(result.program.exitCode, 1) << kept << " bytes\n" << result.program.err;
        EXPECT_TRUE(result.SaysOnStderr("Archive " + archive.string() +
                                        " could not be opened: damaged or truncated ZIP archive\n"))
            << kept << " bytes\n" << result.program.err;
    }
}

TEST(BrokenArchive, AFileThatIsNotAZipIsNamedAsSuch)
{
    FaultRun run;
    const std::filesystem::path archive = run.Directory() / "notes.txt";
    ASSERT_TRUE(WriteWholeFile(archive, "These are notes, not an archive.\n"));
    const FaultResult result = run.Archive(archive).Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    EXPECT_TRUE(result.SaysOnStderr("Archive " + archive.string() + " could not be opened: not a ZIP archive\n"))
        << result.program.err;
}

TEST(BrokenArchive, AnEmptyFileIsNamedAsSuch)
{
    FaultRun run;
    const std::filesystem::path archive = run.Directory() / "data.pck";
    ASSERT_TRUE(WriteWholeFile(archive, ""));
    const FaultResult result = run.Archive(archive).Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    EXPECT_TRUE(result.SaysOnStderr("Archive " + archive.string() + " could not be opened: the file is empty\n"))
        << result.program.err;
}

TEST(BrokenArchive, AMissingArchiveIsReportedOnceAndStopsTheGameBeforeItsConsequences)
{
    FaultRun run;
    const std::filesystem::path archive = run.Directory() / "nowhere.pck";
    const FaultResult result = run.Archive(archive).Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    EXPECT_EQ(result.program.err, "RUdezer: Archive " + archive.string() + " could not be opened: file not found\n")
        << "the cause, once, and none of its consequences (missing font, missing level, ...)";
}

TEST(BrokenArchive, ADamagedEntryIsReportedAsDamagedNotAsMissing)
{
    std::vector<ZipEntry> entries = DefaultDataEntries();
    FaultRun run;
    const std::filesystem::path archive = run.Directory() / "data.pck";
    run.Entries(entries);
    // Flip bytes in the middle of the deflated scene text: the entry is listed, its data fails its check.
    std::string bytes = ReadWholeFile(archive);
    const size_t scene = bytes.find("scene/world.msa");
    ASSERT_NE(scene, std::string::npos);
    const size_t data = scene + 15 + 200; // past the local header's name, into the compressed text
    ASSERT_LT(data + 64, bytes.size());
    for (size_t i = data; i < data + 64; ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    }
    ASSERT_TRUE(WriteWholeFile(archive, bytes));
    const FaultResult result = run.Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1) << "no level without its scene";
    EXPECT_TRUE(result.SaysOnStderr("Archive entry scene\\world.msa could not be read: ")) << result.program.err;
}

TEST(BrokenArchive, ADamagedLevelTextureIsNamedAndTheLevelLoadsWithoutIt)
{
    FaultRun run;
    const std::filesystem::path archive = run.Directory() / "data.pck";
    run.Entries(DefaultDataEntries());
    std::string bytes = ReadWholeFile(archive);
    const size_t entry = bytes.find("scene/brick.jpg");
    ASSERT_NE(entry, std::string::npos);
    const size_t data = entry + 15 + 300;
    ASSERT_LT(data + 32, bytes.size());
    for (size_t i = data; i < data + 32; ++i) {
        bytes[i] = static_cast<char>(~bytes[i]);
    }
    ASSERT_TRUE(WriteWholeFile(archive, bytes));
    const FaultResult result = run.Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    const size_t cause = result.program.err.find("Archive entry scene\\brick.jpg could not be read: ");
    const size_t consequence = result.program.err.find("RUdezer: Texture file scene\\brick.jpg not found.");
    ASSERT_NE(cause, std::string::npos) << result.program.err;
    ASSERT_NE(consequence, std::string::npos) << result.program.err;
    EXPECT_LT(cause, consequence);
    EXPECT_TRUE(result.Logs("Archive entry scene\\brick.jpg could not be read: ")) << result.log;
}
