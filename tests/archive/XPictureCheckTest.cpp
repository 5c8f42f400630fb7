// Tests of the JPEG Huffman table screen: files whose scans use a table never defined, or that define one of
// more than 256 codes, are refused before the decoder sees them; sound files, in baseline and progressive
// order, pass.
#include "scene/XPictureCheck.h"
#include "scene/XPictureDecoder.h"

#include "support/FileContents.h"
#include "support/TestArchive.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

void Append(Bytes& out, std::initializer_list<unsigned> values)
{
    for (const unsigned value : values) {
        out.push_back(static_cast<unsigned char>(value));
    }
}

// A segment: marker, big-endian length (counting itself), contents.
void Segment(Bytes& out, unsigned marker, const Bytes& contents)
{
    const size_t length = contents.size() + 2;
    Append(out, {0xff, marker, static_cast<unsigned>(length >> 8), static_cast<unsigned>(length & 0xff)});
    out.insert(out.end(), contents.begin(), contents.end());
}

// A Huffman table segment's contents: one table of `codes` codes of 16 bits each (a count the code space
// holds: 2^16 codes of 16 bits), symbols 0, 1, 2, ...
Bytes HuffmanTable(unsigned kind, unsigned slot, unsigned codes)
{
    Bytes table;
    Append(table, {(kind << 4) | slot});
    for (int length = 1; length <= 16; ++length) {
        table.push_back(0);
    }
    // Spread the codes over lengths 9..16, at most 255 a length (a count is one byte).
    unsigned left = codes;
    for (size_t length = 16; length >= 9 && left > 0; --length) {
        const unsigned here = left > 255 ? 255 : left;
        table[length] = static_cast<unsigned char>(here);
        left -= here;
    }
    for (unsigned symbol = 0; symbol < codes; ++symbol) {
        table.push_back(static_cast<unsigned char>(symbol));
    }
    return table;
}

// The start of a one-component 8x8 JPEG: SOI and SOF (baseline, or progressive).
Bytes JpegStart(bool progressive)
{
    Bytes out;
    Append(out, {0xff, 0xd8});
    Segment(out, progressive ? 0xc2 : 0xc0, Bytes{8, 0, 8, 0, 8, 1, 1, 0x11, 0});
    return out;
}

// A scan header for the one component with DC table `dc`, AC table `ac`, spectral start and refinement.
Bytes ScanHeader(unsigned dc, unsigned ac, unsigned spectralStart, unsigned refinement)
{
    Bytes header;
    Append(header, {1, 1, (dc << 4) | ac, spectralStart, spectralStart == 0 ? 0u : 63u, refinement << 4});
    return header;
}

// Offset of the first scan header's component selectors in an encoded JPEG.
size_t FirstScanSelectors(const Bytes& jpeg)
{
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xda) {
            return i + 6; // marker, length, component count and the first component's id come first
        }
    }
    return 0;
}

Bytes GreyPixels(int width, int height)
{
    Bytes rgb(static_cast<size_t>(width * height * 3));
    for (size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<unsigned char>((i * 37u) & 0xffu);
    }
    return rgb;
}

} // namespace

TEST(JpegTableScreen, AnEncodedJpegPassesAndDecodes)
{
    const Bytes jpeg = EncodeJpeg(16, 8, GreyPixels(16, 8), 90);
    EXPECT_TRUE(HasUsableJpegTables(jpeg.data(), jpeg.size()));
    XPicturePixels pixels;
    std::string problem;
    EXPECT_TRUE(DecodePicture(jpeg.data(), jpeg.size(), 3, pixels, problem)) << problem;
}

TEST(JpegTableScreen, AScanUsingAnUndefinedTableIsRefusedBeforeDecoding)
{
    Bytes jpeg = EncodeJpeg(16, 8, GreyPixels(16, 8), 90);
    const size_t selectors = FirstScanSelectors(jpeg);
    ASSERT_GT(selectors, 0u);
    for (const unsigned char undefined : {0x03, 0x30}) { // AC table 3, then DC table 3: never defined
        Bytes damaged = jpeg;
        damaged[selectors] = undefined;
        EXPECT_FALSE(HasUsableJpegTables(damaged.data(), damaged.size())) << int(undefined);
        XPicturePixels pixels;
        std::string problem;
        EXPECT_FALSE(DecodePicture(damaged.data(), damaged.size(), 3, pixels, problem));
        EXPECT_EQ(problem, "damaged: a Huffman table is missing or has more than 256 codes");
        EXPECT_TRUE(pixels.bytes.empty());
    }
}

