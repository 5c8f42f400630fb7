// korvath-contact-sheet: a PNG of every engine texture as the engine reads it from the data archive.
//
// Pictures are decoded through the archive layer (bottom row first) and shown upright again; raw files are
// shown as stored (top row first, as the panel and cursor quads map them). Images with alpha sit on a
// checkerboard, additive ones on black. A block of text is drawn the way the text overlay draws it, quad by
// quad from the glyph grid with the overlay's texture coordinates, so a wrong grid layout shows at once.
// Usage: korvath-contact-sheet <data.pck> <TrueType font> <output.png>
#include "scene/XArchive.h"
#include "tools/common/XImage.h"
#include "tools/common/XImageWriter.h"
#include "tools/texgen/XEngineTextures.h"
#include "tools/texgen/XGlyphRasterizer.h"

#include <algorithm> // std::min, std::replace
#include <cmath>     // std::floor
#include <cstdio>    // std::fprintf
#include <string>

namespace {

const XColor kLabelColour{0.8f, 0.82f, 0.86f, 1.0f};

struct Sheet {
    XImage canvas;
    XGlyphRasterizer font;
};

// The engine's view of a file: decoded picture (turned upright) or raw bytes; empty canvas when missing.
bool LoadEngineImage(const XEngineTextures::File& file, XImage& image)
{
    std::string name = file.path;
    std::replace(name.begin(), name.end(), '/', '\\');
    if (file.format == XEngineTextures::Format::Raw) {
        if (!QXOpenResource(name.c_str()) ||
            QXGetSize() < static_cast<uint32_t>(file.width * file.height * file.channels)) {
            return false;
        }
        image = XImage::FromBytes(QXGetData(), file.width, file.height, file.channels);
        QXCloseResource();
        return true;
    }
    if (!QXOpenPicture(name.c_str(), true)) {
        return false;
    }
    const int width = static_cast<int>(QXPictureGetWidth());
    const int height = static_cast<int>(QXPictureGetHeight());
    const XImage bottomFirst = XImage::FromBytes(QXPictureGetData(), width, height, file.channels);
    QXClosePicture();
    image = XImage(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.Set(x, y, bottomFirst.Get(x, height - 1 - y));
        }
    }
    return true;
}

void FillRect(XImage& canvas, int left, int top, int width, int height, const XColor& colour)
{
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            canvas.Set(x, y, colour);
        }
    }
}

void Checkerboard(XImage& canvas, int left, int top, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
            canvas.Set(left + x, top + y, dark ? XColor{0.24f, 0.24f, 0.26f, 1.0f} : XColor{0.34f, 0.34f, 0.36f, 1.0f});
        }
    }
}

// Draws the image scaled to the box (nearest texel), over what is already there.
void Place(XImage& canvas, const XImage& image, int left, int top, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const XColor texel = image.Get(x * image.Width() / width, y * image.Height() / height);
            canvas.BlendOver(left + x, top + y, texel);
        }
    }
}

void Label(Sheet& sheet, const std::string& text, int left, int baseline)
{
    const float scale = sheet.font.ScaleForPixelHeight(14.0f);
    sheet.font.DrawText(sheet.canvas, text, static_cast<float>(left), static_cast<float>(baseline), scale, scale,
                        kLabelColour);
}

// One tile: the image on checkerboard (alpha) or black (additive), and its name and size below.
void Tile(Sheet& sheet, const XEngineTextures::File& file, int left, int top, int side)
{
    XImage image(1, 1);
    const bool loaded = LoadEngineImage(file, image);
    if (file.channels == 4) {
        Checkerboard(sheet.canvas, left, top, side, side);
    } else {
        FillRect(sheet.canvas, left, top, side, side, XColor{0.0f, 0.0f, 0.0f, 1.0f});
    }
    if (loaded) {
        Place(sheet.canvas, image, left, top, side, side);
    } else {
        FillRect(sheet.canvas, left, top, side, side, XColor{0.8f, 0.0f, 0.0f, 1.0f});
    }
    Label(sheet, file.path.substr(file.path.find('/') + 1), left, top + side + 16);
    Label(sheet, std::to_string(file.width) + "x" + std::to_string(file.height) + (file.channels == 4 ? " RGBA" : " RGB"),
          left, top + side + 32);
}

