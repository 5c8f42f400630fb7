// XColor: a linear RGBA colour with float channels in 0..1, the pixel type of the texture generators.
// Depends on: nothing.
#pragma once

struct XColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// The colour t of the way from a to b (t = 0 gives a, t = 1 gives b), all four channels.
inline XColor MixColor(const XColor& a, const XColor& b, float t)
{
    return XColor{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// The colour with its red, green and blue scaled by k; alpha unchanged.
inline XColor ScaleColor(const XColor& c, float k)
{
    return XColor{c.r * k, c.g * k, c.b * k, c.a};
}
