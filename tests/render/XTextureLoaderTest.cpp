// Tests of the texture loader: raw resources, pictures and the spot cube map.
#include "render/XTextureLoader.h"

#include "render/XTexture2D.h"

#include "RenderTestSupport.h"

#include <gmock/gmock.h> // HasSubstr, Not
#include <gtest/gtest.h>

#include <algorithm> // copy_n
#include <cstdlib> // std::abs
#include <memory>

namespace {

using testing::ExitedWithCode;
using testing::HasSubstr;
using testing::KilledBySignal;
using testing::Not;

// Rows of a picture in the opposite order: what was given top row first comes out bottom row first.
Bytes FlipRows(const Bytes& pixels, int width, int height, int channels)
{
    const size_t rowBytes = static_cast<size_t>(width * channels);
    Bytes flipped(pixels.size());
    for (int row = 0; row < height; ++row) {
        const size_t from = static_cast<size_t>(row) * rowBytes;
        const size_t to = static_cast<size_t>(height - 1 - row) * rowBytes;
        std::copy_n(pixels.begin() + static_cast<long>(from), rowBytes, flipped.begin() + static_cast<long>(to));
    }
    return flipped;
}

void BindForReading(const XTexture& texture)
{
    glBindTexture(GL_TEXTURE_2D, texture.GetId());
}

class TextureLoading : public RenderTest {
protected:
    void TearDown() override
    {
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        TakeGLError();
    }

    const XTextureLoader& loader = *GetTextureLoader();
};

using RawTextures = TextureLoading;

TEST_F(RawTextures, Depth4ResourceBecomesOneLevelWithItsBytesFirstRowAtTZero)
{
    const Bytes pixels = PseudoRandomBytes(32 * 32 * 4, 7);
    const ScopedArchive archive({{"misc/cursor.raw", pixels}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromRaw("misc\\cursor.raw", 32, 32, 4, false);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetType(), 2);
    EXPECT_EQ(texture->GetWrap(), static_cast<GLenum>(GL_REPEAT));
    EXPECT_EQ(texture->GetMinFilter(), static_cast<GLenum>(GL_LINEAR));
    BindForReading(*texture);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGBA, 4), pixels);
    EXPECT_EQ(TextureLevelWidth(GL_TEXTURE_2D, 1), 0);
}

TEST_F(RawTextures, MipmappedLuminanceResourceHasEveryLevel)
{
    const Bytes pixels = PseudoRandomBytes(8 * 8, 11);
    const ScopedArchive archive({{"misc/grey.raw", pixels}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromRaw("misc\\grey.raw", 8, 8, 1, true);
    ASSERT_NE(texture, nullptr);
    BindForReading(*texture);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, 1), pixels);
    EXPECT_EQ(TextureLevelWidth(GL_TEXTURE_2D, 3), 1);
}

TEST_F(RawTextures, RowsWhoseLengthIsNotAMultipleOfFourAreReadTightlyPacked)
{
    const Bytes pixels = PseudoRandomBytes(5 * 3 * 3, 13);
    const ScopedArchive archive({{"misc/odd.raw", pixels}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromRaw("misc\\odd.raw", 5, 3, 3, false);
    ASSERT_NE(texture, nullptr);
    BindForReading(*texture);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGB, 3), pixels);
}

TEST_F(RawTextures, ShortResourceIsReportedAndItsMissingPartLeftBlack)
{
    const Bytes pixels = PseudoRandomBytes(10, 17);
    const ScopedArchive archive({{"misc/short.raw", pixels}});
    BeginCapturingErrors();
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromRaw("misc\\short.raw", 4, 4, 4, false);
    const std::string errors = EndCapturingErrors();
    EXPECT_THAT(errors, HasSubstr("RUdezer: XTexture2D: File misc\\short.raw holds 10 of the 64 bytes"));
    ASSERT_NE(texture, nullptr);
    BindForReading(*texture);
    Bytes expected = pixels;
    expected.resize(64, 0);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGBA, 4), expected);
}

TEST_F(RawTextures, DepthTwoStopsOnTheAssertionBeforeAnyFileAccess)
{
    // The resource does not exist: had the file been looked for first, the stop would be the missing-file one.
    EXPECT_EXIT(loader.CreateTextureFromRaw("misc\\nothing.raw", 4, 4, 2, false), KilledBySignal(SIGABRT),
                "Assertion failed: \\(depth == 1\\) \\|\\| \\(depth\\) == 3 \\|\\| \\(depth == 4\\), file texture");
}

TEST_F(RawTextures, MissingResourceIsFatal)
{
    EXPECT_EXIT(loader.CreateTextureFromRaw("misc\\nothing.raw", 4, 4, 4, false), ExitedWithCode(1),
                "RUdezer: XTexture2D: Could not find file misc\\\\nothing.raw");
}

using BitmapTextures = TextureLoading;

