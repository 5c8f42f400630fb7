// Helpers for the tool tests, and the temporary working directory every test runs in.
#include "ToolsTestSupport.h"

#include "scene/XArchive.h"
#include "tools/pack/XPacker.h"
#include "tools/texgen/XEngineTextures.h"
#include "tools/texgen/XGlyphRasterizer.h"

#include <gtest/gtest.h>

#include <cstdio>     // std::fopen
#include <cstdlib>    // mkdtemp
#include <filesystem> // std::filesystem::create_directories, remove_all
#include <unistd.h>   // chdir, getcwd

namespace {

// The archive layer logs into the working directory, and the generators write files: keep both out of the
// build tree.
class TemporaryWorkingDirectory : public ::testing::Environment {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/korvath-tools-test-XXXXXX";
        const char* const directory = mkdtemp(pattern);
        ASSERT_NE(directory, nullptr);
        path = directory;
        ASSERT_EQ(chdir(directory), 0);
    }

    void TearDown() override
    {
        if (!path.empty() && chdir("/tmp") == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }

private:
    std::string path;
};

::testing::Environment* const temporaryDirectory =
    ::testing::AddGlobalTestEnvironment(new TemporaryWorkingDirectory());

GeneratedData MakeGeneratedData()
{
    GeneratedData data;
    const std::string here = std::filesystem::current_path().string();
    data.stagingFolder = here + "/generated-data";
    data.archive = here + "/generated-data.pck";
    XGlyphRasterizer font;
    EXPECT_TRUE(font.Load(KORVATH_FONT_FILE)) << KORVATH_FONT_FILE;
    std::string error;
    EXPECT_TRUE(XEngineTextures(font).WriteAll(data.stagingFolder, error)) << error;
    EXPECT_TRUE(XPacker::Pack(data.stagingFolder, data.archive, error)) << error;
    return data;
}

} // namespace

const GeneratedData& Generated()
{
    static const GeneratedData data = MakeGeneratedData();
    return data;
}

void SelectGeneratedArchive()
{
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(Generated().archive.c_str(), ""));
}

Bytes ReadFileBytes(const std::string& path)
{
    Bytes bytes;
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    unsigned char buffer[65536];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    std::fclose(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FILE* const file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
}

int PictureChannel(int x, int deliveredRow, int channel, int channels)
{
    const int width = static_cast<int>(QXPictureGetWidth());
    return QXPictureGetData()[(deliveredRow * width + x) * channels + channel];
}