// Samples the glyph grid (rows bottom first, as decoded) at (s, t) with GL_REPEAT and linear filtering.
float SampleFont(const XImage& bottomFirst, float s, float t)
{
    const int width = bottomFirst.Width();
    const int height = bottomFirst.Height();
    const float x = s * static_cast<float>(width) - 0.5f;
    const float y = t * static_cast<float>(height) - 0.5f;
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const float ax = x - fx;
    const float ay = y - fy;
    auto texel = [&](int tx, int ty) {
        const int wx = ((tx % width) + width) % width;
        const int wy = ((ty % height) + height) % height;
        return bottomFirst.Get(wx, wy).r;
    };
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float low = texel(ix, iy) * (1.0f - ax) + texel(ix + 1, iy) * ax;
    const float high = texel(ix, iy + 1) * (1.0f - ax) + texel(ix + 1, iy + 1) * ax;
    return low * (1.0f - ay) + high * ay;
}

// Draws text as the overlay does: 16 × 16 pixel quads, advance 10.4, line spacing 13.6, maxCols columns,
// each quad textured from s = u .. u + 1/16, t = t0 .. t0 + 1/16 with t0 = 1 - v + 0.5625, added on top.
void OverlayText(XImage& canvas, const XImage& fontBottomFirst, const std::string& text, int left, int top, int maxCols)
{
    const float charWidth = 8.0f;
    const float charHeight = 8.0f;
    int row = 0;
    int col = 0;
    for (const char c : text) {
        if (col >= maxCols) {
            ++row;
            col = 0;
        }
        if (c == '\n') {
            ++row;
            col = 0;
            continue;
        }
        const int code = static_cast<signed char>(c);
        const float u = static_cast<float>(code % 16) / 16.0f;
        const float v = static_cast<float>(code / 16) / 16.0f;
        const float t0 = 1.0f - v + 0.5625f;
        const float centreX = static_cast<float>(col) * charWidth * 1.3f;
        const float centreY = (static_cast<float>(row) + 1.0f) * charHeight * 1.7f; // downwards from the top
        for (int py = 0; py < 16; ++py) {
            for (int px = 0; px < 16; ++px) {
                const float localS = (static_cast<float>(px) + 0.5f) / 16.0f;
                const float localT = 1.0f - (static_cast<float>(py) + 0.5f) / 16.0f; // quad's top edge is t0 + 1/16
                const float ink = SampleFont(fontBottomFirst, u + localS * 0.0625f, t0 + localT * 0.0625f);
                const int x = left + static_cast<int>(std::floor(centreX - charWidth)) + px;
                const int y = top + static_cast<int>(std::floor(centreY - charHeight)) + py;
                XColor under = canvas.Get(x, y);
                under.r = std::min(1.0f, under.r + ink);
                under.g = std::min(1.0f, under.g + ink);
                under.b = std::min(1.0f, under.b + ink);
                canvas.Set(x, y, under);
            }
        }
        ++col;
    }
}

