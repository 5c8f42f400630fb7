// XFont: text layout and glyph quads of the overlay.
#include "render/XFont.h"

#include "render/OverlayProjection.h"
#include "render/TextureUnits.h"
#include "render/VertexArrays.h"
#include "render/XExtensions.h" // DisableRegisterCombiners
#include "render/XTextureManager.h"

#include <GL/gl.h>

#include <cstring> // strlen

namespace {

// Layout constants: the advance is 1.3 cells, the line pitch 1.7 cells.
const float kAdvance = 1.3f;
const float kLinePitch = 1.7f;
const float kCellSize = 0.0625f; // one of 16 cells across the font picture
// The glyph grid sits in the picture so that cell row r is found at t = 1 - r/16 + 9/16 (wrapping).
const double kRowOffset = 0.5625;

} // namespace

void XFont::SetTextPosition(float x, float y, int maxColumns)
{
    row = 0;
    col = 0;
    charWidth = 8.0f;
    charHeight = 8.0f;
    originX = static_cast<int32_t>(x);
    originY = static_cast<int32_t>(y);
    maxCols = maxColumns;
}

void XFont::SetColor(float r, float g, float b, float a)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void XFont::SetGlyphLog(std::vector<XGlyphRecord>* log)
{
    glyphLog = log;
}

// Texture units, switches and blending of the overlay; the font texture is bound on unit 0 afterwards.
void XFont::PrepareState() const
{
    SetActiveTexture(1);
    glDisable(GL_TEXTURE_2D);
    UnbindCubeMap(-1);
    SetActiveTexture(0);
    glDisable(GL_TEXTURE_2D);
}

void XFont::DrawText(const char* text, int length, bool skipLeadingSpace)
{
    DrawLayers(text, length, skipLeadingSpace, false);
}

void XFont::DrawOutlinedText(const char* text, int length, bool skipLeadingSpace)
{
    DrawLayers(text, length, skipLeadingSpace, true);
}

void XFont::DrawLayers(const char* text, int length, bool skipLeadingSpace, bool outlined)
{
    PrepareState();

    const int textLength = static_cast<int>(std::strlen(text));
    if (length == -1 || textLength < length) {
        length = textLength;
    }

    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);
    DisableRegisterCombiners(); // combiner state of other code must never tint text
    glDisable(GL_DEPTH_TEST);
    EnableVertexArray(false);
    EnableNormalArray(false);
    EnableColorArray(false);
    EnableTexCoordArray(false);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    DisableTexture2D(1);
    DisableTexture2D(0);

    // Without a font (a broken archive) the glyphs still show, as plain quads.
    XTexture* const font = GetTextureManager()->GetSpecialTexture(kSpecialFont);
    if (font != nullptr) {
        font->Bind(0);
    }
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    SetOverlayProjection();
    glPushMatrix();
    glLoadIdentity();

    if (outlined) {
        // The picture is multiplied by one minus the glyph's ink, at the glyph's place and one pixel away in
        // each of the eight directions: black under and around the strokes, untouched elsewhere.
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        glBegin(GL_QUADS);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                EmitText(text, length, skipLeadingSpace, static_cast<float>(dx), static_cast<float>(dy), false);
            }
        }
        glEnd();
    }

    glColor4f(color[0], color[1], color[2], color[3]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    // All glyphs in one batch, placed on the CPU rather than by a translation each: a matrix change between
    // two glyphs would end the driver's batch, and a draw per glyph costs software OpenGL far more than the
    // glyph. The corners come out the same: x - w rounds once here as x + (-w) did in the translation.
    glBegin(GL_QUADS);
    EmitText(text, length, skipLeadingSpace, 0.0f, 0.0f, true);
    glEnd();

    glPopMatrix();
    glDisable(GL_BLEND);
    UnbindTexture2D(-1);
}

void XFont::EmitText(const char* text, int length, bool skipLeadingSpace, float dx, float dy, bool logged)
{
    row = 0;
    col = 0;
    for (int i = 0; i < length; ++i) {
        const signed char c = static_cast<signed char>(text[i]);
        if (col >= maxCols) {
            ++row;
            col = 0;
        }
        if (c == '\n') {
            ++row;
            col = 0;
            continue;
        }
        if (col == 0 && c == ' ' && skipLeadingSpace) {
            col = -1;
        }
        // Evaluated in double and rounded once, as the layout has always been computed.
        const float x = static_cast<float>(static_cast<double>(col) * charWidth * kAdvance + originX);
        const float y = static_cast<float>(originY - static_cast<double>(row + 1) * charHeight * kLinePitch);
        const float u = static_cast<float>(c % 16) / 16.0f;
        const float v = static_cast<float>(c / 16) / 16.0f;
        EmitGlyph(x + dx, y + dy, u, v);
        if (logged && glyphLog != nullptr) {
            glyphLog->push_back({static_cast<char>(c), row, col, x, y, u, v});
        }
        ++col;
    }
}

void XFont::DrawGlyph(float u, float v) const
{
    glBegin(GL_QUADS);
    EmitGlyph(0.0f, 0.0f, u, v);
    glEnd();
}

// The four corners of one glyph quad centred on (x, y), inside a glBegin(GL_QUADS) of the caller.
void XFont::EmitGlyph(float x, float y, float u, float v) const
{
    const float halfWidth = charWidth;
    const float halfHeight = charHeight;
    const float t0 = static_cast<float>(1.0 - static_cast<double>(v) + kRowOffset);
    glTexCoord2f(u, t0);
    glVertex3f(x - halfWidth, y - halfHeight, 0.0f);
    glTexCoord2f(u + kCellSize, t0);
    glVertex3f(x + halfWidth, y - halfHeight, 0.0f);
    glTexCoord2f(u + kCellSize, t0 + kCellSize);
    glVertex3f(x + halfWidth, y + halfHeight, 0.0f);
    glTexCoord2f(u, t0 + kCellSize);
    glVertex3f(x - halfWidth, y + halfHeight, 0.0f);
}

XFont* GetFont()
{
    static XFont* const font = new XFont();
    return font;
}
