// XTexField: a float height or mask of a seamless tile, with the wrap-around of XImage::At, and the light it
// gives when read as a height field.
// Depends on: XToolMath.
#pragma once

#include "tools/common/XToolMath.h" // Wrap

#include <vector>

class XTexField {
public:
    XTexField(int fieldWidth, int fieldHeight);

    int Width() const { return width; }
    int Height() const { return height; }

    // The value at (x, y) with wrap-around: any integer coordinates are valid.
    float At(int x, int y) const { return values[WrappedIndex(x, y)]; }
    float& At(int x, int y) { return values[WrappedIndex(x, y)]; }

    // Lighting factor of the height field seen under a light from the upper left: 1 where it is flat,
    // brighter on slopes that face the light, darker on the others. bump scales the heights.
    float Shade(int x, int y, float bump) const;

private:
    size_t WrappedIndex(int x, int y) const { return static_cast<size_t>(Wrap(y, height) * width + Wrap(x, width)); }

    int width = 0;
    int height = 0;
    std::vector<float> values;
};
