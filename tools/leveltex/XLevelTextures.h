// XLevelTextures: the catalogue of the level's base textures and the generators that paint them.
//
// Every texture is a seamless tile with a power-of-two size, painted from seeded noise so that each build
// writes the same bytes. Level sources name these files in their material lines (docs/level-format.md lists
// them with the size of one repeat that they were drawn for).
// Depends on: XImage, XImageWriter, XNoise, XTexField.
#pragma once

#include "tools/common/XImage.h"

#include <string>
#include <vector>

struct XLevelTextureEntry {
    const char* fileName;     // name inside the archive folder "scene"
    int size;                 // width and height in pixels
    const char* description;  // what it shows, for the documentation and the tool's output
    XImage (*paint)(int size);
};

class XLevelTextures {
public:
    // Every texture that the generator writes, in a fixed order.
    static const std::vector<XLevelTextureEntry>& Catalogue();

    // The entry with this file name, or null.
    static const XLevelTextureEntry* Find(const std::string& fileName);

    // Paints every texture and writes it as <folder>/scene/<fileName>. On failure, error names the file.
    static bool WriteAll(const std::string& stagingFolder, std::string& error);

    // The JPEG quality of the written files.
    static const int kJpegQuality = 92;
};
