// XWaveFile: the RIFF/WAVE container around 16-bit samples.
#include "tools/soundgen/XWaveFile.h"

#include "tools/common/XFiles.h"

#include <algorithm> // std::clamp
#include <cmath>     // std::lround
#include <cstdint>   // uint16_t, uint32_t

namespace {

constexpr uint32_t kHeaderBytes = 44;
constexpr uint16_t kPcmFormat = 1;
constexpr uint16_t kChannels = 1;
constexpr uint16_t kBitsPerSample = 16;
constexpr double kFullScale = 32767.0;

void PutTag(std::vector<unsigned char>& bytes, const char* tag)
{
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<unsigned char>(tag[i]));
    }
}

// RIFF is little-endian whatever the machine.
void PutLittleEndian(std::vector<unsigned char>& bytes, uint32_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i) {
        bytes.push_back(static_cast<unsigned char>((value >> (8 * i)) & 0xFFu));
    }
}

} // namespace

std::vector<unsigned char> XWaveFile::Encode(const std::vector<double>& samples, int sampleRate)
{
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const uint32_t rate = static_cast<uint32_t>(sampleRate);
    std::vector<unsigned char> bytes;
    bytes.reserve(kHeaderBytes + dataBytes);
    PutTag(bytes, "RIFF");
    PutLittleEndian(bytes, kHeaderBytes - 8 + dataBytes, 4);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, kPcmFormat, 2);
    PutLittleEndian(bytes, kChannels, 2);
    PutLittleEndian(bytes, rate, 4);
    PutLittleEndian(bytes, rate * kChannels * kBitsPerSample / 8, 4);
    PutLittleEndian(bytes, kChannels * kBitsPerSample / 8, 2);
    PutLittleEndian(bytes, kBitsPerSample, 2);
    PutTag(bytes, "data");
    PutLittleEndian(bytes, dataBytes, 4);
    for (const double sample : samples) {
        const long value = std::lround(std::clamp(sample, -1.0, 1.0) * kFullScale);
        PutLittleEndian(bytes, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(value))), 2);
    }
    return bytes;
}

bool XWaveFile::Write(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
    if (!XFiles::WriteBytes(path, bytes)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
