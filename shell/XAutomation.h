// XAutomation: what the command line asks of a run beyond playing it — scripted input delivered before
// given frames, a frame limit, a manual clock, and pictures read back from the frame buffer.
// XWindow calls it at fixed points of each loop pass; nothing else in the engine needs to know about it.
// Depends on: XInputScript, XTimer, OpenGL and stb_image_write (read-back to PNG).
#pragma once

#include "shell/XInputScript.h"

#include <map>
#include <string>
#include <vector>

class XAutomation {
public:
    void SetFrameLimit(int frames);
    void SetScript(const XInputScript& inputScript);
    void SetFixedStep(double milliseconds);
    // Records the session (input and frame times) into the recorder; the clock then advances once per
    // pass, by the real time the pass took (or the fixed or scripted step), so the recording replays exactly.
    void SetRecording(bool on);
    void AddScreenshot(int frame, const std::string& path);
    void SetLoadingShotsDirectory(const std::string& directory);
    // Fast forward: the passes that save no picture run and submit their frame as usual but rasterise
    // nothing (a scissor box of no pixels), so that a long scripted run reaches its pictures sooner. The
    // first pass (the start-up and its loading screens) is always drawn.
    void SetFastForward(bool on);
    // Receives the script's "wait level N" events of a pass (the save number), at its start; without a
    // receiver they are ignored. The receiver decides where in the pass the wait happens.
    void SetLevelWaitReceiver(void (*receiver)(int save));

    // Start of loop pass `frame` (1-based), after the real events: posts the quit message when the frame
    // limit is reached and delivers the script's events of this frame through the window procedure.
    void BeginPass(int frame);
    // End of loop pass, before the timer measures it: moves the manual clock (and records the step).
    void EndPass(int frame);
    // Just before a buffer swap: saves the back buffer when a picture of this moment was asked for.
    // `loading` is true for the swaps of the start-up, before the first game frame's own.
    void BeforeSwap(int frame, bool loading);

    // Whether a picture (screenshot or loading shot) could not be written; the run then ends after that pass
    // and the program with a failure status.
    bool PictureWriteFailed() const { return pictureWriteFailed; }

private:
    void SavePicture(const std::string& path, int width, int height);

    int frameLimit = 0;
    XInputScript script;
    double fixedStep = 0.0;
    bool scriptedSteps = false;   // the script carries frame times
    double scriptedStep = 0.0;    // the step of the pass running now, from the script
    bool recording = false;
    double passStart = 0.0;       // real time at the start of the pass, for recordings in real time
    std::map<int, std::string> screenshots;
    std::string loadingShotsDir;
    int loadingShotCount = 0;
    bool pictureWriteFailed = false;
    bool fastForward = false;
    void (*levelWaitReceiver)(int save) = nullptr;
};

XAutomation* GetAutomation();

// Reads the back buffer (width x height) and writes it as a PNG file; false with a message on stderr naming
// the file and the cause when it cannot be written in full.
bool SaveBackBufferPng(const std::string& path, int width, int height);
// The back buffer's pixels (width x height, RGB, bottom row first).
std::vector<unsigned char> ReadBackBuffer(int width, int height);
// Writes pixels as ReadBackBuffer gives them as a PNG file; false with a message on stderr naming the file and
// the cause when it cannot be written in full.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& pixels);
