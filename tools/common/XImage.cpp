// XImage: the generators' float picture.
#include "tools/common/XImage.h"

#include <cmath> // std::lround

namespace {

unsigned char ToByte(float value)
{
    return static_cast<unsigned char>(std::lround(Clamp01(value) * 255.0f));
}

} // namespace

XImage::XImage(int width_, int height_)
    : width(width_), height(height_), pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_))
{
}

XColor XImage::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return XColor{};
    }
    return pixels[static_cast<size_t>(y * width + x)];
}

void XImage::Set(int x, int y, const XColor& colour)
{
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    pixels[static_cast<size_t>(y * width + x)] = colour;
}

void XImage::BlendOver(int x, int y, const XColor& colour)
{
    const XColor below = Get(x, y);
    const float a = Clamp01(colour.a);
    const float outAlpha = a + below.a * (1.0f - a);
    if (outAlpha <= 0.0f) {
        Set(x, y, XColor{});
        return;
    }
    const float keep = below.a * (1.0f - a);
    Set(x, y,
        XColor{(colour.r * a + below.r * keep) / outAlpha, (colour.g * a + below.g * keep) / outAlpha,
               (colour.b * a + below.b * keep) / outAlpha, outAlpha});
}

XColor XImage::Average() const
{
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 0.0;
    for (const XColor& c : pixels) {
        r += Clamp01(c.r);
        g += Clamp01(c.g);
        b += Clamp01(c.b);
        a += Clamp01(c.a);
    }
    const double n = static_cast<double>(pixels.size());
    return XColor(static_cast<float>(r / n), static_cast<float>(g / n), static_cast<float>(b / n),
                  static_cast<float>(a / n));
}

std::vector<unsigned char> XImage::ToBytes(int channels) const
{
    std::vector<unsigned char> bytes(pixels.size() * static_cast<size_t>(channels));
    size_t out = 0;
    for (const XColor& p : pixels) {
        bytes[out++] = ToByte(p.r);
        bytes[out++] = ToByte(p.g);
        bytes[out++] = ToByte(p.b);
        if (channels == 4) {
            bytes[out++] = ToByte(p.a);
        }
    }
    return bytes;
}

XImage XImage::FromBytes(const unsigned char* bytes, int width_, int height_, int channels)
{
    XImage image(width_, height_);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const unsigned char* const p = bytes + i * static_cast<size_t>(channels);
        if (channels == 1) {
            const float v = p[0] / 255.0f;
            image.pixels[i] = XColor{v, v, v, 1.0f};
        } else {
            image.pixels[i] = XColor{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, channels == 4 ? p[3] / 255.0f : 1.0f};
        }
    }
    return image;
}
