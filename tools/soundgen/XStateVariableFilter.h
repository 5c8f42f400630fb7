// XStateVariableFilter: a 12 dB/octave resonant filter with low-, band- and high-pass outputs.
//
// The trapezoidal ("zero-delay feedback") form stays stable and smooth while its cutoff moves every sample,
// which the generator needs for sweeps and wind.
// Depends on: nothing.
#pragma once

class XStateVariableFilter {
public:
    XStateVariableFilter(double cutoffHz, double q, double sampleRate);

    // Moves the cutoff (clamped below the Nyquist frequency) and the resonance; the state is kept.
    void SetCutoff(double cutoffHz, double q);

    // Runs one sample through the filter; the three outputs are read afterwards.
    void Process(double input);
    double LowPass() const;
    double BandPass() const;
    double HighPass() const;

private:
    double sampleRate = 44100.0;
    double g = 0.0;  // tan(pi * cutoff / rate)
    double k = 1.0;  // 1 / q
    double state1 = 0.0;
    double state2 = 0.0;
    double low = 0.0;
    double band = 0.0;
    double high = 0.0;
};
