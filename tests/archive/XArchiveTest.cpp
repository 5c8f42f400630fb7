// Tests of the resource archive: selection, raw resources and decoded pictures.
#include "scene/XArchive.h"

#include "support/FileContents.h"
#include "support/TestArchive.h"

#include <gtest/gtest.h>

#include <cstdlib> // std::abs
#include <cstring> // std::memcmp
#include <string>

namespace {

// Selects a fresh archive holding the entries.
void SelectArchive(const std::vector<ZipEntry>& entries)
{
    const std::string path = UniqueFileName("archive", ".pck");
    WriteZip(path, entries);
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
}

// A picture whose every row has its own colour, top row first: row r is (10 + 40r, 200 - 30r, 7r + 1).
Bytes StripedPixels(int width, int height, int channels)
{
    Bytes pixels(static_cast<size_t>(width * height * channels));
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            unsigned char* const p = &pixels[static_cast<size_t>((row * width + x) * channels)];
            p[0] = static_cast<unsigned char>(10 + 40 * row);
            p[1] = static_cast<unsigned char>(200 - 30 * row);
            p[2] = static_cast<unsigned char>(7 * row + 1);
            if (channels == 4) {
                p[3] = static_cast<unsigned char>(50 + 60 * row + x);
            }
        }
    }
    return pixels;
}

// Expects the current picture to be the striped picture with its bottom row delivered first.
void ExpectStripesBottomFirst(int width, int height, int channels)
{
    ASSERT_EQ(QXPictureGetWidth(), static_cast<uint32_t>(width));
    ASSERT_EQ(QXPictureGetHeight(), static_cast<uint32_t>(height));
    const unsigned char* const data = QXPictureGetData();
    ASSERT_NE(data, nullptr);
    const Bytes source = StripedPixels(width, height, channels);
    for (int deliveredRow = 0; deliveredRow < height; ++deliveredRow) {
        const int viewerRow = height - 1 - deliveredRow;
        for (int x = 0; x < width; ++x) {
            const size_t deliveredIndex = static_cast<size_t>((deliveredRow * width + x) * channels);
            const size_t sourceIndex = static_cast<size_t>((viewerRow * width + x) * channels);
            for (int channel = 0; channel < channels; ++channel) {
                ASSERT_EQ(data[deliveredIndex + static_cast<size_t>(channel)],
                          source[sourceIndex + static_cast<size_t>(channel)])
                    << "delivered row " << deliveredRow << " x " << x << " channel " << channel;
            }
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
TEST(ArchiveSelection, InitializeMayBeCalledManyTimes)
{
    EXPECT_TRUE(QXInitialize());
    EXPECT_TRUE(QXInitialize());
    SelectArchive({{"a.txt", {'x'}, true}});
    EXPECT_TRUE(QXInitialize());
    EXPECT_TRUE(QXOpenResource("a.txt")) << "re-initialising must not drop the selected archive";
}

TEST(ArchiveSelection, MissingArchiveIsReportedOnceInLogAndOnStderr)
{
    const std::string before = ReadWholeFile("Korvath.log");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QXSetArchive("no-such-archive.pck", ""));
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string expected = "Archive no-such-archive.pck could not be opened: file not found\n";
    EXPECT_EQ(errors, expected);
    const std::string after = ReadWholeFile("Korvath.log");
    ASSERT_GE(after.size(), before.size());
    EXPECT_EQ(after.substr(before.size()), expected);
}

TEST(ArchiveSelection, FileThatIsNotAZipIsRefusedWithItsReason)
{
    const std::string path = UniqueFileName("plain-text", ".pck");
    const std::string text = "this is a text file, not an archive\n";
    ASSERT_TRUE(WriteWholeFile(path, text));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QXSetArchive(path.c_str(), ""));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "Archive " + path + " could not be opened: not a ZIP archive\n");
    EXPECT_NE(ReadWholeFile("Korvath.log").find("Archive " + path + " could not be opened: not a ZIP archive"),
              std::string::npos);
}

