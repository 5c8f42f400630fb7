// XMixBus: mixes the sound channels with headroom. Sixteen-bit mixing cuts off every sample where loud sounds
// overlap (several explosions under gunfire add up far past full scale), which is heard as crackle. The bus
// instead adds each channel's samples, scaled by the channel's volume, in floating point, and sends the sum
// through a peak limiter on its way back to sixteen bits: a burst gets quieter as a whole, nothing is cut
// off, and a sound alone passes at its own level.
//
// The mixer hands the bus one block of output at a time: every channel's samples for the block, in order
// (a channel may come in several pieces, e.g. where a loop starts over), then the finished block.
// Depends on: XPeakLimiter.
#pragma once

#include "sound/XPeakLimiter.h"

#include <cstddef> // size_t
#include <cstdint> // int16_t
#include <vector>

class XMixBus {
public:
    XMixBus();

    // Prepares for channelCount sound channels, blocks of up to maxBlockSamples interleaved samples of
    // outputChannels each, at the given rate. Forgets anything added so far.
    void Configure(int channelCount, int outputChannels, int sampleRate, size_t maxBlockSamples);
    // Adds the next count samples of a channel to the block, scaled by gain. False (and nothing added) when
    // the channel is unknown or the samples do not fit in the block; the caller then mixes them itself.
    bool Add(int channel, const int16_t* samples, size_t count, float gain);
    // Finishes a block: what the block already holds plus everything added, limited, written back into it.
    // The next Add starts the next block.
    void Finish(int16_t* block, size_t count);

    // The gain the limiter applied at the end of the last block (1 when the mix stayed under its ceiling).
    float LimiterGain() const;

private:
    std::vector<float> sum;
    std::vector<size_t> written; // per channel: samples added to the current block so far
    size_t used = 0;             // samples of sum touched in the current block
    int outputChannels = 2;
    XPeakLimiter limiter;
};
