// Helpers for the level tests: the textures a level needs in a scratch folder, compiling sources, and
// loading the result through the engine's own scene loader. Files and scratch directories come from
// tests/support.
#pragma once

#include "scene/XScene.h"
#include "support/FileContents.h"
#include "support/ScratchDirectory.h"
#include "tools/levelc/XLevelCompiler.h"
#include "tools/levelc/XLevelSource.h"

#include <memory>
#include <string>
#include <vector>

namespace level_test {

// Writes small stand-in pictures for the textures a test source uses (and for the sky and weapon
// textures the compiler always uses) into <folder>/scene.
void WriteStandInTextures(const std::string& folder, const std::vector<std::string>& names);

// A closed box room, 20 x 8 x 20 inside, one light, the spawn in the middle of the floor.
std::string BoxRoomSource();

// Compiles a source text into folder (one hemisphere ray a texel: quick). Throws XLevelError.
XCompileStats CompileText(const std::string& text, const std::string& folder, XSceneFile& scene);

// A scene loaded from <folder>/scene/world.msa by the engine's loader, with the texture file of each row.
struct LoadedScene {
    std::unique_ptr<XScene> scene;
    std::vector<std::string> textureFiles;
    int problems = 0;
    std::vector<std::string> problemTexts;
};
LoadedScene LoadCompiled(const std::string& folder);
// The same for a scene file anywhere (a map's maps/<name>/world.msa).
LoadedScene LoadSceneFile(const std::string& path);

} // namespace level_test
