// Helpers for the tool tests: one generated and packed copy of the engine textures per test run.
#pragma once

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The staging folder filled by the texture generator, and the archive packed from it (made on first use,
// inside the test's temporary working directory).
struct GeneratedData {
    std::string stagingFolder;
    std::string archive;
};
const GeneratedData& Generated();

// Selects the generated archive in the archive layer.
void SelectGeneratedArchive();

// A whole file's bytes; empty when it cannot be read.
Bytes ReadFileBytes(const std::string& path);

// Writes bytes to a file, making its folder.
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// One pixel channel of the current decoded picture (rows bottom first, as the archive layer delivers them).
int PictureChannel(int x, int deliveredRow, int channel, int channels);