TEST_F(BitmapTextures, PictureBecomesMipmappedRGBWithItsBottomRowAtTZero)
{
    const Bytes topFirst = PseudoRandomBytes(4 * 2 * 3, 19);
    const ScopedArchive archive({{"misc/pic.bmp", EncodeBmp(4, 2, topFirst)}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromBitmap(2, "misc\\pic.bmp", false, GL_CLAMP);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetWrap(), static_cast<GLenum>(GL_CLAMP));
    EXPECT_EQ(texture->GetMinFilter(), static_cast<GLenum>(GL_LINEAR_MIPMAP_LINEAR));
    EXPECT_EQ(texture->GetMagFilter(), static_cast<GLenum>(GL_LINEAR_MIPMAP_LINEAR));
    BindForReading(*texture);
    GLint internalFormat = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    EXPECT_EQ(internalFormat, GL_RGB);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGB, 3), FlipRows(topFirst, 4, 2, 3));
    EXPECT_EQ(TextureLevelWidth(GL_TEXTURE_2D, 2), 1);
}

TEST_F(BitmapTextures, MissingPictureIsReportedAndGivesNull)
{
    BeginCapturingErrors();
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromBitmap(2, "misc\\none.bmp", false, GL_REPEAT);
    EXPECT_EQ(EndCapturingErrors(), "RUdezer: Texture file misc\\none.bmp not found.\n");
    EXPECT_EQ(texture, nullptr);
}

TEST_F(BitmapTextures, ErrorsLeftByEarlierDrawingDoNotFailTheUpload)
{
    glEnable(0x1234); // leaves GL_INVALID_ENUM pending
    BeginCapturingErrors();
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromBitmap(2, "misc\\light.bmp", false, GL_REPEAT);
    EXPECT_THAT(EndCapturingErrors(), Not(HasSubstr("Could not uppload")));
    EXPECT_NE(texture, nullptr);
    EXPECT_EQ(TakeGLError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(BitmapTextures, TypeOtherThanTwoIsFatal)
{
    EXPECT_EXIT(loader.CreateTextureFromBitmap(3, "misc\\light.bmp", false, GL_REPEAT), ExitedWithCode(1),
                "RUdezer: Texture load error");
}

TEST_F(BitmapTextures, EmptyFileNameIsFatal)
{
    EXPECT_EXIT(loader.CreateTextureFromBitmap(2, "", false, GL_REPEAT), ExitedWithCode(1),
                "RUdezer: CreateTextureFromBitmap");
}

using TgaTextures = TextureLoading;

TEST_F(TgaTextures, PictureBecomesMipmappedRGBAKeepingItsAlpha)
{
    const Bytes topFirst = PseudoRandomBytes(4 * 4 * 4, 23);
    const ScopedArchive archive({{"explode/a.tga", EncodeTga(4, 4, 4, topFirst, false)}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromTGA("explode\\a.tga");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetWrap(), static_cast<GLenum>(GL_REPEAT));
    EXPECT_EQ(texture->GetMinFilter(), static_cast<GLenum>(GL_LINEAR_MIPMAP_LINEAR));
    BindForReading(*texture);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGBA, 4), FlipRows(topFirst, 4, 4, 4));
    EXPECT_EQ(TextureLevelWidth(GL_TEXTURE_2D, 2), 1);
}

TEST_F(TgaTextures, MissingPictureIsFatal)
{
    EXPECT_EXIT(loader.CreateTextureFromTGA("explode\\none.tga"), ExitedWithCode(1),
                "RUdezer: Texture file explode\\\\none.tga not found.");
}

TEST_F(TgaTextures, EmptyFileNameIsFatal)
{
    EXPECT_EXIT(loader.CreateTextureFromTGA(""), ExitedWithCode(1), "RUdezer: CreateTextureFromTGA");
}

using JpegTextures = TextureLoading;

TEST_F(JpegTextures, PictureBecomesMipmappedRGBWithTheGivenWrap)
{
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromJPEG("misc\\rocketl.jpg", false, GL_CLAMP);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetWrap(), static_cast<GLenum>(GL_CLAMP));
    EXPECT_EQ(texture->GetMinFilter(), static_cast<GLenum>(GL_LINEAR_MIPMAP_LINEAR));
    BindForReading(*texture);
    const Bytes pixels = ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGB, 3);
    ASSERT_EQ(pixels.size(), 8u * 8u * 3u);
    for (const unsigned char value : pixels) {
        EXPECT_LE(std::abs(value - 128), 3); // a flat grey survives JPEG almost exactly
    }
}

TEST_F(JpegTextures, MissingPictureIsReportedAndGivesNull)
{
    BeginCapturingErrors();
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromJPEG("misc\\none.jpg", false, GL_CLAMP);
    EXPECT_EQ(EndCapturingErrors(), "RUdezer: Texture file misc\\none.jpg not found.\n");
    EXPECT_EQ(texture, nullptr);
}

