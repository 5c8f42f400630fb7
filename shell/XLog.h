// XLog: the engine's log file and its error reports.
//
// Every message becomes one line of "Korvath.log" in the log folder (the working directory unless the program
// chose another with SetLogFolder), opened, appended to and closed
// again for each line, so the line is on disk even if the program stops right after it. Errors are also
// shown to the user in a message box captioned "RUdezer"; in no-dialogs mode (tests, headless runs) the box
// is replaced by a line "RUdezer: <message>" on stderr so that nothing ever blocks.
// Depends on: SDL2 (message boxes).
#pragma once

#include <cstdio> // FILE
#include <string>

class XLog {
public:
    XLog();
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
    std::string logPath;
    FILE* file = nullptr;
    bool dialogsEnabled = true;
    bool logFailureReported = false; // the log could not be written, and the user was told
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
