// Helpers for the level tests.
#include "LevelTestSupport.h"

#include "scene/XSceneLoader.h"
#include "tools/levelc/XLevelParser.h"
#include "tools/levelview/XRecordingHost.h"

#include <stb_image_write.h> // stbi_write_jpg

#include <sys/stat.h> // mkdir
#include <vector>

namespace level_test {

void WriteStandInTextures(const std::string& folder, const std::vector<std::string>& names)
{
    mkdir((folder + "/scene").c_str(), 0755);
    std::vector<std::string> all = names;
    all.push_back("sky_clouds.jpg");
    all.push_back("weapons.jpg");
    std::vector<unsigned char> pixels(16 * 16 * 3, 160);
    for (const std::string& name : all) {
        stbi_write_jpg((folder + "/scene/" + name).c_str(), 16, 16, 3, pixels.data(), 90);
    }
}

std::string BoxRoomSource()
{
    return "level box room\n"
           "texel 0.5\n"
           "page 256\n"
           "material floor floor.jpg 4\n"
           "material wall wall.jpg 4\n"
           "box -11 -1 -11 11 0 11 mat floor\n"
           "box -11 8 -11 11 9 11 mat wall\n"
           "box -11 0 -11 -10 8 11 mat wall\n"
           "box 10 0 -11 11 8 11 mat wall\n"
           "box -10 0 -11 10 8 -10 mat wall\n"
           "box -10 0 10 10 8 11 mat wall\n"
           "light 0 6 0 color 1 1 1 radius 20\n"
           "spawn 0 0 0\n";
}

XCompileStats CompileText(const std::string& text, const std::string& folder, XSceneFile& scene)
{
    const XLevelSource level = XLevelParser::Parse(text, "test.level");
    XBakeSettings settings;
    settings.hemisphereRays = 1;
    return XLevelCompiler::Compile(level, folder, settings, scene);
}

LoadedScene LoadCompiled(const std::string& folder)
{
    return LoadSceneFile(folder + "/scene/world.msa");
}

LoadedScene LoadSceneFile(const std::string& path)
{
    LoadedScene loaded;
    loaded.scene = std::make_unique<XScene>();
    const std::string text = ReadWholeFile(path);
    XRecordingHost host;
    XSceneLoader loader;
    loader.SetScene(loaded.scene.get());
    loader.SetHost(&host);
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    loaded.textureFiles = host.FileNames();
    loaded.problems = loader.GetProblemCount();
    loaded.problemTexts = loader.GetProblems();
    return loaded;
}

} // namespace level_test
