// XFontSheet: the engine's glyph grid "misc\font.bmp", a 16 × 16 grid of character cells.
//
// The text overlay draws character c with s from (c mod 16) / 16 and the bottom edge of its quad at
// t0 = 1 - (c / 16) / 16 + 0.5625, wrapping with GL_REPEAT; decoded pictures put t = 0 at the bottom of
// the picture as viewed. So glyph row r = c / 16 lies in the horizontal band (9 - r) mod 16 counted from
// the BOTTOM of the picture, in column c mod 16 from the left: 'A' (65, row 4) is in band 5. Each glyph is
// upright, white on black, inside its cell with at least one black texel all round, so that linear
// filtering never pulls in a neighbour.
// Depends on: XGlyphRasterizer.
#pragma once

#include "tools/texgen/XGlyphRasterizer.h"
#include "tools/common/XImage.h"

class XFontSheet {
public:
    static const int kSheetSize = 256; // one texel per screen pixel of the overlay's 16-pixel glyph quads
    static const int kCellSize = 16;
    static const int kMargin = 1;       // black texels kept clear on every side of a cell
    static const int kCapHeight = 10;   // pixels from baseline to the top of capitals
    static const int kBaseline = 12;    // baseline row, from the top of the cell

    // The band, counted from the bottom of the picture as viewed, that holds the character's glyph row.
    static int BandFromBottom(int code);

    // The cell's top-left pixel in the picture as viewed (y from the top).
    static int CellLeft(int code);
    static int CellTop(int code);

    // True for the characters that get a glyph: the printable ASCII range 33..126 (32 is a blank cell).
    static bool HasGlyph(int code);

    // Paints the whole grid.
    static XImage Build(const XGlyphRasterizer& font);
};
