// korvath-levelview: pictures of the compiled level in a staging folder, drawn in software.
// Usage:
//   korvath-levelview <staging folder> [--map NAME] view <eye x> <eye y> <eye z> <yaw> <pitch> <out.png> [<w> <h>]
//   korvath-levelview <staging folder> [--map NAME] map <min x> <max x> <min z> <max z> <out.png> [<size>]
// With --map the level is the map in <staging folder>/maps/NAME, otherwise the game's own in scene/.
// The view shows holes (faces wound the wrong way, gaps) in magenta. The map marks the lights in yellow,
// the start (the level's spawn, from world.info) in red and the F8 position (1, -1 from it) in blue.
#include "scene/XLevelInfo.h"
#include "scene/XLightManager.h"
#include "scene/XScene.h"
#include "scene/XSceneLoader.h"
#include "tools/common/XFiles.h"
#include "tools/levelview/XRecordingHost.h"
#include "tools/levelview/XSoftRenderer.h"

#include <cstdio>  // std::fprintf, std::printf
#include <cstdlib> // std::atof, std::atoi
#include <cstring> // std::strcmp
#include <string>
#include <vector>

namespace {

// Where a texture row's picture lies under the staging folder: a bare file name in scene/, a name with folders
// (a map's rows, archive paths such as "maps\citadel\lightmap0.bmp") from the staging folder itself.
std::string StagingPath(const std::string& name)
{
    if (name.find('\\') == std::string::npos) {
        return "scene/" + name;
    }
    std::string path = name;
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    std::string map;
    if (argc >= 4 && std::strcmp(argv[2], "--map") == 0) {
        map = argv[3];
        argv[3] = argv[1];
        argv[2] = argv[0];
        argv += 2;
        argc -= 2;
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <staging folder> [--map NAME] view|map ...\n", argv[0]);
        return 2;
    }
    const std::string staging = argv[1];
    const std::string folder = staging + (map.empty() ? "/scene" : "/maps/" + map);
    std::vector<unsigned char> bytes;
    if (!XFiles::ReadBytes(folder + "/world.msa", bytes)) {
        std::fprintf(stderr, "korvath-levelview: cannot read %s/world.msa\n", folder.c_str());
        return 1;
    }
    const std::string text(bytes.begin(), bytes.end());
    XScene scene;
    XRecordingHost host;
    XSceneLoader loader;
    loader.SetScene(&scene);
    loader.SetHost(&host);
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    if (loader.GetProblemCount() > 0) {
        for (const std::string& problem : loader.GetProblems()) {
            std::fprintf(stderr, "loader: %s\n", problem.c_str());
        }
    }
    std::vector<std::string> texturePaths;
    for (const std::string& name : host.FileNames()) {
        texturePaths.push_back(StagingPath(name));
    }
    const bool view = std::strcmp(argv[2], "view") == 0;
    if (view && (argc == 9 || argc == 11)) {
        const int w = argc == 11 ? std::atoi(argv[9]) : 800;
        const int h = argc == 11 ? std::atoi(argv[10]) : 600;
        XSoftRenderer renderer(w, h);
        renderer.LoadTextures(staging, texturePaths);
        renderer.DrawView(scene, XVector3(static_cast<float>(std::atof(argv[3])), static_cast<float>(std::atof(argv[4])),
                                          static_cast<float>(std::atof(argv[5]))),
                          static_cast<float>(std::atof(argv[6])), static_cast<float>(std::atof(argv[7])));
        std::printf("uncovered: %.4f%%\n", renderer.UncoveredShare() * 100.0);
        return renderer.WritePng(argv[8]) ? 0 : 1;
    }
    if (!view && std::strcmp(argv[2], "map") == 0 && (argc == 8 || argc == 9)) {
        const float minX = static_cast<float>(std::atof(argv[3]));
        const float maxX = static_cast<float>(std::atof(argv[4]));
        const float minZ = static_cast<float>(std::atof(argv[5]));
        const float maxZ = static_cast<float>(std::atof(argv[6]));
        const int size = argc == 9 ? std::atoi(argv[8]) : 1024;
        const int h = static_cast<int>(size * (maxZ - minZ) / (maxX - minX));
        XSoftRenderer renderer(size, h);
        renderer.LoadTextures(staging, texturePaths);
        renderer.DrawMap(scene, minX, maxX, minZ, maxZ);
        for (int i = 0; i < GetLightManager()->GetCount(); ++i) {
            const XVector3& p = GetLightManager()->GetLight(i).GetPosition();
            renderer.MarkMap(p.x, p.z, 1.0f, 1.0f, 0.0f, 3);
        }
        XLevelInfo info; // a folder without the file: the origin, as in the game
        std::vector<unsigned char> infoBytes;
        std::string problem;
        if (XFiles::ReadBytes(folder + "/world.info", infoBytes) &&
            !info.Parse(reinterpret_cast<const char*>(infoBytes.data()), infoBytes.size(), problem)) {
            std::fprintf(stderr, "korvath-levelview: %s/world.info: %s\n", folder.c_str(), problem.c_str());
        }
        renderer.MarkMap(info.spawn.x, info.spawn.z, 1.0f, 0.0f, 0.0f, 4);
        renderer.MarkMap(info.spawn.x + 1.0f, info.spawn.z - 1.0f, 0.0f, 0.3f, 1.0f, 3);
        return renderer.WritePng(argv[7]) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: %s <staging folder> view|map ...\n", argv[0]);
    return 2;
}
