// Tests of the passes over the 2D overlay: the crosshair, the pause panel's menu picture and the mouse cursor.
#include "RendererTestSupport.h"

#include "render/XTextureManager.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace {

class OverlayPasses : public RendererTest {
protected:
    // The overlay's projection as the text pass leaves it: pixels from the window centre, y up.
    void LoadOverlayProjection()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-400.0, 400.0, -300.0, 300.0, -100.0, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

TEST_F(OverlayPasses, CrosshairIsAPaleBluePointInTheMiddle)
{
    LoadOverlayProjection();
    glTranslatef(120.0f, 40.0f, 0.0f); // whatever the modelview holds, the point goes to the middle
    renderer.DrawCrosshair();
    int lit = 0;
    for (int y = 299; y <= 300; ++y) {
        for (int x = 399; x <= 400; ++x) {
            const RGBPixel pixel = Pixel(x, y);
            EXPECT_GT(pixel.b, pixel.r) << x << ", " << y;
            EXPECT_NEAR(pixel.r, pixel.g, 2) << x << ", " << y;
            lit += pixel.b > 100 ? 1 : 0;
        }
    }
    EXPECT_EQ(lit, 4);
    EXPECT_EQ(LitPixelsInBlock(380, 280, 40, 40, 30), 4); // two pixels across, nothing more
}

TEST_F(OverlayPasses, MenuPictureShowsItsFirstRowsAtTheTop)
{
    renderer.DrawMenu(XVector3(0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(PixelNear(400, 300 + 200, kMenuTopColor, 1));
    EXPECT_TRUE(PixelNear(400, 300 - 200, kMenuBottomColor, 1));
}

TEST_F(OverlayPasses, MenuPictureIs700By500CentredOnItsPosition)
{
    renderer.DrawMenu(XVector3(50.0f, -20.0f, 99.0f));
    // Left edge at 50 - 350 = -300, right at 400; bottom at -20 - 250 = -270, top at 230.
    EXPECT_FALSE(PixelIs(Pixel(100 + 2, 280), kBlack, 0));
    EXPECT_TRUE(PixelNear(100 - 3, 280, kBlack, 0));
    EXPECT_FALSE(PixelIs(Pixel(400, 30 + 2), kBlack, 0));
    EXPECT_TRUE(PixelNear(400, 30 - 3, kBlack, 0));
    EXPECT_FALSE(PixelIs(Pixel(400, 530 - 3), kBlack, 0));
    EXPECT_TRUE(PixelNear(400, 530 + 2, kBlack, 0));
    EXPECT_EQ(LitPixelsInRow(280, 0), 700);
}

TEST_F(OverlayPasses, MenuSetsItsOwnProjection)
{
    // Drawn right after the 3D passes, with the camera's perspective still loaded.
    PlaceCamera(XVector3(0.0f, 0.0f, 0.0f), 30.0f, 10.0f, 1.0f);
    renderer.DrawMenu(XVector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(LitPixelsInRow(300, 0), 700);
}

TEST_F(OverlayPasses, CursorIs32PixelsWithItsTopLeftAtTheMouse)
{
    LoadOverlayProjection();
    XPoint mouse;
    mouse.x = -100;
    mouse.y = 50;
    renderer.DrawCursor(mouse);
    // The quad spans x -100 .. -68 and y 18 .. 50: pixels 300 .. 331 and 318 .. 349 from the bottom left.
    EXPECT_EQ(LitPixelsInBlock(290, 308, 52, 52, 0), 32 * 32);
    EXPECT_TRUE(PixelNear(316, 345, kCursorTopColor, 1));    // the picture's first rows at the top
    EXPECT_TRUE(PixelNear(316, 322, kCursorBottomColor, 1));
    EXPECT_TRUE(PixelNear(299, 334, kBlack, 0));
    EXPECT_TRUE(PixelNear(316, 350, kBlack, 0));
}

TEST_F(OverlayPasses, CursorIsSampledClampedToItsEdges)
{
    LoadOverlayProjection();
    XPoint mouse;
    renderer.DrawCursor(mouse);
    const XTexture* const cursor = GetTextureManager()->GetSpecialTexture(kSpecialCursor);
    ASSERT_NE(cursor, nullptr);
    glBindTexture(GL_TEXTURE_2D, cursor->GetId());
    GLint wrapS = 0;
    GLint wrapT = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);
    // The top row stays the top colour up to the quad's edge: no wrapped-in bottom colour, no border.
    EXPECT_TRUE(PixelNear(416, 300 - 1, kCursorTopColor, 1));
    EXPECT_TRUE(PixelNear(416, 300 - 32, kCursorBottomColor, 1));
}

} // namespace
