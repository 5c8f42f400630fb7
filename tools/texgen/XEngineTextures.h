// XEngineTextures: the engine's fixed texture files, painted in code.
//
// Every file the texture manager loads at start-up besides the scene's own textures: the glyph grid, the
// spot-light and flare images, the pause panel and its cursor, two decals, the glow, eight explosion
// frames and the weapon image. Each has a small generator of its own; all are deterministic, so the data
// archive has the same bytes on every build.
// Depends on: XFontSheet, XGlyphRasterizer, XNoise, XPolygon, XImageWriter.
#pragma once

#include "tools/common/XImage.h"
#include "tools/texgen/XGlyphRasterizer.h"

#include <string>
#include <vector>

class XEngineTextures {
public:
    enum class Format { Bmp, Tga, Jpeg, Raw };

    // One engine file: its archive path with '/', how it is stored, and the size the engine expects.
    struct File {
        std::string path;
        Format format = Format::Raw;
        int width = 0;
        int height = 0;
        int channels = 0; // as the engine reads it: 3 for BMP and JPEG, 4 for TGA and raw
    };

    // Every engine file, in the order the texture manager loads them.
    static const std::vector<File>& Files();

    explicit XEngineTextures(const XGlyphRasterizer& font);

    // Paints the named file (a path of Files()); an empty 1 × 1 canvas for an unknown name.
    XImage Make(const std::string& path) const;

    // Writes every file below the staging folder. On failure returns false and names the file in error.
    bool WriteAll(const std::string& stagingFolder, std::string& error) const;

    static XImage Spot();
    static XImage Flare();
    static XImage Cursor();
    static XImage BulletHole();
    static XImage Scorch();
    static XImage RocketGlow();
    static XImage Fireball(int frame); // frame 1 to 8
    static XImage Weapon();
    XImage Font() const;
    XImage Menu() const;

private:
    const XGlyphRasterizer& font;
};
