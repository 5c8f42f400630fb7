// XPreparedLevel: a compiled level's files read into a scene, tables, pictures and prepared triangles.
#include "game/XPreparedLevel.h"

#include "scene/XMesh.h"
#include "scene/XSceneLoader.h"
#include "scene/XSceneLoaderHost.h"
#include "scene/XSceneNode.h"
#include "shell/XOptions.h"

#include <cstdio> // fopen, fread

namespace {

// A file of the folder under its archive path ("scene\world.msa" -> FOLDER/scene/world.msa).
std::string FileOf(const std::string& folder, const std::string& archivePath)
{
    std::string path = folder + "/" + archivePath;
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes.clear();
    unsigned char block[65536];
    size_t length = 0;
    while ((length = std::fread(block, 1, sizeof(block), file)) > 0) {
        bytes.insert(bytes.end(), block, block + length);
    }
    const bool complete = std::ferror(file) == 0;
    std::fclose(file);
    return complete;
}

// The scene loader's host for a level prepared off the main thread: the texture table's pictures are decoded
// from the folder into the prepared level, and no progress is shown.
class PictureCollector : public XSceneLoaderHost {
public:
    PictureCollector(const std::string& levelFolder, XPreparedLevel& target) : folder(levelFolder), level(target) {}

    void ResizeSceneTextures(int count) override
    {
        level.textureCount = count;
        level.pictures.clear();
    }
    void LoadJpegTexture(int row, const std::string& archivePath) override { Collect(row, archivePath, false); }
    void LoadBitmapTexture(int row, const std::string& archivePath) override { Collect(row, archivePath, true); }
    void ShowProgress(const std::string&) override {}

private:
    void Collect(int row, const std::string& archivePath, bool bitmap)
    {
        XPreparedPicture picture;
        picture.row = row;
        picture.archivePath = archivePath;
        picture.bitmap = bitmap;
        std::vector<unsigned char> bytes;
        if (!ReadFile(FileOf(folder, archivePath), bytes)) {
            picture.fromArchive = true;
        } else {
            std::string ignored; // a picture that cannot be decoded is reported as missing when it is swapped in
            DecodePicture(bytes.data(), bytes.size(), 3, picture.pixels, ignored);
        }
        level.pictures.push_back(std::move(picture));
    }

    const std::string& folder;
    XPreparedLevel& level;
};

void PrepareVisibility(const std::string& folder, XPreparedLevel& level)
{
    const std::string path = VisibilityFilePath(GetOptions());
    if (GetOptions().noVisibility) {
        level.visibilityNote = "--no-visibility, the whole world is drawn every frame";
        return;
    }
    std::vector<unsigned char> bytes;
    if (!ReadFile(FileOf(folder, path), bytes)) {
        level.visibilityNote = "no " + path + "; the whole world is drawn every frame";
        return;
    }
    std::string problem;
    level.hasVisibility = level.visibility.Load(bytes.data(), bytes.size(), level.worldTriangles, problem);
    level.visibilityNote = level.hasVisibility
                               ? path + ", " + std::to_string(level.visibility.ViewCellCount()) + " view cells"
                               : path + " is not used (" + problem + "); the whole world is drawn every frame";
}

// The level's settings file: a missing one starts at the origin, a broken one too, with a note in the log.
void PrepareLevelInfo(const std::string& folder, XPreparedLevel& level)
{
    const std::string path = LevelInfoFilePath(GetOptions());
    std::vector<unsigned char> bytes;
    if (!ReadFile(FileOf(folder, path), bytes)) {
        return;
    }
    XLevelInfo info;
    std::string problem;
    if (info.Parse(reinterpret_cast<const char*>(bytes.data()), bytes.size(), problem)) {
        level.info = info;
    } else {
        level.infoProblem = path + ": " + problem;
    }
}

} // namespace

bool PrepareLevel(const std::string& folder, const XVector3& playerScale, XPreparedLevel& level,
                  std::string& problem)
{
    const std::string scenePath = SceneFilePath(GetOptions());
    std::vector<unsigned char> text;
    if (!ReadFile(FileOf(folder, scenePath), text)) {
        problem = "the compiled level has no " + scenePath;
        return false;
    }
    level.scene = std::make_unique<XScene>();
    PictureCollector pictures(folder, level);
    XSceneLoader loader;
    loader.SetScene(level.scene.get());
    loader.SetHost(&pictures);
    loader.SetTables(&level.shaders, &level.lights);
    loader.LoadFromMemory(text.data(), static_cast<uint32_t>(text.size()));

    const XSceneNode* const world = level.scene->FindNode("world");
    if (world == nullptr || world->GetMesh() == nullptr) {
        problem = "the compiled level has no usable \"world\" object";
        return false;
    }
    level.scene->SetupScene(BuildOctTree);
    level.worldTriangles = level.scene->GetWorldTriangleCount();
    level.octree.reset(level.scene->GetOctree());
    if (level.octree == nullptr || level.octree->Root() == nullptr) {
        problem = "the compiled level's world has no triangles to walk on";
        return false;
    }
    level.playerTriangles = std::make_unique<XCollisionMesh>(*level.octree, playerScale);
    level.unitTriangles = std::make_unique<XCollisionMesh>(*level.octree, XVector3(1.0f, 1.0f, 1.0f));
    PrepareVisibility(folder, level);
    PrepareLevelInfo(folder, level);
    return true;
}
