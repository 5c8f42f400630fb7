// XSpriteCutout: the part of a square sprite's picture that can add light to a pixel, as a convex polygon.
//
// A sprite drawn additively adds nothing where its picture is black, yet the rasteriser shades every pixel of
// its square. The cutout is the square less its black margins: a box (|x| <= halfWidth, |y| <= halfHeight)
// with its corners cut off (|x| + |y| <= reach), in the square's own coordinates, -1 to 1 across. Every texel
// that is not black lies inside it with the reach of linear filtering to spare, so a sample taken outside
// reads black texels only, and the sprite drawn through the cutout adds exactly what its square adds.
// Depends on: XVector2, OpenGL (reading a texture's levels back).
#pragma once

#include "math/XVector2.h"

#include <vector>

class XSpriteCutout {
public:
    // Holds nothing yet: a picture that is black everywhere adds nothing anywhere.
    XSpriteCutout() = default;

    // The cutout of the first `levels` mipmap levels of a 2D texture, read back from OpenGL: it holds wherever
    // the texture is sampled from those levels only. A texture that cannot be read back gets the whole square.
    static XSpriteCutout OfTexture(unsigned int textureId, int levels);
    // The whole square.
    static XSpriteCutout Whole();

    // Widens the cutout to every texel of one mipmap level (rows from the bottom, as OpenGL keeps them) that is
    // not black in red, green or blue, with the reach of linear filtering at that level.
    void Include(const unsigned char* pixels, int width, int height, int channels);

    // The corners counter-clockwise, at most eight; none when nothing was included.
    std::vector<XVector2> Corners() const;

    // The share of the square's area the cutout keeps, 0 to 1.
    float AreaShare() const;

    // The larger side of the first level read by OfTexture, in texels; 0 for a cutout made otherwise.
    int PictureSize() const { return pictureSize; }

private:
    bool empty = true;
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
    float reach = 0.0f;
    int pictureSize = 0;
};
