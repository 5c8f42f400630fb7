// Helpers for the tool tests, and the scratch working directory every test runs in.
#include "ToolsTestSupport.h"

#include "scene/XArchive.h"
#include "support/ScratchEnvironment.h"
#include "tools/pack/XPacker.h"
#include "tools/texgen/XEngineTextures.h"
#include "tools/texgen/XGlyphRasterizer.h"

#include <gtest/gtest.h>

#include <filesystem> // std::filesystem::current_path

namespace {

// The archive layer logs into the working directory, and the generators write files: keep both out of the
// build tree.
::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ScratchEnvironment("korvath-tools-test"));

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

int PictureChannel(int x, int deliveredRow, int channel, int channels)
{
    const int width = static_cast<int>(QXPictureGetWidth());
    return QXPictureGetData()[(deliveredRow * width + x) * channels + channel];
}
