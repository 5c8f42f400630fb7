// XAutomation: frame limit, scripted input, manual clock and read-back pictures.
#include "shell/XAutomation.h"

#include "shell/XFrameProfile.h"
#include "shell/XRecorder.h"
#include "shell/XTimer.h"
#include "shell/XWindow.h"

#include <GL/gl.h>           // glReadPixels
#include <stb_image_write.h> // stbi_write_png
#include <cmath>             // round
#include <cstdio>            // snprintf, fprintf
#include <vector>

void XAutomation::SetFrameLimit(int frames)
{
    frameLimit = frames;
}

void XAutomation::SetScript(const XInputScript& inputScript)
{
    script = inputScript;
    scriptedSteps = script.HasFrameTimes();
    if (scriptedSteps) {
        GetTimer()->UseManualClock();
    }
}

void XAutomation::SetFixedStep(double milliseconds)
{
    fixedStep = milliseconds;
    if (fixedStep > 0.0) {
        GetTimer()->UseManualClock();
    }
}

void XAutomation::SetRecording(bool on)
{
    recording = on;
    if (on) {
        GetTimer()->UseManualClock();
        passStart = XFrameProfile::Now();
    }
}

void XAutomation::AddScreenshot(int frame, const std::string& path)
{
    screenshots[frame] = path;
}

void XAutomation::SetLoadingShotsDirectory(const std::string& directory)
{
    loadingShotsDir = directory;
}

void XAutomation::BeginPass(int frame)
{
    if (!script.Empty()) {
        for (const XScriptEvent& event : script.EventsOfFrame(frame)) {
            if (event.kind == XScriptEvent::Kind::FrameTime) {
                scriptedStep = event.milliseconds; // a later pass without one keeps this step
                continue;
            }
            GetWindow()->DeliverScriptEvent(event);
            GetRecorder()->RecordEvent(frame, event);
        }
    }
    if (frameLimit > 0 && frame >= frameLimit) {
        PostQuitMessage(0);
    }
}

void XAutomation::EndPass(int frame)
{
    double step = 0.0;
    if (scriptedSteps) {
        step = scriptedStep;
    } else if (fixedStep > 0.0) {
        step = fixedStep;
    } else if (recording) {
        // The real time of the pass, in whole nanoseconds so that the replay hits the same ticks.
        const double now = XFrameProfile::Now();
        step = std::round((now - passStart) * 1000000.0) / 1000000.0;
        passStart = now;
    } else {
        return; // the performance counter runs by itself
    }
    GetTimer()->AdvanceManualClock(step);
    GetRecorder()->RecordFrameTime(frame, step);
}

void XAutomation::BeforeSwap(int frame, bool loading)
{
    const XPoint size = GetWindow()->GetSize();
    if (loading) {
        if (loadingShotsDir.empty()) {
            return;
        }
        char name[32] = {};
        std::snprintf(name, sizeof(name), "/%03d.png", ++loadingShotCount);
        SaveBackBufferPng(loadingShotsDir + name, size.x, size.y);
        return;
    }
    const auto shot = screenshots.find(frame);
    if (shot != screenshots.end()) {
        SaveBackBufferPng(shot->second, size.x, size.y);
        screenshots.erase(shot); // one picture per frame, even if the frame swaps twice
    }
}

XAutomation* GetAutomation()
{
    static XAutomation* const automation = new XAutomation();
    return automation;
}

bool SaveBackBufferPng(const std::string& path, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3u);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    stbi_flip_vertically_on_write(1); // OpenGL's first row is the bottom one
    const int written = stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3);
    if (written == 0) {
        std::fprintf(stderr, "korvath: cannot write picture '%s'\n", path.c_str());
        return false;
    }
    return true;
}
