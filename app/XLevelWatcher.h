// XLevelWatcher: notices when a level source is saved.
//
// It watches the source's folder with inotify rather than the file itself: editors often save by writing a new
// file and renaming it over the old one, which a watch on the old file would not see. A file written and closed,
// renamed or moved into place, or removed counts as a change of the source. Where inotify cannot be had (or the
// folder goes away), it falls back to comparing the file's modification time and size, looked at no more than
// four times a second. Changed costs one non-blocking read a call: the frame loop may ask every frame.
// Depends on: nothing of the engine (Linux inotify, stat).
#pragma once

#include <chrono>
#include <string>

#include <sys/types.h> // off_t
#include <time.h>      // timespec

class XLevelWatcher {
public:
    explicit XLevelWatcher(const std::string& sourcePath);
    ~XLevelWatcher();
    XLevelWatcher(const XLevelWatcher&) = delete;
    XLevelWatcher& operator=(const XLevelWatcher&) = delete;

    // Whether the source changed since the last call (or since the watcher was made).
    bool Changed();
    // How the source is watched, for the log.
    std::string Method() const;

private:
    bool InotifyChanged();
    bool StatChanged();
    void TakeStat();

    std::string path;
    std::string name; // the file's name in its folder
    int inotify = -1; // -1 when falling back to the modification time
    std::chrono::steady_clock::time_point nextLook;
    bool existed = false;
    timespec modified = {};
    off_t size = 0;
};
