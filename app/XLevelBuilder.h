// XLevelBuilder: compiles a watched level source on a thread of its own, so that the game runs on meanwhile.
//
// Each time it is told the source changed, the thread reads it; a text it has already compiled is no new save
// and is left alone. A new save is compiled at preview quality (quick light maps), prepared for the game
// (XPreparedLevel: scene, octree, collision triangles, decoded pictures, visibility) and handed over, then the
// same at full quality. A newer save that comes in meanwhile ends the work on the older one, whose results are
// dropped. Every compile goes into a scratch folder of its own; the main thread hands back the folders it no
// longer serves and the builds it has swapped in (with the level each replaced), and the thread removes and frees
// them.
// Depends on: XLevelPreview (the folders), the level compiler (tools/levelc), XPreparedLevel, XLog.
#pragma once

#include "app/XLevelPreview.h"
#include "game/XPreparedLevel.h"
#include "tools/levelc/XLevelCompiler.h"
#include "tools/levelc/XSolid.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory> // std::unique_ptr
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One compile of one save, ready for the main thread.
struct XLevelBuild {
    int save = 0;               // 1 for the first new text after the start, and so on
    bool fullQuality = false;   // else preview quality
    bool compiled = false;
    std::string error;          // when not compiled: "FILE:LINE: problem" (no line for the whole level)
    std::string folder;         // the compiled files, when compiled
    XCompileStats stats;
    double seconds = 0.0;       // the compile and the preparation
    XPreparedLevel level;
    std::vector<XSolid> solids; // the source's solids, to tell whether the player would stand inside one
    bool stopped = false;       // the bake was stopped (a save came in meanwhile, or the program is ending)
};

class XLevelBuilder {
public:
    // The source to compile, and the preview compiled at the start, whose base textures each compile copies.
    XLevelBuilder(const std::string& sourcePath, const XLevelPreview& first);
    // Stops the thread: a bake under way stops at its next chart.
    ~XLevelBuilder();
    XLevelBuilder(const XLevelBuilder&) = delete;
    XLevelBuilder& operator=(const XLevelBuilder&) = delete;

    // The source may have changed: the thread reads it again when it is free.
    void SourceChanged();
    // The oldest build the main thread has not taken yet, or null.
    std::unique_ptr<XLevelBuild> TakeBuild();
    // Whether the thread has a change to look at or a compile under way; with the quality of the compile.
    bool Busy(bool* fullQuality = nullptr) const;
    // A folder the game no longer serves, for the thread to remove.
    void Retire(const std::string& folder);
    // A build that has been swapped in, holding what is left of it and the level it replaced, for the thread to
    // free when it is next free (after the compile under way); it then logs the heap in use.
    void Dispose(std::unique_ptr<XLevelBuild> build);

private:
    void Run();
    // Reads the source; false with the reason when it cannot be read.
    bool ReadSource(std::string& text, std::string& problem) const;
    bool Stopping() const;
    // Whether a save newer than the text being compiled is waiting (the change flag with another text).
    bool Superseded(const std::string& text);
    std::unique_ptr<XLevelBuild> Compile(const std::string& text, int save, bool fullQuality);
    void RemoveRetired();
    void FreeDisposed();

    const std::string sourcePath;
    const XLevelPreview first;
    mutable std::mutex lock;
    std::condition_variable wake;
    bool changed = false;
    bool working = false;
    bool workingFull = false;
    bool stopping = false;
    std::deque<std::unique_ptr<XLevelBuild>> finished;
    std::vector<std::string> retired;
    std::deque<std::unique_ptr<XLevelBuild>> disposed;
    std::atomic<bool> stopBake{false};
    std::thread thread; // last: it starts once everything above is made
};
