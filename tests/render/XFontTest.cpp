// Tests of the text overlay: layout of the glyphs, their cells, and the pixels of one drawn letter.
#include "render/XFont.h"

#include "render/FrameCounter.h"
#include "shell/XTimer.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility> // std::pair
#include <vector>

namespace {

class TextOverlay : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        font.SetGlyphLog(&glyphs);
        font.SetTextPosition(-100.0f, 100.0f, 40);
    }

    void TearDown() override { TakeGLError(); }

    std::string DrawnCharacters() const
    {
        std::string characters;
        for (const XGlyphRecord& glyph : glyphs) {
            characters += glyph.character;
        }
        return characters;
    }

    XFont font;
    std::vector<XGlyphRecord> glyphs;
};

using TextLayout = TextOverlay;

TEST_F(TextLayout, FullLineFollowedByNewlineLeavesAnEmptyLine)
{
    const std::string text = std::string(40, 'x') + "\ny";
    font.DrawText(text.c_str(), -1, true);
    ASSERT_EQ(glyphs.size(), 41u);
    EXPECT_EQ(glyphs[39].row, 0);
    EXPECT_EQ(glyphs[39].col, 39);
    EXPECT_EQ(glyphs[40].character, 'y');
    EXPECT_EQ(glyphs[40].row, 2);
    EXPECT_EQ(glyphs[40].col, 0);
}

TEST_F(TextLayout, LineBreaksBeforeTheCharacterAfterMaxCols)
{
    font.SetTextPosition(0.0f, 0.0f, 5);
    font.DrawText("abcdefg", -1, false);
    ASSERT_EQ(glyphs.size(), 7u);
    EXPECT_EQ(glyphs[4].row, 0);
    EXPECT_EQ(glyphs[4].col, 4);
    EXPECT_EQ(glyphs[5].character, 'f');
    EXPECT_EQ(glyphs[5].row, 1);
    EXPECT_EQ(glyphs[5].col, 0);
}

TEST_F(TextLayout, LeadingSpacesAreDrawnLeftOfTheMarginWhenSkipped)
{
    font.DrawText("  ab", -1, true);
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0].col, -1);
    EXPECT_EQ(glyphs[1].col, -1);
    EXPECT_EQ(glyphs[2].character, 'a');
    EXPECT_EQ(glyphs[2].col, 0);
    EXPECT_EQ(glyphs[3].col, 1);
    // One cell left of the margin: 1.3 cell widths of 8 pixels.
    EXPECT_FLOAT_EQ(glyphs[0].x, -100.0f - 10.4f);
    EXPECT_FLOAT_EQ(glyphs[2].x, -100.0f);
}

TEST_F(TextLayout, LeadingSpacesTakeTheirColumnsWhenNotSkipped)
{
    font.DrawText("  ab", -1, false);
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0].col, 0);
    EXPECT_EQ(glyphs[2].character, 'a');
    EXPECT_EQ(glyphs[2].col, 2);
}

TEST_F(TextLayout, SpacesAfterANewlineAreLeadingSpacesToo)
{
    font.DrawText("a\n b", -1, true);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[1].character, ' ');
    EXPECT_EQ(glyphs[1].row, 1);
    EXPECT_EQ(glyphs[1].col, -1);
    EXPECT_EQ(glyphs[2].col, 0);
}

TEST_F(TextLayout, LengthSelectsHowManyCharactersAreDrawn)
{
    font.DrawText("abc", -1, true);
    EXPECT_EQ(DrawnCharacters(), "abc");
    glyphs.clear();
    font.DrawText("abc", 10, true);
    EXPECT_EQ(DrawnCharacters(), "abc");
    glyphs.clear();
    font.DrawText("abc", 2, true);
    EXPECT_EQ(DrawnCharacters(), "ab");
}

TEST_F(TextLayout, FirstLineSits13Point6PixelsBelowTheOrigin)
{
    font.SetTextPosition(-350.0f, 250.0f, 40);
    font.DrawText("ab\nc", -1, true);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_FLOAT_EQ(glyphs[0].x, -350.0f);
    EXPECT_FLOAT_EQ(glyphs[0].y, 250.0f - 13.6f);
    EXPECT_FLOAT_EQ(glyphs[1].x, -350.0f + 10.4f);
    // Lines are 1.7 cell heights apart.
    EXPECT_FLOAT_EQ(glyphs[2].y, 250.0f - 27.2f);
}

TEST_F(TextLayout, OriginIsTruncatedToWholePixels)
{
    font.SetTextPosition(10.9f, -20.7f, 40);
    font.DrawText("a", -1, true);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_FLOAT_EQ(glyphs[0].x, 10.0f);
    EXPECT_FLOAT_EQ(glyphs[0].y, -20.0f - 13.6f);
}

TEST_F(TextLayout, EveryCallStartsAgainAtTheOrigin)
{
    font.DrawText("ab\ncd", -1, true);
    glyphs.clear();
    font.DrawText("e", -1, true);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].row, 0);
    EXPECT_EQ(glyphs[0].col, 0);
}

using GlyphCells = TextOverlay;

TEST_F(GlyphCells, CharacterCodeGivesCellColumnAndRow)
{
    font.DrawText("A~", -1, true);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_FLOAT_EQ(glyphs[0].u, 0.0625f); // 65 = 4 x 16 + 1
    EXPECT_FLOAT_EQ(glyphs[0].v, 0.25f);
    EXPECT_FLOAT_EQ(glyphs[1].u, 14.0f / 16.0f); // 126 = 7 x 16 + 14
    EXPECT_FLOAT_EQ(glyphs[1].v, 7.0f / 16.0f);
}

