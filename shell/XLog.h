// XLog: the engine's log file and its error reports.
//
// Every message becomes one line of "Korvath.log" in the log folder (the working directory unless the program
// chose another with SetLogFolder). The file stays open between lines and each line is flushed, so the line is
// in the file even if the program stops right after it; the file is opened again when "Korvath.log" is no
// longer the open file (another working directory, or the file removed or replaced meanwhile). Errors are also
// shown to the user in a message box captioned "RUdezer"; in no-dialogs mode (tests, headless runs) the box
// is replaced by a line "RUdezer: <message>" on stderr so that nothing ever blocks. Log may be called from any
// thread (the level watcher's builder logs from its own); the boxes belong to the main thread.
// Depends on: SDL2 (message boxes).
#pragma once

#include <cstdio> // FILE
#include <mutex>
#include <string>

#include <sys/types.h> // dev_t, ino_t

class XLog {
public:
    XLog();
    ~XLog();
    XLog(const XLog&) = delete;
    XLog& operator=(const XLog&) = delete;

    // Appends the message verbatim as one line of "Korvath.log".
    void Log(const std::string& message);

    // Shows the message (box or stderr), logs it, and returns to the caller.
    void ShowError(const std::string& message);

    // Shows the message, logs it, and ends the process with exit status 1.
    [[noreturn]] void ShowFatal(const std::string& message);

    // Shows a message box with the given caption (or, without dialogs, a "caption: text" line on stderr).
    void ShowMessage(const std::string& caption, const std::string& text) const;

    // The log file's path.
    const std::string& Path() const;

    // Message boxes on (the default) or replaced by stderr lines.
    void SetDialogsEnabled(bool enabled);
    bool DialogsEnabled() const;

private:
    // The open "Korvath.log", opened (again) when the name leads to another file; false when it cannot be
    // opened.
    bool OpenLogFile();

    std::string logPath;
    FILE* file = nullptr; // "Korvath.log", or nullptr before the first line
    dev_t fileDevice = 0; // identity of the open file
    ino_t fileInode = 0;
    bool dialogsEnabled = true;
    bool logFailureReported = false; // the log could not be written, and the user was told
    std::mutex lineLock;             // one line at a time, whichever thread writes it
};

// The folder of "Korvath.log" and "AllLogs.log"; call before the log is first used. "" = the working directory.
void SetLogFolder(const std::string& folder);

// The process-wide log, created on first use.
XLog* GetLog();

// Stops the program on a violated programming precondition, naming the condition and the source file.
[[noreturn]] void XAssertFailed(const char* condition, const char* sourceFile, int line);

// Checks a programming precondition; on failure reports it and stops the program.
inline void XAssert(bool holds, const char* condition, const char* sourceFile, int line)
{
    if (!holds) {
        XAssertFailed(condition, sourceFile, line);
    }
}
