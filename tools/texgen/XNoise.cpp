// XNoise: hashed lattice values blended with a quintic curve.
#include "tools/texgen/XNoise.h"

#include <cmath> // std::floor

namespace {

uint32_t Hash(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

} // namespace

XNoise::XNoise(uint32_t seed_) : seed(seed_)
{
}

float XNoise::Lattice(int x, int y) const
{
    const uint32_t h = Hash(static_cast<uint32_t>(x) * 0x9e3779b1u ^ Hash(static_cast<uint32_t>(y) + seed));
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

float XNoise::Fractal(float x, float y, int octaves) const
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
