// XPeakLimiter: keeps a mixed signal under a ceiling without cutting its waveform off. Where the signal would
// pass the ceiling it turns the gain down at once (no sample ever passes), then lets it recover smoothly over
// the release time, so a burst of loud sounds gets quieter as a whole instead of crackling. Below the ceiling
// the signal passes unchanged. The channels of a frame share one gain, so the stereo image stays put.
// Depends on: nothing.
#pragma once

#include <cstddef> // size_t

class XPeakLimiter {
public:
    // ceiling: the largest magnitude let through; releaseMilliseconds: how fast the gain recovers (the time
    // for the held peak to fall by a factor e).
    XPeakLimiter(float ceiling, float releaseMilliseconds);

    void SetSampleRate(int framesPerSecond);
    // Limits frameCount interleaved frames of channelCount samples each, in place.
    void Process(float* samples, size_t frameCount, int channelCount);
    // The gain the last frame was scaled by (1 when the signal stayed under the ceiling).
    float CurrentGain() const;

private:
    float ceiling = 1.0f;
    float releaseMilliseconds = 1.0f;
    float releasePerFrame = 0.0f; // factor by which the held peak decays from one frame to the next
    float heldPeak = 0.0f;
};
