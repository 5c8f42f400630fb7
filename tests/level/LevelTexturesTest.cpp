// The level texture generator: its catalogue matches the build's file list, and each texture is a
// seamless power-of-two tile painted the same way every time.
#include "LevelTestSupport.h"

#include "tools/leveltex/XLevelTextures.h"

#include <gtest/gtest.h>

#include <cmath> // fabs

TEST(LevelTextureCatalogue, MatchesTheFilesTheBuildExpects)
{
    const std::string cmake = ReadWholeFile(KORVATH_SOURCE_DIR "/tools/leveltex/CMakeLists.txt");
    ASSERT_FALSE(cmake.empty());
    for (const XLevelTextureEntry& entry : XLevelTextures::Catalogue()) {
        EXPECT_NE(cmake.find(std::string("scene/") + entry.fileName), std::string::npos) << entry.fileName;
        EXPECT_EQ(entry.size & (entry.size - 1), 0) << entry.fileName;
        EXPECT_NE(XLevelTextures::Find(entry.fileName), nullptr);
    }
    EXPECT_NE(XLevelTextures::Find("sky_clouds.jpg"), nullptr);
    EXPECT_NE(XLevelTextures::Find("weapons.jpg"), nullptr);
    EXPECT_EQ(XLevelTextures::Find("missing.jpg"), nullptr);
}

TEST(LevelTexturePainting, IsSeamlessAndRepeatable)
{
    for (const XLevelTextureEntry& entry : XLevelTextures::Catalogue()) {
        const XImage canvas = entry.paint(entry.size);
        EXPECT_EQ(canvas.ToBytes(3), entry.paint(entry.size).ToBytes(3)) << entry.fileName;
        if (std::string(entry.fileName) == "weapons.jpg") {
            continue; // four separate quarters, not a tile
        }
        // The jump across the wrap-around edge is no larger than between neighbouring columns inside.
        auto columnStep = [&](int a, int b) {
            double sum = 0.0;
            for (int y = 0; y < canvas.Height(); ++y) {
                const XColor& p = canvas.At(a, y);
                const XColor& q = canvas.At(b, y);
                sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b);
            }
            return sum / canvas.Height();
        };
        double inside = 0.0;
        for (int x = 1; x < canvas.Width(); x += canvas.Width() / 16) {
            inside += columnStep(x, x + 1);
        }
        inside /= 16.0;
        EXPECT_LT(columnStep(canvas.Width() - 1, 0), inside * 2.5 + 0.02) << entry.fileName;
        // Bright enough to be lit by the light map, dark enough to keep detail.
        const XColor average = canvas.Average();
        const float brightness = (average.r + average.g + average.b) / 3.0f;
        EXPECT_GT(brightness, 0.2f) << entry.fileName;
        EXPECT_LT(brightness, 0.9f) << entry.fileName;
    }
}
