// XNoise: seeded 2D noise for the generators, the same on every build (integer hashing only).
//
// Two families share the seed:
// - over the plane, for pictures with a border (soot, fire, metal grain): smooth value noise and its fractal
//   sum, in 0..1, with features about one unit apart;
// - over a tile, for seamless textures: inputs u, v are texture coordinates in 0..1, a period says how many
//   lattice cells fit across the texture, and the lattice wraps at that count: gradient noise, its fractal
//   and ridged sums, a cellular pattern, and per-cell random numbers.
// Depends on: XHash, XToolMath.
#pragma once

#include <cstdint> // uint32_t

// The nearest and second-nearest feature points of a cellular pattern, and the nearest point's id.
struct XCellSample {
    float nearest = 0.0f;       // distance to the nearest point, in cell units
    float second = 0.0f;        // distance to the second-nearest point
    uint32_t id = 0;            // hash of the nearest point's cell, for per-cell colours
    float centerU = 0.0f;       // the nearest point, in texture coordinates (may lie outside 0..1)
    float centerV = 0.0f;
};

class XNoise {
public:
    explicit XNoise(uint32_t noiseSeed) : seed(noiseSeed) {}

    // ---- over the plane

    // Smooth noise in 0..1 with features about one unit apart.
    float Value(float x, float y) const;

    // Sum of octaves of Value, each twice the frequency and half the weight of the one before, in 0..1.
    float ValueFractal(float x, float y, int octaves) const;

    // ---- over a tile

    // Gradient noise in about -1..1 with period cells across the texture.
    float Gradient(float u, float v, int period) const;

    // Fractal sum of Gradient: octaves of doubling period and halving weight (times gain), scaled to about -1..1.
    float Fractal(float u, float v, int period, int octaves, float gain = 0.5f) const;

    // Fractal sum of 1 - |Gradient|, in about 0..1: sharp crests, for rock and veins.
    float Ridged(float u, float v, int period, int octaves) const;

    // Cellular pattern with one jittered point per cell, period cells across; jitter 0..1.
    XCellSample Cells(float u, float v, int period, float jitter) const;

    // A hash of integers in 0..1, for per-tile variation.
    float Random(int a, int b, int c = 0) const;
    uint32_t Hash(int a, int b, int c) const;

private:
    // The value of the plane's lattice point (x, y), in 0..1.
    float Lattice(int x, int y) const;

    uint32_t seed = 0;
};