TEST_F(JpegTextures, UndecodablePictureIsReportedAndGivesNull)
{
    Bytes broken = EncodeJpeg(8, 8, Bytes(8 * 8 * 3, 200), 90);
    broken.resize(20); // the header survives, the picture does not
    const ScopedArchive archive({{"levels/wall.jpg", broken}});
    BeginCapturingErrors();
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromJPEG("levels\\wall.jpg", false, GL_REPEAT);
    const std::string errors = EndCapturingErrors();
    // The archive layer names the cause first, then the loader reports the texture it could not make.
    EXPECT_EQ(errors.rfind("Picture levels\\wall.jpg could not be decoded: ", 0), 0u) << errors;
    const std::string report = "RUdezer: Texture file levels\\wall.jpg not found.\n";
    ASSERT_GE(errors.size(), report.size()) << errors;
    EXPECT_EQ(errors.substr(errors.size() - report.size()), report);
    EXPECT_EQ(texture, nullptr);
}

// Names with two suffixes: the loader the scene file's row picks goes by one of them, the decoder by the last.
// The upload follows the decoded pixels, so the colours arrive unchanged either way.
using PictureLayout = TextureLoading;

// The red, green and blue bytes of pixels of four bytes each.
Bytes ColourBytes(const Bytes& rgba)
{
    Bytes rgb;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        rgb.insert(rgb.end(), rgba.begin() + static_cast<long>(i), rgba.begin() + static_cast<long>(i) + 3);
    }
    return rgb;
}

TEST_F(PictureLayout, ATgaNamedAsAJpegIsUploadedWithFourBytesAPixel)
{
    const Bytes topFirst = PseudoRandomBytes(4 * 4 * 4, 29);
    const ScopedArchive archive({{"scene/a.jpg.tga", EncodeTga(4, 4, 4, topFirst, false)}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromJPEG("scene\\a.jpg.tga", false, GL_REPEAT);
    ASSERT_NE(texture, nullptr);
    BindForReading(*texture);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGB, 3), ColourBytes(FlipRows(topFirst, 4, 4, 4)));
}

TEST_F(PictureLayout, ATgaNamedAsABitmapIsUploadedWithFourBytesAPixel)
{
    const Bytes topFirst = PseudoRandomBytes(8 * 2 * 4, 31);
    const ScopedArchive archive({{"scene/b.bmp.tga", EncodeTga(8, 2, 4, topFirst, true)}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromBitmap(2, "scene\\b.bmp.tga", false, GL_REPEAT);
    ASSERT_NE(texture, nullptr);
    BindForReading(*texture);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGB, 3), ColourBytes(FlipRows(topFirst, 8, 2, 4)));
}

TEST_F(PictureLayout, ABitmapLoadedAsATgaIsUploadedWithThreeBytesAPixel)
{
    const Bytes topFirst = PseudoRandomBytes(4 * 4 * 3, 37);
    const ScopedArchive archive({{"explode/c.bmp", EncodeBmp(4, 4, topFirst)}});
    const std::unique_ptr<XTexture> texture = loader.CreateTextureFromTGA("explode\\c.bmp");
    ASSERT_NE(texture, nullptr);
    BindForReading(*texture);
    EXPECT_EQ(ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGB, 3), FlipRows(topFirst, 4, 4, 3));
}

using SpotCubeMap = TextureLoading;

TEST_F(SpotCubeMap, EverySideHoldsTheSpotPicture)
{
    const std::unique_ptr<XTexture> cube = loader.CreateSpotCubeMap();
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->GetMinFilter(), static_cast<GLenum>(GL_LINEAR));
    EXPECT_EQ(cube->GetMagFilter(), static_cast<GLenum>(GL_LINEAR));
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube->GetId());
    const Bytes expected = FlipRows(SpotPixels(), kSpotSize, kSpotSize, 3);
    for (int face = 0; face < 6; ++face) {
        const GLenum target = static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face);
        EXPECT_EQ(ReadTextureImage(target, 0, GL_RGB, 3), expected) << "face " << face;
        EXPECT_EQ(TextureLevelWidth(target, 1), 0) << "face " << face;
    }
}

TEST_F(SpotCubeMap, PictureThatIsNotSquareIsFatal)
{
    std::vector<ZipEntry> entries = SpecialTextureEntries();
    PutEntry(entries, "misc/spot.bmp", EncodeBmp(8, 4, Bytes(8 * 4 * 3, 90)));
    const ScopedArchive archive(entries);
    EXPECT_EXIT(loader.CreateSpotCubeMap(), ExitedWithCode(1), "RUdezer: XTexture1D: Could not create spot cubemap!");
}

TEST_F(SpotCubeMap, MissingPictureLeavesTheFacesEmptyAndGoesOn)
{
    std::vector<ZipEntry> entries = SpecialTextureEntries();
    RemoveEntry(entries, "misc/spot.bmp");
    const ScopedArchive archive(entries);
    const std::unique_ptr<XTexture> texture = loader.CreateSpotCubeMap();
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(TextureLevelWidth(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0), 0);
    EXPECT_EQ(TakeGLError(), static_cast<unsigned int>(GL_NO_ERROR));
}

} // namespace
