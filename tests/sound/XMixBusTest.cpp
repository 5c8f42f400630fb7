// The mixing bus: channels summed with headroom, limited on the way back to 16 bits.
#include "SoundTestSupport.h"

#include "sound/XMixBus.h"

#include <gtest/gtest.h>

#include <algorithm> // std::max
#include <cmath>     // std::sin
#include <cstdlib>   // std::abs
#include <vector>

namespace {

constexpr size_t kBlock = 2048; // 1024 stereo frames

// A stereo sine block of the given amplitude, continuing from frame `first`.
std::vector<int16_t> Tone(double amplitude, size_t first)
{
    std::vector<int16_t> samples(kBlock);
    for (size_t i = 0; i < kBlock; i += 2) {
        const double phase = 2.0 * 3.14159265358979 * 440.0 * static_cast<double>(first + i / 2) / kRate;
        samples[i] = samples[i + 1] = static_cast<int16_t>(amplitude * std::sin(phase));
    }
    return samples;
}

XMixBus StereoBus()
{
    XMixBus bus;
    bus.Configure(8, 2, kRate, kBlock);
    return bus;
}

} // namespace

TEST(MixBus, ASoundAlonePassesAtItsVolume)
{
    XMixBus bus = StereoBus();
    const std::vector<int16_t> tone = Tone(20000.0, 0);
    std::vector<int16_t> block(kBlock, 0);
    ASSERT_TRUE(bus.Add(3, tone.data(), tone.size(), 0.5f));
    bus.Finish(block.data(), block.size());
    for (size_t i = 0; i < kBlock; ++i) {
        ASSERT_NEAR(block[i], tone[i] * 0.5, 1.0) << "sample " << i;
    }
    EXPECT_EQ(bus.LimiterGain(), 1.0f);
}

TEST(MixBus, OverlappingLoudSoundsNeverReachFullScaleAndStayLoud)
{
    XMixBus bus = StereoBus();
    std::vector<int16_t> block;
    for (size_t n = 0; n < 20; ++n) {
        const std::vector<int16_t> tone = Tone(30000.0, n * kBlock / 2);
        block.assign(kBlock, 0);
        for (int channel = 0; channel < 6; ++channel) {
            ASSERT_TRUE(bus.Add(channel, tone.data(), tone.size(), 1.0f));
        }
        bus.Finish(block.data(), block.size());
        ASSERT_LT(Peak(block), 32767) << "block " << n;
    }
    EXPECT_GT(Peak(block), 30000) << "six full sounds still make the loudest block";
    EXPECT_LT(bus.LimiterGain(), 0.25f);
}

TEST(MixBus, TheGainRecoversAfterABurst)
{
    XMixBus bus = StereoBus();
    std::vector<int16_t> block(kBlock, 0);
    const std::vector<int16_t> loud = Tone(30000.0, 0);
    for (int channel = 0; channel < 4; ++channel) {
        bus.Add(channel, loud.data(), loud.size(), 1.0f);
    }
    bus.Finish(block.data(), block.size());
    ASSERT_LT(bus.LimiterGain(), 0.5f);
    // Half a second of a quiet sound alone: the limiter has let go of it again.
    for (size_t n = 1; n <= 22; ++n) {
        const std::vector<int16_t> quiet = Tone(8000.0, n * kBlock / 2);
        block.assign(kBlock, 0);
        bus.Add(0, quiet.data(), quiet.size(), 1.0f);
        bus.Finish(block.data(), block.size());
    }
    EXPECT_EQ(bus.LimiterGain(), 1.0f);
    EXPECT_GT(Peak(block), 7900);
}

TEST(MixBus, AChannelsPiecesFollowEachOtherInTheBlock)
{
    // A loop that starts over inside the block comes in two pieces; they must not land on top of each other.
    XMixBus bus = StereoBus();
    const std::vector<int16_t> first(600, 1000);
    const std::vector<int16_t> second(kBlock - 600, 2000);
    ASSERT_TRUE(bus.Add(1, first.data(), first.size(), 1.0f));
    ASSERT_TRUE(bus.Add(1, second.data(), second.size(), 1.0f));
    std::vector<int16_t> block(kBlock, 0);
    bus.Finish(block.data(), block.size());
    EXPECT_EQ(block[0], 1000);
    EXPECT_EQ(block[599], 1000);
    EXPECT_EQ(block[600], 2000);
    EXPECT_EQ(block[kBlock - 1], 2000);
    // The next block starts at its beginning again.
    ASSERT_TRUE(bus.Add(1, first.data(), first.size(), 1.0f));
    block.assign(kBlock, 0);
    bus.Finish(block.data(), block.size());
    EXPECT_EQ(block[0], 1000);
    EXPECT_EQ(block[600], 0);
}

TEST(MixBus, SamplesThatDoNotFitAreLeftToTheCaller)
{
    XMixBus bus = StereoBus();
    const std::vector<int16_t> tooLong(kBlock + 2, 1000);
    EXPECT_FALSE(bus.Add(0, tooLong.data(), tooLong.size(), 1.0f));
    EXPECT_FALSE(bus.Add(8, tooLong.data(), 2, 1.0f)) << "no such channel";
    // What the mixer summed itself still reaches the output.
    std::vector<int16_t> block(kBlock, 500);
    bus.Finish(block.data(), block.size());
    EXPECT_EQ(block[0], 500);
}
