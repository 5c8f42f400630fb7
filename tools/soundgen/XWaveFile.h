// XWaveFile: 16-bit PCM mono WAV files, the format of the game's sounds.
// Depends on: XFiles.
#pragma once

#include <string>
#include <vector>

class XWaveFile {
public:
    // The bytes of a WAV file holding the samples (−1..1, clamped) at the given rate.
    static std::vector<unsigned char> Encode(const std::vector<double>& samples, int sampleRate);

    // Writes bytes to path, creating its folders. On failure the result is false and error says why.
    static bool Write(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error);
};
