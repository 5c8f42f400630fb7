// XLevelWatch: the level viewer's watch mode (--level FILE --watch), on the main thread.
//
// It asks the watcher every frame whether the source was saved and tells the compile thread (XLevelBuilder);
// at the frame boundary it swaps a finished build into the running game (XGame::AdoptLevel), first the preview
// and then the full-quality one, or shows a build's error over the level that keeps running. The player stays
// where they are unless the new level has a solid there; then they start again at the start position. A note
// at the top left says what is going on: compiling, the level reloaded (for a few seconds), or the error (until
// a save fixes it). Every reload and every error is written to the log, with what the swap cost the main thread.
//
// A scripted run waits for a save at a frame of its choosing ("wait level N", WaitForSave), so that what the
// game shows does not depend on how long a compile takes.
// Depends on: XLevelWatcher, XLevelBuilder, XLevelPreview, XGame, XArchive (QXSetOverlay), XLog, OpenGL.
#pragma once

#include "app/XLevelBuilder.h"
#include "app/XLevelPreview.h"
#include "app/XLevelWatcher.h"

#include <string>

class XLevelWatch {
public:
    // Milliseconds of game time a "level reloaded" note stays.
    static constexpr int kReloadNoteMs = 4000;

    // Watches the source of the preview compiled at the start (which the archive layer serves now).
    XLevelWatch(const std::string& sourcePath, const XLevelPreview& first);
    ~XLevelWatch();
    XLevelWatch(const XLevelWatch&) = delete;
    XLevelWatch& operator=(const XLevelWatch&) = delete;

    // Once a frame, at its start, after the game's start-up: takes a save the watcher noticed to the compile
    // thread, swaps in (or reports) one finished build, and keeps the note up to date.
    void Update();
    // Does what Update does until save `save` (1 for the first after the start) has been dealt with: its
    // full-quality build swapped in, or its error shown (or the same for a later save). False when that has not
    // happened within limitSeconds.
    bool WaitForSave(int save, double limitSeconds);

private:
    // Returns whether a build was taken.
    bool TakeBuild();
    // Swaps the build in; the log line that says so, without the memory figures (empty when it failed).
    std::string Swap(XLevelBuild& build);
    void Refuse(const XLevelBuild& build);
    // Sets the game's note from the state: the standing error, the compile under way, the last reload.
    void ShowState(bool changed);

    const std::string sourcePath;
    const std::string firstFolder; // the start's compile: the base textures every compile copies; kept
    XLevelWatcher watcher;
    XLevelBuilder builder;
    std::string servedFolder;
    int handled = 0;       // the latest save dealt with
    std::string error;     // the standing error; empty while the level compiles
    std::string reloaded;  // the note of the latest reload
    bool shownBusy = false;
    bool shownFullQuality = false;
};
