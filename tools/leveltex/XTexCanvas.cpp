// XTexCanvas: floating-point pictures with wrap-around, and their file writers.
#include "tools/leveltex/XTexCanvas.h"

#include <stb_image_write.h> // stbi_write_jpg, stbi_write_bmp, stbi_write_png

#include <algorithm> // clamp
#include <cmath>     // lround, sqrt

XTexCanvas::XTexCanvas(int canvasWidth, int canvasHeight)
    : width(canvasWidth), height(canvasHeight), pixels(static_cast<size_t>(canvasWidth) * canvasHeight)
{
}

XTexColor XTexCanvas::Average() const
{
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    for (const XTexColor& c : pixels) {
        r += std::clamp(c.r, 0.0f, 1.0f);
        g += std::clamp(c.g, 0.0f, 1.0f);
        b += std::clamp(c.b, 0.0f, 1.0f);
    }
    const double n = static_cast<double>(pixels.size());
    return XTexColor(static_cast<float>(r / n), static_cast<float>(g / n), static_cast<float>(b / n));
}

std::vector<unsigned char> XTexCanvas::ToBytes() const
{
    std::vector<unsigned char> bytes(pixels.size() * 3);
    size_t i = 0;
    for (const XTexColor& c : pixels) {
        bytes[i++] = static_cast<unsigned char>(std::lround(std::clamp(c.r, 0.0f, 1.0f) * 255.0f));
        bytes[i++] = static_cast<unsigned char>(std::lround(std::clamp(c.g, 0.0f, 1.0f) * 255.0f));
        bytes[i++] = static_cast<unsigned char>(std::lround(std::clamp(c.b, 0.0f, 1.0f) * 255.0f));
    }
    return bytes;
}

bool XTexCanvas::WriteJpeg(const std::string& path, int quality) const
{
    const std::vector<unsigned char> bytes = ToBytes();
    return stbi_write_jpg(path.c_str(), width, height, 3, bytes.data(), quality) != 0;
}

bool XTexCanvas::WriteBmp(const std::string& path) const
{
    const std::vector<unsigned char> bytes = ToBytes();
    return stbi_write_bmp(path.c_str(), width, height, 3, bytes.data()) != 0;
}

bool XTexCanvas::WritePng(const std::string& path) const
{
    const std::vector<unsigned char> bytes = ToBytes();
    return stbi_write_png(path.c_str(), width, height, 3, bytes.data(), width * 3) != 0;
}

XTexField::XTexField(int fieldWidth, int fieldHeight)
    : width(fieldWidth), height(fieldHeight), values(static_cast<size_t>(fieldWidth) * fieldHeight, 0.0f)
{
}

float XTexField::Shade(int x, int y, float bump) const
{
    // Image axes: x to the right, y down, z out of the picture; the light comes from the upper left.
    const float dx = (At(x + 1, y) - At(x - 1, y)) * 0.5f * bump;
    const float dy = (At(x, y + 1) - At(x, y - 1)) * 0.5f * bump;
    const float nx = -dx;
    const float ny = -dy;
    const float nz = 1.0f;
    const float lx = -0.5f;
    const float ly = -0.6f;
    const float lz = 0.62f;
    const float nLength = std::sqrt(nx * nx + ny * ny + nz * nz);
    const float lLength = std::sqrt(lx * lx + ly * ly + lz * lz);
    const float lit = (nx * lx + ny * ly + nz * lz) / (nLength * lLength);
    const float flat = lz / lLength;
    return std::max(0.0f, lit / flat);
}