TEST_F(GlyphCells, QuadCornersCarryTheCellsTextureCoordinates)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-400.0, 400.0, -300.0, 300.0, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    std::vector<GLfloat> buffer(512, 0.0f);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    font.SetTextPosition(0.0f, 0.0f, 40);
    font.DrawGlyph(0.0625f, 0.25f);
    const GLint used = glRenderMode(GL_RENDER);
    ASSERT_GT(used, 0);

    // The quad may come back as one polygon or as triangles: collect each vertex's texture coordinate by
    // its window position. A vertex is x, y, z, four colour and four texture values.
    std::map<std::pair<int, int>, std::pair<float, float>> corners;
    for (GLint i = 0; i < used;) {
        ASSERT_EQ(buffer[static_cast<size_t>(i)], static_cast<GLfloat>(GL_POLYGON_TOKEN));
        const int count = static_cast<int>(buffer[static_cast<size_t>(i + 1)]);
        i += 2;
        for (int v = 0; v < count; ++v, i += 11) {
            const GLfloat* const vertex = &buffer[static_cast<size_t>(i)];
            corners[{static_cast<int>(vertex[0] + 0.5f), static_cast<int>(vertex[1] + 0.5f)}] = {vertex[7], vertex[8]};
        }
    }
    // Window centre (400, 300), half extents of 8 pixels; t0 = 1 - 0.25 + 0.5625.
    const float t0 = 1.3125f;
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_EQ(corners[(std::pair<int, int>{392, 292})], (std::pair<float, float>{0.0625f, t0}));
    EXPECT_EQ(corners[(std::pair<int, int>{408, 292})], (std::pair<float, float>{0.125f, t0}));
    EXPECT_EQ(corners[(std::pair<int, int>{408, 308})], (std::pair<float, float>{0.125f, t0 + 0.0625f}));
    EXPECT_EQ(corners[(std::pair<int, int>{392, 308})], (std::pair<float, float>{0.0625f, t0 + 0.0625f}));
}

using TextPixels = TextOverlay;

bool Lit(const RGBPixel& p)
{
    return p.r > 200 && p.g > 200 && p.b > 200;
}

bool Dark(const RGBPixel& p)
{
    return p.r < 20 && p.g < 20 && p.b < 20;
}

TEST_F(TextPixels, LetterALightsTheUpperHalfOfItsQuad)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    font.SetTextPosition(0.0f, 0.0f, 40);
    font.DrawText("A", -1, true);
    // The quad spans x 392 to 408 and y 278.4 to 294.4 (from the bottom); the font's lit block fills the
    // middle half of the cell's width in its upper half.
    EXPECT_TRUE(Lit(ReadBackBufferPixel(400, 290)));
    EXPECT_TRUE(Lit(ReadBackBufferPixel(397, 288)));
    EXPECT_TRUE(Dark(ReadBackBufferPixel(400, 282)));  // lower half of the cell
    EXPECT_TRUE(Dark(ReadBackBufferPixel(393, 290)));  // left margin of the cell
    EXPECT_TRUE(Dark(ReadBackBufferPixel(400, 310)));  // above the quad
    EXPECT_TRUE(Dark(ReadBackBufferPixel(420, 290)));  // right of the quad
}

TEST_F(TextPixels, OtherLettersShowNothingOfTheACell)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    font.SetTextPosition(0.0f, 0.0f, 40);
    font.DrawText("B@Q", -1, true);
    for (int y = 276; y <= 296; y += 2) {
        for (int x = 390; x <= 430; x += 2) {
            EXPECT_TRUE(Dark(ReadBackBufferPixel(x, y))) << x << ", " << y;
        }
    }
}

TEST_F(TextPixels, OutlinedTextIsDarkenedAroundOverAWhitePicture)
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    font.SetTextPosition(0.0f, 0.0f, 40);
    font.DrawOutlinedText("A", -1, true);
    // The lit block of the "A" (x 396 to 404 from the left) stays white; one pixel beside it the picture is
    // black; further away it is untouched.
    EXPECT_TRUE(Lit(ReadBackBufferPixel(400, 290)));
    EXPECT_TRUE(Dark(ReadBackBufferPixel(395, 290)));
    EXPECT_TRUE(Dark(ReadBackBufferPixel(404, 290)));
    EXPECT_TRUE(Lit(ReadBackBufferPixel(394, 290)));
    EXPECT_TRUE(Lit(ReadBackBufferPixel(405, 290)));
    EXPECT_TRUE(Lit(ReadBackBufferPixel(400, 282))) << "below the letter";
    EXPECT_EQ(DrawnCharacters(), "A") << "the outline is no glyph of its own";
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

TEST_F(TextPixels, DrawingLeavesAnOrthographicProjectionAndNoBlending)
{
    glEnable(GL_DEPTH_TEST);
    font.DrawText("A", -1, true);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 800.0f);
    EXPECT_FLOAT_EQ(projection[5], 2.0f / 600.0f);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

using FrameCounter = TextOverlay;

TEST_F(FrameCounter, PrintsTheFramesPerSecondAtItsPosition)
{
    XTimer* const timer = GetTimer();
    timer->UseManualClock();
    timer->AdvanceManualClock(16.0);
    timer->Update();
    std::vector<XGlyphRecord> printed;
    GetFont()->SetGlyphLog(&printed);
    DrawFps(-350.0f, -250.0f);
    GetFont()->SetGlyphLog(nullptr);
    std::string text;
    for (const XGlyphRecord& glyph : printed) {
        text += glyph.character;
    }
    EXPECT_EQ(text, "fps: 62");
    ASSERT_FALSE(printed.empty());
    EXPECT_FLOAT_EQ(printed[0].x, -350.0f);
    EXPECT_FLOAT_EQ(printed[0].y, -250.0f - 13.6f);
}

} // namespace
