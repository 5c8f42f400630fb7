// Helpers for the sound tests: WAV files made and read independently of the code under test, a reader of
// the disk driver's output, and a fixture that starts the sound layer on a chosen driver. Files, ZIP archives
// and scratch directories come from tests/support.
#pragma once

#include "support/FileContents.h"
#include "support/ScratchWorkingDirectory.h"
#include "support/TestArchive.h"

#include <gtest/gtest.h>

#include <cstdint> // int16_t
#include <string>
#include <vector>

// The sample rate of the mixer and of the test files.
constexpr int kRate = 44100;

// Sleeps: sounds play in real time.
void WaitMs(int milliseconds);

// A 16-bit mono WAV file of a sine tone.
Bytes ToneWav(double seconds, double frequencyHz, double amplitude);

// A 16-bit mono WAV file of the given samples.
Bytes SamplesWav(const std::vector<int16_t>& samples, int sampleRate);

// A WAV file read back with every header field, for the format checks.
struct ParsedWav {
    bool valid = false;
    std::string problem;       // why valid is false
    uint32_t riffSize = 0;
    uint16_t format = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<int16_t> samples;
};
ParsedWav ParseWav(const Bytes& bytes);

// Largest magnitude of the samples, 0 for none.
int Peak(const std::vector<int16_t>& samples);

// Reads what the SDL disk audio driver writes (16-bit stereo frames, in real time).
class DiskCapture {
public:
    explicit DiskCapture(std::string path);
    // Waits, then returns the samples written since the last call (both channels, interleaved).
    std::vector<int16_t> Collect(int milliseconds);

private:
    std::string path;
    size_t offset = 0;
};

// Starts the sound layer in a fresh working directory (the log goes there) on a chosen SDL driver, and
// closes it afterwards.
class SoundLayerTest : public testing::Test {
protected:
    // Starts on the disk driver writing to Output(); false when it did not start.
    bool StartOnDisk(int channels = 32);
    // Starts with SDL_AUDIODRIVER set to driver (may be a bogus name); returns FSOUND_Init's result.
    bool StartWithDriver(const char* driver, int channels = 32);
    void TearDown() override;

    std::string OutputPath() const;
    std::string LogText() const;

    ScratchWorkingDirectory directory;
};
