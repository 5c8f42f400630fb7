// XLevelWatcher: inotify on the source's folder, or the modification time.
#include "app/XLevelWatcher.h"

#include <cerrno>  // errno
#include <cstdint> // uint32_t

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h> // read, close

namespace {

const uint32_t kSourceEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM;
// The folder itself going away ends the watch (IN_IGNORED follows).
const uint32_t kFolderEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;
const std::chrono::milliseconds kLookInterval(250);

} // namespace

XLevelWatcher::XLevelWatcher(const std::string& sourcePath) : path(sourcePath)
{
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify >= 0 && inotify_add_watch(inotify, folder.c_str(), kSourceEvents | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
        close(inotify);
        inotify = -1;
    }
    TakeStat();
    nextLook = std::chrono::steady_clock::now() + kLookInterval;
}

XLevelWatcher::~XLevelWatcher()
{
    if (inotify >= 0) {
        close(inotify);
    }
}

bool XLevelWatcher::Changed()
{
    return inotify >= 0 ? InotifyChanged() : StatChanged();
}

std::string XLevelWatcher::Method() const
{
    return inotify >= 0 ? "inotify on its folder" : "its modification time, four times a second";
}

bool XLevelWatcher::InotifyChanged()
{
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
        const ssize_t length = read(inotify, buffer, sizeof(buffer));
        if (length <= 0) {
            if (length < 0 && errno != EAGAIN && errno != EINTR) {
                break; // the watch is broken: fall back below
            }
            return changed;
        }
        for (ssize_t offset = 0; offset < length;) {
            const inotify_event* const event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if ((event->mask & kSourceEvents) != 0 && event->len > 0 && name == event->name) {
                changed = true;
            }
            if ((event->mask & IN_Q_OVERFLOW) != 0) {
                changed = true; // events were lost: the compile thread reads the source and sees whether it is new
            }
            if ((event->mask & kFolderEvents) != 0) {
                close(inotify);
                inotify = -1; // the folder is gone: keep looking at the file's time
                TakeStat();
                return true;
            }
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    close(inotify);
    inotify = -1;
    TakeStat();
    return true;
}

bool XLevelWatcher::StatChanged()
{
    const auto now = std::chrono::steady_clock::now();
    if (now < nextLook) {
        return false;
    }
    nextLook = now + kLookInterval;
    const bool before = existed;
    const timespec beforeModified = modified;
    const off_t beforeSize = size;
    TakeStat();
    return existed != before || size != beforeSize || modified.tv_sec != beforeModified.tv_sec ||
           modified.tv_nsec != beforeModified.tv_nsec;
}

void XLevelWatcher::TakeStat()
{
    struct stat info = {};
    existed = stat(path.c_str(), &info) == 0;
    modified = existed ? info.st_mtim : timespec{};
    size = existed ? info.st_size : 0;
}
