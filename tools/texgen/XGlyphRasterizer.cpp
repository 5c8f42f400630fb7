// XGlyphRasterizer: stb_truetype behind the generators' own types.
#include "tools/texgen/XGlyphRasterizer.h"

#include "tools/common/XFiles.h"

#include <cmath> // std::floor

bool XGlyphRasterizer::Load(const std::string& fontPath)
{
    loaded = false;
    if (!XFiles::ReadBytes(fontPath, fontData) || fontData.empty()) {
        return false;
    }
    const int offset = stbtt_GetFontOffsetForIndex(fontData.data(), 0);
    loaded = offset >= 0 && stbtt_InitFont(&info, fontData.data(), offset) != 0;
    return loaded;
}

XGlyphRasterizer::Box XGlyphRasterizer::CharacterBox(int codepoint) const
{
    Box box;
    if (loaded && stbtt_GetCodepointBox(&info, codepoint, &box.x0, &box.y0, &box.x1, &box.y1) == 0) {
        box = Box{};
    }
    return box;
}

int XGlyphRasterizer::AdvanceWidth(int codepoint) const
{
    int advance = 0;
    int bearing = 0;
    if (loaded) {
        stbtt_GetCodepointHMetrics(&info, codepoint, &advance, &bearing);
    }
    return advance;
}

XGlyphRasterizer::Glyph XGlyphRasterizer::Render(int codepoint, float scaleX, float scaleY, float shiftX,
                                                 float shiftY) const
{
    Glyph glyph;
    if (!loaded) {
        return glyph;
    }
    unsigned char* const bitmap = stbtt_GetCodepointBitmapSubpixel(&info, scaleX, scaleY, shiftX, shiftY, codepoint,
                                                                   &glyph.width, &glyph.height, &glyph.left,
                                                                   &glyph.top);
    if (bitmap != nullptr) {
        glyph.coverage.assign(bitmap, bitmap + static_cast<size_t>(glyph.width * glyph.height));
        stbtt_FreeBitmap(bitmap, nullptr);
    } else {
        glyph.width = 0;
        glyph.height = 0;
    }
    return glyph;
}

float XGlyphRasterizer::ScaleForPixelHeight(float pixels) const
{
    return loaded ? stbtt_ScaleForPixelHeight(&info, pixels) : 0.0f;
}

void XGlyphRasterizer::DrawText(XImage& image, const std::string& text, float x, float baseline, float scaleX,
                                float scaleY, const XColor& colour) const
{
    float pen = x;
    const float baseRow = std::floor(baseline);
    for (const char c : text) {
        const int codepoint = static_cast<unsigned char>(c);
        const float penColumn = std::floor(pen);
        const Glyph glyph = Render(codepoint, scaleX, scaleY, pen - penColumn, baseline - baseRow);
        for (int gy = 0; gy < glyph.height; ++gy) {
            for (int gx = 0; gx < glyph.width; ++gx) {
                const float coverage = glyph.coverage[static_cast<size_t>(gy * glyph.width + gx)] / 255.0f;
                if (coverage > 0.0f) {
                    XColor ink = colour;
                    ink.a *= coverage;
                    image.BlendOver(static_cast<int>(penColumn) + glyph.left + gx,
                                    static_cast<int>(baseRow) + glyph.top + gy, ink);
                }
            }
        }
        pen += static_cast<float>(AdvanceWidth(codepoint)) * scaleX;
    }
}

float XGlyphRasterizer::TextWidth(const std::string& text, float scaleX) const
{
    float width = 0.0f;
    for (const char c : text) {
        width += static_cast<float>(AdvanceWidth(static_cast<unsigned char>(c))) * scaleX;
    }
    return width;
}
