// Tests of the glyph grid "misc\font.bmp" as the engine reads it: decoded through the archive layer, rows
// bottom first, addressed with the overlay's texture coordinates.
#include "scene/XArchive.h"

#include "ToolsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath> // std::floor
#include <set>
#include <utility> // std::pair

namespace {

const int kCells = 16;

// The decoded sheet, kept for the whole suite.
class FontSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SelectGeneratedArchive();
        ASSERT_TRUE(QXOpenPicture("misc\\font.bmp", true));
        size = static_cast<int>(QXPictureGetWidth());
        cell = size / kCells;
    }

    void TearDown() override
    {
        QXClosePicture();
    }

    // Brightness (red channel) at column x of the delivered row (0 = bottom of the picture, t = 0).
    int Texel(int x, int deliveredRow) const
    {
        return PictureChannel(x, deliveredRow, 0, 3);
    }

    // Sum of brightness over part of a cell: cell column, band from the bottom, and a texel rectangle
    // inside it with rows counted upwards from the band's bottom.
    long Ink(int column, int band, int x0, int x1, int y0, int y1) const
    {
        long sum = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                sum += Texel(column * cell + x, band * cell + y);
            }
        }
        return sum;
    }

    long CellInk(int column, int band) const
    {
        return Ink(column, band, 0, cell, 0, cell);
    }

    // Where the overlay samples character c: the column from s = (c mod 16) / 16 and the band from the
    // quad's bottom edge t0 = 1 - (c / 16) / 16 + 0.5625, wrapped into 0..1 as GL_REPEAT does.
    static std::pair<int, int> OverlayCell(int code)
    {
        const double s = (code % 16) / 16.0;
        const double t0 = 1.0 - (code / 16) / 16.0 + 0.5625;
        const double wrapped = t0 - std::floor(t0);
        return {static_cast<int>(s * kCells + 0.5), static_cast<int>(wrapped * kCells + 0.5) % kCells};
    }

    int size = 0;
    int cell = 0;
};

} // namespace

TEST_F(FontSheetTest, IsASquarePowerOfTwoWithAWholeNumberOfCells)
{
    EXPECT_EQ(QXPictureGetWidth(), QXPictureGetHeight());
    EXPECT_GE(size, 256);
    EXPECT_EQ(size & (size - 1), 0);
    EXPECT_EQ(size % kCells, 0);
}

TEST_F(FontSheetTest, IsA24BitBitmapFile)
{
    const Bytes file = ReadFileBytes(Generated().stagingFolder + "/misc/font.bmp");
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[28] | (file[29] << 8), 24) << "bits per pixel";
}

TEST_F(FontSheetTest, CapitalAIsInBandFiveFromTheBottom)
{
    // 'A' is 65: column 1, glyph row 4, t0 = 1 - 0.25 + 0.5625 = 1.3125, which wraps to band 5.
    EXPECT_GT(CellInk(1, 5), 20 * 255);
    // Band 5 counted from the top is band 10 from the bottom: glyph row 15 (codes 240..255), blank.
    EXPECT_EQ(CellInk(1, 10), 0) << "the band was counted from the top";
    // 'A' and its neighbours in the sheet as viewed: 'Q' (81) sits directly below, '1' (49) directly above.
    EXPECT_GT(Ink(1, 5, 0, cell, 0, cell / 2), 0) << "the bottom of 'A' is in the lower half of band 5";
}

TEST_F(FontSheetTest, EveryPrintableCharacterHasInkExactlyWhereTheOverlayLooks)
{
    std::set<std::pair<int, int>> expected;
    for (int code = 33; code <= 126; ++code) {
        expected.insert(OverlayCell(code));
    }
    ASSERT_EQ(expected.size(), 94u) << "no two characters share a cell";
    for (int band = 0; band < kCells; ++band) {
        for (int column = 0; column < kCells; ++column) {
            const bool inked = CellInk(column, band) > 0;
            EXPECT_EQ(inked, expected.count({column, band}) == 1) << "column " << column << " band " << band;
        }
    }
}

TEST_F(FontSheetTest, SpaceAndControlCodesAreBlank)
{
    for (int code = 0; code <= 32; ++code) {
        const std::pair<int, int> cellOf = OverlayCell(code);
        EXPECT_EQ(CellInk(cellOf.first, cellOf.second), 0) << "code " << code;
    }
    const std::pair<int, int> deleteCell = OverlayCell(127);
    EXPECT_EQ(CellInk(deleteCell.first, deleteCell.second), 0);
}

TEST_F(FontSheetTest, EveryCellKeepsABlackBorderAgainstFilterBleeding)
{
    for (int band = 0; band < kCells; ++band) {
        for (int column = 0; column < kCells; ++column) {
            EXPECT_EQ(Ink(column, band, 0, cell, 0, 1), 0) << "bottom row, column " << column << " band " << band;
            EXPECT_EQ(Ink(column, band, 0, cell, cell - 1, cell), 0) << "top row, column " << column << " band " << band;
            EXPECT_EQ(Ink(column, band, 0, 1, 0, cell), 0) << "left column, column " << column << " band " << band;
            EXPECT_EQ(Ink(column, band, cell - 1, cell, 0, cell), 0) << "right column, column " << column << " band " << band;
        }
    }
}

TEST_F(FontSheetTest, GlyphsAreUprightAndNotMirrored)
{
    // Rows inside a band count upwards, so the upper half of a glyph is rows cell/2 .. cell.
    auto upper = [&](int code) {
        const std::pair<int, int> c = OverlayCell(code);
        return Ink(c.first, c.second, 0, cell, cell / 2, cell);
    };
    auto lower = [&](int code) {
        const std::pair<int, int> c = OverlayCell(code);
        return Ink(c.first, c.second, 0, cell, 0, cell / 2);
    };
    auto left = [&](int code) {
        const std::pair<int, int> c = OverlayCell(code);
        return Ink(c.first, c.second, 0, cell / 2, 0, cell);
    };
    auto right = [&](int code) {
        const std::pair<int, int> c = OverlayCell(code);
        return Ink(c.first, c.second, cell / 2, cell, 0, cell);
    };
    EXPECT_GT(upper('T'), lower('T'));
    EXPECT_GT(upper('^'), 0);
    EXPECT_EQ(lower('^'), 0);
    EXPECT_GT(lower('_'), 0);
    EXPECT_EQ(upper('_'), 0);
    EXPECT_GT(left('F'), right('F'));
    EXPECT_GT(right('J'), left('J'));
    EXPECT_GT(lower('L'), upper('L'));
}

TEST_F(FontSheetTest, InkFitsTheOverlayAdvance)
{
    // The overlay draws 16-pixel quads but advances 1.3 × 8 = 10.4 pixels: ink wider than 10 texels of a
    // 16-texel cell would touch the next character.
    const int limit = cell * 10 / 16;
    for (int code = 33; code <= 126; ++code) {
        const std::pair<int, int> c = OverlayCell(code);
        int first = cell;
        int last = -1;
        for (int x = 0; x < cell; ++x) {
            if (Ink(c.first, c.second, x, x + 1, 0, cell) > 0) {
                first = std::min(first, x);
                last = x;
            }
        }
        ASSERT_GE(last, first) << "code " << code;
        EXPECT_LE(last - first + 1, limit) << "code " << code;
    }
}