// The pause panel over a dim stand-in for the game picture, at half the size it has on an 800 × 600 screen.
void PanelPreview(Sheet& sheet, const XImage& menu, const XImage& fontBottomFirst, int left, int top)
{
    const int width = 400;
    const int height = 300;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float fy = static_cast<float>(y) / static_cast<float>(height);
            const float stripe = ((x / 40) % 2 == 0) ? 0.04f : 0.0f;
            sheet.canvas.Set(left + x, top + y, XColor{0.28f + stripe, 0.24f + fy * 0.1f, 0.2f + fy * 0.15f, 1.0f});
        }
    }
    // Help text as the game draws it (under the panel), then the panel: 700 × 500 centred 75 px above the
    // screen centre, so its top 25 pixels are off screen.
    XImage help(800, 600);
    OverlayText(help, fontBottomFirst,
                "F1 - this\nmouse        - look around\narrow keys   - move around\nshift        - zoom\n"
                "CTRL         - spotlight\nf            - fly mode on-off\nw            - enable/disable weapon\n"
                "TAB          - change weapons\nl. mouse btn - fire\nr. mouse btn - jump\n",
                400 - 200, 300 - 175, 40);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            XColor under = sheet.canvas.Get(left + x, top + y);
            const float ink = help.Get(x * 2, y * 2).r;
            under.r = std::min(1.0f, under.r + ink);
            under.g = std::min(1.0f, under.g + ink);
            under.b = std::min(1.0f, under.b + ink);
            sheet.canvas.Set(left + x, top + y, under);
        }
    }
    for (int y = 0; y < height; ++y) {
        const float screenY = 300.0f - static_cast<float>(y * 2); // y upwards from the screen centre
        const float t = (325.0f - screenY) / 500.0f;
        if (t < 0.0f || t > 1.0f) {
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const float s = (static_cast<float>(x * 2) - 50.0f) / 700.0f;
            if (s < 0.0f || s > 1.0f) {
                continue;
            }
            const XColor texel = menu.Get(static_cast<int>(s * 511.0f), static_cast<int>(t * 511.0f));
            sheet.canvas.BlendOver(left + x, top + y, texel);
        }
    }
    Label(sheet, "pause panel with help text, 800x600 screen at half size", left, top + height + 16);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <data.pck> <TrueType font> <output.png>\n", argv[0]);
        return 2;
    }
    Sheet sheet{XImage(1160, 760), XGlyphRasterizer()};
    if (!sheet.font.Load(argv[2])) {
        std::fprintf(stderr, "korvath-contact-sheet: cannot load the font %s\n", argv[2]);
        return 1;
    }
    if (!QXInitialize() || !QXSetArchive(argv[1], "")) {
        return 1;
    }
    FillRect(sheet.canvas, 0, 0, sheet.canvas.Width(), sheet.canvas.Height(), XColor{0.13f, 0.13f, 0.15f, 1.0f});

    const std::vector<XEngineTextures::File>& files = XEngineTextures::Files();
    auto find = [&](const std::string& path) {
        for (const XEngineTextures::File& file : files) {
            if (file.path == path) {
                return file;
            }
        }
        return XEngineTextures::File{};
    };

    // Top row: the glyph grid, the overlay drawing text from it, and the pause panel.
    const XEngineTextures::File fontFile = find("misc/font.bmp");
    Tile(sheet, fontFile, 16, 16, 256);
    XImage fontBottomFirst(1, 1);
    if (QXOpenPicture("misc\\font.bmp", true)) {
        fontBottomFirst = XImage::FromBytes(QXPictureGetData(), static_cast<int>(QXPictureGetWidth()),
                                            static_cast<int>(QXPictureGetHeight()), 3);
        QXClosePicture();
    }
    FillRect(sheet.canvas, 288, 16, 440, 256, XColor{0.0f, 0.0f, 0.0f, 1.0f});
    OverlayText(sheet.canvas, fontBottomFirst,
                "...press F1 for help\n\nText drawn the way the overlay draws it,\nquad by quad from misc\\font.bmp:\n\n"
                "The quick brown fox jumps over the lazy\ndog. 0123456789\n!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\n"
                "player at: 1.00, 5.00, -1.00",
                304, 24, 40);
    Label(sheet, "overlay text (16x16 quads, advance 10.4, line 13.6)", 288, 288);
    XImage menu(1, 1);
    LoadEngineImage(find("misc/menu.raw"), menu);
    PanelPreview(sheet, menu, fontBottomFirst, 744, 16);

    // Middle row: light images, wall marks, cursor and weapon.
    const char* const middle[] = {"misc/spot.bmp", "misc/light.bmp", "misc/rocketl.jpg", "misc/decal.raw",
                                  "misc/decal2.raw", "misc/cursor.raw", "explode/weapon.raw"};
    int left = 16;
    for (const char* const path : middle) {
        Tile(sheet, find(path), left, 356, 128);
        left += 162;
    }

    // Bottom row: the eight explosion frames.
    left = 16;
    for (int frame = 1; frame <= 8; ++frame) {
        Tile(sheet, find("explode/rlboom_" + std::to_string(frame) + ".tga"), left, 546, 128);
        left += 142;
    }
    Label(sheet, "Korvath engine textures, generated by korvath-texgen and read back through the archive layer", 16, 744);

    if (!XImageWriter::WritePng(argv[3], sheet.canvas, false)) {
        std::fprintf(stderr, "korvath-contact-sheet: cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("korvath-contact-sheet: wrote %s\n", argv[3]);
    return 0;
}
