// Tests of the engine's fixed textures as the texture manager reads them from the archive: names, sizes,
// layouts, and the properties the renderers depend on (black edges for additive images, transparent edges
// for blended ones, the cursor's tip, the panel's title at the top).
#include "scene/XArchive.h"

#include "ToolsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm> // std::max
#include <string>

namespace {

struct RawFile {
    const char* name;
    int width;
    int height;
};

// The raw resources the texture manager loads, with the sizes it passes (4 bytes a pixel each).
const RawFile kRawFiles[] = {{"misc\\menu.raw", 512, 512},  {"misc\\cursor.raw", 32, 32},
                             {"misc\\decal.raw", 64, 64},   {"misc\\decal2.raw", 128, 128},
                             {"explode\\weapon.raw", 64, 64}};

// A raw RGBA resource, top row first.
class RawImage {
public:
    RawImage(const char* name, int width_, int height_) : width(width_), height(height_)
    {
        SelectGeneratedArchive();
        if (QXOpenResource(name)) {
            bytes.assign(QXGetData(), QXGetData() + QXGetSize());
            QXCloseResource();
        }
    }

    bool Valid() const
    {
        return bytes.size() == static_cast<size_t>(width * height * 4);
    }

    int At(int x, int y, int channel) const
    {
        return bytes[static_cast<size_t>((y * width + x) * 4 + channel)];
    }

    int Alpha(int x, int y) const
    {
        return At(x, y, 3);
    }

    // Largest alpha on the outermost ring of pixels.
    int EdgeAlpha() const
    {
        int largest = 0;
        for (int i = 0; i < width; ++i) {
            largest = std::max({largest, Alpha(i, 0), Alpha(i, height - 1)});
        }
        for (int i = 0; i < height; ++i) {
            largest = std::max({largest, Alpha(0, i), Alpha(width - 1, i)});
        }
        return largest;
    }

