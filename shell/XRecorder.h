// XRecorder: writes the session's input as an input script (--record FILE): every event that reaches the
// window procedure (real or scripted) under the number of the frame it came before, and after every pass
// the frame time the clock advanced by ("N dt MS"). Played back with --script or --timedemo, the recording
// reproduces the session exactly.
#pragma once

#include "shell/XInputScript.h"

#include <cstdio> // FILE
#include <string>

class XRecorder {
public:
    XRecorder() = default;
    ~XRecorder();
    XRecorder(const XRecorder&) = delete;
    XRecorder& operator=(const XRecorder&) = delete;

    // Starts a recording into the file (replacing it); false when it cannot be written.
    bool Open(const std::string& path);
    bool IsRecording() const;
    void RecordEvent(int frame, const XScriptEvent& event);
    void RecordFrameTime(int frame, double milliseconds);
    void Close();

private:
    FILE* file = nullptr;
};

// The process-wide recorder (idle until opened).
XRecorder* GetRecorder();
