// XNoise: smooth 2D value noise and its fractal sum, seeded, the same on every build.
//
// The hash is integer arithmetic only, so a seed always gives the same pattern; the generators use it for
// soot, fire and metal grain.
// Depends on: nothing.
#pragma once

#include <cstdint> // uint32_t

class XNoise {
public:
    explicit XNoise(uint32_t seed);

    // Smooth noise in 0..1 with features about one unit apart.
    float Value(float x, float y) const;

    // Sum of octaves of Value, each twice the frequency and half the weight of the one before, in 0..1.
    float Fractal(float x, float y, int octaves) const;

private:
    float Lattice(int x, int y) const;

    uint32_t seed = 0;
};
