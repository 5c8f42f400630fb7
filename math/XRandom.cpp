// XRandom: the lagged additive generator and its seeding.
#include "math/XRandom.h"

XRandom::XRandom(uint32_t seed)
{
    // The seed, taken as a signed 32-bit word, fills the ring through 16807 x mod (2^31 - 1), worked out in 32
    // bits by Schrage's method as the library does; a seed of 0 would keep the ring all zero.
    int32_t word = seed == 0 ? 1 : static_cast<int32_t>(seed);
    state[0] = static_cast<uint32_t>(word);
    for (int i = 1; i < kLag; ++i) {
        const int32_t high = word / 127773;
        const int32_t low = word % 127773;
        word = 16807 * low - 2836 * high;
        if (word < 0) {
            word += 2147483647;
        }
        state[static_cast<size_t>(i)] = static_cast<uint32_t>(word);
    }
    // The first ten rounds of the ring mix the seeding's regularity away.
    for (int i = 0; i < 10 * kLag; ++i) {
        Next();
    }
}

int32_t XRandom::Next()
{
    uint32_t& newest = state[static_cast<size_t>(front)];
    newest += state[static_cast<size_t>(rear)];
    const int32_t result = static_cast<int32_t>(newest >> 1);
    front = front + 1 == kLag ? 0 : front + 1;
    rear = rear + 1 == kLag ? 0 : rear + 1;
    return result;
}
