// XLevelPreview: on-the-fly level compilation for the viewer mode.
#include "app/XLevelPreview.h"

#include "scene/XArchive.h"
#include "tools/levelc/XLevelCompiler.h"
#include "tools/levelc/XLevelError.h"

#include <cstdio>     // fopen, snprintf
#include <cstdlib>    // mkdtemp
#include <filesystem> // create_directories, remove_all

namespace {

bool IsBaseTexture(const std::string& name)
{
    const bool picture = name.size() > 4 && (name.compare(name.size() - 4, 4, ".jpg") == 0 ||
                                              name.compare(name.size() - 4, 4, ".bmp") == 0);
    return picture && name.rfind("lightmap", 0) != 0;
}

// Copies the archive's scene pictures (the base textures the level's materials name) into folder/scene.
bool CopyBaseTextures(const std::string& archivePath, const std::string& folder)
{
    QXInitialize();
    if (!QXSetArchive(archivePath.c_str(), "")) {
        return false;
    }
    std::filesystem::create_directories(folder + "/scene");
    for (const std::string& name : QXListEntries("scene")) {
        if (!IsBaseTexture(name) || !QXOpenResource(("scene\\" + name).c_str())) {
            continue;
        }
        FILE* const out = std::fopen((folder + "/scene/" + name).c_str(), "wb");
        if (out != nullptr) {
            std::fwrite(QXGetData(), 1, QXGetSize(), out);
            std::fclose(out);
        }
        QXCloseResource();
    }
    return true;
}

// A new folder under the system's temporary folder; empty when none can be made.
std::string MakeScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "korvath-level-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

} // namespace

XLevelPreview CompileLevelPreview(const std::string& sourcePath, const std::string& archivePath)
{
    XLevelPreview preview;
    preview.folder = MakeScratchFolder();
    if (preview.folder.empty()) {
        preview.error = "cannot make a scratch folder for the level";
        return preview;
    }
    if (!CopyBaseTextures(archivePath, preview.folder)) {
        preview.error = "the level's textures come from the game's archive, and " + archivePath +
                        " cannot be opened";
        return preview;
    }
    XBakeSettings settings;
    settings.hemisphereRays = 16; // a quicker bake: this is a preview
    try {
        const XCompileStats stats = XLevelCompiler::CompileFile(sourcePath, preview.folder, settings);
        char summary[256] = {};
        std::snprintf(summary, sizeof(summary), "%d solids, %d light-map page(s); world %d vertices, %d triangles",
                      stats.solids, stats.pages, stats.worldVertices, stats.worldTriangles);
        preview.summary = summary;
        for (const std::string& warning : stats.warnings) {
            preview.summary += "\n" + sourcePath + ": warning: " + warning;
        }
        preview.compiled = true;
    } catch (const XLevelError& error) {
        preview.error = error.what();
    } catch (const std::exception& error) {
        preview.error = sourcePath + ": " + error.what();
    }
    return preview;
}

std::string MakeLevelFolder(const XLevelPreview& first, std::string& problem)
{
    const std::string folder = MakeScratchFolder();
    if (folder.empty()) {
        problem = "cannot make a scratch folder for the level";
        return folder;
    }
    std::error_code failure;
    std::filesystem::create_directories(folder + "/scene", failure);
    for (const auto& entry : std::filesystem::directory_iterator(first.folder + "/scene", failure)) {
        const std::string name = entry.path().filename().string();
        if (!failure && IsBaseTexture(name)) {
            std::filesystem::copy_file(entry.path(), folder + "/scene/" + name, failure);
        }
        if (failure) {
            break;
        }
    }
    if (failure) {
        problem = "cannot copy the level's textures into " + folder + ": " + failure.message();
        RemoveLevelFolder(folder);
        return std::string();
    }
    return folder;
}

void RemoveLevelFolder(const std::string& folder)
{
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

void RemoveLevelPreview(const XLevelPreview& preview)
{
    RemoveLevelFolder(preview.folder);
}
