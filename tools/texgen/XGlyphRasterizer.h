// XGlyphRasterizer: turns the characters of a TrueType font into coverage bitmaps and paints text.
//
// Used for the engine's glyph grid and for the lettering of the pause panel, so both share one look.
// Depends on: stb_truetype.
#pragma once

#include "tools/common/XColor.h"
#include "tools/common/XImage.h"

#include <stb_truetype.h> // stbtt_fontinfo

#include <string>
#include <vector>

class XGlyphRasterizer {
public:
    // Ink box of a character in font units, y upwards from the baseline.
    struct Box {
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
    };

    // Coverage of one character: width × height bytes, top row first; (left, top) is the bitmap's corner
    // relative to the pen position on the baseline, y downwards.
    struct Glyph {
        int width = 0;
        int height = 0;
        int left = 0;
        int top = 0;
        std::vector<unsigned char> coverage;
    };

    // Reads the font file; false when it cannot be read or is not a TrueType font.
    bool Load(const std::string& fontPath);

    Box CharacterBox(int codepoint) const;
    int AdvanceWidth(int codepoint) const;

    // Rasterises a character with separate horizontal and vertical scales (pixels per font unit) and a
    // sub-pixel shift of the pen.
    Glyph Render(int codepoint, float scaleX, float scaleY, float shiftX, float shiftY) const;

    // The scale that makes the font's ascent-to-descent span the given number of pixels.
    float ScaleForPixelHeight(float pixels) const;

    // Paints text with its pen starting at (x, baseline), coverage times the colour's alpha.
    void DrawText(XImage& image, const std::string& text, float x, float baseline, float scaleX, float scaleY,
                  const XColor& colour) const;

    // Width of the text's advances in pixels at the horizontal scale.
    float TextWidth(const std::string& text, float scaleX) const;

private:
    std::vector<unsigned char> fontData;
    stbtt_fontinfo info = {};
    bool loaded = false;
};
