// XMixBus: floating-point channel sum and limiter.
#include "sound/XMixBus.h"

#include <algorithm> // std::fill, std::max, std::min
#include <cmath>     // std::lround

namespace {

// Just under full scale, so that no sample of the output is ever cut off.
constexpr float kCeiling = 32000.0f;
// Long enough that the gain does not follow the waveform, short enough to recover between gun shots.
constexpr float kReleaseMilliseconds = 120.0f;

} // namespace

XMixBus::XMixBus() : limiter(kCeiling, kReleaseMilliseconds)
{
}

void XMixBus::Configure(int channelCount, int channels, int sampleRate, size_t maxBlockSamples)
{
    sum.assign(maxBlockSamples, 0.0f);
    written.assign(static_cast<size_t>(std::max(channelCount, 0)), 0);
    used = 0;
    outputChannels = std::max(channels, 1);
    limiter.SetSampleRate(sampleRate);
}

bool XMixBus::Add(int channel, const int16_t* samples, size_t count, float gain)
{
    if (channel < 0 || static_cast<size_t>(channel) >= written.size()) {
        return false;
    }
    size_t& start = written[static_cast<size_t>(channel)];
    if (start + count > sum.size()) {
        start += count; // keeps the channel's later pieces of this block in their places
        return false;
    }
    float* const target = sum.data() + start;
    for (size_t i = 0; i < count; ++i) {
        target[i] += static_cast<float>(samples[i]) * gain;
    }
    start += count;
    used = std::max(used, start);
    return true;
}

void XMixBus::Finish(int16_t* block, size_t count)
{
    const size_t mixed = std::min(count, sum.size());
    for (size_t i = 0; i < mixed; ++i) {
        sum[i] += static_cast<float>(block[i]);
    }
    const size_t frames = mixed / static_cast<size_t>(outputChannels);
    limiter.Process(sum.data(), frames, outputChannels);
    for (size_t i = 0; i < mixed; ++i) {
        const long rounded = std::lround(sum[i]);
        block[i] = static_cast<int16_t>(std::min(std::max(rounded, -32767L), 32767L));
    }
    std::fill(sum.begin(), sum.begin() + static_cast<long>(std::max(used, mixed)), 0.0f);
    std::fill(written.begin(), written.end(), 0);
    used = 0;
}

float XMixBus::LimiterGain() const
{
    return limiter.CurrentGain();
}
