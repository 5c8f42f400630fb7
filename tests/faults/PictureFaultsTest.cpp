// Damaged pictures in the game's archive — truncated, with broken headers, of absurd sizes, raw pictures cut
// short, a spot picture that cannot be a cube face: each is named with its cause, and the game runs on where
// it can do without the picture and stops where the texture manager needs it.
#include "FaultRun.h"

#include <gtest/gtest.h>

namespace {

// Runs the game on the default data with one entry replaced.
FaultResult RunWithEntry(const std::string& entry, const Bytes& bytes)
{
    std::vector<ZipEntry> entries = DefaultDataEntries();
    ReplaceEntry(entries, entry, bytes);
    FaultRun run;
    return run.Entries(entries).Run();
}

// The cause (from the archive layer) must come before the consequence (from the texture loader).
void ExpectCauseThenReport(const FaultResult& result, const std::string& cause, const std::string& report)
{
    const size_t causeAt = result.program.err.find(cause);
    const size_t reportAt = result.program.err.find(report);
    ASSERT_NE(causeAt, std::string::npos) << "expected: " << cause << "\n" << result.program.err;
    ASSERT_NE(reportAt, std::string::npos) << "expected: " << report << "\n" << result.program.err;
    EXPECT_LT(causeAt, reportAt);
}

} // namespace

TEST(DamagedPictures, ATruncatedBitmapIsNamedAndTheGameRunsWithoutIt)
{
    const std::vector<ZipEntry> entries = DefaultDataEntries();
    const Bytes& font = EntryBytes(entries, "misc/font.bmp");
    const FaultResult result = RunWithEntry("misc/font.bmp", Prefix(font, font.size() / 2));
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0);
    ExpectCauseThenReport(result, "Picture misc\\font.bmp could not be decoded: truncated: shorter than its header says",
                          "RUdezer: Texture file misc\\font.bmp not found.");
}

TEST(DamagedPictures, ABitmapWithAnImpossibleDepthIsRefused)
{
    const std::vector<ZipEntry> entries = DefaultDataEntries();
    Bytes light = EntryBytes(entries, "misc/light.bmp");
    ASSERT_GT(light.size(), 30u);
    light[28] = 7; // bits per pixel
    const FaultResult result = RunWithEntry("misc/light.bmp", light);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0);
    ExpectCauseThenReport(result, "Picture misc\\light.bmp could not be decoded: ",
                          "RUdezer: Texture file misc\\light.bmp not found.");
}

TEST(DamagedPictures, ATruncatedLevelJpegIsNamedAndTheLevelLoadsWithoutIt)
{
    const std::vector<ZipEntry> entries = DefaultDataEntries();
    const Bytes& brick = EntryBytes(entries, "scene/brick.jpg");
    const FaultResult result = RunWithEntry("scene/brick.jpg", Prefix(brick, brick.size() / 2));
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0);
    ExpectCauseThenReport(result, "Picture scene\\brick.jpg could not be decoded: damaged",
                          "RUdezer: Texture file scene\\brick.jpg not found.");
}

TEST(DamagedPictures, AJpegOfNoiseIsRefused)
{
    Bytes noise = {0xff, 0xd8, 0xff};
    for (int i = 0; i < 4000; ++i) {
        noise.push_back(static_cast<unsigned char>((i * 7919 + 13) >> 3));
    }
    const FaultResult result = RunWithEntry("misc/rocketl.jpg", noise);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0);
    ExpectCauseThenReport(result, "Picture misc\\rocketl.jpg could not be decoded: ",
                          "RUdezer: Texture file misc\\rocketl.jpg not found.");
}

TEST(DamagedPictures, ATruncatedExplosionFrameStopsTheGameWithItsName)
{
    const std::vector<ZipEntry> entries = DefaultDataEntries();
    const Bytes& frame = EntryBytes(entries, "explode/rlboom_4.tga");
    const FaultResult result = RunWithEntry("explode/rlboom_4.tga", Prefix(frame, frame.size() - 100));
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    ExpectCauseThenReport(result,
                          "Picture explode\\rlboom_4.tga could not be decoded: truncated: shorter than its header says",
                          "RUdezer: Texture file explode\\rlboom_4.tga not found.");
}

TEST(DamagedPictures, AnExplosionFrameClaimingAGiantSizeIsRefusedBeforeDecoding)
{
    // An 18-byte TGA header for 64263 x 8192 pixels: decoding would ask for 2 GB.
    Bytes header(18, 0);
    header[2] = 2;     // uncompressed true colour
    header[12] = 0x07; // width 64263 (0xFB07)
    header[13] = 0xfb;
    header[15] = 0x20; // height 8192
    header[16] = 32;   // bits per pixel
    header.resize(64, 0);
    const FaultResult result = RunWithEntry("explode/rlboom_1.tga", header);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    ExpectCauseThenReport(result,
                          "Picture explode\\rlboom_1.tga could not be decoded: 64263 x 8192 pixels is outside 1 .. 8192",
                          "RUdezer: Texture file explode\\rlboom_1.tga not found.");
}

TEST(DamagedPictures, ARawPictureCutShortIsReportedAndTheRestIsBlack)
{
    const std::vector<ZipEntry> entries = DefaultDataEntries();
    const Bytes& menu = EntryBytes(entries, "misc/menu.raw");
    ASSERT_EQ(menu.size(), 512u * 512u * 4u);
    const FaultResult result = RunWithEntry("misc/menu.raw", Prefix(menu, menu.size() / 2));
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0);
    EXPECT_TRUE(result.SaysOnStderr(
        "RUdezer: XTexture2D: File misc\\menu.raw holds 524288 of the 1048576 bytes of its 512x512 picture; "
        "the rest is black."))
        << result.program.err;
}

TEST(DamagedPictures, AnEmptyRawPictureIsReportedAndTheGameRunsOn)
{
    const FaultResult result = RunWithEntry("misc/decal.raw", Bytes());
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0);
    EXPECT_TRUE(result.SaysOnStderr("RUdezer: XTexture2D: File misc\\decal.raw holds 0 of the 16384 bytes"))
        << result.program.err;
}

TEST(DamagedPictures, ASpotPictureThatIsNotSquareSaysWhyTheCubeMapFailed)
{
    const FaultResult result = RunWithEntry("misc/spot.bmp", SolidBmp(128, 64, 200));
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    ExpectCauseThenReport(result, "Texture file misc\\spot.bmp is 128x64 pixels: a cube map face must be square.",
                          "RUdezer: XTexture1D: Could not create spot cubemap!");
}

TEST(DamagedPictures, APictureInAnotherFormatIsRefusedByName)
{
    // A PNG signature where the game expects a bitmap: the decoder could read it, the game does not.
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    png.resize(200, 0);
    const FaultResult result = RunWithEntry("scene/lightmap0.bmp", png);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0);
    ExpectCauseThenReport(result, "Picture scene\\lightmap0.bmp could not be decoded: not a BMP, JPEG or TGA picture",
                          "RUdezer: Texture file scene\\lightmap0.bmp not found.");
}
