// XNoise: value noise over the plane; periodic gradient noise, its sums and a cellular pattern over a tile.
#include "tools/common/XNoise.h"

#include "tools/common/XHash.h"     // MixBits
#include "tools/common/XToolMath.h" // Wrap

#include <cmath> // std::floor, std::sqrt, std::fabs

namespace {

// The quintic blend between lattice values: flat at both ends, so that the noise has no creases.
float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

} // namespace

// ------------------------------------------------------------------------------------------------ the plane

float XNoise::Lattice(int x, int y) const
{
    const uint32_t h = MixBits(static_cast<uint32_t>(x) * 0x9e3779b1u ^ MixBits(static_cast<uint32_t>(y) + seed));
    return static_cast<float>(h & 0xffffu) / 65535.0f;
}

float XNoise::Value(float x, float y) const
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const float top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * tx;
    const float bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

float XNoise::ValueFractal(float x, float y, int octaves) const
{
    float sum = 0.0f;
    float weight = 1.0f;
    float totalWeight = 0.0f;
    float frequency = 1.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += Value(x * frequency + 17.0f * static_cast<float>(octave), y * frequency) * weight;
        totalWeight += weight;
        weight *= 0.5f;
        frequency *= 2.0f;
    }
    return totalWeight > 0.0f ? sum / totalWeight : 0.0f;
}

// ------------------------------------------------------------------------------------------------ a tile

uint32_t XNoise::Hash(int a, int b, int c) const
{
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(a) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(b) * 0xC2B2AE3Du;
    h = (h << 11) | (h >> 21);
    h ^= static_cast<uint32_t>(c) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float XNoise::Random(int a, int b, int c) const
{
    return static_cast<float>(Hash(a, b, c) & 0xFFFFFFu) / 16777215.0f;
}

float XNoise::Gradient(float u, float v, int period) const
{
    const float x = u * static_cast<float>(period);
    const float y = v * static_cast<float>(period);
    const float fx0 = std::floor(x);
    const float fy0 = std::floor(y);
    const int ix = static_cast<int>(fx0);
    const int iy = static_cast<int>(fy0);
    const float tx = x - fx0;
    const float ty = y - fy0;
    float corner[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int k = 0; k < 4; ++k) {
        const int cx = k & 1;
        const int cy = k >> 1;
        const uint32_t h = Hash(Wrap(ix + cx, period), Wrap(iy + cy, period), period);
        // Eight gradient directions of equal length.
        static const float gx[8] = {1.0f, -1.0f, 0.0f, 0.0f, 0.7071f, -0.7071f, 0.7071f, -0.7071f};
        static const float gy[8] = {0.0f, 0.0f, 1.0f, -1.0f, 0.7071f, 0.7071f, -0.7071f, -0.7071f};
        const int g = static_cast<int>(h & 7u);
        corner[k] = gx[g] * (tx - static_cast<float>(cx)) + gy[g] * (ty - static_cast<float>(cy));
    }
    const float sx = Fade(tx);
    const float sy = Fade(ty);
    const float top = corner[0] + (corner[1] - corner[0]) * sx;
    const float bottom = corner[2] + (corner[3] - corner[2]) * sx;
    return (top + (bottom - top) * sy) * 1.41f;
}

float XNoise::Fractal(float u, float v, int period, int octaves, float gain) const
{
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += Gradient(u, v, period << o) * weight;
        total += weight;
        weight *= gain;
    }
    return sum / total * 1.6f;
}

float XNoise::Ridged(float u, float v, int period, int octaves) const
{
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        const float n = 1.0f - std::fabs(Gradient(u, v, period << o));
        sum += n * n * weight;
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

XCellSample XNoise::Cells(float u, float v, int period, float jitter) const
{
    const float x = u * static_cast<float>(period);
    const float y = v * static_cast<float>(period);
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    XCellSample result;
    result.nearest = 1e9f;
    result.second = 1e9f;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int cx = ix + dx;
            const int cy = iy + dy;
            const int wx = Wrap(cx, period);
            const int wy = Wrap(cy, period);
            const float px = static_cast<float>(cx) + 0.5f + (Random(wx, wy, 11) - 0.5f) * jitter;
            const float py = static_cast<float>(cy) + 0.5f + (Random(wx, wy, 23) - 0.5f) * jitter;
            const float ddx = px - x;
            const float ddy = py - y;
            const float d = std::sqrt(ddx * ddx + ddy * ddy);
            if (d < result.nearest) {
                result.second = result.nearest;
                result.nearest = d;
                result.id = Hash(wx, wy, 37);
                result.centerU = px / static_cast<float>(period);
                result.centerV = py / static_cast<float>(period);
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}