    int width;
    int height;
    Bytes bytes;
};

// The largest channel value on the outermost ring of the current picture.
int PictureEdgeMaximum(int channels, int channel)
{
    const int width = static_cast<int>(QXPictureGetWidth());
    const int height = static_cast<int>(QXPictureGetHeight());
    int largest = 0;
    for (int i = 0; i < width; ++i) {
        largest = std::max({largest, PictureChannel(i, 0, channel, channels), PictureChannel(i, height - 1, channel, channels)});
    }
    for (int i = 0; i < height; ++i) {
        largest = std::max({largest, PictureChannel(0, i, channel, channels), PictureChannel(width - 1, i, channel, channels)});
    }
    return largest;
}

int PictureEdgeBrightness()
{
    return std::max({PictureEdgeMaximum(3, 0), PictureEdgeMaximum(3, 1), PictureEdgeMaximum(3, 2)});
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
TEST(EngineTextureFiles, RawFilesHoldExactlyWidthTimesHeightTimesFourBytes)
{
    SelectGeneratedArchive();
    for (const RawFile& file : kRawFiles) {
        ASSERT_TRUE(QXOpenResource(file.name)) << file.name;
        EXPECT_EQ(QXGetSize(), static_cast<uint32_t>(file.width * file.height * 4)) << file.name;
        QXCloseResource();
    }
}

TEST(EngineTextureFiles, PicturesDecodeWithTheirRoutesLayout)
{
    SelectGeneratedArchive();
    // The spot image goes onto cube faces, which must be square powers of two.
    ASSERT_TRUE(QXOpenPicture("misc\\spot.bmp", true));
    const uint32_t side = QXPictureGetWidth();
    EXPECT_EQ(QXPictureGetHeight(), side);
    EXPECT_EQ(side & (side - 1), 0u);
    const char* const others[] = {"misc\\light.bmp", "misc\\rocketl.jpg", "misc\\font.bmp"};
    for (const char* const name : others) {
        ASSERT_TRUE(QXOpenPicture(name, true)) << name;
        EXPECT_GT(QXPictureGetWidth(), 0u) << name;
    }
    for (int frame = 1; frame <= 8; ++frame) {
        const std::string name = "explode\\rlboom_" + std::to_string(frame) + ".tga";
        ASSERT_TRUE(QXOpenPicture(name.c_str(), true)) << name;
        EXPECT_GT(QXPictureGetWidth(), 0u);
    }
    QXClosePicture();
}

TEST(EngineTextureFiles, ArchiveHoldsNothingElse)
{
    const Bytes archive = ReadFileBytes(Generated().archive);
    ASSERT_FALSE(archive.empty());
    SelectGeneratedArchive();
    EXPECT_FALSE(QXOpenResource("misc\\rlboom_1.tga"));
    EXPECT_FALSE(QXOpenResource("explode\\rlboom_9.tga"));
    EXPECT_FALSE(QXOpenResource("explode\\rlboom_0.tga"));
}

// ---------------------------------------------------------------------------------------------------------
TEST(EngineTextureLooks, SpotIsWhiteInTheMiddleAndBlackAtTheEdge)
{
    SelectGeneratedArchive();
    ASSERT_TRUE(QXOpenPicture("misc\\spot.bmp", true));
    const int side = static_cast<int>(QXPictureGetWidth());
    const int middle = side / 2;
    EXPECT_GE(PictureChannel(middle, middle, 0, 3), 230);
    EXPECT_LE(PictureEdgeBrightness(), 2);
    int previous = 256;
    for (int x = middle; x < side; ++x) {
        const int value = PictureChannel(x, middle, 1, 3);
        EXPECT_LE(value, previous) << "brightness must fall towards the edge, x " << x;
        previous = value;
    }
    QXClosePicture();
}

TEST(EngineTextureLooks, AdditiveImagesAreBlackAtTheEdges)
{
    SelectGeneratedArchive();
    ASSERT_TRUE(QXOpenPicture("misc\\light.bmp", true));
    const int lightMiddle = static_cast<int>(QXPictureGetWidth()) / 2;
    EXPECT_GE(PictureChannel(lightMiddle, lightMiddle, 1, 3), 230);
    EXPECT_LE(PictureEdgeBrightness(), 2);

    ASSERT_TRUE(QXOpenPicture("misc\\rocketl.jpg", true));
    const int glowMiddle = static_cast<int>(QXPictureGetWidth()) / 2;
    EXPECT_GE(PictureChannel(glowMiddle, glowMiddle, 0, 3), 230);
    EXPECT_LE(PictureEdgeBrightness(), 8) << "JPEG noise aside, the glow's square must not show";
    // Orange: between the centre and the edge red leads green, and green leads blue.
    const int x = glowMiddle + glowMiddle / 3;
    EXPECT_GT(PictureChannel(x, glowMiddle, 0, 3), PictureChannel(x, glowMiddle, 1, 3));
    EXPECT_GT(PictureChannel(x, glowMiddle, 1, 3), PictureChannel(x, glowMiddle, 2, 3));
    QXClosePicture();
}

TEST(EngineTextureLooks, DecalsFadeToTransparentEdgesAroundADarkCentre)
{
    const RawImage hole("misc\\decal.raw", 64, 64);
    ASSERT_TRUE(hole.Valid());
    EXPECT_EQ(hole.EdgeAlpha(), 0);
    EXPECT_EQ(hole.Alpha(32, 32), 255);
    EXPECT_LT(hole.At(32, 32, 0) + hole.At(32, 32, 1) + hole.At(32, 32, 2), 60);

    const RawImage scorch("misc\\decal2.raw", 128, 128);
    ASSERT_TRUE(scorch.Valid());
    EXPECT_EQ(scorch.EdgeAlpha(), 0);
    EXPECT_GT(scorch.Alpha(64, 64), 200);
    EXPECT_LT(scorch.At(64, 64, 0), 40);
}

TEST(EngineTextureLooks, CursorTipIsAtTheTopLeftOfTheStoredRows)
{
    // Raw files are stored top row first: the cursor quad maps the first row to its top edge, and the
    // mouse position to its top-left corner.
    const RawImage cursor("misc\\cursor.raw", 32, 32);
    ASSERT_TRUE(cursor.Valid());
    EXPECT_GT(cursor.Alpha(1, 1), 128);
    EXPECT_EQ(cursor.Alpha(31, 0), 0);
    EXPECT_EQ(cursor.Alpha(0, 31), 0);
    EXPECT_EQ(cursor.Alpha(31, 31), 0);
    long upper = 0;
    long lower = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            (y < 16 ? upper : lower) += cursor.Alpha(x, y);
        }
    }
    EXPECT_GT(upper, lower) << "the arrow widens from its tip downwards: most of it is in the top half";
    EXPECT_GT(cursor.At(4, 10, 0), 200) << "the arrow is filled white";
}

