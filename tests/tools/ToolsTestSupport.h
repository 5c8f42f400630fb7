// Helpers for the tool tests: one generated and packed copy of the engine textures per test run, made in the
// scratch working directory the tests run in.
#pragma once

#include "support/FileContents.h" // Bytes, ReadFileBytes, WriteFileBytes

#include <string>

// The staging folder filled by the texture generator, and the archive packed from it (made on first use,
// inside the test's temporary working directory).
struct GeneratedData {
    std::string stagingFolder;
    std::string archive;
};
const GeneratedData& Generated();

// Selects the generated archive in the archive layer.
void SelectGeneratedArchive();

// One pixel channel of the current decoded picture (rows bottom first, as the archive layer delivers them).
int PictureChannel(int x, int deliveredRow, int channel, int channels);
