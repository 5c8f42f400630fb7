// XSynthRandom: xorshift32.
#include "tools/soundgen/XSynthRandom.h"

XSynthRandom::XSynthRandom(uint32_t seed)
{
    state = seed != 0 ? seed : 0x9E3779B9u;
}

uint32_t XSynthRandom::Next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double XSynthRandom::Unit()
{
    return static_cast<double>(Next()) / 4294967296.0;
}

double XSynthRandom::Bipolar()
{
    return Unit() * 2.0 - 1.0;
}
