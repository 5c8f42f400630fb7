// XPeakLimiter: instant-attack, exponential-release peak limiting.
#include "sound/XPeakLimiter.h"

#include <algorithm> // std::max
#include <cmath>     // std::exp, std::fabs

XPeakLimiter::XPeakLimiter(float ceilingLevel, float releaseTime)
    : ceiling(ceilingLevel), releaseMilliseconds(releaseTime)
{
    SetSampleRate(44100);
}

void XPeakLimiter::SetSampleRate(int framesPerSecond)
{
    const double releaseFrames = static_cast<double>(releaseMilliseconds) * framesPerSecond / 1000.0;
    releasePerFrame = releaseFrames > 0.0 ? static_cast<float>(std::exp(-1.0 / releaseFrames)) : 0.0f;
}

void XPeakLimiter::Process(float* samples, size_t frameCount, int channelCount)
{
    const size_t channels = static_cast<size_t>(channelCount);
    for (size_t frame = 0; frame < frameCount; ++frame) {
        float* const first = samples + frame * channels;
        float peak = 0.0f;
        for (size_t c = 0; c < channels; ++c) {
            peak = std::max(peak, std::fabs(first[c]));
        }
        // The held peak jumps up with the signal and decays slowly after it: the gain it gives can never let
        // this frame through above the ceiling, and it returns to 1 without a click.
        heldPeak = std::max(peak, heldPeak * releasePerFrame);
        if (heldPeak > ceiling) {
            const float gain = ceiling / heldPeak;
            for (size_t c = 0; c < channels; ++c) {
                first[c] *= gain;
            }
        }
    }
}

float XPeakLimiter::CurrentGain() const
{
    return heldPeak > ceiling ? ceiling / heldPeak : 1.0f;
}
