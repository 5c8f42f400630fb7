// Tests of the packer and of the generator's determinism: the archive depends only on file names and
// contents, and everything packed reads back through the archive layer.
#include "scene/XArchive.h"
#include "tools/pack/XPacker.h"
#include "tools/texgen/XEngineTextures.h"
#include "tools/texgen/XGlyphRasterizer.h"

#include "ToolsTestSupport.h"

#include <gtest/gtest.h>
#include <zip.h> // zip_open, zip_get_name, zip_stat_index

#include <algorithm>  // std::replace
#include <filesystem> // std::filesystem::create_directories
#include <cstring>   // std::memcmp
#include <ctime>     // std::mktime
#include <sys/time.h> // utimes

namespace {

void SetModificationTime(const std::string& path, long seconds)
{
    const timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0) << path;
}

void MakeSmallStagingFolder(const std::string& folder)
{
    ASSERT_TRUE(WriteFileBytes(folder + "/sound/sten.wav", Bytes(3000, 7)));
    ASSERT_TRUE(WriteFileBytes(folder + "/misc/b.raw", Bytes{1, 2, 3, 4}));
    ASSERT_TRUE(WriteFileBytes(folder + "/misc/a.raw", Bytes{5, 6}));
    ASSERT_TRUE(WriteFileBytes(folder + "/scene/world.msa", Bytes{'w', 'o', 'r', 'l', 'd'}));
    ASSERT_TRUE(WriteFileBytes(folder + "/readme.txt", Bytes{'r'}));
}

} // namespace

TEST(Packer, ListsNestedFilesWithSlashesInSortedOrder)
{
    MakeSmallStagingFolder("list-staging");
    const std::vector<std::string> expected = {"misc/a.raw", "misc/b.raw", "readme.txt", "scene/world.msa",
                                               "sound/sten.wav"};
    EXPECT_EQ(XPacker::ListFiles("list-staging"), expected);
    EXPECT_TRUE(XPacker::ListFiles("no-such-folder").empty());
}

TEST(Packer, SameFilesGiveTheSameBytesWhateverTheirDates)
{
    MakeSmallStagingFolder("dated-staging");
    std::string error;
    ASSERT_TRUE(XPacker::Pack("dated-staging", "first.pck", error)) << error;
    for (const std::string& name : XPacker::ListFiles("dated-staging")) {
        SetModificationTime("dated-staging/" + name, 1234567890L);
    }
    ASSERT_TRUE(XPacker::Pack("dated-staging", "second.pck", error)) << error;
    const Bytes first = ReadFileBytes("first.pck");
    const Bytes second = ReadFileBytes("second.pck");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second);
}

TEST(Packer, EntriesAreSortedDeflatedAndCarryOneFixedDate)
{
    MakeSmallStagingFolder("entry-staging");
    std::string error;
    ASSERT_TRUE(XPacker::Pack("entry-staging", "entries.pck", error)) << error;
    int openError = 0;
    zip_t* const archive = zip_open("entries.pck", ZIP_RDONLY, &openError);
    ASSERT_NE(archive, nullptr);
    const std::vector<std::string> names = XPacker::ListFiles("entry-staging");
    ASSERT_EQ(zip_get_num_entries(archive, 0), static_cast<zip_int64_t>(names.size()));
    std::tm newYear2000 = {};
    newYear2000.tm_year = 100;
    newYear2000.tm_mday = 1;
    newYear2000.tm_isdst = -1;
    const time_t expectedTime = std::mktime(&newYear2000);
    for (zip_uint64_t i = 0; i < names.size(); ++i) {
        zip_stat_t stat;
        ASSERT_EQ(zip_stat_index(archive, i, 0, &stat), 0);
        EXPECT_EQ(std::string(stat.name), names[i]);
        EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE) << stat.name;
        EXPECT_EQ(stat.mtime, expectedTime) << stat.name;
    }
    zip_discard(archive);
}

TEST(Packer, EmptyOrMissingFolderIsAnError)
{
    std::filesystem::create_directories("empty-staging");
    std::string error;
    EXPECT_FALSE(XPacker::Pack("empty-staging", "empty.pck", error));
    EXPECT_NE(error.find("no files"), std::string::npos);
    error.clear();
    EXPECT_FALSE(XPacker::Pack("missing-staging", "missing.pck", error));
    EXPECT_FALSE(error.empty());
}

TEST(Packer, UnwritableArchivePathIsAnError)
{
    MakeSmallStagingFolder("unwritable-staging");
    std::string error;
    EXPECT_FALSE(XPacker::Pack("unwritable-staging", "no-such-folder/data.pck", error));
    EXPECT_FALSE(error.empty());
}

// ---------------------------------------------------------------------------------------------------------
TEST(GeneratedArchive, EveryStagedFileReadsBackThroughTheArchiveLayer)
{
    const std::vector<std::string> names = XPacker::ListFiles(Generated().stagingFolder);
    ASSERT_EQ(names.size(), XEngineTextures::Files().size());
    SelectGeneratedArchive();
    for (const std::string& name : names) {
        std::string engineName = name;
        std::replace(engineName.begin(), engineName.end(), '/', '\\');
        const Bytes staged = ReadFileBytes(Generated().stagingFolder + "/" + name);
        ASSERT_TRUE(QXOpenResource(engineName.c_str())) << engineName;
        ASSERT_EQ(QXGetSize(), staged.size()) << engineName;
        EXPECT_EQ(std::memcmp(QXGetData(), staged.data(), staged.size()), 0) << engineName;
        QXCloseResource();
    }
}

TEST(GeneratedArchive, GeneratingAgainGivesTheSameArchive)
{
    XGlyphRasterizer font;
    ASSERT_TRUE(font.Load(KORVATH_FONT_FILE));
    std::string error;
    ASSERT_TRUE(XEngineTextures(font).WriteAll("second-generation", error)) << error;
    ASSERT_TRUE(XPacker::Pack("second-generation", "second-generation.pck", error)) << error;
    const Bytes again = ReadFileBytes("second-generation.pck");
    ASSERT_FALSE(again.empty());
    EXPECT_TRUE(again == ReadFileBytes(Generated().archive));
}
