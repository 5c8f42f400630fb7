// XSynthRandom: the noise source of the sound generator, seeded, the same numbers on every build.
//
// xorshift32: integer arithmetic only, so a seed always gives the same sound, byte for byte.
// Depends on: nothing.
#pragma once

#include <cstdint> // uint32_t

class XSynthRandom {
public:
    // A zero seed would stick at zero; it is replaced by a fixed non-zero one.
    explicit XSynthRandom(uint32_t seed);

    uint32_t Next();
    // Uniform in [0, 1).
    double Unit();
    // Uniform in [−1, 1): white noise.
    double Bipolar();

private:
    uint32_t state = 0;
};
