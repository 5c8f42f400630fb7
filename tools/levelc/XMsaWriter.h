// XMsaWriter: writes the engine's scene file "scene\world.msa".
//
// The format is positional: the engine's loader finds only the section heads and the object heads and
// counts lines from there, so every free line written here is a comment that begins with none of the heads.
// Numbers use the C locale's decimal point, with a fixed number of digits so that a build always writes the
// same bytes.
// Depends on: XSceneObject.
#pragma once

#include "tools/levelc/XSceneObject.h"

#include <string>

class XMsaWriter {
public:
    // The whole file as text.
    static std::string Write(const XSceneFile& scene);

    // Writes the text to path; false when the file cannot be written.
    static bool WriteFile(const std::string& path, const XSceneFile& scene);
};