TEST(ArchiveSelection, EmptyFileIsNotAZip)
{
    const std::string path = UniqueFileName("empty", ".pck");
    ASSERT_TRUE(WriteFileBytes(path, Bytes()));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QXSetArchive(path.c_str(), ""));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("could not be opened"), std::string::npos);
}

TEST(ArchiveSelection, FailedSelectionLeavesNoArchiveSelected)
{
    SelectArchive({{"a.txt", {'x'}, true}});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QXSetArchive("missing-after-good.pck", ""));
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(QXOpenResource("a.txt"));
    EXPECT_EQ(QXGetData(), nullptr);
}

TEST(ArchiveSelection, SwitchingArchivesReadsTheNewOne)
{
    SelectArchive({{"same.txt", {'1'}, true}});
    SelectArchive({{"same.txt", {'2'}, true}});
    ASSERT_TRUE(QXOpenResource("same.txt"));
    ASSERT_EQ(QXGetSize(), 1u);
    EXPECT_EQ(QXGetData()[0], '2');
}

// ---------------------------------------------------------------------------------------------------------
TEST(ArchiveResource, StoredAndDeflatedEntriesComeBackExactly)
{
    const Bytes stored = PseudoRandomBytes(1000, 1);
    const Bytes deflated = PseudoRandomBytes(100000, 2);
    Bytes repetitive(50000, 0);
    repetitive[123] = 9;
    SelectArchive({{"stored.bin", stored, false}, {"deflated.bin", deflated, true}, {"zeros.bin", repetitive, true}});
    ASSERT_TRUE(QXOpenResource("stored.bin"));
    ASSERT_EQ(QXGetSize(), stored.size());
    EXPECT_EQ(std::memcmp(QXGetData(), stored.data(), stored.size()), 0);
    ASSERT_TRUE(QXOpenResource("deflated.bin"));
    ASSERT_EQ(QXGetSize(), deflated.size());
    EXPECT_EQ(std::memcmp(QXGetData(), deflated.data(), deflated.size()), 0);
    ASSERT_TRUE(QXOpenResource("zeros.bin"));
    ASSERT_EQ(QXGetSize(), repetitive.size());
    EXPECT_EQ(std::memcmp(QXGetData(), repetitive.data(), repetitive.size()), 0);
    QXCloseResource();
}

TEST(ArchiveResource, BackslashNamesReachNestedEntries)
{
    SelectArchive({{"misc/font.bmp", {'f'}, true}, {"scene/level/world.msa", {'w'}, false}});
    ASSERT_TRUE(QXOpenResource("misc\\font.bmp"));
    EXPECT_EQ(QXGetData()[0], 'f');
    ASSERT_TRUE(QXOpenResource("scene\\level\\world.msa"));
    EXPECT_EQ(QXGetData()[0], 'w');
    ASSERT_TRUE(QXOpenResource("misc/font.bmp"));
    EXPECT_EQ(QXGetData()[0], 'f');
    QXCloseResource();
}

TEST(ArchiveResource, MissingEntryReturnsFalseAndLeavesNothingCurrent)
{
    SelectArchive({{"misc/there.raw", {1, 2, 3}, true}});
    ASSERT_TRUE(QXOpenResource("misc\\there.raw"));
    EXPECT_FALSE(QXOpenResource("misc\\not-there.raw"));
    EXPECT_EQ(QXGetData(), nullptr);
    EXPECT_EQ(QXGetSize(), 0u);
    EXPECT_FALSE(QXOpenResource("misc"));
    EXPECT_FALSE(QXOpenResource(""));
    EXPECT_FALSE(QXOpenResource(nullptr));
    EXPECT_EQ(QXGetData(), nullptr);
}

TEST(ArchiveResource, SecondOpenReplacesTheFirst)
{
    SelectArchive({{"one.txt", {'1', '1'}, true}, {"two.txt", {'2', '2', '2'}, true}});
    ASSERT_TRUE(QXOpenResource("one.txt"));
    ASSERT_TRUE(QXOpenResource("two.txt"));
    ASSERT_EQ(QXGetSize(), 3u);
    EXPECT_EQ(QXGetData()[0], '2');
    QXCloseResource();
    EXPECT_EQ(QXGetData(), nullptr);
    EXPECT_EQ(QXGetSize(), 0u);
}

