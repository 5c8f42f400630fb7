// XScreenshotWriter: the player's screenshot key. The frame after the key was pressed is read back just before
// its swap and written as a PNG, with a time-stamped name, into the pictures folder (ScreenshotFolder); the
// encoding and writing run on a thread of their own, so the frame only waits for the read-back.
// Depends on: XAutomation (read-back and PNG writing), XUserFolders, XLog.
#pragma once

#include <string>
#include <thread>

class XScreenshotWriter {
public:
    XScreenshotWriter() = default;
    ~XScreenshotWriter();
    XScreenshotWriter(const XScreenshotWriter&) = delete;
    XScreenshotWriter& operator=(const XScreenshotWriter&) = delete;

    // The next finished frame is saved.
    void Request();
    // Just before a buffer swap: reads the picture when one was asked for and hands it to the writing thread.
    // `loading` swaps (loading screens) are not frames and are skipped.
    void BeforeSwap(int width, int height, bool loading);
    // Waits until the last picture is on disk.
    void Finish();
    // The file the last picture went to ("" before the first).
    const std::string& LastPath() const { return lastPath; }

private:
    bool requested = false;
    std::string lastPath;
    std::thread writer;
};

XScreenshotWriter* GetScreenshotWriter();

// A file name for a picture taken now: korvath-YYYYMMDD-HHMMSS-mmm.png.
std::string ScreenshotFileName();
