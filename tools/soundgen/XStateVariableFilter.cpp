// XStateVariableFilter: Zavalishin's trapezoidal state-variable filter.
#include "tools/soundgen/XStateVariableFilter.h"

#include "math/XPi.h"

#include <algorithm> // std::clamp
#include <cmath>     // std::tan

XStateVariableFilter::XStateVariableFilter(double cutoffHz, double q, double rate)
    : sampleRate(rate)
{
    SetCutoff(cutoffHz, q);
}

void XStateVariableFilter::SetCutoff(double cutoffHz, double q)
{
    const double cutoff = std::clamp(cutoffHz, 1.0, sampleRate * 0.45);
    g = std::tan(kPi * cutoff / sampleRate);
    k = 1.0 / std::max(q, 0.05);
}

void XStateVariableFilter::Process(double input)
{
    high = (input - (k + g) * state1 - state2) / (1.0 + g * (g + k));
    band = g * high + state1;
    low = g * band + state2;
    state1 = g * high + band;
    state2 = g * band + low;
}

double XStateVariableFilter::LowPass() const
{
    return low;
}

double XStateVariableFilter::BandPass() const
{
    return band;
}

double XStateVariableFilter::HighPass() const
{
    return high;
}
