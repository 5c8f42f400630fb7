// XTexField: a wrapping scalar field and its shading.
#include "tools/leveltex/XTexField.h"

#include <algorithm> // std::max
#include <cmath>     // std::sqrt

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
