// XLevelBuilder: the compile thread of the level watcher.
#include "app/XLevelBuilder.h"

#include "game/XGame.h"
#include "shell/XLog.h"
#include "tools/levelc/XLevelError.h"
#include "tools/levelc/XLevelParser.h"

#include <cerrno>  // errno
#include <chrono>
#include <cstring> // strerror
#include <fstream>
#include <malloc.h> // mallinfo2
#include <sstream>

XLevelBuilder::XLevelBuilder(const std::string& source, const XLevelPreview& firstPreview)
    : sourcePath(source), first(firstPreview), thread([this] { Run(); })
{
}

XLevelBuilder::~XLevelBuilder()
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        stopping = true;
        stopBake = true;
    }
    wake.notify_one();
    thread.join();
    RemoveRetired();
    for (const std::unique_ptr<XLevelBuild>& build : finished) {
        RemoveLevelFolder(build->folder);
    }
}

void XLevelBuilder::SourceChanged()
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        changed = true;
        // A full-quality bake can take minutes: a save stops it rather than waiting for it.
        if (working && workingFull) {
            stopBake = true;
        }
    }
    wake.notify_one();
}

std::unique_ptr<XLevelBuild> XLevelBuilder::TakeBuild()
{
    const std::lock_guard<std::mutex> hold(lock);
    if (finished.empty()) {
        return nullptr;
    }
    std::unique_ptr<XLevelBuild> build = std::move(finished.front());
    finished.pop_front();
    return build;
}

bool XLevelBuilder::Busy(bool* fullQuality) const
{
    const std::lock_guard<std::mutex> hold(lock);
    if (fullQuality != nullptr) {
        *fullQuality = workingFull;
    }
    return changed || working;
}

void XLevelBuilder::Retire(const std::string& folder)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        retired.push_back(folder);
    }
    wake.notify_one();
}

void XLevelBuilder::Dispose(std::unique_ptr<XLevelBuild> build)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        disposed.push_back(std::move(build));
    }
    wake.notify_one();
}

void XLevelBuilder::FreeDisposed()
{
    std::deque<std::unique_ptr<XLevelBuild>> builds;
    {
        const std::lock_guard<std::mutex> hold(lock);
        builds.swap(disposed);
    }
    for (std::unique_ptr<XLevelBuild>& build : builds) {
        const std::string what = "save " + std::to_string(build->save) + " of " + sourcePath + " at " +
                                 (build->fullQuality ? "full quality" : "preview quality");
        build.reset();
        // The program entry keeps every thread on the main arena, which mallinfo2 reads.
        const struct mallinfo2 heap = mallinfo2();
        GetLog()->Log("Level: the level that " + what + " replaced is freed; heap in use " +
                      std::to_string(heap.uordblks + heap.hblkhd) + " bytes.");
    }
}

void XLevelBuilder::RemoveRetired()
{
    std::vector<std::string> folders;
    {
        const std::lock_guard<std::mutex> hold(lock);
        folders.swap(retired);
    }
    for (const std::string& folder : folders) {
        RemoveLevelFolder(folder);
    }
}

bool XLevelBuilder::ReadSource(std::string& text, std::string& problem) const
{
    std::ifstream file(sourcePath, std::ios::binary);
    if (!file) {
        problem = sourcePath + ": cannot read the level source (" + std::strerror(errno) + ")";
        return false;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return true;
}

bool XLevelBuilder::Stopping() const
{
    const std::lock_guard<std::mutex> hold(lock);
    return stopping;
}

bool XLevelBuilder::Superseded(const std::string& text)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (!changed) {
            return false;
        }
    }
    std::string now;
    std::string problem;
    if (ReadSource(now, problem) && now == text) {
        const std::lock_guard<std::mutex> hold(lock);
        changed = false; // saved again as it was: nothing new
        return false;
    }
    return true;
}

void XLevelBuilder::Run()
{
    std::string lastText; // the last save's text, or its read failure after a zero byte
    bool haveLast = false;
    int saves = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(lock);
            wake.wait(hold, [this] { return changed || stopping || !retired.empty() || !disposed.empty(); });
            if (stopping) {
                return;
            }
            working = changed;
            changed = false;
        }
        RemoveRetired();
        FreeDisposed();
        if (!working) {
            continue;
        }
        std::string text;
        std::string problem;
        const bool readable = ReadSource(text, problem);
        const std::string key = readable ? text : std::string(1, '\0') + problem;
        if (haveLast && key == lastText) {
            const std::lock_guard<std::mutex> hold(lock);
            working = false;
            continue;
        }
        haveLast = true;
        lastText = key;
        const int save = ++saves;
        if (!readable) {
            auto build = std::make_unique<XLevelBuild>();
            build->save = save;
            build->error = problem;
            const std::lock_guard<std::mutex> hold(lock);
            finished.push_back(std::move(build));
            working = false;
            continue;
        }
        bool fullQuality = false;
        for (;;) {
            {
                const std::lock_guard<std::mutex> hold(lock);
                workingFull = fullQuality;
                stopBake = stopping;
            }
            std::unique_ptr<XLevelBuild> build = Compile(text, save, fullQuality);
            if (Stopping() || Superseded(text)) {
                RemoveLevelFolder(build->folder);
                break;
            }
            if (build->stopped) {
                continue; // stopped for a save of the same text: compile it again
            }
            // The last build of a save is handed over with the end of the work, so that no one sees the one
            // without the other.
            const bool last = !build->compiled || fullQuality;
            {
                const std::lock_guard<std::mutex> hold(lock);
                finished.push_back(std::move(build));
                working = working && !last;
            }
            if (last) {
                break;
            }
            fullQuality = true;
        }
        const std::lock_guard<std::mutex> hold(lock);
        working = false;
        workingFull = false;
    }
}

std::unique_ptr<XLevelBuild> XLevelBuilder::Compile(const std::string& text, int save, bool fullQuality)
{
    const auto start = std::chrono::steady_clock::now();
    auto build = std::make_unique<XLevelBuild>();
    build->save = save;
    build->fullQuality = fullQuality;
    std::string problem;
    build->folder = MakeLevelFolder(first, problem);
    if (build->folder.empty()) {
        build->error = sourcePath + ": " + problem;
        return build;
    }
    XCompileSettings settings;
    settings.quick = !fullQuality;
    settings.bake.stop = &stopBake;
    try {
        const XLevelSource level = XLevelParser::Parse(text, sourcePath);
        XSceneFile scene;
        build->stats = XLevelCompiler::Compile(level, build->folder, settings, scene);
        build->solids = level.solids;
        build->compiled = PrepareLevel(build->folder, XGame::PlayerScale(), build->level, problem);
        if (!build->compiled) {
            build->error = sourcePath + ": " + problem;
        }
    } catch (const XLevelError& error) {
        build->error = error.what();
        build->stopped = stopBake.load();
    } catch (const std::exception& error) {
        build->error = sourcePath + ": " + error.what();
    }
    build->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!build->compiled) {
        RemoveLevelFolder(build->folder);
        build->folder.clear();
    }
    return build;
}
