// XAutomation: frame limit, scripted input, manual clock and read-back pictures.
#include "shell/XAutomation.h"

#include "shell/XFrameProfile.h"
#include "shell/XRecorder.h"
#include "shell/XTimer.h"
#include "shell/XWindow.h"

#include <GL/gl.h>           // glReadPixels, glScissor
#include <stb_image_write.h> // stbi_write_png
#include <cerrno>            // errno, EIO, ENOMEM
#include <cmath>             // round
#include <cstdio>            // snprintf, fprintf, fopen
#include <cstring>           // strerror
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

void XAutomation::SetFastForward(bool on)
{
    fastForward = on;
}

void XAutomation::SetLevelWaitReceiver(void (*receiver)(int save))
{
    levelWaitReceiver = receiver;
}

void XAutomation::BeginPass(int frame)
{
    if (fastForward) {
        // Every frame is drawn whole from a cleared buffer, so a frame after skipped ones looks the same.
        if (frame == 1 || screenshots.count(frame) != 0) {
            glDisable(GL_SCISSOR_TEST);
        } else {
            glScissor(0, 0, 0, 0);
            glEnable(GL_SCISSOR_TEST);
        }
    }
    if (!script.Empty()) {
        for (const XScriptEvent& event : script.FrameEvents(frame)) {
            if (event.kind == XScriptEvent::Kind::FrameTime) {
                scriptedStep = event.milliseconds; // a later pass without one keeps this step
                continue;
            }
            if (event.kind == XScriptEvent::Kind::WaitLevel) {
                if (levelWaitReceiver != nullptr) {
                    levelWaitReceiver(event.save);
                }
                continue; // not input: neither delivered nor recorded
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
    const XPoint size = GetWindow()->GetDrawableSize();
    if (loading) {
        if (loadingShotsDir.empty()) {
            return;
        }
        char name[32] = {};
        std::snprintf(name, sizeof(name), "/%03d.png", ++loadingShotCount);
        SavePicture(loadingShotsDir + name, size.x, size.y);
        return;
    }
    const auto shot = screenshots.find(frame);
    if (shot != screenshots.end()) {
        SavePicture(shot->second, size.x, size.y);
        screenshots.erase(shot); // one picture per frame, even if the frame swaps twice
    }
}

void XAutomation::SavePicture(const std::string& path, int width, int height)
{
    if (!SaveBackBufferPng(path, width, height) && !pictureWriteFailed) {
        // A run asked for pictures that it cannot deliver: end it now, through the normal quit path.
        pictureWriteFailed = true;
        PostQuitMessage(0);
    }
}

XAutomation* GetAutomation()
{
    static XAutomation* const automation = new XAutomation();
    return automation;
}

namespace {

// The PNG encoder's output goes straight to the file; a short write (a full disk) is remembered with its cause.
struct PngFile {
    FILE* file = nullptr;
    int error = 0; // errno of the first failed write
};

void WritePngBytes(void* context, void* data, int size)
{
    PngFile* const png = static_cast<PngFile*>(context);
    if (png->error == 0 && std::fwrite(data, 1, static_cast<size_t>(size), png->file) != static_cast<size_t>(size)) {
        png->error = errno != 0 ? errno : EIO;
    }
}

} // namespace

std::vector<unsigned char> ReadBackBuffer(int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3u);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& pixels)
{
    stbi_flip_vertically_on_write(1); // OpenGL's first row is the bottom one
    stbi_write_png_compression_level = 1; // quick to write: runs take hundreds of pictures

    PngFile png;
    errno = 0;
    png.file = std::fopen(path.c_str(), "wb");
    if (png.file == nullptr) {
        png.error = errno != 0 ? errno : EIO;
    } else {
        const int encoded = stbi_write_png_to_func(WritePngBytes, &png, width, height, 3, pixels.data(), width * 3);
        errno = 0;
        if (std::fclose(png.file) != 0 && png.error == 0) {
            png.error = errno != 0 ? errno : EIO;
        }
        if (encoded == 0 && png.error == 0) {
            png.error = ENOMEM; // the encoder could not have its buffers
        }
    }
    if (png.error != 0) {
        std::fprintf(stderr, "korvath: cannot write picture '%s': %s\n", path.c_str(), std::strerror(png.error));
        std::fflush(stderr);
        return false;
    }
    return true;
}

bool SaveBackBufferPng(const std::string& path, int width, int height)
{
    return WritePng(path, width, height, ReadBackBuffer(width, height));
}