TEST(JpegTableScreen, ATableOfMoreThan256CodesIsRefused)
{
    Bytes fits = JpegStart(false);
    Segment(fits, 0xc4, HuffmanTable(0, 0, 256));
    EXPECT_TRUE(HasUsableJpegTables(fits.data(), fits.size()));

    Bytes tooMany = JpegStart(false);
    Segment(tooMany, 0xc4, HuffmanTable(0, 0, 257));
    EXPECT_FALSE(HasUsableJpegTables(tooMany.data(), tooMany.size()));
}

TEST(JpegTableScreen, ATableDefinedOnlyAfterTheScanDoesNotCount)
{
    Bytes jpeg = JpegStart(false);
    Segment(jpeg, 0xc4, HuffmanTable(0, 0, 12));
    Segment(jpeg, 0xda, ScanHeader(0, 0, 0, 0));
    Segment(jpeg, 0xc4, HuffmanTable(1, 0, 162));
    EXPECT_FALSE(HasUsableJpegTables(jpeg.data(), jpeg.size()));

    Bytes inOrder = JpegStart(false);
    Segment(inOrder, 0xc4, HuffmanTable(0, 0, 12));
    Segment(inOrder, 0xc4, HuffmanTable(1, 0, 162));
    Segment(inOrder, 0xda, ScanHeader(0, 0, 0, 0));
    EXPECT_TRUE(HasUsableJpegTables(inOrder.data(), inOrder.size()));
}

TEST(JpegTableScreen, ProgressiveScansNeedOnlyTheTablesTheyDecodeWith)
{
    // A first DC scan names AC table 0 without using it; an AC scan names DC table 0 without using it.
    Bytes dcScan = JpegStart(true);
    Segment(dcScan, 0xc4, HuffmanTable(0, 0, 12));
    Segment(dcScan, 0xda, ScanHeader(0, 0, 0, 0));
    EXPECT_TRUE(HasUsableJpegTables(dcScan.data(), dcScan.size()));

    Bytes acScan = JpegStart(true);
    Segment(acScan, 0xc4, HuffmanTable(1, 0, 162));
    Segment(acScan, 0xda, ScanHeader(0, 0, 1, 0));
    EXPECT_TRUE(HasUsableJpegTables(acScan.data(), acScan.size()));

    // A refining DC scan reads single bits and no table at all.
    Bytes refining = JpegStart(true);
    Segment(refining, 0xda, ScanHeader(2, 2, 0, 1));
    EXPECT_TRUE(HasUsableJpegTables(refining.data(), refining.size()));

    // But a first DC scan without its DC table, or an AC scan without its AC table, is refused.
    Bytes dcMissing = JpegStart(true);
    Segment(dcMissing, 0xc4, HuffmanTable(1, 0, 162));
    Segment(dcMissing, 0xda, ScanHeader(0, 0, 0, 0));
    EXPECT_FALSE(HasUsableJpegTables(dcMissing.data(), dcMissing.size()));

    Bytes acMissing = JpegStart(true);
    Segment(acMissing, 0xc4, HuffmanTable(0, 0, 12));
    Segment(acMissing, 0xda, ScanHeader(0, 0, 1, 0));
    EXPECT_FALSE(HasUsableJpegTables(acMissing.data(), acMissing.size()));
}

TEST(JpegTableScreen, AScanHeaderCutOffByTheFileEndReadsZeros)
{
    // The decoder reads past the end as zeros: table 0, which this file never defines.
    Bytes jpeg = JpegStart(false);
    Append(jpeg, {0xff, 0xda, 0x00, 0x08, 0x01});
    EXPECT_FALSE(HasUsableJpegTables(jpeg.data(), jpeg.size()));
}

TEST(JpegTableScreen, OtherFormatsAreNotItsConcern)
{
    const Bytes bmp = EncodeBmp(2, 2, Bytes(12, 50));
    EXPECT_TRUE(HasUsableJpegTables(bmp.data(), bmp.size()));
    EXPECT_TRUE(HasUsableJpegTables(nullptr, 0));
}
