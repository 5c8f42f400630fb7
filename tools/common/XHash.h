// XHash: the integer hash behind the generators' seeded patterns (2 rounds of xor-shift and multiply), so
// that a seed gives the same pattern, byte for byte, on every build.
// Depends on: nothing.
#pragma once

#include <cstdint> // uint32_t

// Mixes every bit of h into every bit of the result.
inline uint32_t MixBits(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}
