// XRandom: the game's own stream of random numbers.
//
// The same additive-feedback generator as the C library's rand() (x[i] = x[i-3] + x[i-31], seeded through the
// multiplicative congruence 16807 x mod 2^31 - 1, the first 310 values dropped, each value shifted right once),
// so a seed of 1 gives exactly the numbers rand() gives a program that never seeds it. Unlike rand() the state
// is this object's: a library that draws from rand() in the same process (an audio or GL driver, at times that
// depend on the machine) no longer shifts the sparks and spreads of a replayed fight.
// Depends on: nothing.
#pragma once

#include <array>
#include <cstdint>

class XRandom {
public:
    explicit XRandom(uint32_t seed = 1);

    // The next number, from 0 to 2^31 - 1.
    int32_t Next();
    // The next number cut to 15 bits, from 0 to 32767 (2^31 is a multiple of 32768, so the cut stays uniform).
    int Next15() { return Next() % 32768; }

private:
    static constexpr int kLag = 31;
    std::array<uint32_t, kLag> state{};
    int front = 3; // x[i-3] and x[i-31] of the next step, as places in the ring
    int rear = 0;
};
