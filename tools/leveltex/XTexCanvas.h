// XTexCanvas: a floating-point RGB picture that the level texture generators paint into.
//
// Coordinates wrap around at the edges, so that every generator works on a seamless tile. Rows are stored
// top row first, the order in which picture files are written; the engine's decoder then delivers the bottom
// row first (t = 0 at the bottom of the picture).
// Depends on: stb_image_write (only the writers).
#pragma once

#include <string>
#include <vector>

struct XTexColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;

    XTexColor() = default;
    XTexColor(float red, float green, float blue) : r(red), g(green), b(blue) {}

    XTexColor operator+(const XTexColor& o) const { return XTexColor(r + o.r, g + o.g, b + o.b); }
    XTexColor operator-(const XTexColor& o) const { return XTexColor(r - o.r, g - o.g, b - o.b); }
    XTexColor operator*(float s) const { return XTexColor(r * s, g * s, b * s); }
    XTexColor operator*(const XTexColor& o) const { return XTexColor(r * o.r, g * o.g, b * o.b); }
};

// Linear blend: a at t = 0, b at t = 1.
inline XTexColor Mix(const XTexColor& a, const XTexColor& b, float t)
{
    return a + (b - a) * t;
}

class XTexCanvas {
public:
    XTexCanvas(int canvasWidth, int canvasHeight);

    int Width() const { return width; }
    int Height() const { return height; }

    // Pixel access with wrap-around: any integer coordinates are valid.
    const XTexColor& At(int x, int y) const { return pixels[Index(x, y)]; }
    XTexColor& At(int x, int y) { return pixels[Index(x, y)]; }

    // The average colour of the whole picture.
    XTexColor Average() const;

    // 8-bit R,G,B bytes, top row first, each channel clamped to 0..1 and rounded.
    std::vector<unsigned char> ToBytes() const;

    // Writers; false when the file cannot be written.
    bool WriteJpeg(const std::string& path, int quality) const;
    bool WriteBmp(const std::string& path) const;
    bool WritePng(const std::string& path) const;

private:
    int Index(int x, int y) const
    {
        const int wx = ((x % width) + width) % width;
        const int wy = ((y % height) + height) % height;
        return wy * width + wx;
    }

    int width = 0;
    int height = 0;
    std::vector<XTexColor> pixels;
};

// A scalar field with the same wrap-around, for heights and masks.
class XTexField {
public:
    XTexField(int fieldWidth, int fieldHeight);

    int Width() const { return width; }
    int Height() const { return height; }
    float At(int x, int y) const { return values[Index(x, y)]; }
    float& At(int x, int y) { return values[Index(x, y)]; }

    // Lighting factor of the height field seen under a light from the upper left: 1 where it is flat,
    // brighter on slopes that face the light, darker on the others. bump scales the heights.
    float Shade(int x, int y, float bump) const;

private:
    int Index(int x, int y) const
    {
        const int wx = ((x % width) + width) % width;
        const int wy = ((y % height) + height) % height;
        return wy * width + wx;
    }

    int width = 0;
    int height = 0;
    std::vector<float> values;
};
