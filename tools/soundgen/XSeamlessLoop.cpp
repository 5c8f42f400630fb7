// XSeamlessLoop: periodic rendering with warmed-up filters.
#include "tools/soundgen/XSeamlessLoop.h"

#include "math/XPi.h"
#include "tools/soundgen/XSynthRandom.h"

#include <cmath> // std::lround

std::vector<double> XSeamlessLoop::Render(size_t length, int warmUpPasses,
                                          const std::function<double(size_t)>& voice)
{
    for (int pass = 0; pass < warmUpPasses; ++pass) {
        for (size_t i = 0; i < length; ++i) {
            voice(i);
        }
    }
    std::vector<double> samples(length, 0.0);
    for (size_t i = 0; i < length; ++i) {
        samples[i] = voice(i);
    }
    return samples;
}

double XSeamlessLoop::Phase(size_t cycles, size_t i, size_t length)
{
    // Whole-number arithmetic first, so that sample length − 1 leads exactly into sample 0.
    const size_t position = (cycles * i) % length;
    return kTwoPi * static_cast<double>(position) / static_cast<double>(length);
}

size_t XSeamlessLoop::CyclesFor(double frequencyHz, size_t length, double sampleRate)
{
    const long cycles = std::lround(frequencyHz * static_cast<double>(length) / sampleRate);
    return cycles < 1 ? 1 : static_cast<size_t>(cycles);
}

std::vector<double> XSeamlessLoop::NoiseTable(size_t length, uint32_t seed)
{
    XSynthRandom random(seed);
    std::vector<double> table(length, 0.0);
    for (double& value : table) {
        value = random.Bipolar();
    }
    return table;
}
