// XLevelWatch: saves noticed, builds swapped in, notes and log lines.
#include "app/XLevelWatch.h"

#include "game/XGame.h"
#include "game/XPlayerBody.h"
#include "scene/XArchive.h"
#include "shell/XFrameProfile.h"
#include "shell/XLog.h"

#include <GL/gl.h>

#include <algorithm> // max
#include <chrono>
#include <cstdio> // fprintf, snprintf
#include <thread>

namespace {

// Texture names probed for the count of live GL textures; the engine makes a few dozen.
const GLuint kTextureNamesProbed = 4096;

// The GL textures that exist now, whoever made them: a texture a swap forgot to delete is counted too.
int LiveTextureCount()
{
    int count = 0;
    for (GLuint name = 1; name <= kTextureNamesProbed; ++name) {
        count += glIsTexture(name) == GL_TRUE ? 1 : 0;
    }
    return count;
}

// Whether the body's middle, or the points 1.5 above and below it, lie inside one of the solids.
bool InsideSolid(const std::vector<XSolid>& solids, const XVector3& position)
{
    for (const XSolid& solid : solids) {
        for (const double dy : {0.0, -1.5, 1.5}) {
            if (solid.Contains(XVector3d(position) + XVector3d(0.0, dy, 0.0), 0.0)) {
                return true;
            }
        }
    }
    return false;
}

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

XLevelWatch::XLevelWatch(const std::string& source, const XLevelPreview& first)
    : sourcePath(source),
      firstFolder(first.folder),
      watcher(source),
      builder(source, first),
      servedFolder(first.folder)
{
    GetLog()->Log("Level: watching " + sourcePath + " (" + watcher.Method() + ").");
}

XLevelWatch::~XLevelWatch()
{
    if (servedFolder != firstFolder) {
        builder.Retire(servedFolder);
    }
}

void XLevelWatch::Update()
{
    if (watcher.Changed()) {
        builder.SourceChanged();
    }
    ShowState(TakeBuild());
}

bool XLevelWatch::WaitForSave(int save, double limitSeconds)
{
    GetLog()->Log("Level: the script waits for save " + std::to_string(save) + " of " + sourcePath + ".");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
    while (handled < save) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        const bool taken = TakeBuild();
        if (watcher.Changed()) {
            builder.SourceChanged();
        }
        ShowState(taken);
        if (!taken) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return true;
}

bool XLevelWatch::TakeBuild()
{
    std::unique_ptr<XLevelBuild> build = builder.TakeBuild();
    if (!build) {
        return false;
    }
    if (!build->compiled || build->fullQuality) {
        handled = std::max(handled, build->save);
    }
    if (!build->compiled) {
        Refuse(*build);
        return true;
    }
    const std::string swapped = Swap(*build);
    if (!swapped.empty()) {
        GetLog()->Log(swapped + "; GL textures alive " + std::to_string(LiveTextureCount()) + ".");
    }
    builder.Dispose(std::move(build)); // the old level and the decoded pictures are freed off the main thread
    return true;
}

std::string XLevelWatch::Swap(XLevelBuild& build)
{
    const double start = XFrameProfile::Now();
    XGame* const game = GetGame();
    if (!QXSetOverlay(build.folder.c_str())) {
        XLevelBuild failed;
        failed.save = build.save;
        failed.error = sourcePath + ": the compiled level in " + build.folder + " cannot be served";
        builder.Retire(build.folder);
        Refuse(failed);
        return std::string();
    }
    const bool inside = InsideSolid(build.solids, game->GetPlayer()->GetPosition());
    const double uploadTime = game->AdoptLevel(build.level, !inside);
    const double swapTime = XFrameProfile::Now() - start;
    if (servedFolder != firstFolder) {
        builder.Retire(servedFolder);
    }
    servedFolder = build.folder;
    error.clear();

    const char* const quality = build.fullQuality ? "full quality" : "preview quality";
    char note[160] = {};
    std::snprintf(note, sizeof(note), "level reloaded (%s): %d solids, %d triangles, %.1f s",
                  build.fullQuality ? "full" : "preview", build.stats.solids, build.stats.worldTriangles,
                  build.seconds);
    reloaded = note;
    char line[512] = {};
    std::snprintf(line, sizeof(line),
                  "Level: save %d of %s at %s: compiled and prepared in %.3f s off the main thread; swapped in "
                  "in %.2f ms on the main thread (%.2f ms of it making textures, %.2f ms the rest); %s",
                  build.save, sourcePath.c_str(), quality, build.seconds, swapTime, uploadTime,
                  swapTime - uploadTime,
                  inside ? "the player stood inside a solid and starts again" : "the player stays");
    return line;
}

void XLevelWatch::Refuse(const XLevelBuild& build)
{
    error = build.error;
    GetLog()->Log("Level: save " + std::to_string(build.save) + " of " + sourcePath + " is not used: " + error);
    std::fprintf(stderr, "korvath: %s\n", error.c_str());
}

void XLevelWatch::ShowState(bool changed)
{
    bool fullQuality = false;
    const bool busy = builder.Busy(&fullQuality);
    if (!changed && busy == shownBusy && fullQuality == shownFullQuality) {
        return;
    }
    shownBusy = busy;
    shownFullQuality = fullQuality;
    std::string note = error;
    if (!error.empty() && !busy) {
        note += "\nthe level stays as it was; save again to retry";
    }
    if (busy) {
        note += (note.empty() ? "" : "\n") + std::string("compiling ") + FileName(sourcePath) +
                (fullQuality ? " at full quality ..." : " ...");
        if (error.empty() && !reloaded.empty()) {
            note += "\n" + reloaded;
        }
    }
    const bool fresh = note.empty() && changed && !reloaded.empty();
    GetGame()->SetLevelNote(fresh ? reloaded : note, fresh || note.empty() ? kReloadNoteMs : 0);
}
