// XFont: the text overlay that draws every on-screen text as additive textured quads over the 3D picture.
//
// Glyphs come from the special texture "font2D", a 16 x 16 grid of character cells addressed by character
// code. The overlay keeps a text origin in pixels from the window centre (y upwards), a cell size, a line
// width limit and a colour; each DrawText starts again at row 0, column 0 of the origin. Glyph quads are
// twice the cell size wide but advance only 1.3 cells, so neighbours overlap; additive blending keeps the
// black parts of the glyph picture invisible.
//
// For tests and tools, an optional glyph log receives every glyph drawn (character, cell and position)
// without reading pixels back; it costs one pointer test per glyph when unused.
// Depends on: OpenGL, XTextureManager, TextureUnits, VertexArrays, XWindow.
#pragma once

#include <cstdint> // int32_t
#include <vector>

// One glyph as DrawText placed it.
struct XGlyphRecord {
    char character = 0;
    int32_t row = 0;
    int32_t col = 0;
    float x = 0.0f; // translation of the quad centre, pixels from the window centre
    float y = 0.0f;
    float u = 0.0f; // cell column / 16
    float v = 0.0f; // cell row / 16
};

class XFont {
public:
    XFont() = default;

    // Starts a text block: cursor at row 0, column 0, cells of 8 x 8, origin (x, y) truncated to whole pixels,
    // a line break after `maxCols` columns.
    void SetTextPosition(float x, float y, int maxCols);
    void SetColor(float r, float g, float b, float a);

    // Draws the first `length` characters of `text` (-1 or more than the text holds: all of it). '\n' starts a
    // new line; a line that reaches maxCols breaks before the next character. With skipLeadingSpace, a space at
    // the start of a line is drawn one cell left of the margin so that the line's text starts at column 0.
    void DrawText(const char* text, int length, bool skipLeadingSpace);
    // Draws the text as DrawText does, over a dark outline: the picture under every glyph and one pixel
    // around it is darkened by the glyph's ink first, so that the text reads over any picture, however bright.
    void DrawOutlinedText(const char* text, int length, bool skipLeadingSpace);

    // One glyph quad around the current modelview origin; u and v are the cell's column and row divided by 16.
    void DrawGlyph(float u, float v) const;

    // Every glyph DrawText draws from now on is appended to `log`; null stops the logging.
    void SetGlyphLog(std::vector<XGlyphRecord>* log);

    int32_t GetRow() const { return row; }
    int32_t GetCol() const { return col; }
    float GetCharWidth() const { return charWidth; }
    float GetCharHeight() const { return charHeight; }

private:
    // The four corners of a glyph quad centred on (x, y), between the caller's glBegin and glEnd.
    void EmitGlyph(float x, float y, float u, float v) const;

    void PrepareState() const;
    // The text's layout and its glyph quads, for DrawText and DrawOutlinedText.
    void DrawLayers(const char* text, int length, bool skipLeadingSpace, bool outlined);
    // The glyph quads of the first `length` characters, shifted by (dx, dy) pixels, between the caller's
    // glBegin and glEnd; logged when `logged`.
    void EmitText(const char* text, int length, bool skipLeadingSpace, float dx, float dy, bool logged);

    int32_t row = 0;
    int32_t col = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    float charWidth = 8.0f;
    float charHeight = 8.0f;
    int32_t maxCols = 40;
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    std::vector<XGlyphRecord>* glyphLog = nullptr;
};

// The process-wide overlay, created on first use with a white colour.
XFont* GetFont();