TEST(ArchiveResource, SelectingTheSameArchiveAgainKeepsTheResourceValid)
{
    const std::string path = UniqueFileName("scene", ".pck");
    const std::string text = "scene text that stays open while textures load";
    WriteZip(path, {{"scene/world.msa", Bytes(text.begin(), text.end()), true},
                    {"scene/wall.bmp", EncodeBmp(2, 2, Bytes(12, 90)), true}});
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    ASSERT_TRUE(QXOpenResource("scene\\world.msa"));
    const unsigned char* const data = QXGetData();

    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    ASSERT_TRUE(QXOpenPicture("scene\\wall.bmp", true));
    QXClosePicture();

    EXPECT_EQ(QXGetData(), data);
    ASSERT_EQ(QXGetSize(), text.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(QXGetData()), QXGetSize()), text);
    QXCloseResource();
}

TEST(ArchiveResource, BytesSurviveSelectingAnotherArchive)
{
    const Bytes sound = PseudoRandomBytes(4096, 7);
    SelectArchive({{"sound/sten.wav", sound, true}});
    ASSERT_TRUE(QXOpenResource("sound\\sten.wav"));
    SelectArchive({{"other.txt", {'o'}, true}});
    ASSERT_EQ(QXGetSize(), sound.size());
    EXPECT_EQ(std::memcmp(QXGetData(), sound.data(), sound.size()), 0);
    QXCloseResource();
}

TEST(ArchiveResource, DataIsFollowedByAZeroSoTextCannotRunOver)
{
    SelectArchive({{"text.msa", {'a', 'b', 'c'}, true}, {"empty.txt", {}, true}});
    ASSERT_TRUE(QXOpenResource("text.msa"));
    EXPECT_EQ(QXGetData()[3], 0);
    ASSERT_TRUE(QXOpenResource("empty.txt"));
    EXPECT_EQ(QXGetSize(), 0u);
    ASSERT_NE(QXGetData(), nullptr) << "an empty entry is still an open resource";
    EXPECT_EQ(QXGetData()[0], 0);
    QXCloseResource();
    QXCloseResource();
    EXPECT_EQ(QXGetData(), nullptr);
}

// ---------------------------------------------------------------------------------------------------------
TEST(ArchivePicture, TgaDecodesToRgbaWithTheBottomRowFirst)
{
    SelectArchive({{"explode/raw.tga", EncodeTga(3, 4, 4, StripedPixels(3, 4, 4), false), true},
                   {"explode/rle.tga", EncodeTga(3, 4, 4, StripedPixels(3, 4, 4), true), false}});
    ASSERT_TRUE(QXOpenPicture("explode\\raw.tga", true));
    ExpectStripesBottomFirst(3, 4, 4);
    ASSERT_TRUE(QXOpenPicture("explode\\rle.tga", true));
    ExpectStripesBottomFirst(3, 4, 4);
    QXClosePicture();
}

TEST(ArchivePicture, TgaWithoutAlphaIsOpaque)
{
    SelectArchive({{"frame.tga", EncodeTga(2, 2, 3, StripedPixels(2, 2, 3), false), true}});
    ASSERT_TRUE(QXOpenPicture("frame.tga", true));
    const unsigned char* const data = QXPictureGetData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], 10 + 40 * 1); // bottom row first, now 4 bytes a pixel
    EXPECT_EQ(data[3], 255);
    EXPECT_EQ(data[15], 255);
    QXClosePicture();
}

TEST(ArchivePicture, UpperCaseTgaExtensionStillCarriesAlpha)
{
    SelectArchive({{"explode/BOOM.TGA", EncodeTga(2, 3, 4, StripedPixels(2, 3, 4), false), true}});
    ASSERT_TRUE(QXOpenPicture("explode\\BOOM.TGA", true));
    ExpectStripesBottomFirst(2, 3, 4);
    QXClosePicture();
}

