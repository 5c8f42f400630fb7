// XImage: a float RGBA picture that the generators paint on.
//
// Coordinates are pixels with y counted from the TOP, as a viewer reads a picture; rows are stored top row
// first, the order in which picture files are written (the engine's decoder then delivers the bottom row
// first). Channels are kept unclamped while painting and clamped to 0..1 on output.
//
// Two kinds of access: Get, Set and BlendOver treat the picture as bounded (transparent black outside,
// writes outside ignored), for pictures with a border; At wraps around at the edges, so that any integer
// coordinates are valid, for seamless tiles.
// Depends on: XColor, XToolMath.
#pragma once

#include "tools/common/XColor.h"
#include "tools/common/XToolMath.h" // Wrap

#include <vector>

class XImage {
public:
    XImage(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }

    // The pixel at (x, y); transparent black outside the picture.
    XColor Get(int x, int y) const;

    // Replaces the pixel at (x, y); ignored outside the picture.
    void Set(int x, int y, const XColor& colour);

    // Paints colour over the pixel by its alpha (source over).
    void BlendOver(int x, int y, const XColor& colour);

    // The pixel at (x, y) with wrap-around.
    const XColor& At(int x, int y) const { return pixels[WrappedIndex(x, y)]; }
    XColor& At(int x, int y) { return pixels[WrappedIndex(x, y)]; }

    // The average colour of the whole picture, each channel clamped to 0..1 first.
    XColor Average() const;

    // The picture as bytes, top row first, rows tightly packed: 3 channels (R,G,B) or 4 (R,G,B,A), each
    // clamped to 0..1 and rounded.
    std::vector<unsigned char> ToBytes(int channels) const;

    // A picture made from bytes laid out as ToBytes gives them (1, 3 or 4 channels).
    static XImage FromBytes(const unsigned char* bytes, int width, int height, int channels);

private:
    size_t WrappedIndex(int x, int y) const { return static_cast<size_t>(Wrap(y, height) * width + Wrap(x, width)); }

    int width = 0;
    int height = 0;
    std::vector<XColor> pixels;
};
