// Helpers for the sound tests.
#include "SoundTestSupport.h"

#include "sound/FSound.h"

#include <chrono>  // std::chrono::milliseconds
#include <algorithm> // std::max
#include <cmath>   // std::sin, std::lround
#include <cstdlib> // setenv, unsetenv, std::abs
#include <thread>   // std::this_thread::sleep_for
#include <utility>  // std::move

namespace {

void Put(Bytes& bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

void PutTag(Bytes& bytes, const char* tag)
{
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<unsigned char>(tag[i]));
    }
}

uint32_t Get(const Bytes& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value |= static_cast<uint32_t>(bytes[at + static_cast<size_t>(i)]) << (8 * i);
    }
    return value;
}

bool TagAt(const Bytes& bytes, size_t at, const char* tag)
{
    return bytes.size() >= at + 4 && std::string(bytes.begin() + static_cast<long>(at),
                                                 bytes.begin() + static_cast<long>(at) + 4) == tag;
}

} // namespace

Bytes SamplesWav(const std::vector<int16_t>& samples, int sampleRate)
{
    Bytes bytes;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    PutTag(bytes, "RIFF");
    Put(bytes, 36 + dataBytes, 4);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    Put(bytes, 16, 4);
    Put(bytes, 1, 2);
    Put(bytes, 1, 2);
    Put(bytes, static_cast<uint32_t>(sampleRate), 4);
    Put(bytes, static_cast<uint32_t>(sampleRate) * 2, 4);
    Put(bytes, 2, 2);
    Put(bytes, 16, 2);
    PutTag(bytes, "data");
    Put(bytes, dataBytes, 4);
    for (const int16_t sample : samples) {
        Put(bytes, static_cast<uint16_t>(sample), 2);
    }
    return bytes;
}

Bytes ToneWav(double seconds, double frequencyHz, double amplitude)
{
    const size_t count = static_cast<size_t>(std::lround(seconds * kRate));
    std::vector<int16_t> samples(count, 0);
    for (size_t i = 0; i < count; ++i) {
        const double phase = 6.283185307179586 * frequencyHz * static_cast<double>(i) / kRate;
        samples[i] = static_cast<int16_t>(std::lround(amplitude * 32767.0 * std::sin(phase)));
    }
    return SamplesWav(samples, kRate);
}

ParsedWav ParseWav(const Bytes& bytes)
{
    ParsedWav wav;
    if (bytes.size() < 12 || !TagAt(bytes, 0, "RIFF") || !TagAt(bytes, 8, "WAVE")) {
        wav.problem = "no RIFF/WAVE header";
        return wav;
    }
    wav.riffSize = Get(bytes, 4, 4);
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = Get(bytes, at + 4, 4);
        const size_t body = at + 8;
        if (body + size > bytes.size()) {
            wav.problem = "a chunk runs past the end of the file";
            return wav;
        }
        if (TagAt(bytes, at, "fmt ") && size >= 16) {
            wav.format = static_cast<uint16_t>(Get(bytes, body, 2));
            wav.channels = static_cast<uint16_t>(Get(bytes, body + 2, 2));
            wav.sampleRate = Get(bytes, body + 4, 4);
            wav.byteRate = Get(bytes, body + 8, 4);
            wav.blockAlign = static_cast<uint16_t>(Get(bytes, body + 12, 2));
            wav.bitsPerSample = static_cast<uint16_t>(Get(bytes, body + 14, 2));
            haveFormat = true;
        } else if (TagAt(bytes, at, "data")) {
            if (!haveFormat || wav.bitsPerSample != 16) {
                wav.problem = "data before a 16-bit format chunk";
                return wav;
            }
            for (size_t i = 0; i + 1 < size; i += 2) {
                wav.samples.push_back(static_cast<int16_t>(Get(bytes, body + i, 2)));
            }
            wav.valid = true;
            return wav;
        }
        at = body + size + (size & 1u);
    }
    wav.problem = "no data chunk";
    return wav;
}

void WaitMs(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int Peak(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (const int16_t sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

DiskCapture::DiskCapture(std::string outputPath)
    : path(std::move(outputPath))
{
}

std::vector<int16_t> DiskCapture::Collect(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    const Bytes bytes = ReadFileBytes(path);
    const size_t end = bytes.size() - bytes.size() % 4; // whole stereo frames only
    std::vector<int16_t> samples;
    for (size_t at = offset; at + 1 < end; at += 2) {
        samples.push_back(static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8)));
    }
    offset = std::max(offset, end);
    return samples;
}

bool SoundLayerTest::StartOnDisk(int channels)
{
    setenv("SDL_DISKAUDIOFILE", OutputPath().c_str(), 1);
    return StartWithDriver("disk", channels) && FSOUND_GetOutput() != FSOUND_OUTPUT_NOSOUND;
}

bool SoundLayerTest::StartWithDriver(const char* driver, int channels)
{
    setenv("SDL_AUDIODRIVER", driver, 1);
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    return FSOUND_Init(44100, channels, 0);
}

void SoundLayerTest::TearDown()
{
    FSOUND_Close();
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
}

std::string SoundLayerTest::OutputPath() const
{
    return (directory.Path() / "mix.raw").string();
}

std::string SoundLayerTest::LogText() const
{
    return ReadWholeFile((directory.Path() / "Korvath.log").string());
}