TEST(EngineTextureLooks, PanelHasItsTitleAtTheTopAndLetsTheHelpTextThrough)
{
    const RawImage menu("misc\\menu.raw", 512, 512);
    ASSERT_TRUE(menu.Valid());
    EXPECT_EQ(menu.Alpha(0, 0), 0) << "rounded corners";
    EXPECT_EQ(menu.Alpha(511, 511), 0);
    // Title lettering: bright amber pixels (much more red than blue), all in the upper third.
    int amberTop = 0;
    int amberBottom = 0;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            const bool amber = menu.At(x, y, 0) > 200 && menu.At(x, y, 2) < 150 && menu.Alpha(x, y) > 200;
            (y < 170 ? amberTop : amberBottom) += amber ? 1 : 0;
        }
    }
    EXPECT_GT(amberTop, 500);
    EXPECT_EQ(amberBottom, 0);
    // The help text is drawn under the panel at texture rows of roughly 150 to 400 and must show through.
    for (int y = 180; y < 400; y += 20) {
        EXPECT_LE(menu.Alpha(256, y), 160) << "row " << y;
        EXPECT_GE(menu.Alpha(256, y), 64) << "row " << y;
    }
}

TEST(EngineTextureLooks, WeaponIsOpaque)
{
    const RawImage weapon("explode\\weapon.raw", 64, 64);
    ASSERT_TRUE(weapon.Valid());
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(weapon.Alpha(x, y), 255) << x << ", " << y;
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
TEST(ExplosionFrames, GrowAndFadeWithTransparentEdges)
{
    SelectGeneratedArchive();
    long previousCovered = 0;
    double firstMeanAlpha = 0.0;
    double previousMeanAlpha = 256.0;
    for (int frame = 1; frame <= 8; ++frame) {
        const std::string name = "explode\\rlboom_" + std::to_string(frame) + ".tga";
        ASSERT_TRUE(QXOpenPicture(name.c_str(), true)) << name;
        EXPECT_EQ(PictureEdgeMaximum(4, 3), 0) << name;
        const int side = static_cast<int>(QXPictureGetWidth());
        long covered = 0;
        double alphaSum = 0.0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const int alpha = PictureChannel(x, y, 3, 4);
                if (alpha > 12) {
                    ++covered;
                    alphaSum += alpha;
                }
            }
        }
        ASSERT_GT(covered, 0) << name;
        const double meanAlpha = alphaSum / static_cast<double>(covered);
        if (frame <= 6) {
            EXPECT_GT(covered, previousCovered) << name << " should be larger than the frame before";
        }
        EXPECT_LT(meanAlpha, previousMeanAlpha) << name << " should be fainter than the frame before";
        if (frame == 1) {
            firstMeanAlpha = meanAlpha;
        }
        if (frame == 8) {
            EXPECT_LT(meanAlpha, firstMeanAlpha * 0.5);
        }
        previousCovered = covered;
        previousMeanAlpha = meanAlpha;
    }
    QXClosePicture();
}

TEST(ExplosionFrames, StartHotAndCoolDown)
{
    SelectGeneratedArchive();
    ASSERT_TRUE(QXOpenPicture("explode\\rlboom_1.tga", true));
    const int middle = static_cast<int>(QXPictureGetWidth()) / 2;
    EXPECT_GE(PictureChannel(middle, middle, 0, 4), 240);
    EXPECT_GE(PictureChannel(middle, middle, 1, 4), 180) << "the first frame's core is yellow-white";
    ASSERT_TRUE(QXOpenPicture("explode\\rlboom_8.tga", true));
    EXPECT_LT(PictureChannel(middle, middle, 1, 4), 180) << "the last frame has cooled";
    QXClosePicture();
}
