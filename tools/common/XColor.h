// XColor: a linear RGBA colour with float channels in 0..1, the pixel type of the generators' pictures.
//
// The arithmetic works on all four channels alike, as on a vector; the pictures of opaque tiles simply never
// write their alpha.
// Depends on: nothing.
#pragma once

struct XColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    // Transparent black.
    XColor() = default;
    XColor(float red, float green, float blue, float alpha = 1.0f) : r(red), g(green), b(blue), a(alpha) {}

    XColor operator+(const XColor& o) const { return XColor(r + o.r, g + o.g, b + o.b, a + o.a); }
    XColor operator-(const XColor& o) const { return XColor(r - o.r, g - o.g, b - o.b, a - o.a); }
    XColor operator*(float s) const { return XColor(r * s, g * s, b * s, a * s); }
    XColor operator*(const XColor& o) const { return XColor(r * o.r, g * o.g, b * o.b, a * o.a); }
};

// The colour t of the way from a to b (t = 0 gives a, t = 1 gives b), all four channels.
inline XColor MixColor(const XColor& a, const XColor& b, float t)
{
    return a + (b - a) * t;
}

// The colour with its red, green and blue scaled by k; alpha unchanged.
inline XColor ScaleColor(const XColor& c, float k)
{
    return XColor(c.r * k, c.g * k, c.b * k, c.a);
}
