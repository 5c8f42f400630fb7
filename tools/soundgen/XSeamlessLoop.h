// XSeamlessLoop: renders sounds that repeat without a click where the end joins the start.
//
// The loop is seamless by construction, not by cross-fading: every input of the voice is periodic in the
// loop length (noise read from a table of that length, oscillators and modulators with whole cycles in it),
// and the voice's filters are run through the loop once or more before the pass that is kept, so that
// they enter the kept pass in exactly the state in which they leave it. The sample after the last one is
// then the first one, as far as any stable filter can tell.
// Depends on: nothing.
#pragma once

#include <cstddef>    // size_t
#include <cstdint>    // uint32_t
#include <functional> // std::function
#include <vector>

class XSeamlessLoop {
public:
    // Calls voice(i) for i = 0 .. length − 1, warmUpPasses + 1 times in a row, and returns the last pass.
    static std::vector<double> Render(size_t length, int warmUpPasses, const std::function<double(size_t)>& voice);

    // The phase in radians at sample i of an oscillator that makes exactly `cycles` cycles over the loop.
    static double Phase(size_t cycles, size_t i, size_t length);

    // The whole number of cycles over the loop that comes nearest to frequencyHz (at least 1).
    static size_t CyclesFor(double frequencyHz, size_t length, double sampleRate);

    // length samples of white noise in [−1, 1), to be read cyclically.
    static std::vector<double> NoiseTable(size_t length, uint32_t seed);
};
