// XFontSheet: places every printable character in its cell of the glyph grid.
#include "tools/texgen/XFontSheet.h"

#include <cmath>     // std::lround, std::pow

namespace {

const int kCells = XFontSheet::kSheetSize / XFontSheet::kCellSize;

// Pixel offset that keeps [first, last) inside [low, high), preferring to leave it where it is.
int NudgeInside(int first, int last, int low, int high)
{
    if (first < low) {
        return low - first;
    }
    if (last > high) {
        return high - last;
    }
    return 0;
}

} // namespace

int XFontSheet::BandFromBottom(int code)
{
    const int row = code / kCells;
    return ((9 - row) % kCells + kCells) % kCells;
}

int XFontSheet::CellLeft(int code)
{
    return (code % kCells) * kCellSize;
}

int XFontSheet::CellTop(int code)
{
    return kSheetSize - (BandFromBottom(code) + 1) * kCellSize;
}

bool XFontSheet::HasGlyph(int code)
{
    return code >= 33 && code <= 126;
}

XImage XFontSheet::Build(const XGlyphRasterizer& font)
{
    XImage sheet(kSheetSize, kSheetSize);
    for (int y = 0; y < kSheetSize; ++y) {
        for (int x = 0; x < kSheetSize; ++x) {
            sheet.Set(x, y, XColor{0.0f, 0.0f, 0.0f, 1.0f});
        }
    }
    const float scale = static_cast<float>(kCapHeight) / static_cast<float>(font.CharacterBox('H').y1);
    const int advance = static_cast<int>(std::lround(static_cast<float>(font.AdvanceWidth('M')) * scale));
    const int pen = (kCellSize - advance) / 2;
    for (int code = 0; code < 256; ++code) {
        if (!HasGlyph(code)) {
            continue;
        }
        // The few glyphs taller than a cell allows ('|' spans the whole font height) are drawn a little smaller.
        const int room = kCellSize - 2 * kMargin;
        float glyphScale = scale;
        XGlyphRasterizer::Glyph glyph = font.Render(code, glyphScale, glyphScale, 0.0f, 0.0f);
        while (glyph.width > room || glyph.height > room) {
            glyphScale *= 0.95f;
            glyph = font.Render(code, glyphScale, glyphScale, 0.0f, 0.0f);
        }
        int left = pen + glyph.left;
        int top = kBaseline + glyph.top;
        left += NudgeInside(left, left + glyph.width, kMargin, kCellSize - kMargin);
        top += NudgeInside(top, top + glyph.height, kMargin, kCellSize - kMargin);
        for (int gy = 0; gy < glyph.height; ++gy) {
            for (int gx = 0; gx < glyph.width; ++gx) {
                // A slight lift of partial coverage keeps thin strokes bright when drawn additively.
                const float v = std::pow(glyph.coverage[static_cast<size_t>(gy * glyph.width + gx)] / 255.0f, 0.8f);
                sheet.Set(CellLeft(code) + left + gx, CellTop(code) + top + gy, XColor{v, v, v, 1.0f});
            }
        }
    }
    return sheet;
}