TEST(ArchivePicture, BmpDecodesToTightRgbRowsWithTheBottomRowFirst)
{
    // An odd width: 5 pixels are 15 bytes a row, padded to 16 in the file but not in memory.
    SelectArchive({{"misc/stripes.bmp", EncodeBmp(5, 3, StripedPixels(5, 3, 3)), true}});
    ASSERT_TRUE(QXOpenPicture("misc\\stripes.bmp", true));
    ExpectStripesBottomFirst(5, 3, 3);
    QXClosePicture();
}

TEST(ArchivePicture, JpegDecodesToRgbWithTheBottomRowFirstApproximately)
{
    // Top half red, bottom half blue; block edges blur, so only rows far from the seam are compared.
    const int size = 32;
    Bytes rgb(static_cast<size_t>(size * size * 3), 0);
    for (int row = 0; row < size; ++row) {
        for (int x = 0; x < size; ++x) {
            rgb[static_cast<size_t>((row * size + x) * 3 + (row < size / 2 ? 0 : 2))] = 255;
        }
    }
    SelectArchive({{"misc/glow.jpg", EncodeJpeg(size, size, rgb, 95), true}});
    ASSERT_TRUE(QXOpenPicture("misc\\glow.jpg", true));
    ASSERT_EQ(QXPictureGetWidth(), 32u);
    ASSERT_EQ(QXPictureGetHeight(), 32u);
    const unsigned char* const data = QXPictureGetData();
    ASSERT_NE(data, nullptr);
    const unsigned char* const firstRow = data + (2 * size + 16) * 3;
    const unsigned char* const lastRow = data + ((size - 3) * size + 16) * 3;
    EXPECT_LT(firstRow[0], 40);
    EXPECT_GT(firstRow[2], 215) << "the first delivered rows are the blue bottom of the picture";
    EXPECT_GT(lastRow[0], 215);
    EXPECT_LT(lastRow[2], 40);
    QXClosePicture();
}

TEST(ArchivePicture, MissingPictureReturnsFalseAndLeavesNothingCurrent)
{
    SelectArchive({{"a.bmp", EncodeBmp(1, 1, Bytes{1, 2, 3}), true}});
    ASSERT_TRUE(QXOpenPicture("a.bmp", true));
    EXPECT_FALSE(QXOpenPicture("b.bmp", true));
    EXPECT_EQ(QXPictureGetData(), nullptr);
    EXPECT_EQ(QXPictureGetWidth(), 0u);
    EXPECT_EQ(QXPictureGetHeight(), 0u);
    EXPECT_FALSE(QXOpenPicture(nullptr, true));
    QXClosePicture();
    QXClosePicture();
}

TEST(ArchivePicture, PicturesAndResourcesAreIndependent)
{
    SelectArchive({{"a.bmp", EncodeBmp(1, 1, Bytes{1, 2, 3}), true}, {"r.raw", {4, 5}, true}});
    ASSERT_TRUE(QXOpenResource("r.raw"));
    ASSERT_TRUE(QXOpenPicture("a.bmp", true));
    EXPECT_FALSE(QXOpenPicture("none.bmp", true));
    ASSERT_NE(QXGetData(), nullptr);
    EXPECT_EQ(QXGetData()[1], 5);
    ASSERT_TRUE(QXOpenPicture("a.bmp", true));
    QXCloseResource();
    ASSERT_NE(QXPictureGetData(), nullptr);
    EXPECT_EQ(QXPictureGetData()[2], 3);
    QXClosePicture();
}

// ---------------------------------------------------------------------------------------------------------
TEST(ArchiveDamagedPicture, GarbageIsRefused)
{
    const std::string text = "definitely not a picture, just some words";
    SelectArchive({{"junk.bmp", Bytes(text.begin(), text.end()), true},
                   {"junk.tga", Bytes(text.begin(), text.end()), true},
                   {"junk.jpg", PseudoRandomBytes(300, 3), true},
                   {"empty.bmp", {}, true}});
    EXPECT_FALSE(QXOpenPicture("junk.bmp", true));
    EXPECT_FALSE(QXOpenPicture("junk.tga", true));
    EXPECT_FALSE(QXOpenPicture("junk.jpg", true));
    EXPECT_FALSE(QXOpenPicture("empty.bmp", true));
    EXPECT_EQ(QXPictureGetData(), nullptr);
}

