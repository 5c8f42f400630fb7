// XLog: log lines, error boxes and fatal stops.
#include "shell/XLog.h"

#include <SDL.h>    // SDL_ShowSimpleMessageBox
#include <cstdlib>  // std::exit, std::abort
#include <cerrno>   // errno
#include <cstdio>   // fopen, fprintf
#include <cstring>  // std::strerror

#include <sys/stat.h> // stat, fstat: whether "Korvath.log" is still the open file

namespace {
const char* const kLogFile = "Korvath.log";
const char* const kAllLogsFile = "AllLogs.log";
const char* const kCaption = "RUdezer";

std::string& LogFolder()
{
    static std::string folder;
    return folder;
}

std::string InLogFolder(const char* name)
{
    return LogFolder().empty() ? std::string(name) : LogFolder() + "/" + name;
}
} // namespace

void SetLogFolder(const std::string& folder)
{
    LogFolder() = folder;
}

XLog::XLog() : logPath(InLogFolder(kLogFile))
{
    // Creates "AllLogs.log" empty when it does not exist; nothing is ever written to it.
    FILE* const allLogs = std::fopen(InLogFolder(kAllLogsFile).c_str(), "a");
    if (allLogs != nullptr) {
        std::fclose(allLogs);
    }
}

const std::string& XLog::Path() const
{
    return logPath;
}

XLog::~XLog()
{
    if (file != nullptr) {
        std::fclose(file);
    }
}

void XLog::Log(const std::string& message)
{
    const std::lock_guard<std::mutex> hold(lineLock);
    if (!OpenLogFile()) {
        // An unwritable working directory loses the lines; the game runs on, but the user is told once.
        if (!logFailureReported) {
            logFailureReported = true;
            std::fprintf(stderr, "korvath: cannot write the log %s (%s); log lines are lost\n", logPath.c_str(),
                         std::strerror(errno));
            std::fflush(stderr);
        }
        return;
    }
    std::fprintf(file, "%s\n", message.c_str());
    std::fflush(file);
}

bool XLog::OpenLogFile()
{
    // One stat per line instead of an open and a close: the name still leading to the open file keeps it.
    struct stat named = {};
    if (file != nullptr && stat(logPath.c_str(), &named) == 0 && named.st_dev == fileDevice && named.st_ino == fileInode) {
        return true;
    }
    if (file != nullptr) {
        std::fclose(file);
    }
    file = std::fopen(logPath.c_str(), "a");
    if (file == nullptr) {
        return false;
    }
    struct stat opened = {};
    if (fstat(fileno(file), &opened) == 0) {
        fileDevice = opened.st_dev;
        fileInode = opened.st_ino;
    }
    return true;
}

void XLog::ShowError(const std::string& message)
{
    ShowMessage(kCaption, message);
    Log(message);
}

void XLog::ShowFatal(const std::string& message)
{
    ShowMessage(kCaption, message);
    Log(message);
    std::fflush(nullptr);
    std::exit(1);
}

void XLog::SetDialogsEnabled(bool enabled)
{
    dialogsEnabled = enabled;
}

bool XLog::DialogsEnabled() const
{
    return dialogsEnabled;
}

void XLog::ShowMessage(const std::string& caption, const std::string& text) const
{
    if (dialogsEnabled && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr) == 0) {
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

XLog* GetLog()
{
    static XLog* const log = new XLog();
    return log;
}

void XAssertFailed(const char* condition, const char* sourceFile, int line)
{
    char text[1024] = {};
    std::snprintf(text, sizeof(text), "Assertion failed: %s, file %s, line %d", condition, sourceFile, line);
    GetLog()->Log(text);
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    std::abort();
}
