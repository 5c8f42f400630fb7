// XRandom: the same numbers as the C library's generator, from a state of its own.
#include "math/XRandom.h"

#include <gtest/gtest.h>

#include <cstdlib> // random_r, initstate_r (glibc)

namespace {

// The C library's generator with a private state of 128 bytes, the size rand() itself uses.
class LibraryGenerator {
public:
    explicit LibraryGenerator(unsigned seed)
    {
        initstate_r(seed, stateBytes, sizeof(stateBytes), &data);
    }
    int32_t Next()
    {
        int32_t value = 0;
        random_r(&data, &value);
        return value;
    }

private:
    char stateBytes[128] = {};
    random_data data{};
};

} // namespace

TEST(XRandom, GivesTheLibraryGeneratorsNumbersForEverySeed)
{
    for (const unsigned seed : {1u, 2u, 12345u, 2147483646u, 4294967295u}) {
        XRandom ours(seed);
        LibraryGenerator library(seed);
        for (int i = 0; i < 100000; ++i) {
            ASSERT_EQ(ours.Next(), library.Next()) << "seed " << seed << ", number " << i;
        }
    }
}

TEST(XRandom, SeedZeroActsAsOneAndRandDoesNotTouchTheStream)
{
    XRandom zero(0);
    XRandom one(1);
    for (int i = 0; i < 1000; ++i) {
        std::rand(); // another user of the C library's generator
        ASSERT_EQ(zero.Next15(), one.Next() % 32768) << i;
    }
}