TEST(ArchiveDamagedPicture, TruncatedPicturesAreRefused)
{
    const Bytes bmp = EncodeBmp(16, 16, StripedPixels(16, 16, 3));
    const Bytes tga = EncodeTga(16, 16, 4, StripedPixels(16, 16, 4), false);
    const Bytes rle = EncodeTga(16, 16, 4, PseudoRandomBytes(16 * 16 * 4, 5), true);
    Bytes jpegPixels = PseudoRandomBytes(16 * 16 * 3, 6);
    const Bytes jpeg = EncodeJpeg(16, 16, jpegPixels, 90);
    auto cut = [](const Bytes& whole, size_t keep) { return Bytes(whole.begin(), whole.begin() + keep); };
    SelectArchive({{"whole.bmp", bmp, true},
                   {"whole.tga", tga, true},
                   {"whole-rle.tga", rle, true},
                   {"whole.jpg", jpeg, true},
                   {"cut.bmp", cut(bmp, bmp.size() - 1), true},
                   {"header.bmp", cut(bmp, 54), true},
                   {"cut.tga", cut(tga, tga.size() / 2), true},
                   {"cut-rle.tga", cut(rle, rle.size() - 3), true},
                   {"cut.jpg", cut(jpeg, jpeg.size() / 2), true}});
    EXPECT_TRUE(QXOpenPicture("whole.bmp", true));
    EXPECT_TRUE(QXOpenPicture("whole.tga", true));
    EXPECT_TRUE(QXOpenPicture("whole-rle.tga", true));
    EXPECT_TRUE(QXOpenPicture("whole.jpg", true));
    EXPECT_FALSE(QXOpenPicture("cut.bmp", true));
    EXPECT_FALSE(QXOpenPicture("header.bmp", true));
    EXPECT_FALSE(QXOpenPicture("cut.tga", true));
    EXPECT_FALSE(QXOpenPicture("cut-rle.tga", true));
    EXPECT_FALSE(QXOpenPicture("cut.jpg", true));
    EXPECT_EQ(QXPictureGetData(), nullptr);
    EXPECT_EQ(QXPictureGetWidth(), 0u);
}

TEST(ArchiveDamagedPicture, HeaderClaimingAHugeSizeIsRefusedBeforeDecoding)
{
    // A 22-byte TGA header claiming 64263 x 8192 pixels: decoding would ask for gigabytes.
    Bytes tga(22, 0);
    tga[2] = 2;                                 // uncompressed true colour
    tga[12] = 0x07; tga[13] = 0xfb;             // width 64263
    tga[14] = 0x00; tga[15] = 0x20;             // height 8192
    tga[16] = 32;
    // A BMP header claiming 9000 x 9000 with no pixel data behind it.
    Bytes bmp = EncodeBmp(1, 1, Bytes{1, 2, 3});
    bmp[18] = 0x28; bmp[19] = 0x23; bmp[20] = 0; bmp[21] = 0; // width 9000
    bmp[22] = 0x28; bmp[23] = 0x23; bmp[24] = 0; bmp[25] = 0; // height 9000
    SelectArchive({{"huge.tga", tga, true}, {"huge.bmp", bmp, true}});
    EXPECT_FALSE(QXOpenPicture("huge.tga", true));
    EXPECT_FALSE(QXOpenPicture("huge.bmp", true));
    EXPECT_EQ(QXPictureGetData(), nullptr);
}

TEST(ArchiveDamagedPicture, LargestAllowedSideStillDecodes)
{
    // 8192 x 1 is at the limit; 8193 x 1 is one past it.
    SelectArchive({{"wide.bmp", EncodeBmp(8192, 1, Bytes(8192 * 3, 77)), true},
                   {"wider.bmp", EncodeBmp(8193, 1, Bytes(8193 * 3, 77)), true}});
    ASSERT_TRUE(QXOpenPicture("wide.bmp", true));
    EXPECT_EQ(QXPictureGetWidth(), 8192u);
    EXPECT_EQ(QXPictureGetData()[8191 * 3], 77);
    EXPECT_FALSE(QXOpenPicture("wider.bmp", true));
}
