// XImage: a float RGBA canvas that the texture generators paint on.
//
// Coordinates are pixels with y counted from the TOP, as a viewer reads a picture; the writers turn the
// canvas into files from there. Channels are kept unclamped while painting and clamped to 0..1 on output.
// Depends on: nothing.
#pragma once

#include "tools/texgen/XColor.h"

#include <vector>

class XImage {
public:
    XImage(int width, int height);

    int Width() const;
    int Height() const;

    // The pixel at (x, y); transparent black outside the canvas.
    XColor Get(int x, int y) const;

    // Replaces the pixel at (x, y); ignored outside the canvas.
    void Set(int x, int y, const XColor& colour);

    // Paints colour over the pixel by its alpha (source over).
    void BlendOver(int x, int y, const XColor& colour);

    // The canvas as bytes, top row first, rows tightly packed: 3 channels (R,G,B) or 4 (R,G,B,A).
    std::vector<unsigned char> ToBytes(int channels) const;

    // A canvas made from bytes laid out as ToBytes gives them (1, 3 or 4 channels).
    static XImage FromBytes(const unsigned char* bytes, int width, int height, int channels);

private:
    int width = 0;
    int height = 0;
    std::vector<XColor> pixels;
};
